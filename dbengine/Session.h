#pragma once
// The database session: it opens the knowledge base of an alias (or of a directory) as the
// program's connection, after the table password has been handed to it. The driver
// "PARADOX" maps to one SQLite database file inside the alias directory.

#include <QSqlDatabase>
#include <QString>

namespace dbengine {

// The password that protects the knowledge-base tables.
inline const QString kTablePassword = QStringLiteral("8m47");

// The database file of a knowledge base kept in a directory.
QString databaseFile(const QString &directory);

// Opens the knowledge base of a directory under the given connection name. Throws
// kb::DbError with a message naming the directory when there is no knowledge base there;
// nothing is created.
QSqlDatabase openKnowledgeBase(const QString &directory, const QString &connectionName);

// Creates an empty knowledge base (every table, no rows) in a directory, making the
// directory when needed. An existing knowledge base there is left as it is.
void createKnowledgeBase(const QString &directory);

// Opens the knowledge base of an alias under the given connection name.
QSqlDatabase openAlias(const QString &alias, const QString &connectionName);

class Session {
public:
    static Session &instance();

    void addPassword(const QString &password);
    bool hasPassword() const { return !password_.isEmpty(); }

    // Opens the program's (default) connection on the alias or on a directory. Throws
    // kb::DbError when the password is missing or wrong, or there is no knowledge base.
    void openAlias(const QString &alias);
    void openDirectory(const QString &directory);
    void close();
    // Closes and opens the same source again (after the alias was pointed elsewhere).
    void reopen();

    bool isOpen() const;
    QString directory() const { return directory_; }
    QString alias() const { return alias_; }

private:
    void checkPassword() const;
    QString password_;
    QString alias_;
    QString directory_;
};

}  // namespace dbengine
