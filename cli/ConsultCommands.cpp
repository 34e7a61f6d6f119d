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

#include "engine/Engine.h"
#include "engine/Expression.h"
#include "kb/Sql.h"

#include <QElapsedTimer>
#include <QFile>
#include <QHash>

#include <cmath>

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
            if (!ok || trust < 0 || trust > 100)
                throw cli::UsageError(where + QStringLiteral("the certainty after ';' must be a whole "
                                                             "number from 0 to 100"));
            reply.trust = trust;
            reply.trustGiven = true;
            answer = answer.left(semi).trimmed();
        }
        if (shortName.isEmpty())
            throw cli::UsageError(where + QStringLiteral("the short name is missing"));
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

// Records an answer the way the dialogue does, values bound as parameters.
void insertAnswer(int sitting, int fact, int valueId, int trust, double number)
{
    kb::Query q(QStringLiteral("INSERT INTO questions (SITTING_ID, FACT_ID, value_ans, TRUST, nnum) "
                               "VALUES (:P0, :P1, :P2, :P3, :P4)"));
    q.setFloat(QStringLiteral("P0"), sitting);
    q.setFloat(QStringLiteral("P1"), fact);
    q.setFloat(QStringLiteral("P2"), valueId);
    q.setFloat(QStringLiteral("P3"), trust);
    q.setFloat(QStringLiteral("P4"), number);
    q.exec();
}

// A certainty with up to two decimals and no trailing zeros.
QString trustText(double trust)
{
    QString s = QString::number(std::round(trust * 100.0) / 100.0, 'f', 2);
    while (s.endsWith(u'0'))
        s.chop(1);
    if (s.endsWith(u'.'))
        s.chop(1);
    return s;
}

// The goal's results as the results window lists them: at or above the task's threshold,
// a symbolic goal in the order the database returns its rows, a numeric goal by certainty.
void printResults(QTextStream &out, int task, int goal, int sitting)
{
    const qint64 threshold =
        kb::scalarInteger(QStringLiteral("SELECT TRUSTLIMIT FROM TTASK  WHERE TASK_ID=") + QString::number(task));
    kb::Query type(QStringLiteral("select type from TFact where fact_id=") + QString::number(goal));
    type.open();
    const QString goalType = type.eof() ? QString() : type.value(0).toString();
    QString sql;
    if (goalType == QStringLiteral("C"))
        sql = QStringLiteral(" SELECT VALUE_MEAN MEAN, TRUST, COMMENT  FROM TRFACT R, TVALUE V  WHERE "
                             "R.VALUE_ID=V.VALUE_ID AND R.FACT_ID=") +
              QString::number(goal) + QStringLiteral(" AND R.SITTING_ID=") + QString::number(sitting) +
              QStringLiteral(" AND TRUST>=") + QString::number(threshold);
    else
        sql = QStringLiteral(" SELECT VALUE_NUMBER  MEAN, TRUST, COMMENT  FROM TRFACT R  WHERE R.VALUE_ID=-1 "
                             "AND R.FACT_ID=") +
              QString::number(goal) + QStringLiteral(" AND R.SITTING_ID=") + QString::number(sitting) +
              QStringLiteral(" AND TRUST>=") + QString::number(threshold) + QStringLiteral(" ORDER BY TRUST DESC");
    kb::Query q(sql);
    q.open();
    for (; !q.eof(); q.next())
        out << "= " << q.asString(QStringLiteral("MEAN")) << '\t' << trustText(q.asFloat(QStringLiteral("TRUST")))
            << '\n';
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

    engine::Engine eng(kb::defaultDb());
    eng.cleanTable();
    const int sitting = eng.initBase(task, info.goal);
    engine::Engine::Step step = eng.dial(sitting);
    QStringList steps{QString()};
    int guard = int(info.facts.size()) + 1;
    while (step.nextFact) {
        const TaskFact *fact = info.byId(step.nextFact);
        if (!fact)
            throw cli::UsageError(QStringLiteral("the engine asked for entity %1, which is not of task %2")
                                      .arg(step.nextFact)
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
        int trust = 100;
        if (fact->nonDet)
            trust = it->trust;
        else if (it->trustGiven && it->trust != 100)
            c.err << "zelmora-cli: " << answersFile << ":" << it->line << ": the answer to '" << fact->name
                  << "' is deterministic; certainty " << it->trust << " ignored, 100 used\n";
        insertAnswer(sitting, fact->id, it->valueId, trust, it->valueId == -1 ? it->number : 0);
        step = eng.dial(sitting);
        steps << step.stepText;
        if (--guard < 0)
            throw cli::UsageError(QStringLiteral("the consultation does not come to an end"), 1);
    }
    if (info.goal)
        printResults(c.out, task, info.goal, sitting);
    if (explain) {
        for (const QString &s : steps)
            c.out << '\n' << eng.explain(s);
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
        insertAnswer(sitting, last.fact, last.value, 100, last.number);
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
        insertAnswer(sitting, last.fact, last.value, 100, last.number);
        QElapsedTimer timer;
        timer.start();
        eng.dial(sitting);
        warm << timer.nsecsElapsed() / 1e6;
    }
    for (int i = 0; i < runs; ++i) {
        eng.backStep(sitting);
        insertAnswer(sitting, last.fact, last.value, 100, last.number);
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
