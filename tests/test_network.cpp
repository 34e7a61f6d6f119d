// Construction of the inference network into TVER and TREB: the rows of the typical shapes,
// the rebuild that replaces a network whole or not at all, and the goal check that builds once.

#include "TestKb.h"

#include "dbengine/Session.h"
#include "kb/Sql.h"
#include "network/DataModule.h"

#include <QImage>
#include <QProcess>

using namespace testing_kb;

namespace {

QString n(int v) { return QString::number(v); }

// A TVER row as the tests write it: NVER OBJ_ID VERT HOR RULE_ID TERMIN.
QString ver(int nver, int obj, int vert, int hor, int rule, const char *termin)
{
    return QStringList{n(nver), n(obj), n(vert), n(hor), n(rule), termin}.join('\t');
}

// A TREB row: VERFROM VERTO RESUME.
QString reb(int from, int to, int resume) { return QStringList{n(from), n(to), n(resume)}.join('\t'); }

QStringList vertices(int task)
{
    return rows("SELECT NVER, OBJ_ID, VERT, HOR, RULE_ID, TERMIN FROM TVER WHERE TASK_ID=" + n(task) +
                " ORDER BY NVER");
}

// Edges in the order they were written.
QStringList edges(int task)
{
    return rows("SELECT VERFROM, VERTO, RESUME FROM TREB WHERE TASK_ID=" + n(task) + " ORDER BY nReb");
}

QStringList goalIds(int task)
{
    return rows("SELECT DISTINCT GOAL_ID FROM TVER WHERE TASK_ID=" + n(task) +
                " UNION SELECT DISTINCT GOAL_ID FROM TREB WHERE TASK_ID=" + n(task));
}

}  // namespace

class Network : public KbTest {
protected:
    void SetUp() override
    {
        KbTest::SetUp();
        t = task(topic("Тема"), "Задача");
        s = subtask(t, "Подзадача", 1);
    }
    int t = 0;
    int s = 0;
};

// The goal that no rule concludes is a leaf alone on level 1; the other entities of the task
// stand unconnected on level 2, in ascending identifiers, without edges and never leaves.
TEST_F(Network, GoalWithoutRules)
{
    const int g = fact(t, "Цель", "Ц", "C", 1);
    const int a = fact(t, "А", "А");
    const int b = fact(t, "Б", "Б");
    TDataModule1::instance().FreshGraph(t);
    EXPECT_EQ(vertices(t), QStringList({ver(1, g, 1, 1, 0, "T"), ver(2, a, 2, 1, 0, "F"), ver(3, b, 2, 2, 0, "F")}));
    EXPECT_TRUE(edges(t).isEmpty());
    EXPECT_EQ(goalIds(t), QStringList{n(g)});
}

// Two rules conclude the goal, each testing the same two entities: the entities are written
// while the first rule is expanded; the second rule only gets edges to them. The conditions
// are entered in descending entity order, yet places follow ascending identifiers.
TEST_F(Network, TwoRulesWithTwoSharedConditionEntities)
{
    const int g = fact(t, "Цель", "Ц", "C", 1);
    const int x = fact(t, "X", "X");
    const int y = fact(t, "Y", "Y");
    const int r1 = rule(t, s, g, -1, 90);
    const int r2 = rule(t, s, g, -1, 80);
    for (int r : {r1, r2}) {
        condition(r, y, -1, 2);
        condition(r, x, -1, 2);
        condition(r, x, -1, 5);  // the same entity twice gives one edge
    }
    TDataModule1::instance().FreshGraph(t);
    EXPECT_EQ(vertices(t), QStringList({ver(1, g, 1, 1, 0, "F"), ver(2, 0, 2, 1, r1, "F"), ver(3, 0, 2, 2, r2, "F"),
                                        ver(4, x, 3, 1, 0, "T"), ver(5, y, 3, 2, 0, "T")}));
    EXPECT_EQ(edges(t), QStringList({reb(1, 2, 1), reb(1, 3, 1), reb(2, 4, 0), reb(2, 5, 0), reb(3, 4, 0),
                                     reb(3, 5, 0)}));
}

