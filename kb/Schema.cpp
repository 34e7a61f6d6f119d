#include "kb/Schema.h"

#include "kb/Sql.h"

#include <QSqlQuery>

namespace kb {

namespace {

// Keys of the knowledge tables are assigned by the database on insert and never reused,
// so a deleted record's number does not come back for a new one.
const char *const kTables[] = {
    R"(CREATE TABLE IF NOT EXISTS TTopic (
  TOPIC_ID INTEGER PRIMARY KEY AUTOINCREMENT,
  TOPIC_NAME VARCHAR(255) NOT NULL,
  TOPIC_TEXT TEXT,
  TOPIC_KEY INTEGER,
  TOPIC_PICTURE BLOB))",
    R"(CREATE TABLE IF NOT EXISTS TTask (
  TASK_ID INTEGER PRIMARY KEY AUTOINCREMENT,
  TASK_NAME VARCHAR(255) NOT NULL,
  GOALFACT_ID INTEGER,
  TRUSTLIMIT INTEGER,
  DESCRIPTION TEXT,
  TOPIC_ID INTEGER,
  TASK_PICTURE BLOB))",
    R"(CREATE TABLE IF NOT EXISTS TSubtask (
  SUBTASK_ID INTEGER PRIMARY KEY AUTOINCREMENT,
  SUBTASK_NAME VARCHAR(255) NOT NULL,
  COMMENTS TEXT,
  TURN INTEGER,
  TASK_ID INTEGER))",
    R"(CREATE TABLE IF NOT EXISTS TFact (
  FACT_ID INTEGER PRIMARY KEY AUTOINCREMENT,
  FACT_NAME VARCHAR(100) NOT NULL,
  FACT_SHORT VARCHAR(25) NOT NULL,
  FACT_QUESTION VARCHAR(100),
  TASK_ID INTEGER,
  GOAL INTEGER,
  COMPLEX INTEGER,
  NON_DET INTEGER,
  ALIAS VARCHAR(30),
  MULTY INTEGER,
  FACT_TEXT TEXT,
  NORMAL INTEGER,
  TYPE CHAR(1),
  FACT_PICTURE BLOB))",
    R"(CREATE TABLE IF NOT EXISTS TValue (
  VALUE_ID INTEGER PRIMARY KEY AUTOINCREMENT,
  FACT_ID INTEGER,
  VALUE_MEAN VARCHAR(255) NOT NULL,
  VALUE_TEXT TEXT,
  VALUE_PICTURE BLOB))",
    R"(CREATE TABLE IF NOT EXISTS TRule (
  RULE_ID INTEGER PRIMARY KEY AUTOINCREMENT,
  FACT_ID INTEGER,
  VALUE_ID INTEGER,
  TASK_ID INTEGER,
  TRUST INTEGER,
  SUBTASK_ID INTEGER,
  RULE_SOURCE VARCHAR(255),
  ACTION VARCHAR(255)))",
    R"(CREATE TABLE IF NOT EXISTS TCondition (
  COND_ID INTEGER PRIMARY KEY AUTOINCREMENT,
  FACT_ID INTEGER,
  VALUE_ID INTEGER,
  BOOL CHAR(1),
  RULE_ID INTEGER,
  META_ID INTEGER,
  META CHAR(1),
  NOTEQUAL INTEGER,
  ACTION VARCHAR(255)))",
    R"(CREATE TABLE IF NOT EXISTS TMeta (
  META_ID INTEGER PRIMARY KEY AUTOINCREMENT,
  OLDSUBTASK_ID INTEGER,
  SUBTASK_ID INTEGER,
  TASK_ID INTEGER))",
    R"(CREATE TABLE IF NOT EXISTS TVer (
  NVER INTEGER,
  OBJ_ID INTEGER,
  VERT INTEGER,
  HOR INTEGER,
  TASK_ID INTEGER,
  RULE_ID INTEGER,
  TERMIN CHAR(1),
  GOAL_ID INTEGER))",
    R"(CREATE TABLE IF NOT EXISTS TReb (
  nReb INTEGER PRIMARY KEY AUTOINCREMENT,
  VERFROM INTEGER,
  VERTO INTEGER,
  TASK_ID INTEGER,
  RESUME INTEGER,
  GOAL_ID INTEGER))",
    R"(CREATE TABLE IF NOT EXISTS TSitting (
  SITTING_ID INTEGER PRIMARY KEY AUTOINCREMENT,
  TASK_ID INTEGER,
  GOAL_ID INTEGER,
  STARTED VARCHAR(30)))",
    R"(CREATE TABLE IF NOT EXISTS TDialog (
  SITTING_ID INTEGER,
  RULE_ID INTEGER,
  LRES INTEGER,
  LOUT CHAR(1)))",
    R"(CREATE TABLE IF NOT EXISTS TRFact (
  trfact_id INTEGER PRIMARY KEY AUTOINCREMENT,
  SITTING_ID INTEGER,
  FACT_ID INTEGER,
  VALUE_ID INTEGER,
  VALUE_NUMBER REAL,
  TRUST REAL,
  COMMENT VARCHAR(255)))",
    R"(CREATE TABLE IF NOT EXISTS TNextver (
  SITTING_ID INTEGER,
  NVER INTEGER,
  OBJ_ID INTEGER,
  PRIMARY KEY (SITTING_ID, NVER)))",
    R"(CREATE TABLE IF NOT EXISTS questions (
  SITTING_ID INTEGER,
  FACT_ID INTEGER,
  value_ans INTEGER,
  TRUST INTEGER,
  nnum REAL))",
};

