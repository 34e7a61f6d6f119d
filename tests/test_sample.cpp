// The sample knowledge base as built from samples/: its rows hang together the way the editors
// and the engine expect, it shows every relation the condition editor offers, its pictures read
// back as images, and its documented cases reach the documented results.

#include "TestKb.h"

#include "engine/Engine.h"
#include "engine/Expression.h"
#include "kb/Sql.h"

#include <QFile>
#include <QHash>
#include <QImage>
#include <QSet>

using namespace testing_kb;

namespace {

class SampleKb : public KbTest {
protected:
    void SetUp() override
    {
        KbTest::SetUp();
        useSample();
    }
};

// Each statement lists the rows that break one promise; none may come back.
struct Promise {
    const char *what;
    const char *sql;
};

const Promise kPromises[] = {
    {"a rule concludes an entity of another task",
     "SELECT R.RULE_ID FROM TRULE R LEFT JOIN TFACT F ON F.FACT_ID=R.FACT_ID "
     "WHERE F.FACT_ID IS NULL OR F.TASK_ID<>R.TASK_ID"},
    {"a rule belongs to a subtask of another task",
     "SELECT R.RULE_ID FROM TRULE R LEFT JOIN TSUBTASK S ON S.SUBTASK_ID=R.SUBTASK_ID "
     "WHERE S.SUBTASK_ID IS NULL OR S.TASK_ID<>R.TASK_ID"},
    {"a symbolic conclusion's value is not a value of its entity",
     "SELECT R.RULE_ID FROM TRULE R JOIN TFACT F ON F.FACT_ID=R.FACT_ID WHERE F.TYPE='C' AND NOT EXISTS "
     "(SELECT 1 FROM TVALUE V WHERE V.VALUE_ID=R.VALUE_ID AND V.FACT_ID=R.FACT_ID)"},
    {"a numeric conclusion lacks VALUE_ID -1 or its expression",
     "SELECT R.RULE_ID FROM TRULE R JOIN TFACT F ON F.FACT_ID=R.FACT_ID "
     "WHERE F.TYPE='N' AND (R.VALUE_ID<>-1 OR TRIM(COALESCE(R.ACTION,''))='')"},
    {"a rule's certainty is outside 0..100", "SELECT RULE_ID FROM TRULE WHERE TRUST<0 OR TRUST>100"},
    {"a condition does not belong to exactly one rule or metarule with the matching flag",
     "SELECT COND_ID FROM TCONDITION WHERE BOOL<>'F' OR NOT ("
     "(RULE_ID>0 AND META_ID=-1 AND META='F' AND EXISTS (SELECT 1 FROM TRULE R WHERE R.RULE_ID=TCONDITION.RULE_ID)) OR "
     "(RULE_ID=-1 AND META_ID>0 AND META='T' AND EXISTS (SELECT 1 FROM TMETA M WHERE M.META_ID=TCONDITION.META_ID)))"},
    {"a rule's condition tests an entity of another task",
     "SELECT C.COND_ID FROM TCONDITION C JOIN TRULE R ON R.RULE_ID=C.RULE_ID LEFT JOIN TFACT F ON F.FACT_ID=C.FACT_ID "
     "WHERE F.FACT_ID IS NULL OR F.TASK_ID<>R.TASK_ID"},
    {"a metarule's condition tests an entity of another task",
     "SELECT C.COND_ID FROM TCONDITION C JOIN TMETA M ON M.META_ID=C.META_ID LEFT JOIN TFACT F ON F.FACT_ID=C.FACT_ID "
     "WHERE F.FACT_ID IS NULL OR F.TASK_ID<>M.TASK_ID"},
    {"a symbolic condition is not 'Принимает'/'Не принимает' one of its entity's values",
     "SELECT C.COND_ID FROM TCONDITION C JOIN TFACT F ON F.FACT_ID=C.FACT_ID WHERE F.TYPE='C' AND ("
     "C.NOTEQUAL NOT IN (2,5) OR COALESCE(C.ACTION,'')<>'' OR NOT EXISTS "
     "(SELECT 1 FROM TVALUE V WHERE V.VALUE_ID=C.VALUE_ID AND V.FACT_ID=C.FACT_ID))"},
    {"a numeric condition lacks VALUE_ID -1, a relation 1..6 or its comparand",
     "SELECT C.COND_ID FROM TCONDITION C JOIN TFACT F ON F.FACT_ID=C.FACT_ID WHERE F.TYPE='N' AND ("
     "C.VALUE_ID<>-1 OR C.NOTEQUAL NOT BETWEEN 1 AND 6 OR TRIM(COALESCE(C.ACTION,''))='')"},
    {"a metarule switches between subtasks not of its task, or to the same subtask",
     "SELECT M.META_ID FROM TMETA M LEFT JOIN TSUBTASK A ON A.SUBTASK_ID=M.OLDSUBTASK_ID "
     "LEFT JOIN TSUBTASK B ON B.SUBTASK_ID=M.SUBTASK_ID WHERE A.TASK_ID IS NOT M.TASK_ID "
     "OR B.TASK_ID IS NOT M.TASK_ID OR M.OLDSUBTASK_ID=M.SUBTASK_ID"},
    {"a metarule has no condition (it would always switch)",
     "SELECT META_ID FROM TMETA M WHERE NOT EXISTS (SELECT 1 FROM TCONDITION C WHERE C.META_ID=M.META_ID)"},
    {"an entity is outside the editors' limits",
     "SELECT FACT_ID FROM TFACT WHERE TRIM(FACT_SHORT)='' OR LENGTH(FACT_SHORT)>25 "
     "OR TRIM(COALESCE(FACT_QUESTION,''))='' OR LENGTH(FACT_QUESTION)>100 OR LENGTH(FACT_NAME)>100 "
     "OR COMPLEX NOT BETWEEN 0 AND 4 OR TYPE NOT IN ('C','N') OR GOAL NOT IN (0,1) "
     "OR MULTY NOT IN (0,1) OR NON_DET NOT IN (0,1) OR NORMAL NOT IN (0,1) OR (NORMAL=1 AND MULTY<>1)"},
    // Expressions and answers files name entities by short name, so it must be unambiguous.
    {"two entities of a task share a short name",
     "SELECT TASK_ID, FACT_SHORT FROM TFACT GROUP BY TASK_ID, FACT_SHORT HAVING COUNT(*)>1"},
    {"a symbolic entity offers fewer than two values, or a numeric one has values",
     "SELECT F.FACT_ID FROM TFACT F WHERE (F.TYPE='C' AND (SELECT COUNT(*) FROM TVALUE V WHERE V.FACT_ID=F.FACT_ID)<2) "
     "OR (F.TYPE='N' AND EXISTS (SELECT 1 FROM TVALUE V WHERE V.FACT_ID=F.FACT_ID))"},
    {"an entity has two values with the same text",
     "SELECT FACT_ID, VALUE_MEAN FROM TVALUE GROUP BY FACT_ID, VALUE_MEAN HAVING COUNT(*)>1"},
    // The network is drawn through conditions, so an entity that is only named inside an
    // expression would be missing from it.
    {"an entity neither is concluded nor tested in a condition",
     "SELECT F.FACT_ID FROM TFACT F WHERE NOT EXISTS (SELECT 1 FROM TRULE R WHERE R.FACT_ID=F.FACT_ID) "
     "AND NOT EXISTS (SELECT 1 FROM TCONDITION C WHERE C.FACT_ID=F.FACT_ID)"},
    {"a subtask has no rules",
     "SELECT S.SUBTASK_ID FROM TSUBTASK S WHERE NOT EXISTS (SELECT 1 FROM TRULE R WHERE R.SUBTASK_ID=S.SUBTASK_ID)"},
    {"two subtasks of a task share a turn",
     "SELECT TASK_ID, TURN FROM TSUBTASK GROUP BY TASK_ID, TURN HAVING COUNT(*)>1"},
    {"a subtask's turn is outside 0..999 or it has no description",
     "SELECT SUBTASK_ID FROM TSUBTASK WHERE TURN NOT BETWEEN 0 AND 999 OR TRIM(COALESCE(COMMENTS,''))=''"},
    {"a task lacks its fixed mark, a sensible threshold, a topic or a description",
     "SELECT T.TASK_ID FROM TTASK T WHERE T.GOALFACT_ID<>1 OR T.TRUSTLIMIT NOT BETWEEN 1 AND 100 "
     "OR TRIM(COALESCE(T.DESCRIPTION,''))='' OR NOT EXISTS (SELECT 1 FROM TTOPIC P WHERE P.TOPIC_ID=T.TOPIC_ID)"},
    {"a topic lacks its fixed key or a description",
     "SELECT TOPIC_ID FROM TTOPIC WHERE TOPIC_KEY<>1 OR TRIM(COALESCE(TOPIC_TEXT,''))=''"},
    {"a task does not have exactly one goal",
     "SELECT T.TASK_ID FROM TTASK T WHERE (SELECT COUNT(*) FROM TFACT F WHERE F.TASK_ID=T.TASK_ID AND F.GOAL>0)<>1"},
    {"a goal is never concluded",
     "SELECT F.FACT_ID FROM TFACT F WHERE F.GOAL>0 AND NOT EXISTS (SELECT 1 FROM TRULE R WHERE R.FACT_ID=F.FACT_ID)"},
};

TEST_F(SampleKb, KeepsEveryPromiseOfTheTables)
{
    for (const Promise &p : kPromises) {
        const QStringList bad = rows(QString::fromUtf8(p.sql));
        EXPECT_TRUE(bad.isEmpty()) << p.what << ": " << bad.join(" | ").toStdString();
    }
}

TEST_F(SampleKb, ShowsTheShapeOfARealKnowledgeBase)
{
    // Subtasks that follow each other, metarules that switch between them, multi-valued,
    // normalised and non-deterministic entities, numbers and symbols: the sample is meant to
    // show each of these at least once.
    EXPECT_FALSE(rows("SELECT TOPIC_ID FROM TTOPIC T WHERE (SELECT COUNT(*) FROM TTASK K WHERE K.TOPIC_ID=T.TOPIC_ID)>=2")
                     .isEmpty());
    EXPECT_GE(rows("SELECT TOPIC_ID FROM TTOPIC").size(), 2);
    const QStringList mainTask =
        rows("SELECT T.TASK_ID FROM TTASK T WHERE (SELECT COUNT(*) FROM TSUBTASK S WHERE S.TASK_ID=T.TASK_ID)>=3 "
             "AND (SELECT COUNT(*) FROM TMETA M WHERE M.TASK_ID=T.TASK_ID)>=2");
    ASSERT_FALSE(mainTask.isEmpty());
    const QString t = mainTask.first();
    const auto has = [&t](const QString &where) {
        return !rows("SELECT FACT_ID FROM TFACT WHERE TASK_ID=" + t + " AND " + where).isEmpty();
    };
    EXPECT_TRUE(has("TYPE='C' AND MULTY=1 AND NORMAL=1"));
    EXPECT_TRUE(has("TYPE='C' AND MULTY=0"));
    EXPECT_TRUE(has("NON_DET=1"));
    EXPECT_TRUE(has("TYPE='N'"));
    EXPECT_TRUE(has("TRIM(COALESCE(FACT_TEXT,''))<>''"));
    // Intermediate entities: concluded in one subtask, used by rules of another.
    EXPECT_FALSE(rows("SELECT DISTINCT R.FACT_ID FROM TRULE R JOIN TCONDITION C ON C.FACT_ID=R.FACT_ID "
                      "JOIN TRULE U ON U.RULE_ID=C.RULE_ID WHERE R.TASK_ID=" + t +
                      " AND U.SUBTASK_ID<>R.SUBTASK_ID")
                     .isEmpty());
    EXPECT_FALSE(rows("SELECT VALUE_ID FROM TVALUE WHERE TRIM(COALESCE(VALUE_TEXT,''))<>''").isEmpty());
}

TEST_F(SampleKb, UsesEveryRelationTheConditionEditorOffers)
{
    QSet<int> symbolic, numeric;
    for (const QString &row : rows("SELECT F.TYPE, C.NOTEQUAL FROM TCONDITION C JOIN TFACT F ON F.FACT_ID=C.FACT_ID")) {
        const QStringList f = row.split('\t');
        (f[0] == "C" ? symbolic : numeric).insert(f[1].toInt());
    }
    EXPECT_EQ(symbolic, (QSet<int>{2, 5}));
    EXPECT_EQ(numeric, (QSet<int>{1, 2, 3, 4, 5, 6}));
    // Metarules test symbols and numbers too.
    EXPECT_EQ(rows("SELECT DISTINCT F.TYPE FROM TCONDITION C JOIN TFACT F ON F.FACT_ID=C.FACT_ID "
                   "WHERE C.META='T' ORDER BY F.TYPE")
                  .join(" "),
              "C N");
}

TEST_F(SampleKb, NumericExpressionsParseAndNameNumericEntitiesOfTheirTask)
{
    QHash<int, QStringList> numericShorts;
    for (const QString &row : rows("SELECT TASK_ID, FACT_SHORT FROM TFACT WHERE TYPE='N'")) {
        const QStringList f = row.split('\t');
        numericShorts[f[0].toInt()] << f[1];
    }
    const QStringList actions =
        rows("SELECT R.TASK_ID, 'rule ' || R.RULE_ID, R.ACTION FROM TRULE R WHERE R.VALUE_ID=-1 "
             "UNION ALL SELECT R.TASK_ID, 'condition ' || C.COND_ID, C.ACTION FROM TCONDITION C "
             "JOIN TRULE R ON R.RULE_ID=C.RULE_ID WHERE C.VALUE_ID=-1 "
             "UNION ALL SELECT M.TASK_ID, 'condition ' || C.COND_ID, C.ACTION FROM TCONDITION C "
             "JOIN TMETA M ON M.META_ID=C.META_ID WHERE C.VALUE_ID=-1");
    ASSERT_FALSE(actions.isEmpty());
    int computedConclusions = 0, computedComparands = 0;
    for (const QString &row : actions) {
        const QStringList f = row.split('\t');
        const QStringList known = numericShorts.value(f[0].toInt());
        EXPECT_EQ(engine::checkExpression(f[2], &known), QString()) << f[1].toStdString() << ": " << f[2].toStdString();
        if (!engine::Expression::parse(f[2]).references().isEmpty())
            ++(f[1].startsWith("rule") ? computedConclusions : computedComparands);
    }
    // Conclusions computed from other entities, and a comparand that is a formula.
    EXPECT_GE(computedConclusions, 2);
    EXPECT_GE(computedComparands, 1);
    EXPECT_FALSE(rows("SELECT RULE_ID FROM TRULE WHERE ACTION LIKE '%ДЕЛЕНИЕ(%'").isEmpty());
}

TEST_F(SampleKb, PicturesReadBackAsImages)
{
    const struct {
        const char *table, *column;
    } columns[] = {{"TTOPIC", "TOPIC_PICTURE"}, {"TTASK", "TASK_PICTURE"}, {"TFACT", "FACT_PICTURE"},
                   {"TVALUE", "VALUE_PICTURE"}};
    for (const auto &c : columns) {
        kb::Query q(QString("SELECT %1 P FROM %2 WHERE %1 IS NOT NULL AND LENGTH(%1)>0").arg(c.column, c.table));
        q.open();
        int pictures = 0;
        for (; !q.eof(); q.next()) {
            QImage image;
            EXPECT_TRUE(image.loadFromData(q.asBlob("P"))) << c.table;
            EXPECT_TRUE(image.width() >= 16 && image.width() <= 128 && image.height() >= 16 && image.height() <= 128)
                << c.table << " " << image.width() << "x" << image.height();
            ++pictures;
        }
        EXPECT_GE(pictures, 1) << c.table;
    }
}

// The answers files of samples/ run through the engine, one answer per question, the way
// zelmora-cli consult runs them.
struct Case {
    const char *file;
    const char *task;
    QStringList goalValues;  // at or above the task's threshold, by certainty
    const char *skipped;     // a subtask a metarule jumps over (its rules are never tried)
};

QHash<QString, QStringList> readAnswers(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QHash<QString, QStringList> answers;  // short name -> answer, certainty
    for (const QString &raw : QString::fromUtf8(file.readAll()).split('\n')) {
        const QString line = raw.trimmed();
        const qsizetype eq = line.indexOf('=');
        if (line.isEmpty() || eq < 0)
            continue;
        QString answer = line.mid(eq + 1).trimmed();
        QString trust = "100";
        const qsizetype semi = answer.lastIndexOf(';');
        if (semi >= 0) {
            trust = answer.mid(semi + 1).trimmed();
            answer = answer.left(semi).trimmed();
        }
        answers.insert(line.left(eq).trimmed(), {answer, trust});
    }
    return answers;
}

TEST_F(SampleKb, DocumentedCasesReachTheirGoals)
{
    const Case cases[] = {
        {"sample.answers", "Диагностика острой респираторной инфекции", {"Грипп"}, "Неотложные мероприятия"},
        {"sample-mild.answers", "Диагностика острой респираторной инфекции", {"ОРВИ негриппозной этиологии"},
         "Объективное обследование"},
        {"sample-severe.answers", "Диагностика острой респираторной инфекции", {"Внебольничная пневмония"},
         "Оценка тяжести состояния"},
        {"sample-bmi.answers", "Оценка массы тела", {"избыточная масса тела"}, ""},
        {"sample-car.answers", "Почему не заводится двигатель", {"свечи залиты топливом"}, ""},
    };
    engine::Engine eng(kb::defaultDb());
    for (const Case &c : cases) {
        SCOPED_TRACE(c.file);
        const QHash<QString, QStringList> answers = readAnswers(QString(ZELMORA_SOURCE_DIR) + "/samples/" + c.file);
        ASSERT_FALSE(answers.isEmpty());
        kb::Query t("SELECT TASK_ID FROM TTASK WHERE TASK_NAME=:P0");
        t.setString("P0", QString::fromUtf8(c.task));
        t.open();
        ASSERT_FALSE(t.eof());
        const int task = int(t.asInteger("TASK_ID"));
        const int goal = int(kb::scalarInteger("SELECT FACT_ID FROM TFACT WHERE GOAL>0 AND TASK_ID=" + QString::number(task)));
        const int sitting = eng.initBase(task, goal);
        engine::Engine::Step step = eng.dial(sitting);
        for (int asked = 0; step.nextFact; ++asked) {
            ASSERT_LT(asked, 100) << "the consultation does not end";
            kb::Query f("SELECT FACT_SHORT, TYPE, NON_DET FROM TFACT WHERE FACT_ID=:P0");
            f.setFloat("P0", step.nextFact);
            f.open();
            const QString shortName = f.asString("FACT_SHORT");
            ASSERT_TRUE(answers.contains(shortName)) << "no answer for " << shortName.toStdString();
            const QStringList a = answers[shortName];
            int valueId = -1;
            double number = 0;
            if (f.asString("TYPE") == "C") {
                kb::Query v("SELECT VALUE_ID FROM TVALUE WHERE FACT_ID=:P0 AND VALUE_MEAN=:P1");
                v.setFloat("P0", step.nextFact);
                v.setString("P1", a[0]);
                v.open();
                ASSERT_FALSE(v.eof()) << shortName.toStdString() << " has no value " << a[0].toStdString();
                valueId = int(v.asInteger("VALUE_ID"));
            } else {
                ASSERT_TRUE(engine::parseDecimal(a[0], &number)) << a[0].toStdString();
            }
            kb::Query q("INSERT INTO questions (SITTING_ID, FACT_ID, value_ans, TRUST, nnum) VALUES (:P0, :P1, :P2, :P3, :P4)");
            q.setFloat("P0", sitting);
            q.setFloat("P1", step.nextFact);
            q.setFloat("P2", valueId);
            q.setFloat("P3", f.asInteger("NON_DET") ? a[1].toInt() : 100);
            q.setFloat("P4", number);
            q.exec();
            step = eng.dial(sitting);
        }
        const QString s = QString::number(sitting);
        EXPECT_EQ(rows("SELECT V.VALUE_MEAN FROM TRFACT R JOIN TVALUE V ON V.VALUE_ID=R.VALUE_ID "
                       "JOIN TTASK T ON T.TASK_ID=" + QString::number(task) + " WHERE R.SITTING_ID=" + s +
                       " AND R.FACT_ID=" + QString::number(goal) + " AND R.TRUST>=T.TRUSTLIMIT ORDER BY R.TRUST DESC")
                      .join(" | ")
                      .toStdString(),
                  c.goalValues.join(" | ").toStdString());
        if (*c.skipped) {
            EXPECT_EQ(rows("SELECT D.RULE_ID FROM TDIALOG D JOIN TRULE R ON R.RULE_ID=D.RULE_ID JOIN TSUBTASK S "
                           "ON S.SUBTASK_ID=R.SUBTASK_ID WHERE D.SITTING_ID=" + s + " AND S.SUBTASK_NAME='" +
                           QString::fromUtf8(c.skipped) + "'")
                          .join(" | ")
                          .toStdString(),
                      "");
        }
    }
}

}  // namespace
