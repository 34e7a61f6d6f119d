// The tables, the SQL helpers and the constant tables.

#include "TestKb.h"

#include "kb/Codes.h"
#include "kb/Schema.h"
#include "kb/Sql.h"

#include <QSqlRecord>

using namespace testing_kb;

class Tables : public KbTest {};

// Columns of every table, as the engine library and every window name them.
TEST_F(Tables, EveryTableHasItsColumns)
{
    const QMap<QString, QStringList> expected = {
        {"TTopic", {"TOPIC_ID", "TOPIC_NAME", "TOPIC_TEXT", "TOPIC_KEY", "TOPIC_PICTURE"}},
        {"TTask", {"TASK_ID", "TASK_NAME", "GOALFACT_ID", "TRUSTLIMIT", "DESCRIPTION", "TOPIC_ID", "TASK_PICTURE"}},
        {"TSubtask", {"SUBTASK_ID", "SUBTASK_NAME", "COMMENTS", "TURN", "TASK_ID"}},
        {"TFact", {"FACT_ID", "FACT_NAME", "FACT_SHORT", "FACT_QUESTION", "TASK_ID", "GOAL", "COMPLEX", "NON_DET",
                   "ALIAS", "MULTY", "FACT_TEXT", "NORMAL", "TYPE", "FACT_PICTURE"}},
        {"TValue", {"VALUE_ID", "FACT_ID", "VALUE_MEAN", "VALUE_TEXT", "VALUE_PICTURE"}},
        {"TRule", {"RULE_ID", "FACT_ID", "VALUE_ID", "TASK_ID", "TRUST", "SUBTASK_ID", "RULE_SOURCE", "ACTION"}},
        {"TCondition", {"COND_ID", "FACT_ID", "VALUE_ID", "BOOL", "RULE_ID", "META_ID", "META", "NOTEQUAL", "ACTION"}},
        {"TMeta", {"META_ID", "OLDSUBTASK_ID", "SUBTASK_ID", "TASK_ID"}},
        {"TVer", {"NVER", "OBJ_ID", "VERT", "HOR", "TASK_ID", "RULE_ID", "TERMIN", "GOAL_ID"}},
        {"TReb", {"nReb", "VERFROM", "VERTO", "TASK_ID", "RESUME", "GOAL_ID"}},
        {"TSitting", {"SITTING_ID"}},
        {"TDialog", {"SITTING_ID", "RULE_ID", "LRES", "LOUT"}},
        {"TRFact", {"trfact_id", "SITTING_ID", "FACT_ID", "VALUE_ID", "VALUE_NUMBER", "TRUST", "COMMENT"}},
        {"TNextver", {"SITTING_ID", "NVER", "OBJ_ID"}},
        {"questions", {"SITTING_ID", "FACT_ID", "value_ans", "TRUST", "nnum"}},
    };
    ASSERT_EQ(kb::tableNames().size(), 15);
    for (const QString &table : kb::tableNames()) {
        ASSERT_TRUE(expected.contains(table)) << table.toStdString();
        const QSqlRecord record = kb::defaultDb().record(table);
        for (const QString &column : expected[table])
            EXPECT_GE(record.indexOf(column), 0) << table.toStdString() << "." << column.toStdString();
    }
}

// Table and column names are compared without regard to case, as the program spells them
// in every case.
TEST_F(Tables, NamesIgnoreLetterCase)
{
    topic("Медицина");
    EXPECT_EQ(rows("select topic_name from ttopic"), QStringList{"Медицина"});
    EXPECT_EQ(rows("SELECT Topic_Name FROM TTopic"), QStringList{"Медицина"});
}

// Keys come from the database on insert, and a deleted record's key is not given again.
TEST_F(Tables, KeysAreAssignedAndNotReused)
{
    const int a = topic("А");
    const int b = topic("Б");
    EXPECT_EQ(b, a + 1);
    kb::execSql("DELETE FROM TTOPIC WHERE TOPIC_ID=" + QString::number(b));
    EXPECT_EQ(topic("В"), b + 1);
    const int t = task(a, "Задача");
    const int s = subtask(t, "Подзадача", 1);
    const int f = fact(t, "Сущность", "С");
    const int v = value(f, "да");
    const int r = rule(t, s, f, v, 90);
    EXPECT_GT(condition(r, f, v, 2), 0);
    EXPECT_GT(meta(t, s, s), 0);
    EXPECT_EQ(rows("SELECT COUNT(*) FROM TREB"), QStringList{"0"});
    insert("INSERT INTO TREB (VERFROM, VERTO, TASK_ID, RESUME, GOAL_ID) VALUES (1, 2, 1, 1, 1)");
    EXPECT_EQ(rows("SELECT nReb FROM TREB"), QStringList{"1"});
}

