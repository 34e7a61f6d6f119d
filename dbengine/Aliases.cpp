#include "dbengine/Aliases.h"

#include "dbengine/IniFile.h"
#include "dbengine/Paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace dbengine {

namespace {

IniFile readConfig()
{
    const QString path = aliasConfigFile();
    IniFile ini;
    if (!ini.load(path) && QFile::exists(path))
        throw ConfigError(QStringLiteral("Не удалось прочитать конфигурацию баз данных %1").arg(path));
    return ini;
}

void writeConfig(IniFile &ini)
{
    const QString path = aliasConfigFile();
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (!ini.saveAs(path))
        throw ConfigError(QStringLiteral("Не удалось записать конфигурацию баз данных %1").arg(path));
}

}  // namespace

QStringList AliasConfig::names() { return readConfig().sections(); }

void AliasConfig::addStandardAlias(const QString &name, const QString &directory,
                                   const QString &driver)
{
    pending_.append({name, directory, driver});
}

void AliasConfig::save()
{
    IniFile ini = readConfig();
    for (const Pending &p : pending_)
        ini.replaceSection(p.name, {QStringLiteral("PATH=") + p.directory,
                                    QStringLiteral("TYPE=") + p.driver});
    pending_.clear();
    writeConfig(ini);
}

QStringList AliasConfig::params(const QString &name)
{
    QStringList lines = readConfig().sectionLines(name);
    // The driver is part of the alias, not of its parameter list.
    lines.removeIf([](const QString &l) { return l.startsWith(QStringLiteral("TYPE="), Qt::CaseInsensitive); });
    return lines;
}

void AliasConfig::setParams(const QString &name, const QStringList &params)
{
    IniFile ini = readConfig();
    QStringList lines = params;
    lines << QStringLiteral("TYPE=") + ini.readString(name, QStringLiteral("TYPE"), kDriverParadox);
    ini.replaceSection(name, lines);
    writeConfig(ini);
}

QString AliasConfig::driver(const QString &name)
{
    return readConfig().readString(name, QStringLiteral("TYPE"));
}

QString AliasConfig::directory(const QString &name)
{
    return readConfig().readString(name, QStringLiteral("PATH"));
}

bool AliasExists(const QString &name)
{
    for (const QString &alias : AliasConfig::names())
        if (alias.trimmed() == name)
            return true;
    return false;
}

void RegisterAlias(const QString &name, const QString &directory, const QString &driver)
{
    AliasConfig config;
    config.addStandardAlias(name, directory, driver);
    config.save();
}

}  // namespace dbengine
