#include "engine/Inference.h"

#include <algorithm>
#include <cmath>

namespace engine {

namespace {

// Two numbers are the same value when they differ only by rounding of the arithmetic.
bool sameNumber(double a, double b)
{
    return std::fabs(a - b) <= 1e-9 * std::max({1.0, std::fabs(a), std::fabs(b)});
}

double combine(double a, double b) { return a + b - a * b / 100.0; }

bool compare(double x, int relation, double y)
{
    switch (relation) {
    case 1: return x > y && !sameNumber(x, y);
    case 2: return sameNumber(x, y);
    case 3: return x > y || sameNumber(x, y);
    case 4: return x < y && !sameNumber(x, y);
    case 5: return !sameNumber(x, y);
    case 6: return x < y || sameNumber(x, y);
    default: return false;
    }
}

double round2(double v) { return std::round(v * 100.0) / 100.0; }

QString ruleComment(const std::vector<int> &rules)
{
    QStringList ids;
    for (int r : rules)
        ids << QString::number(r);
    return (rules.size() == 1 ? QStringLiteral("правило ") : QStringLiteral("правила ")) +
           ids.join(QStringLiteral(", "));
}

}  // namespace

QString relationWords(int code)
{
    switch (code) {
    case 0: return QStringLiteral("не определено");
    case 1: return QStringLiteral("больше");
    case 2: return QStringLiteral("принимает");
    case 3: return QStringLiteral("больше или равно");
    case 4: return QStringLiteral("меньше");
    case 5: return QStringLiteral("не принимает");
    case 6: return QStringLiteral("меньше или равно");
    default: return QStringLiteral("?");
    }
}

QString numericRelationWords(int code)
{
    switch (code) {
    case 2: return QStringLiteral("равно");
    case 5: return QStringLiteral("не равно");
    default: return relationWords(code);
    }
}

Inference::Inference(const Knowledge &knowledge, int goalId, const std::vector<Answer> &answers)
    : k_(knowledge), goal_(knowledge.fact(goalId) ? goalId : 0)
{
    for (const Answer &a : answers)
        answers_.insert(a.factId, a);
}

void Inference::log(Event e)
{
    e.step = result_.answered;
    result_.events.push_back(std::move(e));
}

RunResult Inference::run()
{
    result_ = RunResult{};
    if (!k_.subtasks.empty())
        result_.firstSubtask = k_.subtasks.front().id;
    try {
        int index = k_.subtasks.empty() ? -1 : 0;
        QHash<int, bool> visited;
        while (index >= 0) {
            const Subtask &s = k_.subtasks[index];
            visited.insert(s.id, true);
            visitSubtask(index);
            if (goalCertain())
                break;
            Event done;
            done.kind = Event::SubtaskDone;
            done.subtaskId = s.id;
            log(done);

            // Metarules may send the consultation elsewhere; a subtask is never entered twice.
            int next = -1;
            for (int mi : k_.metarulesFrom(s.id)) {
                const Metarule &m = k_.metarules[mi];
                const int target = k_.subtaskIndex(m.toSubtask);
                if (target < 0 || visited.contains(m.toSubtask)) {
                    Event e;
                    e.kind = Event::MetaSkipped;
                    e.metaId = m.id;
                    e.subtaskId = m.toSubtask;
                    e.number = target < 0 ? 0 : 1;  // 0: no such subtask, 1: already visited
                    log(e);
                    continue;
                }
                bool holds = true;
                for (const Condition &c : m.conditions) {
                    QString fault;
                    const double d = degree(c, true, &fault);
                    if (d < kThreshold) {
                        Event e;
                        e.kind = Event::MetaRejected;
                        e.metaId = m.id;
                        e.condition = &c;
                        e.degree = d;
                        e.text = fault;
                        log(e);
                        holds = false;
                        break;
                    }
                }
                if (holds) {
                    Event e;
                    e.kind = Event::MetaSwitch;
                    e.metaId = m.id;
                    e.subtaskId = m.toSubtask;
                    log(e);
                    next = target;
                    break;
                }
            }
            if (next < 0) {
                for (int i = index + 1; i < int(k_.subtasks.size()); ++i)
                    if (!visited.contains(k_.subtasks[i].id)) {
                        next = i;
                        Event e;
                        e.kind = Event::NextInTurn;
                        e.subtaskId = k_.subtasks[i].id;
                        log(e);
                        break;
                    }
            }
            index = next;
        }
        Event end;
        end.kind = Event::Finished;
        log(end);
        result_.pending = 0;
    } catch (const NeedAnswer &need) {
        result_.pending = need.factId;
        result_.asked.push_back(need.factId);
        Event e;
        e.kind = Event::Pending;
        e.factId = need.factId;
        log(e);
    }

    for (int factId : valueOrder_) {
        const EntityState &st = state_[factId];
        for (const FactValue &v : st.values) {
            ResultRow row;
            row.factId = factId;
            row.valueId = v.valueId;
            row.number = v.valueId == -1 ? v.number : 0;
            row.trust = round2(v.cf);
            row.comment = v.fromAnswer ? QStringLiteral("ответ пользователя") : ruleComment(v.rules);
            result_.facts.push_back(row);
        }
    }
    result_.goalHasValue = goal_ && !state_.value(goal_).values.empty();
    return result_;
}

void Inference::visitSubtask(int index)
{
    const Subtask &s = k_.subtasks[index];
    currentSubtask_ = s.id;
    determined_.clear();
    inProgress_.clear();
    Event e;
    e.kind = Event::SubtaskStart;
    e.subtaskId = s.id;
    log(e);

    // The goal first when this subtask concludes it, then the others by FACT_ID.
    const std::vector<int> &concluded = k_.concludedIn(s.id);
    std::vector<int> order;
    order.reserve(concluded.size());
    if (goal_ && std::find(concluded.begin(), concluded.end(), goal_) != concluded.end())
        order.push_back(goal_);
    for (int f : concluded)
        if (f != goal_)
            order.push_back(f);
    for (int f : order) {
        determine(f);
        if (goalCertain()) {
            Event g;
            g.kind = Event::GoalCertain;
            g.factId = goal_;
            for (const FactValue &v : state_[goal_].values)
                if (v.cf >= 100.0 - 1e-9) {
                    g.valueId = v.valueId;
                    g.number = v.number;
                    break;
                }
            log(g);
            return;
        }
    }
}

void Inference::determine(int factId)
{
    if (determined_.contains(factId) || inProgress_.contains(factId))
        return;
    if (depth_ >= kMaxChain) {
        Event e;
        e.kind = Event::ChainTooLong;
        e.factId = factId;
        log(e);
        return;
    }
    struct Depth {
        int &d;
        explicit Depth(int &depth) : d(depth) { ++d; }
        ~Depth() { --d; }
    } depth(depth_);
    inProgress_.insert(factId, true);
    const Fact *fact = k_.fact(factId);
    const std::vector<int> &rules = k_.rulesFor(currentSubtask_, factId);
    for (size_t i = 0; i < rules.size(); ++i) {
        if (fact && !fact->multi && hasCertain(factId)) {
            Event e;
            e.kind = Event::SingleStop;
            e.factId = factId;
            e.ruleId = k_.rules[rules[i]].id;
            log(e);
            break;
        }
        evaluateRule(k_.rules[rules[i]]);
    }
    if (fact && fact->normal) {
        EntityState &st = state_[factId];
        double sum = 0;
        for (const FactValue &v : st.values)
            sum += v.cf;
        if (sum > 100.0 + 1e-9) {
            for (FactValue &v : st.values)
                v.cf = v.cf * 100.0 / sum;
            Event e;
            e.kind = Event::Normalised;
            e.factId = factId;
            e.total = sum;
            log(e);
        }
    }
    inProgress_.remove(factId);
    determined_.insert(factId, true);
}

void Inference::ensureKnown(int factId, bool inMetarule)
{
    if (!inMetarule && !k_.rulesFor(currentSubtask_, factId).empty()) {
        determine(factId);
        return;
    }
    if (!k_.concludedByTask(factId))
        ask(factId);
    // Otherwise the entity keeps what earlier subtasks found.
}

void Inference::ask(int factId)
{
    EntityState &st = state_[factId];
    if (st.asked)
        return;
    const auto it = answers_.constFind(factId);
    if (it == answers_.constEnd())
        throw NeedAnswer{factId};
    st.asked = true;
    ++result_.answered;
    result_.asked.push_back(factId);

    const Answer &a = *it;
    const Fact *fact = k_.fact(factId);
    FactValue v;
    v.fromAnswer = true;
    v.cf = std::clamp(double(a.trust), 0.0, 100.0);
    QString fault;
    if (!fact) {
        fault = QStringLiteral("сущность № %1 не принадлежит задаче").arg(factId);
    } else if (fact->numeric) {
        if (!std::isfinite(a.number))
            fault = QStringLiteral("ответ не является числом");
        v.valueId = -1;
        v.number = a.number;
    } else {
        const Value *value = k_.value(a.valueId);
        if (!value || value->factId != factId)
            fault = a.valueId <= 0 ? QStringLiteral("значение не выбрано")
                                   : QStringLiteral("значение № %1 не является значением этой сущности")
                                         .arg(a.valueId);
        v.valueId = a.valueId;
    }
    Event e;
    e.kind = fault.isEmpty() ? Event::Question : Event::AnswerFault;
    e.factId = factId;
    e.valueId = v.valueId;
    e.number = v.number;
    e.cf = v.cf;
    e.text = fault;
    log(e);
    if (fault.isEmpty())
        addValue(factId, v);
}

void Inference::addValue(int factId, const FactValue &v)
{
    EntityState &st = state_[factId];
    if (st.values.empty())
        valueOrder_.push_back(factId);
    for (FactValue &old : st.values) {
        const bool same = v.valueId == -1 ? (old.valueId == -1 && sameNumber(old.number, v.number))
                                          : old.valueId == v.valueId;
        if (same) {
            old.cf = combine(old.cf, v.cf);
            old.rules.insert(old.rules.end(), v.rules.begin(), v.rules.end());
            old.fromAnswer = old.fromAnswer && v.fromAnswer;
            return;
        }
    }
    st.values.push_back(v);
}

void Inference::evaluateRule(const Rule &rule)
{
    double premise = 100.0;
    for (const Condition &c : rule.conditions) {
        QString fault;
        const double d = degree(c, false, &fault);
        if (d < kThreshold) {
            Event e;
            e.kind = Event::RuleRejected;
            e.ruleId = rule.id;
            e.factId = rule.factId;
            e.condition = &c;
            e.degree = d;
            e.text = fault;
            log(e);
            result_.dialog.emplace_back(rule.id, false);
            return;
        }
        premise = std::min(premise, d);
    }
    FactValue v;
    v.cf = rule.trust * premise / 100.0;
    v.rules.push_back(rule.id);
    v.valueId = rule.valueId;
    if (rule.valueId == -1) {
        try {
            v.number = evaluate(rule.expression, false);
        } catch (const EvalError &err) {
            Event e;
            e.kind = Event::RuleRejected;
            e.ruleId = rule.id;
            e.factId = rule.factId;
            e.text = QStringLiteral("ошибка в выражении заключения «%1»: %2")
                         .arg(rule.expression.text(), err.message());
            log(e);
            result_.dialog.emplace_back(rule.id, false);
            return;
        }
    }
    addValue(rule.factId, v);
    double total = v.cf;
    for (const FactValue &old : state_[rule.factId].values)
        if (old.valueId == v.valueId && (v.valueId != -1 || sameNumber(old.number, v.number)))
            total = old.cf;
    Event e;
    e.kind = Event::RuleFired;
    e.ruleId = rule.id;
    e.factId = rule.factId;
    e.valueId = v.valueId;
    e.number = v.number;
    e.premise = premise;
    e.cf = v.cf;
    e.total = total;
    log(e);
    result_.dialog.emplace_back(rule.id, true);
}

double Inference::degree(const Condition &c, bool inMetarule, QString *fault)
{
    const Fact *fact = k_.fact(c.factId);
    if (!fact) {
        *fault = QStringLiteral("сущность № %1 не принадлежит задаче").arg(c.factId);
        return 0;
    }
    if (c.valueId != -1) {
        if (c.relation != 2 && c.relation != 5) {
            *fault = (c.relation >= 1 && c.relation <= 6)
                         ? QStringLiteral("отношение «%1» не применимо к значению из списка")
                               .arg(relationWords(c.relation))
                         : QStringLiteral("отношение не определено (код %1)").arg(c.relation);
            return 0;
        }
        ensureKnown(c.factId, inMetarule);
        const EntityState &st = state_[c.factId];
        if (c.relation == 2)
            return cfOf(c.factId, c.valueId);
        double best = 0;
        for (const FactValue &v : st.values)
            if (v.valueId != c.valueId)
                best = std::max(best, v.cf);
        return best;
    }
    if (c.relation < 1 || c.relation > 6) {
        *fault = QStringLiteral("отношение не определено (код %1)").arg(c.relation);
        return 0;
    }
    ensureKnown(c.factId, inMetarule);
    double comparand = 0;
    try {
        comparand = evaluate(c.expression, inMetarule);
    } catch (const EvalError &err) {
        *fault = QStringLiteral("ошибка в выражении «%1»: %2").arg(c.expression.text(), err.message());
        return 0;
    }
    const FactValue *v = bestNumber(c.factId);
    if (!v) {
        *fault = QStringLiteral("у сущности нет числового значения");
        return 0;
    }
    return compare(v->number, c.relation, comparand) ? v->cf : 0;
}

double Inference::evaluate(const Expression &e, bool inMetarule)
{
    return e.evaluate([&](const QString &name) -> double {
        QString reason;
        const Fact *f = k_.factByShortName(name, &reason);
        if (!f)
            throw EvalError(reason);
        if (!f->numeric)
            throw EvalError(QStringLiteral("сущность [%1] не числовая").arg(name));
        ensureKnown(f->id, inMetarule);
        const FactValue *v = bestNumber(f->id);
        if (!v)
            throw EvalError(QStringLiteral("у сущности [%1] нет значения").arg(name));
        return v->number;
    });
}

const FactValue *Inference::bestNumber(int factId) const
{
    const auto it = state_.constFind(factId);
    if (it == state_.constEnd())
        return nullptr;
    const FactValue *best = nullptr;
    for (const FactValue &v : it->values)
        if (v.valueId == -1 && (!best || v.cf > best->cf))
            best = &v;
    return best;
}

double Inference::cfOf(int factId, int valueId) const
{
    const auto it = state_.constFind(factId);
    if (it == state_.constEnd())
        return 0;
    for (const FactValue &v : it->values)
        if (v.valueId == valueId)
            return v.cf;
    return 0;
}

bool Inference::hasCertain(int factId) const
{
    const auto it = state_.constFind(factId);
    if (it == state_.constEnd())
        return false;
    for (const FactValue &v : it->values)
        if (v.cf >= 100.0 - 1e-9)
            return true;
    return false;
}

bool Inference::goalCertain() const
{
    if (!goal_)
        return false;
    const Fact *g = k_.fact(goal_);
    return g && !g->multi && hasCertain(goal_);
}

}  // namespace engine
