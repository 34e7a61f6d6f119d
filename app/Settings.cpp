#include "app/Settings.h"

#include "dbengine/IniFile.h"
#include "dbengine/Paths.h"

namespace app {

using dbengine::IniFile;

QString settingsFile() { return dbengine::programDir() + QStringLiteral("zelmora.ini"); }

QString readSetting(const QString &section, const QString &key, const QString &def)
{
    return IniFile(settingsFile()).readString(section, key, def);
}

int readSettingInteger(const QString &section, const QString &key, int def)
{
    return IniFile(settingsFile()).readInteger(section, key, def);
}

bool writeSetting(const QString &section, const QString &key, const QString &value)
{
    IniFile ini(settingsFile());
    ini.writeString(section, key, value);
    return ini.save();
}

QSize ReadFormSize(const QString &section)
{
    const IniFile ini(settingsFile());
    return {ini.readInteger(section, QStringLiteral("Width"), 0),
            ini.readInteger(section, QStringLiteral("Height"), 0)};
}

bool WriteFormSize(const QString &section, int width, int height)
{
    IniFile ini(settingsFile());
    ini.writeInteger(section, QStringLiteral("Width"), width);
    ini.writeInteger(section, QStringLiteral("Height"), height);
    return ini.save();
}

MainSettings readMainSettings()
{
    const IniFile ini(settingsFile());
    const QString main = QStringLiteral("Main");
    MainSettings s;
    s.winAppName = ini.readString(main, QStringLiteral("WinAppName"));
    s.winAppPath = ini.readString(main, QStringLiteral("WinAppPath"));
    s.intAppName = ini.readString(main, QStringLiteral("IntAppName"));
    s.intAppPath = ini.readString(main, QStringLiteral("IntAppPath"));
    s.url = ini.readString(main, QStringLiteral("URL"));
    s.task = ini.readInteger(main, QStringLiteral("Task"), 0);
    return s;
}

}  // namespace app
