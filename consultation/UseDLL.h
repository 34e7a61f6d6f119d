#pragma once
// Loading the inference engine library when the program starts (not at link time), and the
// program's typed calls into it. A missing library or symbol gives one clear message and
// leaves the engine unavailable; everything else keeps working.

#include <QString>

#include <memory>

namespace consultation {

class UseDLL {
public:
    UseDLL();
    ~UseDLL();
    UseDLL(const UseDLL &) = delete;
    UseDLL &operator=(const UseDLL &) = delete;

    // The program's own loader.
    static UseDLL &instance();

    // The library file the program looks for: libquorbbde.so in the program directory.
    static QString libraryFile();

    // Loads the library from the program directory; returns false and keeps the reason in
    // error() when the library or one of its symbols is missing. Once loaded it stays loaded;
    // after a failure a later call tries again (the library may have been put in place).
    bool load();
    // The same for a given file.
    bool loadFrom(const QString &file);
    bool isLoaded() const;
    QString error() const;

    // The calls; each throws std::runtime_error with error() when the library is not loaded,
    // and with the library's own text when the call failed inside it.
    void Clean_table();
    int Init_base(int task, int goal);
    struct DialResult {
        QString stepText;
        int nextFact = 0;
        // Not shown; at an end without a result it names the last step, whose step text
        // is then empty.
        QString secondText;
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

private:
    struct State;
    std::unique_ptr<State> d_;

    QString take(char *text) const;
    static void checkFault(const QString &text, int next);
    void requireLoaded() const;
};

}  // namespace consultation
