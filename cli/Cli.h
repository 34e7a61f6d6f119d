#pragma once
// zelmora-cli: the command-line companion. Each command lives in a file of its own and
// registers itself with ZELMORA_CLI_COMMAND.

#include <QString>
#include <QStringList>
#include <QTextStream>

#include <functional>
#include <map>
#include <stdexcept>

namespace cli {

// A usage or input error: printed to stderr, exit code 2 unless given.
class UsageError : public std::runtime_error {
public:
    explicit UsageError(const QString &text, int code = 2)
        : std::runtime_error(text.toStdString()), text_(text), code_(code) {}
    QString text() const { return text_; }
    int code() const { return code_; }

private:
    QString text_;
    int code_;
};

struct Context {
    QStringList args;  // the command's own arguments (after the command name)
    QString dbDir;     // --db DIR, empty for the alias Kolbex
    QTextStream &out;
    QTextStream &err;

    // Opens the knowledge base (of --db or of the alias) as the program's connection.
    void openKnowledgeBase() const;
    // The value of an option "--name VALUE"; def when absent. Throws UsageError when the
    // option is given without a value.
    QString option(const QString &name, const QString &def = {}) const;
    int intOption(const QString &name, int def) const;
    int requiredIntOption(const QString &name) const;
    bool flag(const QString &name) const;
    // Arguments that are neither options nor option values.
    QStringList positional(const QStringList &optionsWithValues) const;
};

using Command = std::function<int(Context &)>;

// Named commands with their usage lines: the commands of zelmora-cli, and the kinds of
// "bench", each registered by the file that holds it.
struct Entry {
    const char *usage;
    Command command;
};
using Registry = std::map<QString, Entry>;
Registry &commands();
Registry &benchKinds();

struct Registrar {
    Registrar(Registry &registry, const char *name, const char *usage, Command command);
};

#define ZELMORA_CLI_CONCAT2(a, b) a##b
#define ZELMORA_CLI_CONCAT(a, b) ZELMORA_CLI_CONCAT2(a, b)
#define ZELMORA_CLI_COMMAND(name, usage, fn) \
    static ::cli::Registrar ZELMORA_CLI_CONCAT(registrar_, __LINE__)(::cli::commands(), name, usage, fn)

}  // namespace cli
