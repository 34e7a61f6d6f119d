// consult and bench consult: a whole consultation from a file of answers, through the same
// engine as the dialogue, and the timing of one engine step late in a consultation.
//
// The answers file has one line per entity: "short name = answer" or
// "short name = answer ; certainty". The answer is the text of one of the entity's values,
// or a number (decimal point or comma) for a numeric entity. Blank lines and lines starting
// with '#' are skipped. The certainty (0 to 100) counts only for an entity whose answer is
// not deterministic, as in the dialogue; others are answered with 100.

#include "cli/Bench.h"
#include "cli/Cli.h"

#include "consultation/Consultation.h"
#include "engine/Engine.h"
#include "engine/Expression.h"
#include "kb/Sql.h"

#include <QElapsedTimer>
#include <QFile>
#include <QHash>


namespace {

struct TaskFact {
    int id = 0;
    QString name;
    QString shortName;
    bool numeric = false;
    bool nonDet = false;
    QHash<QString, int> values;  // VALUE_MEAN (trimmed) -> VALUE_ID, the first of equal texts
    int firstValue = 0;          // the value the dialogue chooses first (by VALUE_MEAN)
};

struct TaskInfo {
    int goal = 0;
    QList<TaskFact> facts;
    const TaskFact *byId(int id) const
    {
        for (const TaskFact &f : facts)
            if (f.id == id)
                return &f;
        return nullptr;
    }
};

TaskInfo readTask(int task)
{
    kb::Query t(QStringLiteral("SELECT TASK_ID FROM TTASK WHERE TASK_ID=:P0"));
    t.setFloat(QStringLiteral("P0"), task);
    t.open();
    if (t.eof())
        throw cli::UsageError(QStringLiteral("there is no task %1").arg(task), 1);
    TaskInfo info;
    kb::Query f(QStringLiteral("SELECT FACT_ID, FACT_NAME, FACT_SHORT, TYPE, NON_DET, GOAL FROM TFACT "
                               "WHERE TASK_ID=:P0 ORDER BY FACT_ID"));
    f.setFloat(QStringLiteral("P0"), task);
    f.open();
    for (; !f.eof(); f.next()) {
        TaskFact fact;
        fact.id = int(f.asInteger(QStringLiteral("FACT_ID")));
        fact.name = f.asString(QStringLiteral("FACT_NAME"));
        fact.shortName = f.asString(QStringLiteral("FACT_SHORT")).trimmed();
        fact.numeric = f.asString(QStringLiteral("TYPE")).trimmed() != QStringLiteral("C");
        fact.nonDet = f.asInteger(QStringLiteral("NON_DET")) != 0;
        if (f.asInteger(QStringLiteral("GOAL")) > 0 && !info.goal)
            info.goal = fact.id;
        info.facts << fact;
    }
    kb::Query v(QStringLiteral("SELECT V.VALUE_ID, V.FACT_ID, V.VALUE_MEAN FROM TVALUE V, TFACT F "
                               "WHERE F.FACT_ID=V.FACT_ID AND F.TASK_ID=:P0 ORDER BY V.VALUE_MEAN, V.VALUE_ID"));
    v.setFloat(QStringLiteral("P0"), task);
    v.open();
    for (; !v.eof(); v.next()) {
        const int factId = int(v.asInteger(QStringLiteral("FACT_ID")));
        for (TaskFact &fact : info.facts)
            if (fact.id == factId) {
                const QString mean = v.asString(QStringLiteral("VALUE_MEAN")).trimmed();
                const int id = int(v.asInteger(QStringLiteral("VALUE_ID")));
                if (!fact.values.contains(mean))
                    fact.values.insert(mean, id);
                if (!fact.firstValue)
                    fact.firstValue = id;
            }
    }
    return info;
}

struct Reply {
    QString text;  // the answer as written
    int valueId = -1;
    double number = 0;
    int trust = 100;
    bool trustGiven = false;
    int line = 0;
};

// Reads and checks the answers file against the task: every line must name an entity of the
// task and give one of its values (or a number).
QHash<QString, Reply> readAnswers(const QString &path, const TaskInfo &task)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        throw cli::UsageError(QStringLiteral("cannot read the answers file %1").arg(path));
    QHash<QString, Reply> replies;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        const QString where = QStringLiteral("%1:%2: ").arg(path).arg(i + 1);
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0)
            throw cli::UsageError(where + QStringLiteral("expected 'short name = answer'"));
        const QString shortName = line.left(eq).trimmed();
        QString answer = line.mid(eq + 1).trimmed();
        Reply reply;
        reply.line = i + 1;
        const qsizetype semi = answer.lastIndexOf(u';');
        if (semi >= 0) {
            bool ok = false;
            const int trust = answer.mid(semi + 1).trimmed().toInt(&ok);
            // The dialogue offers these three; the file offers what the dialogue does.
            if (!ok || (trust != 100 && trust != 75 && trust != 50))
                throw cli::UsageError(where + QStringLiteral("the certainty after ';' must be 100, 75 or 50"));
            reply.trust = trust;
            reply.trustGiven = true;
            answer = answer.left(semi).trimmed();
        }
        if (shortName.isEmpty())
            throw cli::UsageError(where + QStringLiteral("the short name is missing"));
        reply.text = answer;
        if (replies.contains(shortName))
            throw cli::UsageError(where + QStringLiteral("entity '%1' is answered twice (first on line %2)")
                                              .arg(shortName)
                                              .arg(replies[shortName].line));
        QList<const TaskFact *> facts;
        for (const TaskFact &f : task.facts)
            if (f.shortName == shortName)
                facts << &f;
        if (facts.isEmpty())
            throw cli::UsageError(where + QStringLiteral("the task has no entity with the short name '%1'")
                                              .arg(shortName));
        for (const TaskFact *f : facts) {
            if (f->numeric) {
                if (!engine::parseDecimal(answer, &reply.number))
                    throw cli::UsageError(where + QStringLiteral("'%1' is not a number; entity '%2' is numeric")
                                                      .arg(answer, f->name));
                reply.valueId = -1;
            } else {
                const auto it = f->values.constFind(answer);
                if (it == f->values.constEnd()) {
                    QStringList known = f->values.keys();
                    known.sort();
                    throw cli::UsageError(where + QStringLiteral("entity '%1' has no value '%2' (its values: %3)")
                                                      .arg(f->name, answer, known.join(QStringLiteral(", "))));
                }
                reply.valueId = *it;
            }
        }
        replies.insert(shortName, reply);
    }
    return replies;
}

