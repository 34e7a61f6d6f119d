#pragma once
// The network as the drawing holds it: loading the rows of TVER and TREB into vertex and edge
// lists whose positions are fractions of the surface (ShowGraph's half), the colours of the
// current sitting, and the placing of the vertices in pixels (the drawn list that the hit test
// searches). No painting and no widgets here.

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

namespace network {

// A loaded vertex.
struct DVer {
    double xFraction = 0;  // place in the level: hor / (n + 1), n the level's vertex count
    double yFraction = 0;  // level: vert / (V + 1), V the deepest level
    QString shortName;     // the entity's short name; empty for a rule
    bool rule = false;
    bool leaf = false;     // an entity that no rule concludes
    int id = 0;            // the rule of a rule vertex, the entity of an entity vertex
    int subtask = -1;      // the rule's subtask; -1 for an entity
};

// A loaded edge, by vertex numbers.
struct DReb {
    int from = 0;
    int to = 0;
    bool conclusion = false;  // from an entity to a rule that concludes it
};

// A drawn vertex, in pixels of the surface.
struct DDec {
    int x = 0;
    int y = 0;
    QString shortName;
    bool rule = false;
    bool leaf = false;
    int id = 0;
    bool fired = false;
    int subtask = -1;
};

// The loaded lists. Vertices are held in descending vertex number: position p holds vertex
// (count - p), so the goal comes last. Edges keep the order of their rows.
struct LoadedNetwork {
    int goal = 0;
    QList<DVer> vertices;
    QList<DReb> edges;

    // The list position of a vertex number, -1 when there is no such vertex.
    int positionOf(int nver) const
    {
        const int p = int(vertices.size()) - nver;
        return nver >= 1 && p >= 0 ? p : -1;
    }
};

// What the picture depends on besides the lists; held by the main window.
struct ViewState {
    int goal = 0;
    double zoom = 1.0;
    bool vertical = true;       // levels run top to bottom
    int highlightedSubtask = 0;  // 0 for none
    int sitting = 0;
};

// ShowGraph's loading for a task. The goal is the task's goal entity when it has one, else the
// given goal; the vertices and edges of that goal's network are read with one statement each,
// the entities' short names and the rules' subtasks with one statement each as well.
LoadedNetwork loadNetwork(int taskId, int goal);

// The state of one sitting that colours the picture, read afresh on every repaint.
struct SittingMarks {
    bool hasDialogRows = false;  // TDIALOG has rows of the sitting with LRES=1 or LOUT='T'
    QHash<int, int> lresOfRule;  // the LRES of each rule's first such row
    QSet<int> factsWithValue;    // entities with a row in TRFACT for the sitting

    bool fired(int ruleId) const { return lresOfRule.value(ruleId, 0) == 1; }
};
SittingMarks readSittingMarks(int sitting);

// The drawn list for a surface of width x height pixels: vertical orientation places a vertex
// at (W * x fraction, H * y fraction); horizontal at (W * y fraction * z, H * x fraction * z);
// rounded to the nearest pixel. A rule is fired when its first dialogue row has LRES 1.
QList<DDec> placeVertices(const LoadedNetwork &network, int width, int height, const ViewState &view,
                          const SittingMarks &marks);

}  // namespace network
