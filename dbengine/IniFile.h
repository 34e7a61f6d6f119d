#pragma once
// A plain INI text file: "[Section]" lines, then "Key=Value" lines. Section and key names are
// compared without regard to case; the letter case first written is kept in the file.
// Every save writes the whole file to a temporary file and renames it over the old one, so a
// crash or a full disk never leaves a half-written file. A missing, unreadable or damaged
// file reads as empty (every key takes its default); reading never throws.

#include <QList>
#include <QString>
#include <QStringList>

namespace dbengine {

class IniFile {
public:
    IniFile() = default;
    explicit IniFile(const QString &path) { load(path); }

    // Reads the whole file; returns false when it could not be read (the content is then empty).
    bool load(const QString &path);
    // Writes the whole file at once; returns false when it could not be written.
    bool save() const;
    bool saveAs(const QString &path);

    QString path() const { return path_; }

    QString readString(const QString &section, const QString &key,
                       const QString &def = {}) const;
    // A value that is not a whole number reads as the default.
    int readInteger(const QString &section, const QString &key, int def = 0) const;
    bool hasKey(const QString &section, const QString &key) const;

    void writeString(const QString &section, const QString &key, const QString &value);
    void writeInteger(const QString &section, const QString &key, int value);

    QStringList sections() const;
    // The "Key=Value" lines of a section, in file order.
    QStringList sectionLines(const QString &section) const;
    void replaceSection(const QString &section, const QStringList &lines);
    void eraseSection(const QString &section);

private:
    struct Entry {
        QString key;
        QString value;
    };
    struct Section {
        QString name;
        QList<Entry> entries;
    };
    const Section *find(const QString &section) const;
    Section &obtain(const QString &section);

    QString path_;
    QList<Section> sections_;
};

}  // namespace dbengine
