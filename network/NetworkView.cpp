#include "network/NetworkView.h"

#include "network/NetworkPaint.h"
#include "ui/Prompts.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QScrollArea>
#include <QTimer>

namespace network {

NetworkSurface::NetworkSurface(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("PaintBox1"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
}

void NetworkSurface::attachTo(QScrollArea *area)
{
    area_ = area;
    area->setWidgetResizable(false);
    area->setWidget(this);
    // The surface paints every pixel itself; the area's background fill would only be
    // painted over.
    setAutoFillBackground(false);
    area->installEventFilter(this);
    resize(areaSize());
}

QSize NetworkSurface::areaSize() const { return area_ ? area_->maximumViewportSize() : size(); }

bool NetworkSurface::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == area_ && event->type() == QEvent::Resize && followsArea_)
        QTimer::singleShot(0, this, [this] {
            if (followsArea_)
                resize(areaSize());
        });
    return QWidget::eventFilter(watched, event);
}

void NetworkSurface::PaintBox1Paint(QPainter &painter, const QRect &clip)
{
    drawn_.clear();
    drawn_ = paintNetwork(painter, size(), network_, view(), font(), clip, &paintCache_);
}

void NetworkSurface::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    try {
        PaintBox1Paint(painter, event->rect());
        shownError_.clear();
    } catch (const std::exception &e) {
        // A failed read of the sitting's tables: the surface stays white and the error is
        // shown once, after the paint, not from inside it.
        painter.fillRect(event->rect(), Qt::white);
        drawn_.clear();
        const QString text = QString::fromUtf8(e.what());
        if (text != shownError_) {
            shownError_ = text;
            QPointer<NetworkSurface> self(this);
            QTimer::singleShot(0, this, [self, text] {
                if (self)
                    ui::Prompts::instance().error(self->window(), text);
            });
        }
    }
}

}  // namespace network
