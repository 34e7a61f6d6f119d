#include "network/DataModule.h"

#include "kb/Sql.h"

#include <QHash>
#include <QSqlError>
#include <QSqlQuery>

namespace {

QString num(qint64 n) { return QString::number(n); }

// A whole-number column, also when the value was stored as a floating-point number.
int intAt(const QSqlQuery &q, int column) { return int(kb::wholeNumber(q.value(column))); }

// Runs a SELECT read whole by the caller; the statement is finished before it returns, so no
// read is left pending when the transaction ends.
template <typename RowFn>
void forEachRow(QSqlDatabase db, const QString &sql, RowFn rowFn)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(sql))
        throw kb::DbError(q.lastError().databaseText().isEmpty() ? q.lastError().text()
                                                                 : q.lastError().databaseText());
    while (q.next())
        rowFn(q);
    q.finish();
}

}  // namespace

TDataModule1 &TDataModule1::instance()
{
    static TDataModule1 module;
    return module;
}

int TDataModule1::GoalOfTask(int taskId)
{
    return int(kb::scalarInteger(QStringLiteral("SELECT FACT_ID FROM TFACT WHERE GOAL>0 AND TASK_ID=") +
                                 num(taskId)));
}

void TDataModule1::FreshGraph(int taskId)
{
    QSqlDatabase db = kb::defaultDb();
    kb::Transaction tx(db);
    clearTask(taskId, db);
    const int goal = GoalOfTask(taskId);
    writeNetwork(taskId, goal, computeNetwork(taskId, goal, db), db);
    tx.commit();
}

void TDataModule1::Petri(int taskId, int goalId)
{
    QSqlDatabase db = kb::defaultDb();
    kb::Transaction tx(db);
    writeNetwork(taskId, goalId, computeNetwork(taskId, goalId, db), db);
    tx.commit();
}

bool TDataModule1::BuildIfMissing(int taskId, int goalId)
{
    // A network exists when it has vertex rows: a goal that no rule concludes has a vertex
    // but no edge, and deciding by edges would append its vertex again on every check.
    const qint64 vertices = kb::scalarInteger(QStringLiteral("SELECT Count(*) FROM TVER  WHERE  TASK_ID=") +
                                              num(taskId) + QStringLiteral(" AND GOAL_ID=") + num(goalId));
    if (vertices > 0)
        return false;
    QSqlDatabase db = kb::defaultDb();
    kb::Transaction tx(db);
    clearTask(taskId, db);
    writeNetwork(taskId, goalId, computeNetwork(taskId, goalId, db), db);
    tx.commit();
    return true;
}

int TDataModule1::SubtaskOfRule(int ruleId)
{
    return int(kb::scalarInteger(QStringLiteral("Select Subtask_id from TRule where rule_id=") + num(ruleId)));
}

QString TDataModule1::NameObj(int factId, bool fullName)
{
    kb::Query q(QStringLiteral("SELECT FACT_NAME, FACT_SHORT FROM TFACT WHERE FACT_ID=") + num(factId));
    q.open();
    if (q.eof())
        return {};
    return q.value(fullName ? 0 : 1).toString();
}

void TDataModule1::clearTask(int taskId, QSqlDatabase db)
{
    // Every goal's rows of the task go: a goal that is no longer the goal leaves nothing behind.
    kb::execSql(db, QStringLiteral("DELETE FROM TVER WHERE TASK_ID=") + num(taskId));
    kb::execSql(db, QStringLiteral("DELETE FROM TREB WHERE TASK_ID=") + num(taskId));
}

