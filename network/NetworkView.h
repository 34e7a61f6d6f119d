#pragma once
// The paint surface of the page "Сеть вывода": it sits in the page's scrolling area, holds the
// loaded network and the drawn list of its last repaint, and paints from them on every repaint
// with the view state of the main window.

#include "network/NetworkModel.h"
#include "network/NetworkPaint.h"

#include <QWidget>

#include <functional>

class QScrollArea;

namespace network {

class NetworkSurface : public QWidget {
    Q_OBJECT
public:
    explicit NetworkSurface(QWidget *parent = nullptr);

    // Puts the surface into a scrolling area; while it follows the area, the surface keeps
    // the area's size.
    void attachTo(QScrollArea *area);
    bool followsArea() const { return followsArea_; }
    // Stops following the area's size for good (the first zoom in does it).
    void detachFromArea() { followsArea_ = false; }
    // The area's size: the room that the surface has when there are no scroll bars.
    QSize areaSize() const;

    // Where the current view state comes from (the main window); read on every repaint.
    void setViewSource(std::function<ViewState()> source) { viewSource_ = std::move(source); }
    ViewState view() const { return viewSource_ ? viewSource_() : ViewState{}; }

    // The lists that ShowGraph loaded.
    void setNetwork(LoadedNetwork network) { network_ = std::move(network); }
    const LoadedNetwork &network() const { return network_; }
    // The drawn vertices of the last repaint, in the order of the loaded list.
    const QList<DDec> &drawn() const { return drawn_; }

    // The surface's paint handler: paints the whole surface (or the part in clip) and
    // rebuilds the drawn list.
    void PaintBox1Paint(QPainter &painter, const QRect &clip = {});

protected:
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QScrollArea *area_ = nullptr;
    bool followsArea_ = true;
    std::function<ViewState()> viewSource_;
    LoadedNetwork network_;
    QList<DDec> drawn_;
    PaintCache paintCache_;
    QString shownError_;  // a painting error already reported, not repeated on every repaint
};

}  // namespace network
