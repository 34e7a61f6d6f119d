#include "network/RuleByObjList.h"

#include "kb/Sql.h"

namespace network {

QString factNameOf(int factId)
{
    kb::Query q(QStringLiteral("select fact_name from tfact where fact_id=") + QString::number(factId));
    q.open();
    return q.value(0).toString();
}

QList<int> rulesByObj(int factId, EntityRole role)
{
    const QString fact = QString::number(factId);
    kb::Query q(role == EntityRole::Result
                    ? QStringLiteral("select rule_id from trule  where fact_id=") + fact +
                          QStringLiteral(" order by 1")
                    : QStringLiteral("select distinct rule_id from tcondition c  where  c.rule_id>-1 "
                                     "and c.fact_id=") +
                          fact + QStringLiteral(" order by 1"));
    q.open();
    QList<int> rules;
    for (; !q.eof(); q.next())
        rules << int(q.value(0).toLongLong());
    return rules;
}

}  // namespace network
