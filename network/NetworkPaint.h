#pragma once
// Painting the loaded network onto any paint device: the window's surface, a picture for the
// printer or a file, an image in a test or a benchmark. Qt Gui only, no widgets.

#include "network/NetworkModel.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QImage>
#include <QRect>

class QPainter;

namespace network {

// The colours of the picture.
inline const QColor kSilver{192, 192, 192};  // an edge of a rule that did not fire
inline const QColor kRed{255, 0, 0};         // a rule; a fired rule and its edges
inline const QColor kGray{128, 128, 128};    // a rule known to the dialogue only through LOUT
inline const QColor kLime{0, 255, 0};        // a leaf entity
inline const QColor kBlue{0, 0, 255};        // an entity concluded by rules

// What one repaint leaves for the next: the image the picture is composed in and the label
// stamps of the entities' names in the font they were written in. Nothing in it depends on the
// knowledge base or the sitting, so the picture is the same with or without it.
struct PaintCache {
    QImage canvas;
    QFont labelFont;
    QHash<QString, QImage> labels;
};

// PaintBox1Paint's drawing onto a surface of the given size: fills it white; with goal 0 it
// stops there. Otherwise reads the sitting's marks, places the vertices, draws the edges and
// then the vertices (the goal last), and returns the drawn list. Only what meets clip is
// drawn (the whole surface when clip is empty); the drawn list always holds every vertex.
QList<DDec> paintNetwork(QPainter &painter, const QSize &size, const LoadedNetwork &network,
                         const ViewState &view, const QFont &font, const QRect &clip = {},
                         PaintCache *cache = nullptr);

}  // namespace network
