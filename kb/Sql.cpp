#include "kb/Sql.h"

#include <QHash>
#include <QSqlError>
#include <QSqlRecord>

namespace kb {

namespace {

QString errorText(const QSqlError &error)
{
    QString text = error.databaseText();
    if (text.isEmpty())
        text = error.driverText();
    if (text.isEmpty())
        text = error.text();
    return text;
}

// Connections that have an open transaction started by a Transaction object.
QHash<QString, int> &openTransactions()
{
    static QHash<QString, int> depth;
    return depth;
}

}  // namespace

DbError::DbError(const QString &text) : std::runtime_error(text.toStdString()), text_(text) {}

QSqlDatabase defaultDb() { return QSqlDatabase::database(); }

void execSql(QSqlDatabase db, const QString &sql)
{
    QSqlQuery q(db);
    if (!q.exec(sql))
        throw DbError(errorText(q.lastError()));
}

Query::Query(QSqlDatabase db) : db_(db), query_(db) { query_.setForwardOnly(true); }

Query::Query(const QString &sql, QSqlDatabase db) : Query(db) { setSql(sql); }

void Query::setSql(const QString &sql)
{
    close();
    sql_ = sql;
    params_.clear();
    prepared_ = false;
}

static void setParam(QList<QPair<QString, QVariant>> &params, const QString &name,
                     const QVariant &value)
{
    const QString key = name.startsWith(u':') ? name : u':' + name;
    for (auto &p : params)
        if (p.first == key) {
            p.second = value;
            return;
        }
    params.append({key, value});
}

void Query::setFloat(const QString &name, double value) { setParam(params_, name, value); }
void Query::setInteger(const QString &name, qint64 value) { setParam(params_, name, value); }
void Query::setString(const QString &name, const QString &value)
{
    setParam(params_, name, value.isNull() ? QStringLiteral("") : value);
}
void Query::setMemo(const QString &name, const QString &value) { setString(name, value); }
void Query::setBlob(const QString &name, const QByteArray &value)
{
    // An empty picture is stored as an empty byte value, never NULL, so readers need not
    // tell the two apart.
    setParam(params_, name, value.isNull() ? QByteArray("") : value);
}
void Query::setNull(const QString &name) { setParam(params_, name, QVariant()); }

void Query::prepareAndBind()
{
    if (!prepared_) {
        query_.finish();
        if (!query_.prepare(sql_))
            throw DbError(errorText(query_.lastError()));
        prepared_ = true;
    }
    for (const auto &p : params_)
        query_.bindValue(p.first, p.second);
}

void Query::open()
{
    close();
    prepareAndBind();
    if (!query_.exec())
        throw DbError(errorText(query_.lastError()));
    open_ = true;
    hasRows_ = query_.next();
    eof_ = !hasRows_;
}

void Query::exec()
{
    close();
    prepareAndBind();
    if (!query_.exec())
        throw DbError(errorText(query_.lastError()));
    query_.finish();
}

void Query::close()
{
    if (open_)
        query_.finish();
    open_ = false;
    eof_ = true;
    hasRows_ = false;
}

void Query::next()
{
    if (!open_ || eof_)
        return;
    eof_ = !query_.next();
}

int Query::indexOf(const QString &field) const
{
    // QSqlRecord::indexOf already ignores letter case.
    const int i = query_.record().indexOf(field);
    if (i < 0)
        throw DbError(QStringLiteral("Поле '%1' не найдено").arg(field));
    return i;
}

QVariant Query::value(const QString &field) const
{
    const int i = indexOf(field);
    if (!open_ || eof_)
        return {};
    return query_.value(i);
}

QVariant Query::value(int index) const { return (!open_ || eof_) ? QVariant() : query_.value(index); }

qint64 wholeNumber(const QVariant &v)
{
    if (v.typeId() == QMetaType::Double)
        return qRound64(v.toDouble());
    return v.toLongLong();
}

qint64 Query::asInteger(const QString &field) const { return wholeNumber(value(field)); }

double Query::asFloat(const QString &field) const { return value(field).toDouble(); }
QString Query::asString(const QString &field) const { return value(field).toString(); }
QByteArray Query::asBlob(const QString &field) const { return value(field).toByteArray(); }
bool Query::isNull(const QString &field) const { return value(field).isNull(); }
int Query::fieldCount() const { return query_.record().count(); }
QString Query::fieldName(int index) const { return query_.record().fieldName(index); }

qint64 scalarInteger(const QString &sql, QSqlDatabase db)
{
    Query q(sql, db);
    q.open();
    return q.eof() ? 0 : q.value(0).toLongLong();
}

Transaction::Transaction(QSqlDatabase db) : db_(db)
{
    int &depth = openTransactions()[db_.connectionName()];
    if (depth == 0) {
        if (!db_.transaction())
            throw DbError(errorText(db_.lastError()));
        owner_ = true;
    }
    ++depth;
}

Transaction::~Transaction()
{
    --openTransactions()[db_.connectionName()];
    if (owner_ && !done_)
        db_.rollback();
}

void Transaction::commit()
{
    if (done_)
        return;
    done_ = true;
    if (owner_ && !db_.commit()) {
        const QString text = errorText(db_.lastError());
        db_.rollback();
        throw DbError(text);
    }
}

QString numberText(const QVariant &v)
{
    if (v.isNull())
        return {};
    if (v.typeId() == QMetaType::Double) {
        const double d = v.toDouble();
        if (d == double(qint64(d)))
            return QString::number(qint64(d));
        return QString::number(d, 'g', 15);
    }
    return v.toString();
}

QString memoText(const QVariant &v)
{
    QByteArray bytes = v.typeId() == QMetaType::QByteArray ? v.toByteArray()
                                                           : v.toString().toUtf8();
    const int zero = bytes.indexOf('\0');
    if (zero >= 0)
        bytes.truncate(zero);
    return QString::fromUtf8(bytes);
}

QString StreamToText(const Query &query, const QString &field) { return memoText(query.value(field)); }

}  // namespace kb