const char *const kIndexes[] = {
    "CREATE UNIQUE INDEX IF NOT EXISTS TTopic_Name ON TTopic (TOPIC_NAME)",
    "CREATE UNIQUE INDEX IF NOT EXISTS Task_Name ON TTask (TASK_NAME)",
    "CREATE INDEX IF NOT EXISTS TTask_Topic_id ON TTask (TOPIC_ID)",
    "CREATE UNIQUE INDEX IF NOT EXISTS Fact_Name ON TFact (FACT_NAME, TASK_ID)",
    "CREATE INDEX IF NOT EXISTS TFact_Task_id ON TFact (TASK_ID)",
    "CREATE INDEX IF NOT EXISTS TValue_Fact_id ON TValue (FACT_ID)",
    "CREATE INDEX IF NOT EXISTS TSubtask_Task_id ON TSubtask (TASK_ID)",
    "CREATE INDEX IF NOT EXISTS TRule_Subtask_id ON TRule (SUBTASK_ID)",
    "CREATE INDEX IF NOT EXISTS TRule_Fact_id ON TRule (FACT_ID)",
    "CREATE INDEX IF NOT EXISTS TRule_Value_id ON TRule (VALUE_ID)",
    "CREATE INDEX IF NOT EXISTS TRule_Task_id ON TRule (TASK_ID)",
    "CREATE INDEX IF NOT EXISTS TMeta_OldSubtask_id ON TMeta (OLDSUBTASK_ID)",
    "CREATE INDEX IF NOT EXISTS TMeta_Task_id ON TMeta (TASK_ID)",
    "CREATE INDEX IF NOT EXISTS TMeta_Subtask_id ON TMeta (SUBTASK_ID)",
    "CREATE INDEX IF NOT EXISTS TCondition_Fact_id ON TCondition (FACT_ID)",
    "CREATE INDEX IF NOT EXISTS TCondition_Value_id ON TCondition (VALUE_ID)",
    "CREATE INDEX IF NOT EXISTS TCondition_Fact_id1 ON TCondition (FACT_ID, VALUE_ID)",
    // Conditions are read per rule and per metarule everywhere; without these every rule
    // listing and the network rebuild would scan the whole table.
    "CREATE INDEX IF NOT EXISTS TCondition_Rule_id ON TCondition (RULE_ID)",
    "CREATE INDEX IF NOT EXISTS TCondition_Meta_id ON TCondition (META_ID)",
    "CREATE INDEX IF NOT EXISTS TNextver_Sitting_id ON TNextver (SITTING_ID)",
    "CREATE INDEX IF NOT EXISTS TNextver_Obj_id ON TNextver (OBJ_ID)",
    "CREATE INDEX IF NOT EXISTS TVer_Task_id ON TVer (TASK_ID, GOAL_ID, NVER)",
    "CREATE INDEX IF NOT EXISTS TReb_Task_id ON TReb (TASK_ID)",
    "CREATE INDEX IF NOT EXISTS TReb_VerFrom ON TReb (VERFROM)",
    "CREATE INDEX IF NOT EXISTS TReb_VerTo ON TReb (VERTO)",
    "CREATE INDEX IF NOT EXISTS TRFact_Fact_id ON TRFact (FACT_ID)",
    "CREATE INDEX IF NOT EXISTS TRFact_Fact_id2 ON TRFact (FACT_ID, SITTING_ID)",
    "CREATE INDEX IF NOT EXISTS TRFact_Sitting_id ON TRFact (SITTING_ID)",
    "CREATE INDEX IF NOT EXISTS TDialog_Sitting_id ON TDialog (SITTING_ID)",
    "CREATE INDEX IF NOT EXISTS questions_Sitting_id ON questions (SITTING_ID)",
};

}  // namespace

QStringList tableNames()
{
    return {"TTopic",    "TTask",  "TSubtask", "TFact",    "TValue",
            "TRule",     "TCondition", "TMeta", "TVer",    "TReb",
            "TSitting",  "TDialog", "TRFact",  "TNextver", "questions"};
}

void createSchema(QSqlDatabase db)
{
    Transaction tx(db);
    for (const char *sql : kTables)
        execSql(db, QString::fromUtf8(sql));
    for (const char *sql : kIndexes)
        execSql(db, QString::fromUtf8(sql));
    tx.commit();
}

bool hasSchema(QSqlDatabase db)
{
    const QStringList present = db.tables(QSql::Tables);
    for (const QString &name : tableNames()) {
        bool found = false;
        for (const QString &p : present)
            if (p.compare(name, Qt::CaseInsensitive) == 0) {
                found = true;
                break;
            }
        if (!found)
            return false;
    }
    return true;
}

}  // namespace kb