TEST_F(Tables, IndexesOfTheLookUpsExist)
{
    const QStringList names = rows("SELECT name FROM sqlite_master WHERE type='index' AND name NOT LIKE 'sqlite_%'");
    for (const char *index : {"TTopic_Name", "Task_Name", "Fact_Name", "TValue_Fact_id", "TRule_Fact_id",
                              "TCondition_Fact_id1", "TNextver_Obj_id", "TRFact_Fact_id2"})
        EXPECT_TRUE(names.contains(index)) << index;
    // The entity name is unique within a task only.
    const int t1 = task(topic("Т"), "Задача 1");
    const int t2 = task(topic("Т2"), "Задача 2");
    fact(t1, "Возраст", "В");
    EXPECT_NO_THROW(fact(t2, "Возраст", "В"));
    EXPECT_THROW(fact(t1, "Возраст", "В2"), kb::DbError);
}

TEST_F(Tables, QueryBindsByNameInAnyOrderWithTypes)
{
    kb::Query q("INSERT INTO TTOPIC (TOPIC_KEY, TOPIC_NAME, TOPIC_TEXT, TOPIC_PICTURE) VALUES (:P2, :P0, :P1, :P3)");
    q.setString("P0", "Имя с 'кавычкой'");
    q.setMemo("P1", QString(5000, QChar(u'ж')));
    q.setFloat("P2", 1);
    q.setBlob("P3", QByteArray("\x00\x01\x02", 3));
    q.exec();
    kb::Query r("SELECT topic_id AS OID, TOPIC_NAME INAME, TOPIC_TEXT, TOPIC_KEY, TOPIC_PICTURE FROM TTOPIC");
    r.open();
    ASSERT_FALSE(r.eof());
    EXPECT_EQ(r.asString("iname"), "Имя с 'кавычкой'");
    EXPECT_EQ(r.asInteger("Oid"), 1);
    EXPECT_EQ(r.asInteger("topic_key"), 1);
    EXPECT_EQ(r.asBlob("TOPIC_PICTURE"), QByteArray("\x00\x01\x02", 3));
    EXPECT_EQ(kb::StreamToText(r, "TOPIC_TEXT").size(), 5000);
    EXPECT_THROW(r.value("NO_SUCH_FIELD"), kb::DbError);
    r.next();
    EXPECT_TRUE(r.eof());
}

TEST_F(Tables, ErrorsCarryTheEngineText)
{
    try {
        kb::execSql("SELECT * FROM NO_SUCH_TABLE");
        FAIL() << "no error";
    } catch (const kb::DbError &e) {
        EXPECT_TRUE(e.text().contains("NO_SUCH_TABLE")) << e.text().toStdString();
    }
    kb::Query q("SELEC 1");
    EXPECT_THROW(q.open(), kb::DbError);
}

TEST_F(Tables, TransactionRollsBackUnlessCommitted)
{
    {
        kb::Transaction tx;
        topic("Откатится");
    }
    EXPECT_EQ(rows("SELECT COUNT(*) FROM TTOPIC"), QStringList{"0"});
    {
        kb::Transaction tx;
        topic("Останется");
        tx.commit();
    }
    EXPECT_EQ(rows("SELECT COUNT(*) FROM TTOPIC"), QStringList{"1"});
}

TEST(StreamToText, EndsAtTheFirstZeroByte)
{
    // Long texts written by other tools may carry a terminating zero and garbage after it.
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "stream");
    db.setDatabaseName(":memory:");
    ASSERT_TRUE(db.open());
    {
        kb::Query q("SELECT CAST(X'd0b0d0b100ffff' AS BLOB) AS T", db);
        q.open();
        EXPECT_EQ(kb::StreamToText(q, "t"), QString("аб"));
    }
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase("stream");
}

TEST(Codes, NamesAndUnknownCodes)
{
    EXPECT_EQ(kb::relationName(0), "Не определено");
    EXPECT_EQ(kb::relationName(6), "Меньше или равно");
    EXPECT_EQ(kb::relationName(7), "?");
    EXPECT_EQ(kb::relationName(-1), "?");
    EXPECT_EQ(kb::ComplexityNames.size(), 5);
    EXPECT_EQ(kb::complexityName(2), "Средняя (2)");
    EXPECT_EQ(kb::complexityName(5), "?");
}
