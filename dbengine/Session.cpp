#include "dbengine/Session.h"

#include "dbengine/Aliases.h"
#include "kb/Schema.h"
#include "kb/Sql.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>

namespace dbengine {

namespace {

void tune(QSqlDatabase &db)
{
    // The engine library writes through a connection of its own while the program may still
    // be reading: in write-ahead-log mode readers never block that writer (nor it them).
    kb::execSql(db, QStringLiteral("PRAGMA journal_mode=WAL"));
    // Another connection may still hold the file for a moment.
    kb::execSql(db, QStringLiteral("PRAGMA busy_timeout=10000"));
    kb::execSql(db, QStringLiteral("PRAGMA synchronous=NORMAL"));
}

QSqlDatabase connect(const QString &file, const QString &connectionName)
{
    if (QSqlDatabase::contains(connectionName)) {
        {
            QSqlDatabase old = QSqlDatabase::database(connectionName, false);
            old.close();
        }
        QSqlDatabase::removeDatabase(connectionName);
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
    db.setDatabaseName(file);
    if (!db.open())
        throw kb::DbError(db.lastError().text());
    tune(db);
    return db;
}

}  // namespace

QString databaseFile(const QString &directory)
{
    return QDir(directory).filePath(QStringLiteral("kolbex.db"));
}

QSqlDatabase openKnowledgeBase(const QString &directory, const QString &connectionName)
{
    const QString file = databaseFile(directory);
    if (!QFileInfo(directory).isDir())
        throw kb::DbError(QStringLiteral("Каталог базы знаний «%1» не найден").arg(directory));
    if (!QFileInfo::exists(file))
        throw kb::DbError(QStringLiteral("В каталоге «%1» нет базы знаний").arg(directory));
    QSqlDatabase db = connect(file, connectionName);
    if (!kb::hasSchema(db)) {
        db.close();
        throw kb::DbError(QStringLiteral("В каталоге «%1» нет базы знаний: файл %2 не содержит "
                                         "таблиц базы знаний")
                              .arg(directory, QFileInfo(file).fileName()));
    }
    return db;
}

void createKnowledgeBase(const QString &directory)
{
    if (!QDir().mkpath(directory))
        throw kb::DbError(QStringLiteral("Не удалось создать каталог «%1»").arg(directory));
    const QString name = QStringLiteral("zelmora-create");
    {
        QSqlDatabase db = connect(databaseFile(directory), name);
        kb::createSchema(db);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

QSqlDatabase openAlias(const QString &alias, const QString &connectionName)
{
    QString directory;
    try {
        directory = AliasConfig::directory(alias);
    } catch (const ConfigError &e) {
        throw kb::DbError(e.text());
    }
    if (directory.isEmpty())
        throw kb::DbError(QStringLiteral("Псевдоним базы данных %1 не найден").arg(alias));
    return openKnowledgeBase(directory, connectionName);
}

Session &Session::instance()
{
    static Session session;
    return session;
}

void Session::addPassword(const QString &password) { password_ = password; }

void Session::checkPassword() const
{
    if (password_.isEmpty())
        throw kb::DbError(QStringLiteral("Таблицы базы знаний защищены паролем"));
    if (password_ != kTablePassword)
        throw kb::DbError(QStringLiteral("Неверный пароль таблиц базы знаний"));
}

void Session::openAlias(const QString &alias)
{
    checkPassword();
    alias_ = alias;
    directory_ = AliasConfig::directory(alias);
    dbengine::openAlias(alias, QLatin1String(QSqlDatabase::defaultConnection));
}

void Session::openDirectory(const QString &directory)
{
    checkPassword();
    alias_.clear();
    directory_ = directory;
    openKnowledgeBase(directory, QLatin1String(QSqlDatabase::defaultConnection));
}

void Session::close()
{
    const QString name = QLatin1String(QSqlDatabase::defaultConnection);
    if (QSqlDatabase::contains(name)) {
        {
            QSqlDatabase db = QSqlDatabase::database(name, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
    }
}

void Session::reopen()
{
    close();
    if (!alias_.isEmpty())
        openAlias(alias_);
    else
        openDirectory(directory_);
}

bool Session::isOpen() const
{
    return QSqlDatabase::contains(QLatin1String(QSqlDatabase::defaultConnection)) &&
           QSqlDatabase::database(QLatin1String(QSqlDatabase::defaultConnection), false).isOpen();
}

}  // namespace dbengine
