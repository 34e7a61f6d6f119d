// network and bench network: rebuilding a task's inference network and printing its rows,
// and timing the rebuild.

#include "cli/Bench.h"
#include "cli/Cli.h"

#include "kb/Sql.h"
#include "network/DataModule.h"

#include <QElapsedTimer>

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
    QList<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        TDataModule1::instance().FreshGraph(task);
        times << timer.nsecsElapsed() / 1e6;
    }
    const QString t = QString::number(task);
    c.out << "task " << task << ": "
          << kb::scalarInteger(QStringLiteral("SELECT Count(*) FROM TVER WHERE TASK_ID=") + t) << " vertices, "
          << kb::scalarInteger(QStringLiteral("SELECT Count(*) FROM TREB WHERE TASK_ID=") + t) << " edges\n";
    cli::printTimings(c.out, QStringLiteral("rebuild"), times);
    return 0;
}

ZELMORA_CLI_COMMAND("network",
                    "network --task N          rebuild a task's network; print its TVER and TREB rows",
                    networkCommand);
ZELMORA_CLI_BENCH("network", "network --task N [--runs K]   time the rebuild of a task's network", benchNetwork);

}  // namespace
