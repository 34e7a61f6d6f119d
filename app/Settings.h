#pragma once
// The settings file zelmora.ini in the program directory. Every read opens the whole file;
// every write reads the whole file, changes one key and writes the whole file back at once.

#include <QSize>
#include <QString>

namespace app {

// The path of zelmora.ini (program directory).
QString settingsFile();

QString readSetting(const QString &section, const QString &key, const QString &def = {});
int readSettingInteger(const QString &section, const QString &key, int def = 0);
// Returns false when the file could not be written (the old file is then left whole).
bool writeSetting(const QString &section, const QString &key, const QString &value);

// The remembered size of a form (0, 0 when none). A width of 0 means "keep the designed size".
QSize ReadFormSize(const QString &section);
bool WriteFormSize(const QString &section, int width, int height);

// The settings of the section "Main".
struct MainSettings {
    QString winAppName, winAppPath, intAppName, intAppPath, url;
    int task = 0;
};
MainSettings readMainSettings();

}  // namespace app
