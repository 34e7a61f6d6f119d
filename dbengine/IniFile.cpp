#include "dbengine/IniFile.h"

#include <QFile>
#include <QSaveFile>

namespace dbengine {

namespace {
// A settings file is a few kilobytes; anything far larger is not ours and is not read.
constexpr qint64 kMaxSize = 4 * 1024 * 1024;
}

bool IniFile::load(const QString &path)
{
    path_ = path;
    sections_.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxSize)
        return false;
    const QString text = QString::fromUtf8(file.readAll());
    Section *current = nullptr;
    for (QString line : text.split(u'\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(u';') || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[')) {
            const int close = line.indexOf(u']');
            if (close < 0) {
                current = nullptr;  // a damaged header: skip its keys rather than misfile them
                continue;
            }
            current = &obtain(line.mid(1, close - 1).trimmed());
            continue;
        }
        const int eq = line.indexOf(u'=');
        if (!current || eq <= 0)
            continue;
        const QString key = line.left(eq).trimmed();
        const QString value = line.mid(eq + 1).trimmed();
        bool replaced = false;
        for (Entry &e : current->entries)
            if (e.key.compare(key, Qt::CaseInsensitive) == 0) {
                e.value = value;
                replaced = true;
                break;
            }
        if (!replaced)
            current->entries.append({key, value});
    }
    return true;
}

bool IniFile::save() const
{
    QString text;
    for (const Section &s : sections_) {
        if (!text.isEmpty())
            text += u'\n';
        text += QStringLiteral("[") + s.name + QStringLiteral("]\n");
        for (const Entry &e : s.entries)
            text += e.key + u'=' + e.value + u'\n';
    }
    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(text.toUtf8());
    return file.commit();
}

bool IniFile::saveAs(const QString &path)
{
    path_ = path;
    return save();
}

const IniFile::Section *IniFile::find(const QString &section) const
{
    for (const Section &s : sections_)
        if (s.name.compare(section, Qt::CaseInsensitive) == 0)
            return &s;
    return nullptr;
}

IniFile::Section &IniFile::obtain(const QString &section)
{
    for (Section &s : sections_)
        if (s.name.compare(section, Qt::CaseInsensitive) == 0)
            return s;
    sections_.append({section, {}});
    return sections_.last();
}

QString IniFile::readString(const QString &section, const QString &key, const QString &def) const
{
    if (const Section *s = find(section))
        for (const Entry &e : s->entries)
            if (e.key.compare(key, Qt::CaseInsensitive) == 0)
                return e.value;
    return def;
}

int IniFile::readInteger(const QString &section, const QString &key, int def) const
{
    bool ok = false;
    const int v = readString(section, key).toInt(&ok);
    return ok ? v : def;
}

bool IniFile::hasKey(const QString &section, const QString &key) const
{
    if (const Section *s = find(section))
        for (const Entry &e : s->entries)
            if (e.key.compare(key, Qt::CaseInsensitive) == 0)
                return true;
    return false;
}

void IniFile::writeString(const QString &section, const QString &key, const QString &value)
{
    // Line breaks would split the value into lines of their own on the next read.
    QString clean = value;
    clean.replace(u'\n', u' ').replace(u'\r', u' ');
    Section &s = obtain(section);
    for (Entry &e : s.entries)
        if (e.key.compare(key, Qt::CaseInsensitive) == 0) {
            e.value = clean;
            return;
        }
    s.entries.append({key, clean});
}

void IniFile::writeInteger(const QString &section, const QString &key, int value)
{
    writeString(section, key, QString::number(value));
}

QStringList IniFile::sections() const
{
    QStringList out;
    for (const Section &s : sections_)
        out << s.name;
    return out;
}

QStringList IniFile::sectionLines(const QString &section) const
{
    QStringList out;
    if (const Section *s = find(section))
        for (const Entry &e : s->entries)
            out << e.key + u'=' + e.value;
    return out;
}

void IniFile::replaceSection(const QString &section, const QStringList &lines)
{
    Section &s = obtain(section);
    s.entries.clear();
    for (const QString &line : lines) {
        const int eq = line.indexOf(u'=');
        if (eq <= 0)
            continue;
        s.entries.append({line.left(eq).trimmed(), line.mid(eq + 1).trimmed()});
    }
}

void IniFile::eraseSection(const QString &section)
{
    for (int i = 0; i < sections_.size(); ++i)
        if (sections_[i].name.compare(section, Qt::CaseInsensitive) == 0) {
            sections_.removeAt(i);
            return;
        }
}

}  // namespace dbengine
