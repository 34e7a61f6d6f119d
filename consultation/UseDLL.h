#pragma once
// Loading the inference engine library when the program starts (not at link time), and the
// program's typed calls into it. A missing library or symbol gives one clear message and
// leaves the engine unavailable; everything else keeps working.

#include <QString>

namespace consultation {

class UseDLL {
public:
    static UseDLL &instance();

    // Loads the library from the program directory (once); returns false and keeps the
    // reason in error() when the library or one of its symbols is missing.
    bool load();
    bool isLoaded() const;
    QString error() const;

    void Clean_table();
    int Init_base(int task, int goal);
    struct DialResult {
        QString stepText;
        int nextFact = 0;
    };
    DialResult Dial(int sitting, int valueId, int trust, double number);
    struct BackResult {
        int sitting = 0;
        int fact = 0;
        QString stepText;
    };
    BackResult BackStep(int sitting);
    QString Explain(const QString &stepText);
    // The words of a relation code for the rules listing ("?" for an unknown code, and when
    // the library is not loaded).
    QString Relations(int code);
};

}  // namespace consultation