// R1 concludes the goal X from Y, R2 concludes Y from X: the traversal ends with an edge
// from R2 back up to the goal.
TEST_F(Network, CycleEndsWithAnEdgeBackToTheKnownEntity)
{
    const int x = fact(t, "X", "X", "C", 1);
    const int y = fact(t, "Y", "Y");
    const int r1 = rule(t, s, x, -1, 100);
    condition(r1, y, -1, 2);
    const int r2 = rule(t, s, y, -1, 100);
    condition(r2, x, -1, 2);
    TDataModule1::instance().FreshGraph(t);
    EXPECT_EQ(vertices(t), QStringList({ver(1, x, 1, 1, 0, "F"), ver(2, 0, 2, 1, r1, "F"), ver(3, y, 3, 1, 0, "F"),
                                        ver(4, 0, 4, 1, r2, "F")}));
    EXPECT_EQ(edges(t), QStringList({reb(1, 2, 1), reb(2, 3, 0), reb(3, 4, 1), reb(4, 1, 0)}));
}

// An entity tested by a rule on level 2 and by a rule on level 4 keeps the level and place of
// its first discovery; the deeper rule gets an edge up to it. Places restart on each new level
// and run across all parents of a level.
TEST_F(Network, EntityReachedFromTwoLevelsKeepsItsFirstPlace)
{
    const int g = fact(t, "Цель", "Ц", "C", 1);
    const int a = fact(t, "A", "A");
    const int b = fact(t, "B", "B");
    const int c = fact(t, "C", "C");
    const int r1 = rule(t, s, g, -1, 100);  // g <- a, b
    condition(r1, a, -1, 2);
    condition(r1, b, -1, 2);
    const int r2 = rule(t, s, a, -1, 100);  // a <- b, c
    condition(r2, b, -1, 2);
    condition(r2, c, -1, 2);
    const int r3 = rule(t, s, c, -1, 100);  // c <- b
    condition(r3, b, -1, 2);
    TDataModule1::instance().FreshGraph(t);
    EXPECT_EQ(vertices(t), QStringList({ver(1, g, 1, 1, 0, "F"), ver(2, 0, 2, 1, r1, "F"), ver(3, a, 3, 1, 0, "F"),
                                        ver(4, b, 3, 2, 0, "T"), ver(5, 0, 4, 1, r2, "F"), ver(6, c, 5, 1, 0, "F"),
                                        ver(7, 0, 6, 1, r3, "F")}));
    EXPECT_EQ(edges(t), QStringList({reb(1, 2, 1), reb(2, 3, 0), reb(2, 4, 0), reb(3, 5, 1), reb(5, 4, 0),
                                     reb(5, 6, 0), reb(6, 7, 1), reb(7, 4, 0)}));
}

// A condition entity that no rule concludes is a leaf ("T"); an entity of the task outside
// the network is unconnected, one level below the deepest, and never a leaf. Rules of other
// tasks do not conclude anything here, entities of other tasks never join, and an entity that
// another task's network happens to name still belongs to this one.
TEST_F(Network, LeavesVersusUnconnectedEntities)
{
    const int g = fact(t, "Цель", "Ц", "C", 1);
    const int leaf = fact(t, "Лист", "Л");
    const int loose1 = fact(t, "Отдельная 1", "О1");
    const int loose2 = fact(t, "Отдельная 2", "О2");
    const int r = rule(t, s, g, -1, 100);
    condition(r, leaf, -1, 2);
    const int other = task(topic("Другая тема"), "Другая задача");
    const int otherSub = subtask(other, "П", 1);
    rule(other, otherSub, leaf, -1, 100);  // concludes the leaf, but in another task
    const int otherGoal = fact(other, "Чужая", "Ч", "C", 1);
    // Another task's network that names an entity of this task does not hide it here.
    condition(rule(other, otherSub, otherGoal, -1, 100), loose1, -1, 2);
    TDataModule1::instance().FreshGraph(other);
    TDataModule1::instance().FreshGraph(t);
    EXPECT_EQ(vertices(t), QStringList({ver(1, g, 1, 1, 0, "F"), ver(2, 0, 2, 1, r, "F"), ver(3, leaf, 3, 1, 0, "T"),
                                        ver(4, loose1, 4, 1, 0, "F"), ver(5, loose2, 4, 2, 0, "F")}));
    EXPECT_EQ(edges(t), QStringList({reb(1, 2, 1), reb(2, 3, 0)}));
}

