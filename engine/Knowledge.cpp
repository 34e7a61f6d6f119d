#include "engine/Knowledge.h"

#include "kb/Sql.h"

#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>

namespace engine {

namespace {

int intOf(const QVariant &v) { return int(kb::wholeNumber(v)); }

// A forward-only statement with the task number bound; fields are read by position, which
// keeps reading ten thousand rules quick.
QSqlQuery select(QSqlDatabase db, const QString &sql, int taskId)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.prepare(sql))
        throw kb::DbError(q.lastError().text());
    q.bindValue(QStringLiteral(":P0"), taskId);
    if (!q.exec())
        throw kb::DbError(q.lastError().text());
    return q;
}

Condition readCondition(const QSqlQuery &q)
{
    Condition c;
    c.id = intOf(q.value(0));
    c.factId = intOf(q.value(2));
    c.valueId = intOf(q.value(3));
    c.relation = intOf(q.value(4));
    if (c.valueId == -1)
        c.expression = Expression::parse(q.value(5).toString());
    return c;
}

}  // namespace

Knowledge Knowledge::load(QSqlDatabase db, int taskId)
{
    Knowledge k;
    k.taskId = taskId;
    {
        QSqlQuery q = select(db, QStringLiteral("SELECT TASK_NAME, TRUSTLIMIT FROM TTASK WHERE TASK_ID=:P0"), taskId);
        if (q.next()) {
            k.taskName = q.value(0).toString();
            k.trustLimit = intOf(q.value(1));
        }
    }
    {
        QSqlQuery q = select(db, QStringLiteral(
            "SELECT FACT_ID, FACT_NAME, FACT_SHORT, FACT_QUESTION, TYPE, MULTY, NORMAL, NON_DET, GOAL "
            "FROM TFACT WHERE TASK_ID=:P0 ORDER BY FACT_ID"), taskId);
        while (q.next()) {
            Fact f;
            f.id = intOf(q.value(0));
            f.name = q.value(1).toString();
            f.shortName = q.value(2).toString().trimmed();
            f.question = q.value(3).toString();
            // Anything but "C" is asked and reasoned about as a number, as the dialogue does.
            f.numeric = q.value(4).toString().trimmed() != QStringLiteral("C");
            f.multi = intOf(q.value(5)) != 0;
            f.normal = intOf(q.value(6)) != 0;
            f.nonDet = intOf(q.value(7)) != 0;
            f.goal = intOf(q.value(8)) > 0;
            k.facts.push_back(f);
        }
    }
    {
        QSqlQuery q = select(db, QStringLiteral(
            "SELECT V.VALUE_ID, V.FACT_ID, V.VALUE_MEAN FROM TVALUE V, TFACT F "
            "WHERE F.FACT_ID=V.FACT_ID AND F.TASK_ID=:P0 ORDER BY V.VALUE_ID"), taskId);
        while (q.next())
            k.values.push_back({intOf(q.value(0)), intOf(q.value(1)), q.value(2).toString()});
    }
    {
        QSqlQuery q = select(db, QStringLiteral(
            "SELECT SUBTASK_ID, SUBTASK_NAME, TURN FROM TSUBTASK WHERE TASK_ID=:P0 "
            "ORDER BY TURN, SUBTASK_ID"), taskId);
        while (q.next())
            k.subtasks.push_back({intOf(q.value(0)), q.value(1).toString(), intOf(q.value(2))});
    }
    QHash<int, int> ruleIndex;
    {
        QSqlQuery q = select(db, QStringLiteral(
            "SELECT RULE_ID, FACT_ID, VALUE_ID, TRUST, SUBTASK_ID, "
            "CASE WHEN VALUE_ID=-1 THEN ACTION END FROM TRULE "
            "WHERE TASK_ID=:P0 ORDER BY RULE_ID"), taskId);
        while (q.next()) {
            Rule r;
            r.id = intOf(q.value(0));
            r.factId = intOf(q.value(1));
            r.valueId = intOf(q.value(2));
            r.trust = std::clamp(intOf(q.value(3)), 0, 100);
            r.subtaskId = intOf(q.value(4));
            if (r.valueId == -1)
                r.expression = Expression::parse(q.value(5).toString());
            ruleIndex.insert(r.id, int(k.rules.size()));
            k.rules.push_back(std::move(r));
        }
    }
    {
        QSqlQuery q = select(db, QStringLiteral(
            "SELECT COND_ID, RULE_ID, FACT_ID, VALUE_ID, NOTEQUAL, "
            "CASE WHEN VALUE_ID=-1 THEN ACTION END FROM TCONDITION "
            "WHERE RULE_ID IN (SELECT RULE_ID FROM TRULE WHERE TASK_ID=:P0)"), taskId);
        while (q.next()) {
            const auto it = ruleIndex.constFind(intOf(q.value(1)));
            if (it != ruleIndex.constEnd())
                k.rules[*it].conditions.push_back(readCondition(q));
        }
    }
    QHash<int, int> metaIndex;
    {
        QSqlQuery q = select(db, QStringLiteral(
            "SELECT META_ID, OLDSUBTASK_ID, SUBTASK_ID FROM TMETA WHERE TASK_ID=:P0 ORDER BY META_ID"),
            taskId);
        while (q.next()) {
            Metarule m;
            m.id = intOf(q.value(0));
            m.fromSubtask = intOf(q.value(1));
            m.toSubtask = intOf(q.value(2));
            metaIndex.insert(m.id, int(k.metarules.size()));
            k.metarules.push_back(std::move(m));
        }
    }
    {
        QSqlQuery q = select(db, QStringLiteral(
            "SELECT COND_ID, META_ID, FACT_ID, VALUE_ID, NOTEQUAL, "
            "CASE WHEN VALUE_ID=-1 THEN ACTION END FROM TCONDITION "
            "WHERE RULE_ID=-1 AND META_ID IN (SELECT META_ID FROM TMETA WHERE TASK_ID=:P0)"), taskId);
        while (q.next()) {
            const auto it = metaIndex.constFind(intOf(q.value(1)));
            if (it != metaIndex.constEnd())
                k.metarules[*it].conditions.push_back(readCondition(q));
        }
    }
    k.index();
    return k;
}

