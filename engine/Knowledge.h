#pragma once
// The knowledge of one task as the engine reasons with it: entities, values, subtasks, rules
// with their conditions, metarules. Read from the knowledge tables in one go; expressions are
// parsed once when read.

#include "engine/Expression.h"

#include <QHash>
#include <QSqlDatabase>
#include <QString>

#include <vector>

namespace engine {

struct Fact {
    int id = 0;
    QString name;
    QString shortName;
    QString question;
    bool numeric = false;  // TYPE other than "C"
    bool multi = false;    // MULTY
    bool normal = false;   // NORMAL
    bool nonDet = false;   // NON_DET
    bool goal = false;
};

struct Value {
    int id = 0;
    int factId = 0;
    QString mean;
};

struct Condition {
    int id = 0;
    int factId = 0;
    int valueId = 0;   // -1: numeric comparison with expression
    int relation = 0;  // NOTEQUAL
    Expression expression;
};

struct Rule {
    int id = 0;
    int factId = 0;
    int valueId = 0;  // -1: numeric conclusion with expression
    int trust = 0;
    int subtaskId = 0;
    Expression expression;
    std::vector<Condition> conditions;  // in COND_ID order
    bool selfReferencing = false;       // its conditions or expressions name its own entity
};

struct Subtask {
    int id = 0;
    QString name;
    int turn = 0;
};

struct Metarule {
    int id = 0;
    int fromSubtask = 0;
    int toSubtask = 0;
    std::vector<Condition> conditions;
};

class Knowledge {
public:
    // Reads the knowledge of a task. Throws kb::DbError on a database error.
    static Knowledge load(QSqlDatabase db, int taskId);

    int taskId = 0;
    QString taskName;
    int trustLimit = 0;

    std::vector<Fact> facts;          // by FACT_ID
    std::vector<Value> values;        // by VALUE_ID
    std::vector<Subtask> subtasks;    // in turn order (TURN, then SUBTASK_ID)
    std::vector<Rule> rules;          // by RULE_ID
    std::vector<Metarule> metarules;  // by META_ID

    const Fact *fact(int id) const;
    const Value *value(int id) const;
    const Subtask *subtask(int id) const;
    int subtaskIndex(int id) const;  // position in turn order, -1 when not of this task
    // Resolves a reference [short name]: numeric entities first, then any entity; letter case
    // is ignored when no exact match exists. Returns nullptr and a reason when it cannot.
    const Fact *factByShortName(const QString &shortName, QString *reason) const;

    // The rules of a subtask concluding an entity, in RULE_ID order with self-referencing
    // rules after the others (indexes into rules).
    const std::vector<int> &rulesFor(int subtaskId, int factId) const;
    // The entities that a subtask's rules conclude, by FACT_ID.
    const std::vector<int> &concludedIn(int subtaskId) const;
    // True when some rule of the task concludes the entity (it is then never asked).
    bool concludedByTask(int factId) const { return concludedByTask_.contains(factId); }
    // The metarules leaving a subtask, by META_ID (indexes into metarules).
    const std::vector<int> &metarulesFrom(int subtaskId) const;

    // True when the task has no subtasks and its rules are taken as one implicit subtask
    // (numbered 0).
    bool implicitSubtask = false;

private:
    void index();

    QHash<int, int> factIndex_, valueIndex_, subtaskIndex_;
    QHash<QString, std::vector<int>> byShort_, byShortLower_;
    QHash<qint64, std::vector<int>> rulesFor_;
    QHash<int, std::vector<int>> concludedIn_;
    QHash<int, std::vector<int>> metaFrom_;
    QHash<int, bool> concludedByTask_;
};

}  // namespace engine
