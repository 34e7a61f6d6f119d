#pragma once
// The alias configuration of the database-engine layer: named entries, each with a driver
// name and a parameter list whose first line is "PATH=" followed by a directory. It lives in
// a file of its own in the user's configuration directory and outlives the program.

#include <QString>
#include <QStringList>

#include <stdexcept>

namespace dbengine {

// The alias through which the program and the engine library reach the knowledge base.
inline const QString kAliasName = QStringLiteral("Kolbex");
inline const QString kDriverParadox = QStringLiteral("PARADOX");

// The alias configuration could not be read or written.
class ConfigError : public std::runtime_error {
public:
    explicit ConfigError(const QString &text) : std::runtime_error(text.toStdString()), text_(text) {}
    QString text() const { return text_; }

private:
    QString text_;
};

// The configuration as the engine sees it. Every call reads the file anew.
class AliasConfig {
public:
    // Names of all aliases. Throws ConfigError when the file exists but cannot be read.
    static QStringList names();
    // Adds (or replaces) a standard alias; takes effect in the file with save().
    void addStandardAlias(const QString &name, const QString &directory, const QString &driver);
    void save();
    // The parameter list of an alias ("PATH=..." first); empty when there is no such alias.
    static QStringList params(const QString &name);
    static void setParams(const QString &name, const QStringList &params);
    static QString driver(const QString &name);
    // The directory of an alias (the PATH parameter); empty when there is no such alias.
    static QString directory(const QString &name);

private:
    struct Pending {
        QString name, directory, driver;
    };
    QList<Pending> pending_;
};

// True when an alias of exactly this name (letter case counts; blanks trimmed) exists.
bool AliasExists(const QString &name);
// Adds a standard alias and saves the configuration, so that it outlives the program.
void RegisterAlias(const QString &name, const QString &directory, const QString &driver);

}  // namespace dbengine