// Without a goal entity the rebuild writes the goal-0 network: a root with entity 0, a leaf,
// and every entity of the task unconnected on level 2.
TEST_F(Network, NoGoalBuildsTheGoalZeroNetwork)
{
    const int a = fact(t, "А", "А");
    const int b = fact(t, "Б", "Б");
    rule(t, s, a, -1, 100);
    TDataModule1::instance().FreshGraph(t);
    EXPECT_EQ(vertices(t), QStringList({ver(1, 0, 1, 1, 0, "T"), ver(2, a, 2, 1, 0, "F"), ver(3, b, 2, 2, 0, "F")}));
    EXPECT_TRUE(edges(t).isEmpty());
    EXPECT_EQ(goalIds(t), QStringList{"0"});
}

// The rebuild replaces every network row of the task (of any goal, also one that is no longer
// the goal) and touches no other task; running it again gives the same rows.
TEST_F(Network, RebuildReplacesTheTaskRowsOnly)
{
    const int oldGoal = fact(t, "Старая цель", "СЦ", "C", 1);
    const int other = task(topic("Другая"), "Другая задача");
    fact(other, "Цель другой", "ЦД", "C", 1);
    TDataModule1::instance().FreshGraph(t);
    TDataModule1::instance().FreshGraph(other);
    const QStringList otherRows = vertices(other);

    kb::execSql("UPDATE TFACT SET GOAL=0 WHERE FACT_ID=" + n(oldGoal));
    const int g = fact(t, "Новая цель", "НЦ", "C", 1);
    const int r = rule(t, s, g, -1, 100);
    condition(r, oldGoal, -1, 2);
    TDataModule1::instance().FreshGraph(t);
    const QStringList first = vertices(t);
    EXPECT_EQ(first, QStringList({ver(1, g, 1, 1, 0, "F"), ver(2, 0, 2, 1, r, "F"), ver(3, oldGoal, 3, 1, 0, "T")}));
    EXPECT_EQ(goalIds(t), QStringList{n(g)});
    TDataModule1::instance().FreshGraph(t);
    EXPECT_EQ(vertices(t), first);
    EXPECT_EQ(edges(t), QStringList({reb(1, 2, 1), reb(2, 3, 0)}));
    EXPECT_EQ(vertices(other), otherRows);
}

// A statement that fails half-way through the rebuild leaves the previous network whole: the
// deletions and the rows already written are rolled back, and the error reaches the caller.
TEST_F(Network, FailedRebuildLeavesThePreviousNetwork)
{
    const int g = fact(t, "Цель", "Ц", "C", 1);
    const int a = fact(t, "А", "А");
    const int r = rule(t, s, g, -1, 100);
    condition(r, a, -1, 2);
    TDataModule1::instance().FreshGraph(t);
    const QStringList oldVertices = vertices(t);
    const QStringList oldEdges = edges(t);
    ASSERT_EQ(oldVertices.size(), 3);

    // A second rule; the database refuses the edge to it, after the vertices were written.
    const int b = fact(t, "Б", "Б");
    const int r2 = rule(t, s, g, -1, 100);
    condition(r2, b, -1, 2);
    kb::execSql("CREATE TEMP TRIGGER refuse_edge BEFORE INSERT ON TREB WHEN NEW.VERTO=3 "
                "BEGIN SELECT RAISE(ABORT, 'отказ базы данных'); END");
    try {
        TDataModule1::instance().FreshGraph(t);
        FAIL() << "the failure did not reach the caller";
    } catch (const kb::DbError &e) {
        EXPECT_TRUE(e.text().contains("отказ базы данных")) << e.what();
    }
    EXPECT_EQ(vertices(t), oldVertices);
    EXPECT_EQ(edges(t), oldEdges);

    // The connection is usable afterwards and the next rebuild goes through.
    kb::execSql("DROP TRIGGER refuse_edge");
    TDataModule1::instance().FreshGraph(t);
    EXPECT_EQ(vertices(t).size(), 5);
}

