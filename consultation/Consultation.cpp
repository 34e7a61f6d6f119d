#include "consultation/Consultation.h"

#include "engine/Engine.h"
#include "engine/Expression.h"
#include "kb/Sql.h"

#include <algorithm>
#include <cmath>

namespace consultation {

namespace {

class LibraryEngine : public Engine {
public:
    void cleanTable() override { UseDLL::instance().Clean_table(); }
    int initBase(int task, int goal) override { return UseDLL::instance().Init_base(task, goal); }
    UseDLL::DialResult dial(int sitting, int valueId, int trust, double number) override
    {
        return UseDLL::instance().Dial(sitting, valueId, trust, number);
    }
    UseDLL::BackResult backStep(int sitting) override { return UseDLL::instance().BackStep(sitting); }
    QString explain(const QString &stepText) override { return UseDLL::instance().Explain(stepText); }
};

// The certainties the user can choose; anything else counts as full certainty.
int admissibleTrust(int trust) { return trust == 75 || trust == 50 ? trust : 100; }

}  // namespace

CoreEngine::CoreEngine() : engine_(std::make_unique<engine::Engine>(kb::defaultDb())) {}
CoreEngine::~CoreEngine() = default;
void CoreEngine::cleanTable() { engine_->cleanTable(); }
int CoreEngine::initBase(int task, int goal) { return engine_->initBase(task, goal); }

UseDLL::DialResult CoreEngine::dial(int sitting, int, int, double)
{
    // The engine reads the answer from `questions`, where the consultation put it.
    const engine::Engine::Step step = engine_->dial(sitting);
    return {step.stepText, step.nextFact, step.secondText};
}

UseDLL::BackResult CoreEngine::backStep(int sitting)
{
    const engine::Engine::Step step = engine_->backStep(sitting);
    return {sitting, step.nextFact, step.stepText};
}

QString CoreEngine::explain(const QString &stepText) { return engine_->explain(stepText); }

Engine &libraryEngine()
{
    static LibraryEngine engine;
    return engine;
}

std::optional<double> parseAnswerNumber(const QString &text)
{
    // One rule for numbers everywhere: the engine's, which reads its expressions with it.
    double value = 0.0;
    if (!engine::parseDecimal(text, &value) || !std::isfinite(value))
        return std::nullopt;
    return value;
}

QString notANumberMessage(const QString &text)
{
    const QString hint = QStringLiteral("Введите число, например 37 или 36,6 (дробную часть можно "
                                        "отделить запятой или точкой).");
    if (text.trimmed().isEmpty())
        return QStringLiteral("Ответ не введён.\n") + hint;
    return QStringLiteral("«%1» не является числом.\n").arg(text.trimmed()) + hint;
}

QString noValuesMessage()
{
    return QStringLiteral("У этой сущности нет допустимых значений, ответ выбрать не из чего.\n"
                          "Добавьте ей значения в редакторе значений или окончите диалог.");
}

QString noValueChosenMessage() { return QStringLiteral("Выберите ответ в списке значений."); }

QString noResultMessage()
{
    return QStringLiteral("Диалог окончен - результат не получен\nвследствии нехватки правил");
}

Consultation::Consultation(Engine &engine) : engine_(engine) {}

void Consultation::cleanTable() { engine_.cleanTable(); }

Consultation::Outcome Consultation::start(int task, int goal)
{
    lastStep_.clear();
    asked_ = 0;
    question_ = {};
    sitting_ = engine_.initBase(task, goal);
    steps_.clear();
    running_ = true;
    const UseDLL::DialResult r = engine_.dial(sitting_, 0, 100, 0.0);
    asked_ = r.nextFact;
    lastStep_ = r.stepText;
    // The opening step is explained as the start of the consultation, not by its own text.
    steps_ << QString();
    return afterStep();
}

Consultation::Outcome Consultation::acceptValue(int valueId, int trust)
{
    if (!running_ || asked_ == 0)
        return {QStringLiteral("Диалог не начат."), false, false};
    if (question_.values.isEmpty())
        return {noValuesMessage(), false, false};
    const bool listed = std::any_of(question_.values.cbegin(), question_.values.cend(),
                                    [valueId](const AnswerValue &v) { return v.id == valueId; });
    if (!listed)
        return {noValueChosenMessage(), false, false};
    return record(valueId, trust, 0.0);
}

Consultation::Outcome Consultation::acceptNumber(const QString &text, int trust)
{
    if (!running_ || asked_ == 0)
        return {QStringLiteral("Диалог не начат."), false, false};
    const std::optional<double> number = parseAnswerNumber(text);
    if (!number)
        return {notANumberMessage(text), false, false};
    return record(-1, trust, *number);
}

Consultation::Outcome Consultation::record(int valueId, int trust, double number)
{
    const int certainty = question_.nonDet ? admissibleTrust(trust) : 100;
    recordAnswer(sitting_, asked_, valueId, certainty, number);

    UseDLL::DialResult r;
    try {
        r = engine_.dial(sitting_, valueId, certainty, number);
    } catch (...) {
        // The engine did not take the answer: it must not be replayed with the next one.
        // (An entity is asked once per sitting, so the pair names the answer.)
        kb::execSql(QStringLiteral("delete from questions where sitting_id=") + QString::number(sitting_) +
                    QStringLiteral(" and fact_id=") + QString::number(asked_));
        throw;
    }
    lastStep_ = r.stepText;
    asked_ = r.nextFact;
    // The last step of a consultation without a result has an empty step text, which would
    // explain as the start once more; the engine names that step in its second text.
    steps_ << (lastStep_.isEmpty() && asked_ == 0 && !r.secondText.isEmpty() ? r.secondText : lastStep_);
    return afterStep();
}

Consultation::Outcome Consultation::afterStep()
{
    Outcome out;
    if (asked_ == 0) {
        running_ = false;
        question_ = {};
        out.over = true;
        out.noResult = lastStep_.isEmpty();
    } else {
        question_ = readQuestion(asked_);
    }
    return out;
}

int Consultation::stepBack()
{
    if (!canStepBack())
        return asked_;
    const UseDLL::BackResult r = engine_.backStep(sitting_);
    steps_.removeLast();
    sitting_ = r.sitting;
    asked_ = r.fact;
    lastStep_ = r.stepText;
    question_ = asked_ ? readQuestion(asked_) : Question{};
    return asked_;
}

void Consultation::finish()
{
    running_ = false;
    asked_ = 0;
    question_ = {};
}

void Consultation::recordAnswer(int sitting, int fact, int valueId, int trust, double number)
{
    kb::Query insert(QStringLiteral("insert into questions  (sitting_id, fact_id, value_ans, trust, nnum) "
                                    " values (:P0, :P1, :P2, :P3, :P4)"));
    insert.setFloat(QStringLiteral("P0"), sitting);
    insert.setFloat(QStringLiteral("P1"), fact);
    insert.setFloat(QStringLiteral("P2"), valueId);
    insert.setFloat(QStringLiteral("P3"), trust);
    insert.setFloat(QStringLiteral("P4"), number);
    insert.exec();
}

Question Consultation::readQuestion(int fact)
{
    Question q;
    q.fact = fact;
    kb::Query f(QStringLiteral("select fact_text, fact_Question, type, non_det  from tfact  where fact_id=") +
                QString::number(fact));
    f.open();
    if (!f.eof()) {
        q.text = f.asString(QStringLiteral("fact_text"));
        q.question = f.asString(QStringLiteral("fact_Question"));
        q.type = f.asString(QStringLiteral("type"));
        q.nonDet = f.asInteger(QStringLiteral("non_det")) != 0;
    }
    f.close();
    if (q.symbolic()) {
        kb::Query v(QStringLiteral("select value_id, value_mean, value_text, value_picture  from tvalue where  fact_id=") +
                    QString::number(fact) + QStringLiteral(" order by value_mean"));
        v.open();
        for (; !v.eof(); v.next())
            q.values.append({int(v.asInteger(QStringLiteral("value_id"))), v.asString(QStringLiteral("value_mean"))});
    }
    return q;
}

void Consultation::cleanAuxiliaryTables()
{
    kb::execSql(QStringLiteral("delete from tdialog  "));
    kb::execSql(QStringLiteral("delete from tnextver "));
    kb::execSql(QStringLiteral("delete from trfact   "));
}

QList<GoalResult> goalResults(int task, int goal, int sitting)
{
    const qint64 threshold =
        kb::scalarInteger(QStringLiteral("SELECT TRUSTLIMIT FROM TTASK  WHERE TASK_ID=") + QString::number(task));
    QString type;
    {
        kb::Query t(QStringLiteral("select type from TFact where fact_id=") + QString::number(goal));
        t.open();
        if (!t.eof())
            type = t.value(0).toString();
    }
    const QString tail = QStringLiteral(" AND R.FACT_ID=") + QString::number(goal) +
                         QStringLiteral(" AND R.SITTING_ID=") + QString::number(sitting) +
                         QStringLiteral(" AND TRUST>=") + QString::number(threshold);
    const QString sql =
        type.trimmed().compare(QLatin1String("C"), Qt::CaseInsensitive) == 0
            ? QStringLiteral(" SELECT VALUE_MEAN MEAN, TRUST, COMMENT  FROM TRFACT R, TVALUE V  WHERE R.VALUE_ID=V.VALUE_ID") + tail
            : QStringLiteral(" SELECT VALUE_NUMBER  MEAN, TRUST, COMMENT  FROM TRFACT R  WHERE R.VALUE_ID=-1") + tail +
                  QStringLiteral(" ORDER BY TRUST DESC");
    QList<GoalResult> rows;
    kb::Query results(sql);
    results.open();
    for (; !results.eof(); results.next())
        rows.append({results.asString(QStringLiteral("MEAN")), results.asFloat(QStringLiteral("TRUST"))});
    return rows;
}

kb::Report resultsReport(int task, int goal, int sitting, const QStringList &steps, Engine &engine)
{
    kb::Report report;
    report.bold(QStringLiteral("Результаты диалога:"));
    report.bold(QStringLiteral(" "));
    const QList<GoalResult> results = goalResults(task, goal, sitting);
    if (results.isEmpty())
        report.plain(QStringLiteral("Отсутствуют. Если диалог был производился, то из-за недостатка правил."));
    for (int n = 1; n <= results.size(); ++n) {
        if (n > 1)
            report.plain(QStringLiteral("или"));
        report.plain(QString::number(n) + QStringLiteral(")") + results[n - 1].mean + QStringLiteral(" - ") +
                     QStringLiteral("КД=") + QVariant(results[n - 1].trust).toString());
    }
    report.bold(QString());
    report.bold(QStringLiteral("Ход диалога:"));
    for (const QString &step : steps) {
        QString text = engine.explain(step);
        text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        while (text.endsWith(QLatin1Char('\n')))
            text.chop(1);
        if (text.isEmpty())
            continue;
        for (const QString &line : text.split(QLatin1Char('\n')))
            report.plain(line);
    }
    return report;
}

}  // namespace consultation