void Knowledge::index()
{
    // Conditions are evaluated in COND_ID order.
    auto byId = [](const Condition &a, const Condition &b) { return a.id < b.id; };
    for (Rule &r : rules)
        std::sort(r.conditions.begin(), r.conditions.end(), byId);
    for (Metarule &m : metarules)
        std::sort(m.conditions.begin(), m.conditions.end(), byId);

    for (int i = 0; i < int(facts.size()); ++i) {
        factIndex_.insert(facts[i].id, i);
        byShort_[facts[i].shortName].push_back(i);
        byShortLower_[facts[i].shortName.toLower()].push_back(i);
    }
    for (int i = 0; i < int(values.size()); ++i)
        valueIndex_.insert(values[i].id, i);
    // A task without subtasks still has a consultation: its rules form one subtask.
    if (subtasks.empty() && !rules.empty()) {
        implicitSubtask = true;
        subtasks.push_back({0, QString(), 0});
        for (Rule &r : rules)
            r.subtaskId = 0;
    }
    for (int i = 0; i < int(subtasks.size()); ++i)
        subtaskIndex_.insert(subtasks[i].id, i);

    for (int i = 0; i < int(rules.size()); ++i) {
        Rule &r = rules[i];
        concludedByTask_.insert(r.factId, true);
        // A rule that looks at its own entity is tried after the others of that entity, so
        // that it sees what they concluded.
        const Fact *own = fact(r.factId);
        auto names = [&](const Expression &e) {
            if (!own)
                return false;
            for (const QString &ref : e.references()) {
                QString reason;
                if (factByShortName(ref, &reason) == own)
                    return true;
            }
            return false;
        };
        r.selfReferencing = names(r.expression);
        for (const Condition &c : r.conditions)
            if (c.factId == r.factId || names(c.expression))
                r.selfReferencing = true;
        if (subtaskIndex_.contains(r.subtaskId)) {
            std::vector<int> &list = rulesFor_[(qint64(r.subtaskId) << 32) | quint32(r.factId)];
            list.push_back(i);
            std::vector<int> &concluded = concludedIn_[r.subtaskId];
            if (std::find(concluded.begin(), concluded.end(), r.factId) == concluded.end())
                concluded.push_back(r.factId);
        }
    }
    for (auto &list : rulesFor_)
        std::stable_partition(list.begin(), list.end(),
                              [this](int i) { return !rules[i].selfReferencing; });
    for (auto &list : concludedIn_)
        std::sort(list.begin(), list.end());
    for (int i = 0; i < int(metarules.size()); ++i)
        metaFrom_[metarules[i].fromSubtask].push_back(i);
}

