#include "network/NetworkPaint.h"

#include <QFontMetrics>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace network {

namespace {

// The picture is composed in an image of the area being painted and handed to the painter in
// one piece. Shapes and labels are stamps that the painter itself draws once per repaint and
// that are then copied to each vertex, so every vertex looks exactly as if it had been drawn
// there; edges are rasterised directly. A network of ten thousand rules then repaints in a
// few milliseconds instead of the better part of a second.
class Canvas {
public:
    // Composes in the given image, made the size of the area when it is not.
    Canvas(const QRect &area, QImage &image) : area_(area), image_(image)
    {
        if (image_.size() != area.size() || image_.format() != QImage::Format_RGB32)
            image_ = QImage(area.size(), QImage::Format_RGB32);
        image_.fill(Qt::white);
    }
    QImage &image() { return image_; }
    const QRect &area() const { return area_; }

    // A line from a to b (surface pixels), solid or dotted (one pixel drawn, two left out,
    // counted along the line from a).
    void line(QPoint a, QPoint b, QRgb colour, bool dotted)
    {
        a -= area_.topLeft();
        b -= area_.topLeft();
        const int w = image_.width(), h = image_.height();
        const int dx = b.x() - a.x(), dy = b.y() - a.y();
        const bool steep = std::abs(dy) > std::abs(dx);
        const int steps = steep ? std::abs(dy) : std::abs(dx);
        const int majorStep = (steep ? dy : dx) >= 0 ? 1 : -1;
        // The minor coordinate in 32.32 fixed point, rounded to the nearest pixel.
        const qint64 slope = steps == 0 ? 0 : (qint64(steep ? dx : dy) << 32) / steps;
        const int majorStart = steep ? a.y() : a.x();
        const int majorSize = steep ? h : w;
        const int minorSize = steep ? w : h;
        // Only the steps whose major coordinate lies inside the image.
        int first = 0, last = steps;
        if (majorStep > 0) {
            first = std::max(first, -majorStart);
            last = std::min(last, majorSize - 1 - majorStart);
        } else {
            first = std::max(first, majorStart - (majorSize - 1));
            last = std::min(last, majorStart);
        }
        qint64 minor = (qint64(steep ? a.x() : a.y()) << 32) + (qint64(1) << 31) + slope * first;
        uchar *bits = image_.bits();
        const qsizetype stride = image_.bytesPerLine();
        for (int i = first; i <= last; ++i, minor += slope) {
            if (dotted && i % 3 != 0)
                continue;
            const int m = int(minor >> 32);
            if (m < 0 || m >= minorSize)
                continue;
            const int major = majorStart + i * majorStep;
            const int x = steep ? m : major, y = steep ? major : m;
            reinterpret_cast<QRgb *>(bits + y * stride)[x] = colour;
        }
    }

    // Copies a stamp with its top-left corner at p (surface pixels). Transparent pixels of a
    // stamp with an alpha channel leave the picture as it is.
    void stamp(const QImage &s, QPoint p)
    {
        p -= area_.topLeft();
        const QRect target = QRect(p, s.size()).intersected(image_.rect());
        if (target.isEmpty())
            return;
        const int sx = target.x() - p.x(), sy = target.y() - p.y();
        const bool opaque = !s.hasAlphaChannel();
        for (int row = 0; row < target.height(); ++row) {
            const QRgb *from = reinterpret_cast<const QRgb *>(s.constScanLine(sy + row)) + sx;
            QRgb *to = reinterpret_cast<QRgb *>(image_.scanLine(target.y() + row)) + target.x();
            if (opaque) {
                std::memcpy(to, from, size_t(target.width()) * sizeof(QRgb));
            } else {
                for (int col = 0; col < target.width(); ++col)
                    if (qAlpha(from[col]) != 0)
                        to[col] = from[col] | 0xff000000u;
            }
        }
    }

private:
    QRect area_;
    QImage &image_;
};

// A shape drawn by the painter on a transparent stamp; origin is where the vertex centre lies.
QImage shapeStamp(QSize size, QColor pen, QColor brush, bool rectangle)
{
    QImage s(size, QImage::Format_ARGB32);
    s.fill(Qt::transparent);
    QPainter p(&s);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(pen, 1));
    p.setBrush(brush);
    if (rectangle)
        p.drawRect(1, 1, 9, 5);  // (x-5, y-3) with the stamp at (x-6, y-4)
    else
        p.drawEllipse(1, 1, 9, 9);  // (x-5, y-5) with the stamp at (x-6, y-6)
    return s;
}

// A label written in black on an opaque white ground, as wide as its text advances.
QImage labelStamp(const QString &text, const QFont &font, const QFontMetrics &metrics)
{
    QImage s(std::max(1, metrics.horizontalAdvance(text)), metrics.height(), QImage::Format_RGB32);
    s.fill(Qt::white);
    QPainter p(&s);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(QPoint(0, metrics.ascent()), text);
    return s;
}