// The goal check builds only when the goal has no vertex rows. A goal without edges is
// built once, however often the check runs, and an existing network is left alone.
TEST_F(Network, GoalCheckBuildsOnce)
{
    const int g = fact(t, "Цель", "Ц", "C", 1);
    auto &dm = TDataModule1::instance();
    EXPECT_TRUE(dm.BuildIfMissing(t, g));
    EXPECT_FALSE(dm.BuildIfMissing(t, g));
    EXPECT_FALSE(dm.BuildIfMissing(t, g));
    EXPECT_EQ(vertices(t), QStringList{ver(1, g, 1, 1, 0, "T")});

    // Stale rows of another goal are cleared before the goal's network is written.
    const int g2 = fact(t, "Вторая", "В");
    EXPECT_TRUE(dm.BuildIfMissing(t, g2));
    EXPECT_EQ(goalIds(t), QStringList{n(g2)});
    EXPECT_EQ(vertices(t), QStringList({ver(1, g2, 1, 1, 0, "T"), ver(2, g, 2, 1, 0, "F")}));
}

// Appending with Petri deletes nothing (the caller clears); the look-ups of the drawing.
TEST_F(Network, PetriAppendsAndLookups)
{
    const int g = fact(t, "Цель задачи", "Цель");
    const int r = rule(t, s, g, -1, 100);
    auto &dm = TDataModule1::instance();
    dm.Petri(t, g);
    dm.Petri(t, g);
    EXPECT_EQ(vertices(t).size(), 4);
    EXPECT_EQ(dm.SubtaskOfRule(r), s);
    EXPECT_EQ(dm.SubtaskOfRule(r + 100), 0);
    EXPECT_EQ(dm.NameObj(g, true), "Цель задачи");
    EXPECT_EQ(dm.NameObj(g, false), "Цель");
    EXPECT_EQ(dm.NameObj(g + 100, false), "");
    EXPECT_EQ(dm.GoalOfTask(t), 0);
}

// The command line: the rows of a rebuilt network, and a synthetic knowledge base that is the
// same for the same seed and whose network reaches every rule.
class NetworkCli : public KbTest {
protected:
    QString run(const QStringList &args, int expectedCode = 0)
    {
        const testing_kb::CliRun r = testing_kb::runCli(args, configDir());
        EXPECT_EQ(r.code, expectedCode) << r.err.toStdString();
        return r.out;
    }
};

TEST_F(NetworkCli, NetworkPrintsTheRows)
{
    const int t = task(topic("Тема"), "Задача");
    const int s = subtask(t, "П", 1);
    const int g = fact(t, "Цель", "Ц", "C", 1);
    const int a = fact(t, "А", "А");
    const int r = rule(t, s, g, -1, 100);
    condition(r, a, -1, 2);
    const QString out = run({"--db", kbDir(), "network", "--task", n(t)});
    EXPECT_EQ(out, "# TVER\n" + ver(1, g, 1, 1, 0, "F") + "\n" + ver(2, 0, 2, 1, r, "F") + "\n" +
                       ver(3, a, 3, 1, 0, "T") + "\n# TREB\n" + reb(1, 2, 1) + "\n" + reb(2, 3, 0) + "\n");
    run({"--db", kbDir(), "network", "--task", n(t + 50)}, 1);
}

