// network and bench network: rebuilding a task's inference network and printing its rows,
// and timing the rebuild.

#include "cli/Bench.h"
#include "cli/Cli.h"

#include "kb/Sql.h"
#include "network/DataModule.h"
#include "network/NetworkModel.h"
#include "network/NetworkPaint.h"

#include <QFont>
#include <QImage>
#include <QPainter>

namespace {

void printRows(QTextStream &out, const QString &sql)
{
    kb::Query q(sql);
    q.open();
    for (; !q.eof(); q.next()) {
        for (int i = 0; i < q.fieldCount(); ++i) {
            if (i)
                out << '\t';
            out << q.value(i).toString();
        }
        out << '\n';
    }
}

void requireTask(int taskId)
{
    if (kb::scalarInteger(QStringLiteral("SELECT Count(*) FROM TTASK WHERE TASK_ID=") + QString::number(taskId)) == 0)
        throw cli::UsageError(QStringLiteral("there is no task %1").arg(taskId), 1);
}

int networkCommand(cli::Context &c)
{
    const int task = c.requiredIntOption(QStringLiteral("--task"));
    c.openKnowledgeBase();
    requireTask(task);
    TDataModule1::instance().FreshGraph(task);
    const QString t = QString::number(task);
    c.out << "# TVER\n";
    printRows(c.out, QStringLiteral("SELECT NVER, OBJ_ID, VERT, HOR, RULE_ID, TERMIN FROM TVER WHERE TASK_ID=") + t +
                         QStringLiteral(" ORDER BY NVER"));
    c.out << "# TREB\n";
    printRows(c.out, QStringLiteral("SELECT VERFROM, VERTO, RESUME FROM TREB WHERE TASK_ID=") + t +
                         QStringLiteral(" ORDER BY VERFROM, VERTO"));
    return 0;
}

int benchNetwork(cli::Context &c)
{
    const int task = c.requiredIntOption(QStringLiteral("--task"));
    const int runs = c.intOption(QStringLiteral("--runs"), 5);
    if (runs < 1)
        throw cli::UsageError(QStringLiteral("--runs needs at least 1"));
    c.openKnowledgeBase();
    requireTask(task);
    QList<double> times, cpu;
    for (int i = 0; i < runs; ++i) {
        cli::Stopwatch watch;
        TDataModule1::instance().FreshGraph(task);
        times << watch.wallMs();
        cpu << watch.cpuMs();
    }
    const QString t = QString::number(task);
    c.out << "task " << task << ": "
          << kb::scalarInteger(QStringLiteral("SELECT Count(*) FROM TVER WHERE TASK_ID=") + t) << " vertices, "
          << kb::scalarInteger(QStringLiteral("SELECT Count(*) FROM TREB WHERE TASK_ID=") + t) << " edges\n";
    cli::printTimings(c.out, QStringLiteral("rebuild"), times, cpu);
    return 0;
}

// The drawing's work on every refresh: loading the lists and one repaint of the whole surface
// (the sitting's colours included), onto an image of the window's usual size.
int benchView(cli::Context &c)
{
    const int task = c.requiredIntOption(QStringLiteral("--task"));
    const int runs = c.intOption(QStringLiteral("--runs"), 5);
    const int width = c.intOption(QStringLiteral("--width"), 1000);
    const int height = c.intOption(QStringLiteral("--height"), 800);
    const int sitting = c.intOption(QStringLiteral("--sitting"), 0);
    if (runs < 1 || width < 1 || height < 1)
        throw cli::UsageError(QStringLiteral("--runs, --width and --height need at least 1"));
    const QString save = c.option(QStringLiteral("--save"));
    c.openKnowledgeBase();
    requireTask(task);
    auto &dm = TDataModule1::instance();
    network::ViewState view;
    view.goal = dm.GoalOfTask(task);
    view.sitting = sitting;
    dm.BuildIfMissing(task, view.goal);
    QImage image(width, height, QImage::Format_RGB32);
    // What the window keeps from one repaint to the next.
    network::PaintCache cache;
    QList<double> times, cpu, loading, loadingCpu;
    qsizetype vertices = 0;
    for (int i = 0; i < runs; ++i) {
        cli::Stopwatch watch;
        const network::LoadedNetwork loaded = network::loadNetwork(task, view.goal);
        loading << watch.wallMs();
        loadingCpu << watch.cpuMs();
        view.goal = loaded.goal;
        QPainter painter(&image);
        vertices = network::paintNetwork(painter, image.size(), loaded, view, QFont(), {}, &cache).size();
        painter.end();
        times << watch.wallMs();
        cpu << watch.cpuMs();
    }
    c.out << "task " << task << ": " << vertices << " vertices drawn on " << width << "x" << height << "\n";
    c.out << "loading alone median: " << QString::number(cli::median(loading), 'f', 1) << " ms (cpu "
          << QString::number(cli::median(loadingCpu), 'f', 1) << " ms)\n";
    cli::printTimings(c.out, QStringLiteral("load and repaint"), times, cpu);
    if (!save.isEmpty() && !image.save(save))
        throw cli::UsageError(QStringLiteral("cannot save %1").arg(save), 1);
    return 0;
}

ZELMORA_CLI_COMMAND("network",
                    "network --task N          rebuild a task's network; print its TVER and TREB rows",
                    networkCommand);
ZELMORA_CLI_BENCH("network", "network --task N [--runs K]   time the rebuild of a task's network", benchNetwork);
ZELMORA_CLI_BENCH("view",
                  "view --task N [--runs K] [--width W] [--height H] [--sitting S] [--save FILE.png]   time loading "
                  "and one repaint of a task's network",
                  benchView);

}  // namespace