// Rule numbers are written digit by digit from the ten stamps of each font.
struct Digits {
    explicit Digits(const QFont &f)
        : font(f), metrics(f)
    {
        for (int d = 0; d < 10; ++d)
            glyph[d] = labelStamp(QString(QChar(u'0' + d)), font, metrics);
    }
    void write(Canvas &canvas, QPoint topLeft, int number) const
    {
        const QString text = QString::number(number);
        for (QChar c : text) {
            if (c.isDigit()) {
                const QImage &g = glyph[c.digitValue()];
                canvas.stamp(g, topLeft);
                topLeft.rx() += g.width();
            } else {
                const QImage s = labelStamp(QString(c), font, metrics);
                canvas.stamp(s, topLeft);
                topLeft.rx() += s.width();
            }
        }
    }
    QFont font;
    QFontMetrics metrics;
    QImage glyph[10];
};

}  // namespace

QList<DDec> paintNetwork(QPainter &painter, const QSize &size, const LoadedNetwork &network,
                         const ViewState &view, const QFont &font, const QRect &clipArea,
                         PaintCache *cache)
{
    const QRect surface(QPoint(0, 0), size);
    const QRect clip = clipArea.isEmpty() ? surface : clipArea.intersected(surface);
    if (view.goal == 0) {
        painter.fillRect(clip, Qt::white);
        return {};
    }

    const SittingMarks marks = readSittingMarks(view.sitting);
    const QList<DDec> drawn = placeVertices(network, size.width(), size.height(), view, marks);
    if (clip.isEmpty())
        return drawn;
    PaintCache local;
    PaintCache &kept = cache ? *cache : local;
    Canvas canvas(clip, kept.canvas);

    // Edges first, so that the vertices are drawn over them; an edge is red when its rule fired.
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
        canvas.line(pa, pb, (a.fired || b.fired ? kRed : kSilver).rgb(), !e.conclusion);
    }

    // Vertices, the highest number first, so that the goal is drawn last.
    QFont regular = font;
    regular.setBold(false);
    QFont bold = font;
    bold.setBold(true);
    const QFontMetrics regularMetrics(regular);
    const Digits regularDigits(regular), boldDigits(bold);
    const QImage ruleWhite = shapeStamp({12, 8}, kRed, Qt::white, true);
    const QImage ruleFired = shapeStamp({12, 8}, kRed, kRed, true);
    const QImage ruleOut = shapeStamp({12, 8}, kGray, kGray, true);
    const QImage entity[2][2] = {{shapeStamp({12, 12}, kBlue, Qt::white, false), shapeStamp({12, 12}, kBlue, kBlue, false)},
                                 {shapeStamp({12, 12}, kLime, Qt::white, false), shapeStamp({12, 12}, kLime, kLime, false)}};
    if (kept.labelFont != regular) {
        kept.labels.clear();
        kept.labelFont = regular;
    }
    QHash<QString, QImage> &names = kept.labels;

    // A label reaches at most this far from its vertex; vertices further outside the clip are
    // skipped.
    const int reach = 40 + regularMetrics.height() + QFontMetrics(bold).horizontalAdvance(QString(25, u'W'));
    const QRect near = clip.adjusted(-reach, -reach, reach, reach);
    for (const DDec &d : drawn) {
        if (!near.contains(d.x, d.y))
            continue;
        if (d.rule) {
            const QImage *shape = &ruleWhite;
            if (marks.hasDialogRows) {
                const auto row = marks.lresOfRule.constFind(d.id);
                if (row != marks.lresOfRule.constEnd())
                    shape = *row == 1 ? &ruleFired : &ruleOut;  // fired, or known only through LOUT
            }
            canvas.stamp(*shape, QPoint(d.x - 6, d.y - 4));
            // Bold marks the rules of the highlighted subtask; with none highlighted, none.
            const bool strong = view.highlightedSubtask != 0 && d.subtask == view.highlightedSubtask;
            const QPoint topLeft = view.vertical ? QPoint(d.x - 5, d.y - 20) : QPoint(d.x + 6, d.y - 7);
            (strong ? boldDigits : regularDigits).write(canvas, topLeft, d.id);
        } else {
            const bool valued = marks.factsWithValue.contains(d.id);
            canvas.stamp(entity[d.leaf ? 1 : 0][valued ? 1 : 0], QPoint(d.x - 6, d.y - 6));
            if (!d.shortName.isEmpty()) {
                auto label = names.constFind(d.shortName);
                if (label == names.constEnd())
                    label = names.insert(d.shortName, labelStamp(d.shortName, regular, regularMetrics));
                canvas.stamp(*label, QPoint(d.x - 20, d.y - 18));
            }
        }
    }
    painter.drawImage(clip.topLeft(), canvas.image());
    return drawn;
}

}  // namespace network