NetworkRows TDataModule1::computeNetwork(int taskId, int goalId, QSqlDatabase db)
{
    const QString task = num(taskId);

    // The three lists the traversal walks, each read with one statement in ascending
    // identifiers: the rules of the task by the entity they conclude, the distinct condition
    // entities of each rule of the task, and the entities of the task.
    QHash<int, QList<int>> rulesOfFact;
    forEachRow(db,
               QStringLiteral("select r.rule_id, r.fact_id from trule r where r.task_id=") + task +
                   QStringLiteral(" order by r.fact_id, r.rule_id"),
               [&](const QSqlQuery &q) {
                   if (!q.isNull(1))  // a rule that concludes nothing is reached from nowhere
                       rulesOfFact[intAt(q, 1)].append(intAt(q, 0));
               });

    QHash<int, QList<int>> conditionFacts;
    forEachRow(db,
               QStringLiteral("select distinct c.rule_id, c.fact_id from tcondition c where c.rule_id in "
                              "(select r.rule_id from trule r where r.task_id=") +
                   task + QStringLiteral(") and c.fact_id is not null order by c.rule_id, c.fact_id"),
               [&](const QSqlQuery &q) { conditionFacts[intAt(q, 0)].append(intAt(q, 1)); });

    QList<int> taskFacts;
    forEachRow(db,
               QStringLiteral("select f.fact_id from tfact f where f.task_id=") + task +
                   QStringLiteral(" order by f.fact_id"),
               [&](const QSqlQuery &q) { taskFacts.append(intAt(q, 0)); });

    NetworkRows out;
    QList<TverRow> &ver = out.vertices;
    // The first vertex that carries each object identifier (rule vertices carry 0), which is
    // the vertex an edge to an already known entity goes to.
    QHash<int, int> vertexOfObject;
    auto addVertex = [&](int objId, int level, int place, int ruleId) {
        const int nver = int(ver.size()) + 1;
        ver.append(TverRow{nver, objId, level, place, ruleId, false});
        if (!vertexOfObject.contains(objId))
            vertexOfObject.insert(objId, nver);
        return nver;
    };

    addVertex(goalId, 1, 1, 0);
    int currentLevel = 1;  // the level whose children are being numbered
    int place = 0;         // place counter of the children's level
    int lastLevel = 1;     // level of the last vertex read
    // The vertex list is the queue: it grows while it is walked.
    for (int k = 1; k <= ver.size(); ++k) {
        const TverRow v = ver[k - 1];
        lastLevel = v.vert;
        if (v.vert > currentLevel) {
            place = 0;
            currentLevel = v.vert;
        }
        if (v.ruleId != 0) {
            for (int f : conditionFacts.value(v.ruleId)) {
                const auto known = vertexOfObject.constFind(f);
                if (known != vertexOfObject.constEnd()) {
                    // Already in the network, at any level: only an edge. This ends cycles.
                    out.edges.append(TrebRow{k, *known, false});
                } else {
                    const int n = addVertex(f, v.vert + 1, ++place, 0);
                    out.edges.append(TrebRow{k, n, false});
                }
            }
        } else {
            const auto rules = rulesOfFact.constFind(v.objId);
            if (rules == rulesOfFact.constEnd() || rules->isEmpty()) {
                ver[k - 1].termin = true;  // a leaf: its value has to be asked
            } else {
                for (int q : *rules) {
                    const int n = addVertex(0, v.vert + 1, ++place, q);
                    out.edges.append(TrebRow{k, n, true});
                }
            }
        }
    }

    // Entities of the task that the traversal did not reach go on a level of their own below
    // the deepest one, without edges and never marked as leaves.
    for (int f : taskFacts)
        if (!vertexOfObject.contains(f))
            addVertex(f, lastLevel + 1, ++place, 0);
    return out;
}

void TDataModule1::writeNetwork(int taskId, int goalId, const NetworkRows &rows, QSqlDatabase db)
{
    // Prepared once, bound and run per row; numbers are bound as floating point holding whole
    // values and the leaf mark as text, as every writer of these tables does.
    kb::Query vertex(QStringLiteral("insert  into  tver (nver, obj_id, vert, hor, task_id, rule_id, termin, goal_id) "
                                    "values (:P0, :P1, :P2, :P3, :P4, :P5, :P6, :P7)"),
                     db);
    vertex.setFloat(QStringLiteral("P4"), taskId);
    vertex.setFloat(QStringLiteral("P7"), goalId);
    for (const TverRow &v : rows.vertices) {
        vertex.setFloat(QStringLiteral("P0"), v.nver);
        vertex.setFloat(QStringLiteral("P1"), v.objId);
        vertex.setFloat(QStringLiteral("P2"), v.vert);
        vertex.setFloat(QStringLiteral("P3"), v.hor);
        vertex.setFloat(QStringLiteral("P5"), v.ruleId);
        vertex.setString(QStringLiteral("P6"), v.termin ? QStringLiteral("T") : QStringLiteral("F"));
        vertex.exec();
    }
    kb::Query edge(QStringLiteral("insert into treb (verfrom, verto, task_id,  resume, goal_id) "
                                  "values (:P0, :P1, :P2, :P3, :P4)"),
                   db);
    edge.setFloat(QStringLiteral("P2"), taskId);
    edge.setFloat(QStringLiteral("P4"), goalId);
    for (const TrebRow &e : rows.edges) {
        edge.setFloat(QStringLiteral("P0"), e.verFrom);
        edge.setFloat(QStringLiteral("P1"), e.verTo);
        edge.setFloat(QStringLiteral("P3"), e.resume ? 1 : 0);
        edge.exec();
    }
}
