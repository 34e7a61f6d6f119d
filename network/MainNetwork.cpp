// The main window's page "Сеть вывода": the goal check, loading the network for the drawing,
// the refresh, zoom and rotation. The surface paints itself from what is loaded here and from
// the window's view state (goal, zoom, orientation, highlighted subtask, sitting).

#include "app/MainMenu.h"

#include "kb/Sql.h"
#include "network/DataModule.h"
#include "network/NetworkView.h"
#include "ui/Guard.h"
#include "ui/WaitCursor.h"

#include <QAction>
#include <QScrollArea>

#include <cmath>

namespace {

QSize zoomedSize(QSize area, double z)
{
    return QSize(int(std::lround(area.width() * z * z)), int(std::lround(area.height() * z * z)));
}

}  // namespace

void TForm1::buildNetwork()
{
    paintBox1_ = new network::NetworkSurface;
    paintBox1_->attachTo(networkArea_);
    paintBox1_->setViewSource([this] {
        return network::ViewState{goalFact_, zoom_, vertical_, highlightedSubtask_, sitting()};
    });
    for (const char *name : {"actZoomIn", "actZoomOut", "actRotate"})
        action(QString::fromLatin1(name))->setEnabled(true);
    ui::connectGuarded(action("actZoomIn"), &QAction::triggered, this, [this] { zoomIn(); });
    ui::connectGuarded(action("actZoomOut"), &QAction::triggered, this, [this] { zoomOut(); });
    ui::connectGuarded(action("actRotate"), &QAction::triggered, this, [this] { rotate(); });
}

void TForm1::GoalObj()
{
    kb::Query q(QStringLiteral("select FACT_ID, FACT_NAME from TFACT where GOAL>0 and TASK_ID=") +
                QString::number(taskId_) + QStringLiteral(" order by FACT_NAME"));
    q.open();
    goalFact_ = q.eof() ? 0 : int(q.asInteger(QStringLiteral("Fact_id")));
    q.close();
    // The network is built when the goal has none yet; the build clears the task's rows
    // first, so that a check never adds a second copy. Without a task there is nothing to build.
    if (taskId_ != 0) {
        ui::WaitCursor wait;
        TDataModule1::instance().BuildIfMissing(taskId_, goalFact_);
    }
    FreshGraph();
}

void TForm1::ShowGraph()
{
    network::LoadedNetwork loaded = network::loadNetwork(taskId_, goalFact_);
    goalFact_ = loaded.goal;
    paintBox1_->setNetwork(std::move(loaded));
}

void TForm1::FreshGraph()
{
    ShowGraph();
    paintBox1_->repaint();
}

QString TForm1::NameObj(int factId, bool fullName) const
{
    return TDataModule1::instance().NameObj(factId, fullName);
}

network::NetworkSurface *TForm1::paintBox() const { return paintBox1_; }

void TForm1::resetNetworkSize()
{
    paintBox1_->resize(zoomedSize(paintBox1_->areaSize(), zoom_));
}

void TForm1::zoomIn()
{
    zoom_ *= 1.25;
    // From the first zoom in on, the surface keeps a size of its own and the area scrolls.
    paintBox1_->detachFromArea();
    paintBox1_->resize(zoomedSize(paintBox1_->areaSize(), zoom_));
    FreshGraph();
}

void TForm1::zoomOut()
{
    zoom_ /= 1.25;
    // While the surface still follows the area it keeps the area's size.
    if (!paintBox1_->followsArea())
        paintBox1_->resize(zoomedSize(paintBox1_->areaSize(), zoom_));
    FreshGraph();
}

void TForm1::rotate()
{
    vertical_ = !vertical_;
    FreshGraph();
}
