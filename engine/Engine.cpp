#include "engine/Engine.h"

#include "kb/Sql.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>

#include <cmath>

namespace engine {

namespace {

int intOf(const QVariant &v) { return int(kb::wholeNumber(v)); }

QSqlQuery prepared(QSqlDatabase db, const QString &sql)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.prepare(sql))
        throw kb::DbError(q.lastError().text());
    return q;
}

void run(QSqlQuery &q)
{
    if (!q.exec())
        throw kb::DbError(q.lastError().text());
}

QString numberText(double v) { return QString::number(v, 'g', 12); }

}  // namespace

QString cfText(double cf)
{
    QString s = QString::number(std::round(cf * 100.0) / 100.0, 'f', 2);
    while (s.endsWith(u'0'))
        s.chop(1);
    if (s.endsWith(u'.'))
        s.chop(1);
    return s == QStringLiteral("-0") ? QStringLiteral("0") : s;
}

struct Engine::Cache {
    QString database;
    int task = 0;
    QString stamp;
    std::shared_ptr<const Knowledge> knowledge;
};

Engine::Engine(QSqlDatabase db) : db_(db), cache_(std::make_unique<Cache>()) {}
Engine::~Engine() = default;

QString Engine::stepName(int sitting, int step)
{
    return QStringLiteral("Сеанс %1, шаг %2").arg(sitting).arg(step);
}

bool Engine::parseStepName(const QString &text, int *sitting, int *step)
{
    static const QRegularExpression re(QStringLiteral("^\\s*Сеанс (\\d+), шаг (\\d+)\\s*$"));
    const auto m = re.match(text);
    if (!m.hasMatch())
        return false;
    *sitting = m.captured(1).toInt();
    *step = m.captured(2).toInt();
    return true;
}

void Engine::cleanTable() { kb::execSql(db_, QStringLiteral("DELETE FROM TNextver")); }

int Engine::initBase(int task, int goal)
{
    kb::Transaction tx(db_);
    QSqlQuery q = prepared(db_, QStringLiteral("INSERT INTO TSitting (TASK_ID, GOAL_ID, STARTED) VALUES (:P0, :P1, :P2)"));
    q.bindValue(QStringLiteral(":P0"), task);
    q.bindValue(QStringLiteral(":P1"), goal);
    q.bindValue(QStringLiteral(":P2"), QDateTime::currentDateTime().toString(Qt::ISODate));
    run(q);
    const int sitting = q.lastInsertId().toInt();
    // A new sitting starts clean even if rows with its number were left behind by a table
    // that was emptied and renumbered.
    for (const char *table : {"TDIALOG", "TRFACT", "TNextver", "questions"}) {
        QSqlQuery d = prepared(db_, QStringLiteral("DELETE FROM %1 WHERE SITTING_ID=:P0").arg(QLatin1String(table)));
        d.bindValue(QStringLiteral(":P0"), sitting);
        run(d);
    }
    tx.commit();
    // A new consultation reads the knowledge afresh: it may have been edited since.
    cache_->knowledge.reset();
    return sitting;
}

Engine::Sitting Engine::readSitting(int sitting)
{
    QSqlQuery q = prepared(db_, QStringLiteral("SELECT TASK_ID, GOAL_ID FROM TSitting WHERE SITTING_ID=:P0"));
    q.bindValue(QStringLiteral(":P0"), sitting);
    run(q);
    if (!q.next())
        throw EngineError(QStringLiteral("Сеанс консультации № %1 не найден").arg(sitting));
    return {sitting, intOf(q.value(0)), intOf(q.value(1))};
}

std::vector<Answer> Engine::readAnswers(int sitting)
{
    QSqlQuery q = prepared(db_, QStringLiteral(
        "SELECT FACT_ID, value_ans, TRUST, nnum FROM questions WHERE SITTING_ID=:P0 ORDER BY rowid"));
    q.bindValue(QStringLiteral(":P0"), sitting);
    run(q);
    std::vector<Answer> answers;
    while (q.next()) {
        Answer a;
        a.factId = intOf(q.value(0));
        a.valueId = intOf(q.value(1));
        a.trust = q.value(2).isNull() ? 100 : intOf(q.value(2));
        a.number = q.value(3).toDouble();
        answers.push_back(a);
    }
    return answers;
}