int consultCommand(cli::Context &c)
{
    const int task = c.requiredIntOption(QStringLiteral("--task"));
    const QString answersFile = c.option(QStringLiteral("--answers"));
    if (answersFile.isEmpty())
        throw cli::UsageError(QStringLiteral("option --answers is required"));
    const bool explain = c.flag(QStringLiteral("--explain"));
    c.openKnowledgeBase();
    const TaskInfo info = readTask(task);
    const QHash<QString, Reply> replies = readAnswers(answersFile, info);

    // The dialogue's own logic, with the engine run in this process instead of the library.
    consultation::CoreEngine eng;
    consultation::Consultation dialogue(eng);
    dialogue.cleanTable();
    consultation::Consultation::Outcome outcome = dialogue.start(task, info.goal);
    int guard = int(info.facts.size()) + 1;
    while (!outcome.over) {
        const TaskFact *fact = info.byId(dialogue.asked());
        if (!fact)
            throw cli::UsageError(QStringLiteral("the engine asked for entity %1, which is not of task %2")
                                      .arg(dialogue.asked())
                                      .arg(task),
                                  1);
        c.out << "? " << fact->name << '\n';
        const auto it = replies.constFind(fact->shortName);
        if (it == replies.constEnd()) {
            c.out.flush();
            throw cli::UsageError(QStringLiteral("no answer for entity '%1' (short name '%2') in %3")
                                      .arg(fact->name, fact->shortName, answersFile),
                                  3);
        }
        if (!fact->nonDet && it->trustGiven && it->trust != 100)
            c.err << "zelmora-cli: " << answersFile << ":" << it->line << ": the answer to '" << fact->name
                  << "' is deterministic; certainty " << it->trust << " ignored, 100 used\n";
        outcome = fact->numeric ? dialogue.acceptNumber(it->text, it->trust)
                                : dialogue.acceptValue(it->valueId, it->trust);
        if (!outcome.refusal.isEmpty())
            throw cli::UsageError(QStringLiteral("%1:%2: %3").arg(answersFile).arg(it->line).arg(outcome.refusal), 1);
        if (--guard < 0)
            throw cli::UsageError(QStringLiteral("the consultation does not come to an end"), 1);
    }
    if (info.goal)
        for (const consultation::GoalResult &r : consultation::goalResults(task, info.goal, dialogue.sitting()))
            c.out << "= " << r.mean << '\t' << engine::cfText(r.trust) << '\n';
    if (explain) {
        for (const QString &s : dialogue.steps())
            c.out << '\n' << eng.explain(s);
        c.out << '\n';
    }
    return 0;
}

