#pragma once
// The knowledge-base tables: their definitions and the creation of an empty knowledge base.

#include <QSqlDatabase>
#include <QStringList>

namespace kb {

// The fifteen table names, as the table files are named.
QStringList tableNames();

// Creates every table and index that is missing in the open database (idempotent).
// Throws DbError when a statement fails.
void createSchema(QSqlDatabase db);

// True when the database holds every table of a knowledge base.
bool hasSchema(QSqlDatabase db);

}  // namespace kb
