#pragma once
// One run of the inference over a task's knowledge with the answers given so far. A run
// starts from nothing every time and replays the answers in the order the questions come;
// it stops at the first entity that must be asked and has no answer yet, or at the end of
// the consultation. The same answers therefore always give the same run.

#include "engine/Knowledge.h"

#include <QString>

#include <vector>

namespace engine {

// The firing threshold: a premise or condition below it counts as false.
inline constexpr double kThreshold = 20.0;
// How many entities may wait on one another while one is being determined; deeper chains
// are cut so that no knowledge base exhausts the stack.
inline constexpr int kMaxChain = 1000;

// One answer of the sitting (a row of questions).
struct Answer {
    int factId = 0;
    int valueId = 0;  // the chosen value, -1 for a number
    int trust = 100;
    double number = 0;
};

// A value that an entity has in the run.
struct FactValue {
    int valueId = -1;  // -1 for a number
    double number = 0;
    double cf = 0;
    bool fromAnswer = false;
    std::vector<int> rules;  // rules that concluded it, in firing order
};

// One thing that happened, for the explanation.
struct Event {
    enum Kind {
        SubtaskStart,   // subtaskId
        Question,       // factId asked and answered (valueId / number / cf)
        AnswerFault,    // factId: the answer could not be taken; text says why
        RuleFired,      // ruleId, premise, cf (of the conclusion), total (combined), valueId/number
        RuleRejected,   // ruleId, condition (or none), degree, text (fault, may be empty)
        SingleStop,     // factId: a single-valued entity reached CF 100, ruleId = next not tried
        Normalised,     // factId, total = the sum before
        SubtaskDone,    // subtaskId
        MetaSkipped,    // metaId, subtaskId = target already visited / unknown
        MetaRejected,   // metaId, condition, degree, text
        MetaSwitch,     // metaId, subtaskId = target
        NextInTurn,     // subtaskId = next by turn order
        GoalCertain,    // factId = goal, valueId/number of the certain value
        Finished,       // the consultation is over
        Pending,        // factId to be asked next
        ChainTooLong,   // factId: not determined, the chain of rules above it is too long
    };
    Kind kind = Finished;
    int step = 0;  // the answer after which it happened (0 before the first answer)
    int factId = 0, valueId = 0, ruleId = 0, metaId = 0, subtaskId = 0;
    const Condition *condition = nullptr;
    double number = 0, cf = 0, premise = 0, total = 0, degree = 0;
    QString text;
};

// A row of TRFACT as the run leaves it.
struct ResultRow {
    int factId = 0;
    int valueId = -1;
    double number = 0;
    double trust = 0;  // rounded to two decimals
    QString comment;
};

struct RunResult {
    std::vector<int> asked;  // entities asked, in order; the pending one last
    int pending = 0;         // the entity to ask now, 0 when the consultation is over
    int answered = 0;        // answers taken so far (the number of the current step)
    std::vector<std::pair<int, bool>> dialog;  // rules evaluated: RULE_ID, fired
    std::vector<ResultRow> facts;              // values of entities, in order obtained
    std::vector<Event> events;
    bool goalHasValue = false;
    int firstSubtask = 0;  // 0 when the task has none (-1 implicit subtask never shown)
};

class Inference {
public:
    // answers: the sitting's answers in the order given; for an entity answered twice the
    // later answer counts.
    Inference(const Knowledge &knowledge, int goalId, const std::vector<Answer> &answers);
    RunResult run();

private:
    struct NeedAnswer {
        int factId;
    };
    struct EntityState {
        std::vector<FactValue> values;
        bool asked = false;
    };

    void visitSubtask(int index);
    void determine(int factId);
    void ensureKnown(int factId, bool inMetarule);
    void ask(int factId);
    void evaluateRule(const Rule &rule);
    double degree(const Condition &c, bool inMetarule, QString *fault);
    double evaluate(const Expression &e, bool inMetarule);
    void addValue(int factId, const FactValue &v);
    const FactValue *bestNumber(int factId) const;
    double cfOf(int factId, int valueId) const;
    bool hasCertain(int factId) const;
    bool goalCertain() const;
    void log(Event e);

    const Knowledge &k_;
    int goal_ = 0;
    QHash<int, Answer> answers_;
    QHash<int, EntityState> state_;
    std::vector<int> valueOrder_;  // entities in the order they first got a value
    int currentSubtask_ = 0;
    QHash<int, bool> determined_, inProgress_;
    int depth_ = 0;
    RunResult result_;
};

// Relation words for the rules listing: "больше", "принимает" ... ("?" for an unknown code).
QString relationWords(int code);
// Words of a relation as the explanation uses them for a number ("больше", "равно" ...).
QString numericRelationWords(int code);

}  // namespace engine
