#include "dbengine/Paths.h"

#include <QCoreApplication>
#include <QDir>

namespace dbengine {

namespace {
QString &programDirOverride()
{
    static QString dir;
    return dir;
}

QString withSeparator(QString dir)
{
    if (!dir.endsWith(u'/'))
        dir += u'/';
    return dir;
}
}  // namespace

QString programDir()
{
    if (!programDirOverride().isEmpty())
        return programDirOverride();
    if (QCoreApplication::instance())
        return withSeparator(QCoreApplication::applicationDirPath());
    return withSeparator(QDir::currentPath());
}

void setProgramDir(const QString &dir)
{
    programDirOverride() = dir.isEmpty() ? QString() : withSeparator(dir);
}

QString configDir()
{
    const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!xdg.isEmpty())
        return xdg;
    return QDir::homePath() + QStringLiteral("/.config");
}

QString aliasConfigFile() { return configDir() + QStringLiteral("/zelmora/dbengine.cfg"); }

}  // namespace dbengine