TEST_F(NetworkCli, GenerateIsTheSameForTheSameSeed)
{
    const QString a = dir_.path() + "/gen-a", b = dir_.path() + "/gen-b", c = dir_.path() + "/gen-c";
    const QStringList size = {"--rules", "300", "--entities", "80", "--conditions", "900"};
    run(QStringList{"generate", "--out", a, "--seed", "5"} + size);
    run(QStringList{"generate", "--out", b, "--seed", "5"} + size);
    run(QStringList{"generate", "--out", c, "--seed", "6"} + size);
    run(QStringList{"generate", "--out", a, "--seed", "5"} + size, 1);  // never over an existing base
    const QString networkA = run({"--db", a, "network", "--task", "1"});
    EXPECT_EQ(networkA, run({"--db", b, "network", "--task", "1"}));
    EXPECT_NE(networkA, run({"--db", c, "network", "--task", "1"}));

    // Every rule is reached from the goal.
    const QStringList tver = networkA.section("# TREB", 0, 0).split('\n', Qt::SkipEmptyParts).mid(1);
    int ruleVertices = 0;
    for (const QString &line : tver)
        if (line.split('\t')[4] != "0")
            ++ruleVertices;
    EXPECT_EQ(ruleVertices, 300);

    // Counts as asked, trust 50..100, one goal, every entity with a question and values.
    dbengine::Session::instance().openDirectory(a);
    EXPECT_EQ(rows("SELECT COUNT(*) FROM TRULE"), QStringList{"300"});
    EXPECT_EQ(rows("SELECT COUNT(*) FROM TFACT"), QStringList{"80"});
    EXPECT_EQ(rows("SELECT COUNT(*) FROM TCONDITION WHERE RULE_ID>0 AND META_ID=-1"), QStringList{"900"});
    EXPECT_EQ(rows("SELECT MIN(TRUST) >= 50, MAX(TRUST) <= 100 FROM TRULE"), QStringList{"1\t1"});
    EXPECT_EQ(rows("SELECT COUNT(*) FROM TFACT WHERE GOAL>0"), QStringList{"1"});
    EXPECT_EQ(rows("SELECT COUNT(*) FROM TFACT F WHERE FACT_QUESTION='' OR "
                   "(SELECT COUNT(*) FROM TVALUE V WHERE V.FACT_ID=F.FACT_ID) < 2"),
              QStringList{"0"});
    // Conclusions and conditions name values of their own entities.
    EXPECT_EQ(rows("SELECT COUNT(*) FROM TRULE R JOIN TVALUE V ON V.VALUE_ID=R.VALUE_ID AND V.FACT_ID=R.FACT_ID"),
              QStringList{"300"});
    EXPECT_EQ(rows("SELECT COUNT(*) FROM TCONDITION C JOIN TVALUE V ON V.VALUE_ID=C.VALUE_ID AND V.FACT_ID=C.FACT_ID"),
              QStringList{"900"});
    // Leaves to ask: entities that no rule concludes.
    EXPECT_GT(rows("SELECT COUNT(*) FROM TFACT WHERE FACT_ID NOT IN (SELECT FACT_ID FROM TRULE)")[0].toInt(), 30);
}

// The benchmarks run on a generated base and report each run and the median.
TEST_F(NetworkCli, BenchmarksReportRunsAndMedian)
{
    const QString base = dir_.path() + "/gen";
    run({"generate", "--out", base, "--rules", "50", "--entities", "20", "--conditions", "120"});
    const QString rebuild = run({"--db", base, "bench", "network", "--task", "1", "--runs", "3"});
    EXPECT_TRUE(rebuild.contains("rebuild run 3: ")) << rebuild.toStdString();
    EXPECT_TRUE(rebuild.contains("rebuild median: ")) << rebuild.toStdString();
    const QString png = dir_.path() + "/view.png";
    const QString view = run({"--db", base, "bench", "view", "--task", "1", "--runs", "1", "--save", png});
    EXPECT_TRUE(view.contains("load and repaint median: ")) << view.toStdString();
    EXPECT_FALSE(QImage(png).isNull());
    run({"--db", base, "bench", "network", "--task", "2"}, 1);
}
