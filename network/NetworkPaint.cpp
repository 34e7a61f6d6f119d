#include "network/NetworkPaint.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPen>

namespace network {

QList<DDec> paintNetwork(QPainter &painter, const QSize &size, const LoadedNetwork &network,
                         const ViewState &view, const QFont &font, const QRect &clipArea)
{
    const QRect surface(QPoint(0, 0), size);
    const QRect clip = clipArea.isEmpty() ? surface : clipArea.intersected(surface);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(clip, Qt::white);
    if (view.goal == 0) {
        painter.restore();
        return {};
    }

    const SittingMarks marks = readSittingMarks(view.sitting);
    const QList<DDec> drawn = placeVertices(network, size.width(), size.height(), view, marks);

    // A label reaches at most this far from its vertex; what lies further outside the clip
    // cannot show and is skipped, which keeps scrolling over a large network quick.
    QFont regular = font;
    regular.setBold(false);
    QFont bold = font;
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    const int reach = 30 + metrics.height() + metrics.horizontalAdvance(QStringLiteral("WWWWWWWWWWWWWWWWWWWWWWWWW"));
    const QRect near = clip.adjusted(-reach, -reach, reach, reach);

    // Edges first, so that the vertices are drawn over them.
    QPen pen(kSilver, 1);
    const qsizetype count = drawn.size();
    for (const DReb &e : network.edges) {
        const qsizetype from = count - e.from;
        const qsizetype to = count - e.to;
        if (e.from < 1 || e.to < 1 || from < 0 || to < 0)
            continue;  // an edge to a vertex that is not there draws nothing
        const DDec &a = drawn[from];
        const DDec &b = drawn[to];
        const QPoint pa(a.x, a.y), pb(b.x, b.y);
        if (!QRect(pa, pb).normalized().adjusted(-1, -1, 1, 1).intersects(clip))
            continue;
        pen.setColor(a.fired || b.fired ? kRed : kSilver);
        pen.setStyle(e.conclusion ? Qt::SolidLine : Qt::DotLine);
        painter.setPen(pen);
        painter.drawLine(pa, pb);
    }

    // Vertices, the highest number first, so the goal is drawn last. Labels are written in
    // black on an opaque white ground.
    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.setBackground(Qt::white);
    const QFontMetrics regularMetrics(regular);
    for (const DDec &d : drawn) {
        if (!near.contains(d.x, d.y))
            continue;
        if (d.rule) {
            QColor line = kRed, fill = Qt::white;
            if (marks.hasDialogRows) {
                const auto row = marks.lresOfRule.constFind(d.id);
                if (row != marks.lresOfRule.constEnd()) {
                    if (*row == 1)
                        fill = kRed;
                    else
                        line = fill = kGray;
                }
            }
            painter.setPen(QPen(line, 1));
            painter.setBrush(fill);
            painter.drawRect(d.x - 5, d.y - 3, 9, 5);
            // Bold marks the rules of the highlighted subtask; with none highlighted, none.
            const bool strong = view.highlightedSubtask != 0 && d.subtask == view.highlightedSubtask;
            painter.setFont(strong ? bold : regular);
            const QFontMetrics &m = strong ? metrics : regularMetrics;
            const QPoint topLeft = view.vertical ? QPoint(d.x - 5, d.y - 20) : QPoint(d.x + 6, d.y - 7);
            painter.setPen(Qt::black);
            painter.drawText(topLeft + QPoint(0, m.ascent()), QString::number(d.id));
        } else {
            const QColor colour = d.leaf ? kLime : kBlue;
            const bool valued = marks.factsWithValue.contains(d.id);
            painter.setPen(QPen(colour, 1));
            painter.setBrush(valued ? colour : QColor(Qt::white));
            painter.drawEllipse(d.x - 5, d.y - 5, 9, 9);
            if (!d.shortName.isEmpty()) {
                painter.setFont(regular);
                painter.setPen(Qt::black);
                painter.drawText(QPoint(d.x - 20, d.y - 18 + regularMetrics.ascent()), d.shortName);
            }
        }
    }
    painter.restore();
    return drawn;
}

}  // namespace network
