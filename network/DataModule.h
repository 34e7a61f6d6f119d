#pragma once
// The shared data module: construction of a task's inference network into TVER and TREB, and
// the small look-ups the drawing makes.
//
// The network is built backwards from the task's goal entity, breadth first: an entity vertex
// is expanded into the rules of the task that conclude it, a rule vertex into the entities
// named in its conditions. Vertex numbers follow the order of discovery, and that order fixes
// each vertex's level and its place within the level, which the drawing uses as coordinates.
// Within a level the order comes from ascending rule and entity identifiers, so the same
// knowledge base always gives the same network.

#include <QList>
#include <QSqlDatabase>
#include <QString>

// One row of TVER.
struct TverRow {
    int nver = 0;
    int objId = 0;   // the entity of an entity vertex, 0 for a rule vertex
    int vert = 0;    // level, 1 for the goal
    int hor = 0;     // place within the level, from 1
    int ruleId = 0;  // the rule of a rule vertex, 0 for an entity vertex
    bool termin = false;  // an entity that no rule of the task concludes (a leaf)
};

// One row of TREB.
struct TrebRow {
    int verFrom = 0;
    int verTo = 0;
    bool resume = false;  // entity -> concluding rule (true), rule -> condition entity (false)
};

struct NetworkRows {
    QList<TverRow> vertices;  // in vertex-number order
    QList<TrebRow> edges;     // in order of discovery
};

class TDataModule1 {
public:
    static TDataModule1 &instance();

    // Rebuilds the network tables of a task: clears every network row of the task and writes
    // the network of its goal entity (goal 0 when it has none). Runs in one transaction, so a
    // failure leaves the previous network as it was; the error is thrown as kb::DbError.
    void FreshGraph(int taskId);

    // Appends the network of the given goal of a task to TVER and TREB (one transaction). It
    // deletes nothing: the caller clears the task's rows when it wants a fresh network.
    void Petri(int taskId, int goalId);

    // The goal check's build: when the task has no vertex rows for this goal yet, clears the
    // task's rows and builds the network of the goal (one transaction). Returns true when it
    // built. A network without edges (a goal that no rule concludes) counts as built, so
    // repeated checks never append a second copy.
    bool BuildIfMissing(int taskId, int goalId);

    // The subtask of a rule, 0 when the rule is not found.
    int SubtaskOfRule(int ruleId);

    // The full name (fullName true) or the short name of an entity; empty when not found.
    QString NameObj(int factId, bool fullName);

    // The goal entity of a task as the rebuild takes it, 0 when the task has none.
    int GoalOfTask(int taskId);

    // The network of a goal as computed from the knowledge tables, without writing anything.
    static NetworkRows computeNetwork(int taskId, int goalId, QSqlDatabase db);

private:
    void clearTask(int taskId, QSqlDatabase db);
    void writeNetwork(int taskId, int goalId, const NetworkRows &rows, QSqlDatabase db);
};
