// listing and bench listings: the main window's listings of a task's entities and rules as
// plain text ("*" before a bold line), and the time it takes to build them.

#include "cli/Bench.h"
#include "cli/Cli.h"

#include "app/Listings.h"
#include "consultation/UseDLL.h"
#include "kb/Sql.h"

#include <QElapsedTimer>

namespace {

void requireTask(int taskId)
{
    if (kb::scalarInteger(QStringLiteral("SELECT Count(*) FROM TTASK WHERE TASK_ID=") + QString::number(taskId)) == 0)
        throw cli::UsageError(QStringLiteral("there is no task %1").arg(taskId), 1);
}

QString relationWords(int code) { return consultation::UseDLL::instance().Relations(code); }

kb::Report build(bool rules, int task, int order)
{
    return rules ? app::ruleCondListing(task, app::RuleOrder(order), relationWords)
                 : app::factValueListing(task, app::FactOrder(order));
}

struct Options {
    int task;
    bool rules;
    int order;
};

Options options(cli::Context &c)
{
    Options o{c.requiredIntOption(QStringLiteral("--task")), c.flag(QStringLiteral("--rules")),
              c.intOption(QStringLiteral("--order"), 0)};
    if (o.order != 0 && o.order != 1)
        throw cli::UsageError(QStringLiteral("--order is 0 or 1"));
    c.openKnowledgeBase();
    requireTask(o.task);
    return o;
}

int listingCommand(cli::Context &c)
{
    const Options o = options(c);
    const kb::Report report = build(o.rules, o.task, o.order);
    for (const kb::ReportLine &line : report.lines())
        c.out << (line.bold ? "*" : "") << line.text << '\n';
    return 0;
}

int benchListings(cli::Context &c)
{
    const Options o = options(c);
    const int runs = c.intOption(QStringLiteral("--runs"), 5);
    if (runs < 1)
        throw cli::UsageError(QStringLiteral("--runs needs at least 1"));
    QList<double> times;
    qsizetype lines = 0;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        lines = build(o.rules, o.task, o.order).lines().size();
        times << timer.nsecsElapsed() / 1e6;
    }
    c.out << "task " << o.task << ": " << lines << " lines\n";
    cli::printTimings(c.out, o.rules ? QStringLiteral("rules listing") : QStringLiteral("entities listing"),
                      times);
    return 0;
}

ZELMORA_CLI_COMMAND("listing",
                    "listing --task N [--rules] [--order 0|1]   the entities (or rules) listing of a task",
                    listingCommand);
ZELMORA_CLI_BENCH("listings", "listings --task N [--rules] [--order 0|1] [--runs K]   time a listing",
                  benchListings);

}  // namespace