// A cheap mark of the knowledge tables: it changes whenever a row is added to or removed
// from one of them.
QString Engine::knowledgeStamp()
{
    QSqlQuery q = prepared(db_, QStringLiteral(
        "SELECT (SELECT COUNT(*) FROM TRULE), (SELECT MAX(RULE_ID) FROM TRULE), "
        "(SELECT COUNT(*) FROM TCONDITION), (SELECT MAX(COND_ID) FROM TCONDITION), "
        "(SELECT COUNT(*) FROM TFACT), (SELECT MAX(FACT_ID) FROM TFACT), "
        "(SELECT COUNT(*) FROM TVALUE), (SELECT MAX(VALUE_ID) FROM TVALUE), "
        "(SELECT COUNT(*) FROM TMETA), (SELECT MAX(META_ID) FROM TMETA), "
        "(SELECT COUNT(*) FROM TSUBTASK), (SELECT MAX(SUBTASK_ID) FROM TSUBTASK)"));
    run(q);
    QString stamp;
    if (q.next())
        for (int i = 0; i < 12; ++i)
            stamp += q.value(i).toString() + u':';
    return stamp;
}

std::shared_ptr<const Knowledge> Engine::knowledgeFor(int task)
{
    // The knowledge of the task is read once per consultation: the dialogue keeps the editors
    // closed while it runs, and a new consultation (initBase) always reads it afresh. The
    // stamp catches records added or removed meanwhile by another program.
    const QString stamp = knowledgeStamp();
    if (!cache_->knowledge || cache_->task != task || cache_->database != db_.databaseName() ||
        cache_->stamp != stamp) {
        cache_->knowledge = std::make_shared<const Knowledge>(Knowledge::load(db_, task));
        cache_->task = task;
        cache_->database = db_.databaseName();
        cache_->stamp = stamp;
    }
    return cache_->knowledge;
}

Engine::Replay Engine::replay(int sitting)
{
    Replay r;
    r.sitting = readSitting(sitting);
    r.knowledge = knowledgeFor(r.sitting.task);
    Inference inference(*r.knowledge, r.sitting.goal, readAnswers(sitting));
    r.run = inference.run();
    return r;
}

void Engine::writeRows(const Replay &r)
{
    const int sitting = r.sitting.id;
    kb::Transaction tx(db_);
    for (const char *table : {"TDIALOG", "TRFACT", "TNextver"}) {
        QSqlQuery d = prepared(db_, QStringLiteral("DELETE FROM %1 WHERE SITTING_ID=:P0").arg(QLatin1String(table)));
        d.bindValue(QStringLiteral(":P0"), sitting);
        run(d);
    }
    {
        QSqlQuery q = prepared(db_, QStringLiteral(
            "INSERT INTO TDIALOG (SITTING_ID, RULE_ID, LRES, LOUT) VALUES (:P0, :P1, :P2, :P3)"));
        for (const auto &[rule, fired] : r.run.dialog) {
            q.bindValue(QStringLiteral(":P0"), sitting);
            q.bindValue(QStringLiteral(":P1"), rule);
            q.bindValue(QStringLiteral(":P2"), fired ? 1 : 0);
            q.bindValue(QStringLiteral(":P3"), fired ? QStringLiteral("F") : QStringLiteral("T"));
            run(q);
        }
    }
    {
        QSqlQuery q = prepared(db_, QStringLiteral(
            "INSERT INTO TRFACT (SITTING_ID, FACT_ID, VALUE_ID, VALUE_NUMBER, TRUST, COMMENT) "
            "VALUES (:P0, :P1, :P2, :P3, :P4, :P5)"));
        for (const ResultRow &row : r.run.facts) {
            q.bindValue(QStringLiteral(":P0"), sitting);
            q.bindValue(QStringLiteral(":P1"), row.factId);
            q.bindValue(QStringLiteral(":P2"), row.valueId);
            q.bindValue(QStringLiteral(":P3"), row.number);
            q.bindValue(QStringLiteral(":P4"), row.trust);
            q.bindValue(QStringLiteral(":P5"), row.comment);
            run(q);
        }
    }
    {
        QSqlQuery q = prepared(db_, QStringLiteral(
            "INSERT INTO TNextver (SITTING_ID, NVER, OBJ_ID) VALUES (:P0, :P1, :P2)"));
        for (size_t i = 0; i < r.run.asked.size(); ++i) {
            q.bindValue(QStringLiteral(":P0"), sitting);
            q.bindValue(QStringLiteral(":P1"), int(i) + 1);
            q.bindValue(QStringLiteral(":P2"), r.run.asked[i]);
            run(q);
        }
    }
    tx.commit();
}

Engine::Step Engine::stepOf(const Replay &r)
{
    Step s;
    s.nextFact = r.run.pending;
    const Knowledge &k = *r.knowledge;
    if (r.run.pending) {
        s.stepText = stepName(r.sitting.id, r.run.answered);
        const Fact *f = k.fact(r.run.pending);
        s.secondText = QStringLiteral("Вопрос о сущности «%1»").arg(f ? f->name : QString());
    } else if (r.run.goalHasValue) {
        s.stepText = stepName(r.sitting.id, r.run.answered);
        s.secondText = QStringLiteral("Консультация окончена");
    } else {
        // The step text stays empty, as the program expects at an end without a result; the
        // step's own name goes with the second text, so that its account is not lost.
        s.secondText = stepName(r.sitting.id, r.run.answered);
    }
    return s;
}