const Fact *Knowledge::fact(int id) const
{
    const auto it = factIndex_.constFind(id);
    return it == factIndex_.constEnd() ? nullptr : &facts[*it];
}

const Value *Knowledge::value(int id) const
{
    const auto it = valueIndex_.constFind(id);
    return it == valueIndex_.constEnd() ? nullptr : &values[*it];
}

const Subtask *Knowledge::subtask(int id) const
{
    const int i = subtaskIndex(id);
    return i < 0 ? nullptr : &subtasks[i];
}

int Knowledge::subtaskIndex(int id) const { return subtaskIndex_.value(id, -1); }

const Fact *Knowledge::factByShortName(const QString &shortName, QString *reason) const
{
    const QString name = shortName.trimmed();
    QString fault;
    auto find = [&](Qt::CaseSensitivity cs) -> const Fact * {
        const Fact *numeric = nullptr;
        const Fact *any = nullptr;
        int numericCount = 0;
        const auto &byName = cs == Qt::CaseSensitive ? byShort_ : byShortLower_;
        const auto it = byName.constFind(cs == Qt::CaseSensitive ? name : name.toLower());
        if (it == byName.constEnd())
            return nullptr;
        for (const int i : *it) {
            const Fact &f = facts[i];
            if (!any)
                any = &f;
            if (f.numeric) {
                if (!numeric)
                    numeric = &f;
                ++numericCount;
            }
        }
        if (numericCount > 1) {
            fault = QStringLiteral("ссылка [%1] неоднозначна: это краткое имя у нескольких "
                                   "числовых сущностей задачи")
                        .arg(name);
            return nullptr;
        }
        return numeric ? numeric : any;
    };
    const Fact *f = find(Qt::CaseSensitive);
    if (!f && fault.isEmpty())
        f = find(Qt::CaseInsensitive);
    if (!f && fault.isEmpty())
        fault = QStringLiteral("ссылка [%1]: в задаче нет сущности с таким кратким именем").arg(name);
    if (!f && reason)
        *reason = fault;
    return f;
}

const std::vector<int> &Knowledge::rulesFor(int subtaskId, int factId) const
{
    static const std::vector<int> none;
    const auto it = rulesFor_.constFind((qint64(subtaskId) << 32) | quint32(factId));
    return it == rulesFor_.constEnd() ? none : *it;
}

const std::vector<int> &Knowledge::concludedIn(int subtaskId) const
{
    static const std::vector<int> none;
    const auto it = concludedIn_.constFind(subtaskId);
    return it == concludedIn_.constEnd() ? none : *it;
}

const std::vector<int> &Knowledge::metarulesFrom(int subtaskId) const
{
    static const std::vector<int> none;
    const auto it = metaFrom_.constFind(subtaskId);
    return it == metaFrom_.constEnd() ? none : *it;
}

}  // namespace engine
