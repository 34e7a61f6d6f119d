#pragma once
// The inference engine: sittings, steps, step back and explanations over one connection to
// the knowledge base. It keeps nothing between calls that the tables do not hold: every
// call replays the sitting's answers from `questions` and writes the sitting's rows of
// TDIALOG, TRFACT and TNextver anew, so a fresh engine (after a restart of the program)
// answers every call exactly as the old one would have.
//
// Errors of the database come out as kb::DbError; an unknown sitting as EngineError.

#include "engine/Inference.h"
#include "engine/Knowledge.h"

#include <QSqlDatabase>
#include <QString>

#include <memory>
#include <stdexcept>

namespace engine {

class EngineError : public std::runtime_error {
public:
    explicit EngineError(const QString &text) : std::runtime_error(text.toStdString()), text_(text) {}
    QString text() const { return text_; }

private:
    QString text_;
};

// A certainty with up to two decimals and no trailing zeros: 72.5, 100, 33.33.
QString cfText(double cf);

class Engine {
public:
    explicit Engine(QSqlDatabase db);
    ~Engine();

    struct Step {
        int nextFact = 0;   // the entity to ask, 0 when the consultation is over
        QString stepText;   // names the step for explain(); empty at the end without a result
        QString secondText; // where the consultation stands; at an end without a result,
                            // the name of the last step (the step text is then empty)
    };

    // Clears the work rows (TNextver) that earlier sittings left.
    void cleanTable();
    // Starts a sitting of a task with its goal; returns the new SITTING_ID.
    int initBase(int task, int goal);
    // Continues the sitting with the answers recorded in `questions` so far.
    Step dial(int sitting);
    // Removes the sitting's last answer and goes back to its question (nextFact).
    Step backStep(int sitting);
    // A readable Russian account of one step (a text that dial() returned). The empty text
    // explains the start of the latest sitting. A text that names no step is returned as it
    // stands, so an error text passed along by the program stays readable.
    QString explain(const QString &stepText);

    // The words of a relation code for the rules listing.
    static QString relations(int code) { return relationWords(code); }

    static QString stepName(int sitting, int step);
    static bool parseStepName(const QString &text, int *sitting, int *step);

    QSqlDatabase database() const { return db_; }

private:
    struct Sitting {
        int id = 0;
        int task = 0;
        int goal = 0;
    };
    struct Replay {
        Sitting sitting;
        std::shared_ptr<const Knowledge> knowledge;
        RunResult run;
    };

    Sitting readSitting(int sitting);
    std::vector<Answer> readAnswers(int sitting);
    QString knowledgeStamp();
    std::shared_ptr<const Knowledge> knowledgeFor(int task);
    Replay replay(int sitting);
    void writeRows(const Replay &r);
    Step stepOf(const Replay &r);
    QString explainStep(const Replay &r, int step);

    QSqlDatabase db_;
    struct Cache;
    std::unique_ptr<Cache> cache_;
};

}  // namespace engine