Engine::Step Engine::dial(int sitting)
{
    const Replay r = replay(sitting);
    writeRows(r);
    return stepOf(r);
}

Engine::Step Engine::backStep(int sitting)
{
    readSitting(sitting);
    QSqlQuery d = prepared(db_, QStringLiteral(
        "DELETE FROM questions WHERE rowid=(SELECT MAX(rowid) FROM questions WHERE SITTING_ID=:P0)"));
    d.bindValue(QStringLiteral(":P0"), sitting);
    run(d);
    return dial(sitting);
}

QString Engine::explain(const QString &stepText)
{
    int sitting = 0;
    int step = 0;
    if (stepText.trimmed().isEmpty()) {
        QSqlQuery q = prepared(db_, QStringLiteral("SELECT MAX(SITTING_ID) FROM TSitting"));
        run(q);
        if (!q.next() || q.value(0).isNull())
            return QStringLiteral("Консультация ещё не проводилась.");
        sitting = intOf(q.value(0));
    } else if (!parseStepName(stepText, &sitting, &step)) {
        return stepText;
    }
    const Replay r = replay(sitting);
    return explainStep(r, step);
}

QString Engine::explainStep(const Replay &r, int step)
{
    const Knowledge &k = *r.knowledge;
    auto factName = [&](int id) {
        const Fact *f = k.fact(id);
        return f ? QStringLiteral("«%1»").arg(f->name) : QStringLiteral("сущность № %1").arg(id);
    };
    auto subtaskName = [&](int id) {
        const Subtask *s = k.subtask(id);
        if (k.implicitSubtask)
            return QStringLiteral("«все правила задачи»");
        return s ? QStringLiteral("«%1»").arg(s->name) : QStringLiteral("№ %1").arg(id);
    };
    auto valueText = [&](int valueId, double number) {
        if (valueId == -1)
            return numberText(number);
        const Value *v = k.value(valueId);
        return v ? QStringLiteral("«%1»").arg(v->mean) : QStringLiteral("значение № %1").arg(valueId);
    };
    auto conditionText = [&](const Condition *c) {
        if (!c)
            return QString();
        QString text = factName(c->factId) + u' ';
        if (c->valueId != -1) {
            text += relationWords(c->relation) + u' ' + valueText(c->valueId, 0);
        } else {
            text += numericRelationWords(c->relation) + u' ' + c->expression.text().trimmed();
        }
        return text;
    };

    QStringList lines;
    if (step > r.run.answered) {
        lines << QStringLiteral("Шаг %1 сеанса %2: ответ этого шага отменён.").arg(step).arg(r.sitting.id);
        return lines.join(u'\n') + u'\n';
    }
    if (step == 0) {
        lines << QStringLiteral("Начало консультации (сеанс %1).").arg(r.sitting.id);
        lines << (k.taskName.isEmpty() && k.facts.empty()
                      ? QStringLiteral("Задача № %1 не найдена.").arg(k.taskId)
                      : QStringLiteral("Задача: «%1».").arg(k.taskName));
        lines << (k.fact(r.sitting.goal) ? QStringLiteral("Цель: %1.").arg(factName(r.sitting.goal))
                                         : QStringLiteral("Цель не задана."));
        lines << (k.subtasks.empty() ? QStringLiteral("В задаче нет правил: консультация окончена.")
                                     : QStringLiteral("Первая подзадача: %1.").arg(subtaskName(k.subtasks.front().id)));
    } else {
        lines << QStringLiteral("Шаг %1.").arg(step);
    }
    const QString threshold = cfText(kThreshold);
    for (size_t i = 0; i < r.run.events.size(); ++i) {
        const Event &e = r.run.events[i];
        if (e.step == step + 1 && (e.kind == Event::Question || e.kind == Event::AnswerFault)) {
            // The step ends with the next question, answered in the step that follows.
            lines << QStringLiteral("Следующий вопрос: о сущности %1.").arg(factName(e.factId));
            break;
        }
        if (e.step != step)
            continue;
        switch (e.kind) {
        case Event::SubtaskStart:
            if (i > 0)  // the first one is named in the heading
                lines << QStringLiteral("Подзадача %1.").arg(subtaskName(e.subtaskId));
            break;
        case Event::Question:
        case Event::AnswerFault: {
            const Fact *f = k.fact(e.factId);
            lines << QStringLiteral("Вопрос: %1 (сущность %2)")
                         .arg(f ? f->question.trimmed() : QString(), factName(e.factId));
            if (e.kind == Event::Question)
                lines << QStringLiteral("Ответ: %1, КД %2.").arg(valueText(e.valueId, e.number), cfText(e.cf));
            else
                lines << QStringLiteral("Ответ не принят: %1.").arg(e.text);
            break;
        }
        case Event::RuleFired: {
            QString line = QStringLiteral("Правило № %1 сработало (посылка %2): %3 = %4, КД %5.")
                               .arg(e.ruleId)
                               .arg(cfText(e.premise), factName(e.factId), valueText(e.valueId, e.number),
                                    cfText(e.cf));
            if (std::fabs(e.total - e.cf) > 1e-9)
                line += QStringLiteral(" Вместе с прежними выводами КД значения %1.").arg(cfText(e.total));
            lines << line;
            break;
        }
        case Event::RuleRejected:
            if (e.condition) {
                QString line = QStringLiteral("Правило № %1 отвергнуто: условие %2 имеет степень %3 (меньше %4)")
                                   .arg(e.ruleId)
                                   .arg(conditionText(e.condition), cfText(e.degree), threshold);
                if (!e.text.isEmpty())
                    line += QStringLiteral(": ") + e.text;
                lines << line + u'.';
            } else {
                lines << QStringLiteral("Правило № %1 отвергнуто: %2.").arg(e.ruleId).arg(e.text);
            }
            break;
        case Event::SingleStop:
            lines << QStringLiteral("Однозначная сущность %1 получила значение с КД 100: её остальные "
                                    "правила (начиная с № %2) не проверяются.")
                         .arg(factName(e.factId))
                         .arg(e.ruleId);
            break;
        case Event::Normalised:
            lines << QStringLiteral("КД значений %1 нормализованы: их сумма %2 приведена к 100.")
                         .arg(factName(e.factId), cfText(e.total));
            break;
        case Event::SubtaskDone:
            lines << QStringLiteral("Подзадача %1 завершена.").arg(subtaskName(e.subtaskId));
            break;
        case Event::MetaSkipped:
            lines << (e.number > 0
                          ? QStringLiteral("Метаправило № %1 пропущено: подзадача %2 уже пройдена.")
                                .arg(e.metaId)
                                .arg(subtaskName(e.subtaskId))
                          : QStringLiteral("Метаправило № %1 пропущено: подзадачи № %2 нет в задаче.")
                                .arg(e.metaId)
                                .arg(e.subtaskId));
            break;
        case Event::MetaRejected: {
            QString line = QStringLiteral("Метаправило № %1 не сработало: условие %2 имеет степень %3 (меньше %4)")
                               .arg(e.metaId)
                               .arg(conditionText(e.condition), cfText(e.degree), threshold);
            if (!e.text.isEmpty())
                line += QStringLiteral(": ") + e.text;
            lines << line + u'.';
            break;
        }
        case Event::MetaSwitch:
            lines << QStringLiteral("Метаправило № %1 сработало: переход на подзадачу %2.")
                         .arg(e.metaId)
                         .arg(subtaskName(e.subtaskId));
            break;
        case Event::NextInTurn:
            lines << QStringLiteral("Переход на следующую по очереди подзадачу %1.").arg(subtaskName(e.subtaskId));
            break;
        case Event::GoalCertain:
            lines << QStringLiteral("Цель %1 получила значение %2 с КД 100.")
                         .arg(factName(e.factId), valueText(e.valueId, e.number));
            break;
        case Event::Finished: {
            lines << QStringLiteral("Консультация окончена.");
            if (k.fact(r.sitting.goal)) {
                QStringList found;
                for (const ResultRow &row : r.run.facts)
                    if (row.factId == r.sitting.goal)
                        found << QStringLiteral("%1 (КД %2)").arg(valueText(row.valueId, row.number), cfText(row.trust));
                lines << (found.isEmpty()
                              ? QStringLiteral("Цель %1 не получила значения.").arg(factName(r.sitting.goal))
                              : QStringLiteral("Значения цели %1: %2.")
                                    .arg(factName(r.sitting.goal), found.join(QStringLiteral("; "))));
            }
            break;
        }
        case Event::ChainTooLong:
            lines << QStringLiteral("Цепочка правил длиннее %1 сущностей: %2 здесь не выводится.")
                         .arg(kMaxChain)
                         .arg(factName(e.factId));
            break;
        case Event::Pending:
            lines << QStringLiteral("Следующий вопрос: о сущности %1.").arg(factName(e.factId));
            break;
        }
    }
    return lines.join(u'\n') + u'\n';
}

}  // namespace engine