// Times one engine step at the A-th answer (20 by default) of a consultation in which every
// question is answered with the value the dialogue offers first, or the number 1.
int benchConsult(cli::Context &c)
{
    const int task = c.requiredIntOption(QStringLiteral("--task"));
    const int runs = c.intOption(QStringLiteral("--runs"), 5);
    const int at = c.intOption(QStringLiteral("--at"), 20);
    if (runs < 1 || at < 1)
        throw cli::UsageError(QStringLiteral("--runs and --at need at least 1"));
    c.openKnowledgeBase();
    const TaskInfo info = readTask(task);

    engine::Engine eng(kb::defaultDb());
    eng.cleanTable();
    const int sitting = eng.initBase(task, info.goal);
    engine::Engine::Step step = eng.dial(sitting);
    int answers = 0;
    struct {
        int fact = 0, value = 0;
        double number = 0;
    } last;
    while (step.nextFact && answers < at) {
        const TaskFact *fact = info.byId(step.nextFact);
        const bool numeric = !fact || fact->numeric || !fact->firstValue;
        last = {step.nextFact, numeric ? -1 : fact->firstValue, numeric ? 1.0 : 0.0};
        consultation::Consultation::recordAnswer(sitting, last.fact, last.value, 100, last.number);
        ++answers;
        step = eng.dial(sitting);
    }
    if (answers == 0)
        throw cli::UsageError(QStringLiteral("the consultation of task %1 asks nothing").arg(task), 1);
    if (answers < at)
        c.out << "the consultation ended after " << answers << " answers; timing the step at answer "
              << answers << "\n";
    // Each run takes the last answer back and gives it again, so every timed step does the
    // whole work of a real one: replay, and rows written.
    QList<double> warm, fresh;
    for (int i = 0; i < runs; ++i) {
        eng.backStep(sitting);
        consultation::Consultation::recordAnswer(sitting, last.fact, last.value, 100, last.number);
        QElapsedTimer timer;
        timer.start();
        eng.dial(sitting);
        warm << timer.nsecsElapsed() / 1e6;
    }
    for (int i = 0; i < runs; ++i) {
        eng.backStep(sitting);
        consultation::Consultation::recordAnswer(sitting, last.fact, last.value, 100, last.number);
        // A fresh engine reads the task's knowledge first, as after a restart of the program.
        engine::Engine cold(kb::defaultDb());
        QElapsedTimer timer;
        timer.start();
        cold.dial(sitting);
        fresh << timer.nsecsElapsed() / 1e6;
    }
    const QString t = QString::number(task);
    c.out << "task " << task << ": "
          << kb::scalarInteger(QStringLiteral("SELECT Count(*) FROM TRULE WHERE TASK_ID=") + t) << " rules; sitting "
          << sitting << ", step at answer " << answers << ": "
          << kb::scalarInteger(QStringLiteral("SELECT Count(*) FROM TDIALOG WHERE SITTING_ID=") + QString::number(sitting))
          << " rules evaluated\n";
    cli::printTimings(c.out, QStringLiteral("dial"), warm);
    cli::printTimings(c.out, QStringLiteral("dial (fresh engine)"), fresh);
    return 0;
}

ZELMORA_CLI_COMMAND("consult",
                    "consult --task N --answers FILE [--explain]   a consultation from a file of answers",
                    consultCommand);
ZELMORA_CLI_BENCH("consult",
                  "consult --task N [--runs K] [--at A]   time one engine step at the A-th answer (20)",
                  benchConsult);

}  // namespace
