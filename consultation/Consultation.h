#pragma once
// The consultation: the question-and-answer dialogue between the user and the inference
// engine over the current task. This is the dialogue's logic without any widget: the sitting,
// the entity asked, the step list, the answers recorded in `questions` and the engine calls.
// The dialogue panel of the main window shows what it says and passes on what the user chose.

#include "consultation/UseDLL.h"
#include "kb/Report.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace engine {
class Engine;
}

namespace consultation {

// The engine calls the dialogue needs. The program uses the loaded library; tests may put a
// scripted engine in its place.
class Engine {
public:
    virtual ~Engine() = default;
    virtual void cleanTable() = 0;
    virtual int initBase(int task, int goal) = 0;
    virtual UseDLL::DialResult dial(int sitting, int valueId, int trust, double number) = 0;
    virtual UseDLL::BackResult backStep(int sitting) = 0;
    virtual QString explain(const QString &stepText) = 0;
};

// The engine library loaded by UseDLL::instance().
Engine &libraryEngine();

// The engine's own code run in this process on the program's connection, without the
// library: the command-line companion consults through it.
class CoreEngine : public Engine {
public:
    CoreEngine();
    ~CoreEngine() override;
    void cleanTable() override;
    int initBase(int task, int goal) override;
    UseDLL::DialResult dial(int sitting, int valueId, int trust, double number) override;
    UseDLL::BackResult backStep(int sitting) override;
    QString explain(const QString &stepText) override;

private:
    std::unique_ptr<engine::Engine> engine_;
};

// One admissible value of a symbolic entity, as the answer list shows it.
struct AnswerValue {
    int id = 0;
    QString mean;
};

// What the dialogue shows for the entity asked.
struct Question {
    int fact = 0;
    QString text;      // the entity's explanatory text, shown above the question
    QString question;  // the question itself
    QString type;      // "C" symbolic, anything else numeric
    bool nonDet = false;  // the user may give a certainty below 100
    QList<AnswerValue> values;

    bool symbolic() const { return type.trimmed().compare(QLatin1String("C"), Qt::CaseInsensitive) == 0; }
};

// Reads a numeric answer: an optional minus, digits, and a fraction after a decimal point or
// a comma (the Russian way of writing it), as the engine reads numbers in expressions. Spaces
// around the number are allowed; anything else (letters, two separators, a separator without
// digits after it, an empty field) is not a number.
std::optional<double> parseAnswerNumber(const QString &text);

// The messages the dialogue gives instead of recording a wrong answer.
QString notANumberMessage(const QString &text);
QString noValuesMessage();
QString noValueChosenMessage();

// The message at the end of a dialogue that reached no result.
QString noResultMessage();

class Consultation {
public:
    explicit Consultation(Engine &engine = libraryEngine());

    // The sitting of the last consultation (0 before the first one of the run). It stays
    // after the dialogue ends: the network colours and the results window read it.
    int sitting() const { return sitting_; }
    // The entity whose question is showing; 0 when there is none.
    int asked() const { return asked_; }
    const Question &question() const { return question_; }
    QString lastStep() const { return lastStep_; }
    // One entry per engine step, the first (the opening) empty; the results window passes
    // each one to Explain.
    const QStringList &steps() const { return steps_; }
    bool running() const { return running_; }

    // The outcome of a step.
    struct Outcome {
        QString refusal;        // not empty: the answer was not taken, the question stays
        bool over = false;      // the engine has nothing more to ask
        bool noResult = false;  // ... and its last step reached no result
    };

    // Clears the engine's work rows of earlier sittings.
    void cleanTable();
    // Starts a consultation of a task for its goal: a new sitting, the opening step, the
    // first question. Over at once when the engine has nothing to ask.
    Outcome start(int task, int goal);
    // Answers with a value of the list (0: none chosen) or with a typed number. The
    // certainty counts only for an entity that allows one; otherwise it is 100.
    Outcome acceptValue(int valueId, int trust);
    Outcome acceptNumber(const QString &text, int trust);
    // A step back is possible once an answer has been given.
    bool canStepBack() const { return running_ && steps_.size() > 1; }
    // Takes the last answer back; the question of the returned entity shows again.
    int stepBack();
    // Ends the dialogue; the sitting and the steps stay for the results.
    void finish();

    // Records one answer in `questions`, where the engine reads it (values bound as
    // parameters).
    static void recordAnswer(int sitting, int fact, int valueId, int trust, double number);
    // The text shown for an entity, read from the knowledge base.
    static Question readQuestion(int fact);
    // Empties the engine's consultation tables for all sittings (not TSitting, not questions).
    static void cleanAuxiliaryTables();

private:
    Outcome record(int valueId, int trust, double number);
    Outcome afterStep();

    Engine &engine_;
    int sitting_ = 0;
    int asked_ = 0;
    Question question_;
    QString lastStep_;
    QStringList steps_;
    bool running_ = false;
};

// One value of the goal found by a sitting, as the results list it.
struct GoalResult {
    QString mean;  // the value's text, or the number of a numeric goal
    double trust = 0;
};

// The values of the goal at or above the task's threshold, in the order of the results: a
// symbolic goal as the database returns them, a numeric goal by falling certainty.
QList<GoalResult> goalResults(int task, int goal, int sitting);

// The results of the last consultation: the values of the goal at or above the task's
// threshold, then the course of the consultation as the engine explains each step.
kb::Report resultsReport(int task, int goal, int sitting, const QStringList &steps, Engine &engine);

}  // namespace consultation
