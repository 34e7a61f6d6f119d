#include "app/Listings.h"

#include "kb/Sql.h"

#include <QHash>
#include <QList>

namespace app {

using kb::numberText;
using kb::quoted;

kb::Report factValueListing(int taskId, FactOrder order)
{
    kb::Report report;
    const QString task = QString::number(taskId);

    // The values of all the task's entities at once, in the order they were entered.
    QHash<qint64, QStringList> values;
    kb::Query v(QStringLiteral("SELECT V.FACT_ID, V.VALUE_MEAN FROM TVALUE V, TFACT F "
                               "WHERE V.FACT_ID=F.FACT_ID AND F.TASK_ID=") +
                task + QStringLiteral(" ORDER BY V.VALUE_ID"));
    v.open();
    for (; !v.eof(); v.next())
        values[v.asInteger(QStringLiteral("FACT_ID"))] << v.asString(QStringLiteral("VALUE_MEAN"));

    // Only the columns the listing shows: the pictures stay in the table.
    QString sql = QStringLiteral("SELECT FACT_ID, FACT_NAME, GOAL, COMPLEX, MULTY FROM TFACT  WHERE TASK_ID=") + task;
    sql += order == FactOrder::Entry ? QStringLiteral(" ORDER BY FACT_ID")
                                     : QStringLiteral(" ORDER BY FACT_NAME");
    kb::Query f(sql);
    f.open();
    for (; !f.eof(); f.next()) {
        QString name = f.asString(QStringLiteral("FACT_NAME"));
        // Only the mark the entities editor writes (1) makes the listing call it the result.
        if (f.asInteger(QStringLiteral("GOAL")) == 1)
            name += QStringLiteral(" /Результат/");
        report.bold(name);
        report.plain(QStringLiteral("(Сложность=") +
                     QString::number(f.asInteger(QStringLiteral("COMPLEX"))) + QStringLiteral(", ") +
                     (f.asInteger(QStringLiteral("MULTY")) == 1 ? QStringLiteral("многозначная)")
                                                                 : QStringLiteral("однозначная)")));
        for (const QString &mean : values.value(f.asInteger(QStringLiteral("FACT_ID"))))
            report.plain(QStringLiteral("   ") + mean);
        report.plain(QString());
    }
    return report;
}

kb::Report ruleCondListing(int taskId, RuleOrder order, const RelationWords &relations)
{
    kb::Report report;
    const QString task = QString::number(taskId);

    // Every condition of the task's rules, in the order they were entered. A numeric
    // condition has no value row (VALUE_ID -1): its comparand is its expression in ACTION.
    struct Cond {
        QString fact;
        QString mean;
        int relation;
    };
    QHash<qint64, QList<Cond>> conditions;
    kb::Query c(QStringLiteral(
                    "SELECT C.RULE_ID RULE_ID, C.COND_ID COND_ID, F.FACT_NAME, V.VALUE_MEAN MEAN, C.NOTEQUAL "
                    "FROM TCONDITION C, TVALUE V, TFACT F, TRULE R "
                    "WHERE C.RULE_ID=R.RULE_ID AND C.FACT_ID=F.FACT_ID AND C.VALUE_ID=V.VALUE_ID "
                    "AND R.TASK_ID=") +
                task +
                QStringLiteral(" UNION ALL "
                               "SELECT C.RULE_ID, C.COND_ID, F.FACT_NAME, C.ACTION MEAN, C.NOTEQUAL "
                               "FROM TCONDITION C, TFACT F, TRULE R "
                               "WHERE C.RULE_ID=R.RULE_ID AND C.FACT_ID=F.FACT_ID AND C.VALUE_ID=-1 "
                               "AND R.TASK_ID=") +
                task + QStringLiteral(" ORDER BY RULE_ID, COND_ID"));
    c.open();
    for (; !c.eof(); c.next())
        conditions[c.asInteger(QStringLiteral("RULE_ID"))].append(
            {c.asString(QStringLiteral("FACT_NAME")), c.asString(QStringLiteral("MEAN")),
             int(c.asInteger(QStringLiteral("NOTEQUAL")))});

    // The rules with a symbolic conclusion, then those with a numeric one (VALUE_ID -1),
    // whose conclusion is the expression in ACTION.
    QString sql =
        QStringLiteral("SELECT R.RULE_ID RULE_ID, F.FACT_NAME, V.VALUE_MEAN MEAN, R.TRUST, S.SUBTASK_NAME, "
                       "R.SUBTASK_ID SUBTASK_ID FROM TRULE R, TFACT F, TVALUE V, TSUBTASK S WHERE R.TASK_ID=") +
        task +
        QStringLiteral(" AND F.FACT_ID=R.FACT_ID AND V.VALUE_ID=R.VALUE_ID AND S.SUBTASK_ID=R.SUBTASK_ID"
                       " UNION ALL "
                       "SELECT R.RULE_ID, F.FACT_NAME, R.ACTION MEAN, R.TRUST, S.SUBTASK_NAME, "
                       "R.SUBTASK_ID FROM TRULE R, TFACT F, TSUBTASK S WHERE R.TASK_ID=") +
        task +
        QStringLiteral(" AND F.FACT_ID=R.FACT_ID AND R.VALUE_ID=-1 AND S.SUBTASK_ID=R.SUBTASK_ID");
    sql += order == RuleOrder::BySubtask ? QStringLiteral(" ORDER BY SUBTASK_ID, RULE_ID")
                                         : QStringLiteral(" ORDER BY RULE_ID");
    // Each code is asked of the engine library once per listing.
    QHash<int, QString> relationWords;
    kb::Query r(sql);
    r.open();
    for (; !r.eof(); r.next()) {
        const qint64 ruleId = r.asInteger(QStringLiteral("RULE_ID"));
        const QString number = QString::number(ruleId);
        const QString subtask = quoted(r.asString(QStringLiteral("SUBTASK_NAME")));
        report.bold(order == RuleOrder::BySubtask
                        ? QStringLiteral("Подзадача ") + subtask + QStringLiteral(", правило ") + number
                        : QStringLiteral("Правило ") + number + QStringLiteral(", подзадача ") + subtask);
        report.plain(r.asString(QStringLiteral("FACT_NAME")) + QStringLiteral(" = ") +
                     r.asString(QStringLiteral("MEAN")));
        report.plain(QStringLiteral("С достоверностью ") + numberText(r.value(QStringLiteral("TRUST"))));
        const QList<Cond> conds = conditions.value(ruleId);
        if (!conds.isEmpty())
            report.plain(QStringLiteral("если"));
        for (int i = 0; i < conds.size(); ++i) {
            if (i > 0)
                report.plain(QStringLiteral("и"));
            auto words = relationWords.find(conds[i].relation);
            if (words == relationWords.end())
                words = relationWords.insert(conds[i].relation, relations(conds[i].relation));
            report.plain(QStringLiteral("  ") + conds[i].fact + QLatin1Char(' ') + *words +
                         QLatin1Char(' ') + conds[i].mean);
        }
        report.plain(QString());
    }
    return report;
}

}  // namespace app
