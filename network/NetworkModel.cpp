#include "network/NetworkModel.h"

#include "kb/Sql.h"

#include <algorithm>
#include <cmath>

namespace network {

namespace {

QString num(qint64 n) { return QString::number(n); }

int intValue(const kb::Query &q, int column) { return int(kb::wholeNumber(q.value(column))); }

// Halves go away from zero. However far the zoom goes, a position stays within 2^24 pixels,
// which is beyond any surface and keeps the arithmetic of the drawing in range.
int roundPixel(double v)
{
    constexpr double limit = 1 << 24;
    return int(std::lround(std::clamp(v, -limit, limit)));
}

}  // namespace

LoadedNetwork loadNetwork(int taskId, int goal)
{
    LoadedNetwork out;
    const QString task = num(taskId);
    {
        kb::Query q(QStringLiteral("select fact_id from tfact  where goal>0 and task_id=") + task);
        q.open();
        if (!q.eof())
            goal = intValue(q, 0);
    }
    out.goal = goal;
    const QString where = QStringLiteral(" WHERE TASK_ID=") + task + QStringLiteral(" AND GOAL_ID=") + num(goal);

    struct Row {
        int nver, obj, vert, hor, rule;
        bool termin;
    };
    QList<Row> rows;
    {
        kb::Query q(QStringLiteral("SELECT NVER, OBJ_ID, VERT, HOR, RULE_ID, TERMIN FROM TVER V WHERE  V.TASK_ID=") +
                    task + QStringLiteral(" AND GOAL_ID=") + num(goal) + QStringLiteral(" ORDER BY NVER"));
        q.open();
        for (; !q.eof(); q.next())
            rows.append({intValue(q, 0), intValue(q, 1), intValue(q, 2), intValue(q, 3), intValue(q, 4),
                         q.value(5).toString() == QStringLiteral("T")});
    }
    if (rows.isEmpty())
        return out;

    // The names of the network's entities and the subtasks of its rules, one statement each
    // instead of one per vertex. An entity or rule that is gone gives an empty name or subtask 0.
    QHash<int, QString> shortNames;
    {
        kb::Query q(QStringLiteral("SELECT F.FACT_ID, F.FACT_SHORT FROM TFACT F WHERE F.FACT_ID IN "
                                   "(SELECT OBJ_ID FROM TVER") + where + QStringLiteral(")"));
        q.open();
        for (; !q.eof(); q.next())
            shortNames.insert(intValue(q, 0), q.value(1).toString());
    }
    QHash<int, int> subtasks;
    {
        kb::Query q(QStringLiteral("SELECT R.RULE_ID, R.SUBTASK_ID FROM TRULE R WHERE R.RULE_ID IN "
                                   "(SELECT RULE_ID FROM TVER") + where + QStringLiteral(")"));
        q.open();
        for (; !q.eof(); q.next())
            subtasks.insert(intValue(q, 0), intValue(q, 1));
    }

    // Walk from the last vertex to the first: the last vertex of a level carries the level's
    // vertex count in its place.
    const int deepest = rows.last().vert;
    int level = rows.last().vert;
    int count = rows.last().hor;
    out.vertices.reserve(rows.size());
    for (auto it = rows.crbegin(); it != rows.crend(); ++it) {
        DVer v;
        v.yFraction = double(it->vert) / (deepest + 1);
        if (it->vert != level) {
            level = it->vert;
            count = it->hor;
        }
        v.xFraction = double(it->hor) / (count + 1);
        if (it->rule != 0) {
            v.rule = true;
            v.id = it->rule;
            v.subtask = subtasks.value(it->rule, 0);
        } else {
            v.shortName = shortNames.value(it->obj);
            v.leaf = it->termin;
            v.id = it->obj;
            v.subtask = -1;
        }
        out.vertices.append(v);
    }

    kb::Query q(QStringLiteral("SELECT  VERFROM, VERTO, RESUME FROM TREB") + where);
    q.open();
    for (; !q.eof(); q.next())
        out.edges.append({intValue(q, 0), intValue(q, 1), intValue(q, 2) == 1});
    return out;
}

SittingMarks readSittingMarks(int sitting)
{
    SittingMarks marks;
    {
        kb::Query q(QStringLiteral("SELECT D.RULE_ID , D.LRES FROM TDIALOG D WHERE (D.LRES=1 OR D.LOUT='T') AND  SITTING_ID=") +
                    num(sitting));
        q.open();
        for (; !q.eof(); q.next()) {
            marks.hasDialogRows = true;
            const int rule = intValue(q, 0);
            if (!marks.lresOfRule.contains(rule))  // the first row of a rule decides
                marks.lresOfRule.insert(rule, intValue(q, 1));
        }
    }
    kb::Query q(QStringLiteral("SELECT DISTINCT FACT_ID FROM TRFACT  WHERE SITTING_ID=") + num(sitting));
    q.open();
    for (; !q.eof(); q.next())
        marks.factsWithValue.insert(intValue(q, 0));
    return marks;
}

QList<DDec> placeVertices(const LoadedNetwork &network, int width, int height, const ViewState &view,
                          const SittingMarks &marks)
{
    QList<DDec> drawn;
    drawn.reserve(network.vertices.size());
    for (const DVer &v : network.vertices) {
        DDec d;
        if (view.vertical) {
            d.x = roundPixel(width * v.xFraction);
            d.y = roundPixel(height * v.yFraction);
        } else {
            d.x = roundPixel(width * v.yFraction * view.zoom);
            d.y = roundPixel(height * v.xFraction * view.zoom);
        }
        d.shortName = v.shortName;
        d.rule = v.rule;
        d.leaf = v.leaf;
        d.id = v.id;
        d.subtask = v.subtask;
        d.fired = v.rule && marks.fired(v.id);
        drawn.append(d);
    }
    return drawn;
}

}  // namespace network
