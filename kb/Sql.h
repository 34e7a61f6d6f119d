#pragma once
// The SQL helpers every room uses: statements with named parameters bound by name and typed
// the way the knowledge-base columns are typed, fields read by name without regard to case,
// and database errors turned into an exception that carries the database engine's own text.

#include <QByteArray>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

#include <stdexcept>

namespace kb {

// A failed statement or connection. what() is the database engine's own text (UTF-8).
class DbError : public std::runtime_error {
public:
    explicit DbError(const QString &text);
    QString text() const { return text_; }

private:
    QString text_;
};

// The program's own connection to the knowledge base (the default connection).
QSqlDatabase defaultDb();

// Runs one statement that returns no rows; throws DbError on failure.
void execSql(QSqlDatabase db, const QString &sql);
inline void execSql(const QString &sql) { execSql(defaultDb(), sql); }

// A statement with named parameters (:P0, :P1 ...) and, for a SELECT, its result set.
// Parameters may be set in any order; they are bound by name when the statement runs.
class Query {
public:
    explicit Query(QSqlDatabase db = defaultDb());
    explicit Query(const QString &sql, QSqlDatabase db = defaultDb());

    // Sets new SQL text; forgets the previous parameters and closes the result set.
    void setSql(const QString &sql);
    QString sql() const { return sql_; }

    // Typed parameters: numbers, flags and foreign keys as floating point; the key of an
    // UPDATE as integer; names as strings; long texts as memo; pictures as bytes (BLOB).
    void setFloat(const QString &name, double value);
    void setInteger(const QString &name, qint64 value);
    void setString(const QString &name, const QString &value);
    void setMemo(const QString &name, const QString &value);
    void setBlob(const QString &name, const QByteArray &value);
    void setNull(const QString &name);

    // Opens the result set of a SELECT and stands on its first row (eof() when empty).
    void open();
    // Runs a statement that returns no rows.
    void exec();
    void close();

    bool isOpen() const { return open_; }
    bool eof() const { return eof_; }
    void next();
    bool isEmpty() const { return open_ && !hasRows_; }

    // Field access by name, letter case ignored. A missing field throws DbError.
    QVariant value(const QString &field) const;
    qint64 asInteger(const QString &field) const;
    double asFloat(const QString &field) const;
    QString asString(const QString &field) const;
    QByteArray asBlob(const QString &field) const;
    bool isNull(const QString &field) const;

    int fieldCount() const;
    QString fieldName(int index) const;
    QVariant value(int index) const;

    QSqlQuery &raw() { return query_; }

private:
    void prepareAndBind();
    int indexOf(const QString &field) const;

    QSqlDatabase db_;
    QString sql_;
    QSqlQuery query_;
    QList<QPair<QString, QVariant>> params_;
    bool prepared_ = false;
    bool open_ = false;
    bool eof_ = true;
    bool hasRows_ = false;
};

// Reads one integer from a SELECT that returns one row and one column (0 when no row).
qint64 scalarInteger(const QString &sql, QSqlDatabase db = defaultDb());

// A transaction that rolls back unless commit() was called; nests by doing nothing inside
// an already open transaction of the same connection.
class Transaction {
public:
    explicit Transaction(QSqlDatabase db = defaultDb());
    ~Transaction();
    void commit();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

private:
    QSqlDatabase db_;
    bool owner_ = false;
    bool done_ = false;
};

// A number column as the user reads it: whole values without a fraction.
QString numberText(const QVariant &value);

// A whole-number column, also when it was stored as a floating-point number holding a whole
// value (numbers, flags and keys are written that way).
qint64 wholeNumber(const QVariant &value);

// A long-text value as one string, ending at its first zero byte, if any.
QString memoText(const QVariant &value);

// Reads a long-text column whole; the text ends at its first zero byte, if any.
QString StreamToText(const Query &query, const QString &field);

}  // namespace kb
