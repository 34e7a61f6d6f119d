// zelmora-cli [--db DIR] COMMAND [ARGS]: headless work on a knowledge base.

#include "cli/Cli.h"

#include "dbengine/Aliases.h"
#include "dbengine/Session.h"
#include "kb/Sql.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <unistd.h>


namespace cli {

Registry &commands()
{
    static Registry registry;
    return registry;
}

Registry &benchKinds()
{
    static Registry registry;
    return registry;
}

Registrar::Registrar(Registry &registry, const char *name, const char *usage, Command command)
{
    registry[QString::fromLatin1(name)] = {usage, std::move(command)};
}

void Context::openKnowledgeBase() const
{
    auto &session = dbengine::Session::instance();
    session.addPassword(dbengine::kTablePassword);
    if (dbDir.isEmpty())
        session.openAlias(dbengine::kAliasName);
    else
        session.openDirectory(dbDir);
}

QString Context::option(const QString &name, const QString &def) const
{
    const int i = args.indexOf(name);
    if (i < 0)
        return def;
    if (i + 1 >= args.size())
        throw UsageError(QStringLiteral("option %1 needs a value").arg(name));
    return args[i + 1];
}

int Context::intOption(const QString &name, int def) const
{
    const QString v = option(name);
    if (v.isEmpty())
        return def;
    bool ok = false;
    const int n = v.toInt(&ok);
    if (!ok)
        throw UsageError(QStringLiteral("option %1 needs a whole number, not '%2'").arg(name, v));
    return n;
}

int Context::requiredIntOption(const QString &name) const
{
    if (!args.contains(name))
        throw UsageError(QStringLiteral("option %1 is required").arg(name));
    return intOption(name, 0);
}

bool Context::flag(const QString &name) const { return args.contains(name); }

QStringList Context::positional(const QStringList &optionsWithValues) const
{
    QStringList out;
    for (int i = 0; i < args.size(); ++i) {
        if (optionsWithValues.contains(args[i])) {
            ++i;
            continue;
        }
        if (!args[i].startsWith(QStringLiteral("--")))
            out << args[i];
    }
    return out;
}

}  // namespace cli

static int usage(QTextStream &err)
{
    err << "usage: zelmora-cli [--db DIR] COMMAND [ARGS]\n"
           "  --db DIR   a knowledge-base directory (default: the alias Kolbex)\n"
           "commands:\n";
    for (const auto &[name, entry] : cli::commands())
        err << "  " << entry.usage << "\n";
    err.flush();
    return 2;
}

int main(int argc, char *argv[])
{
    // Pictures are converted with QImage, which needs a GUI application, but never a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Without a desktop session there is no runtime directory; give Qt the private one it
    // would pick anyway, so that it does not warn about it on every run.
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QString runtime = QDir::tempPath() + QStringLiteral("/runtime-zelmora-") +
                                QString::number(getuid());
        if (QDir().mkpath(runtime) &&
            QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))
            qputenv("XDG_RUNTIME_DIR", runtime.toUtf8());
    }
    QGuiApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);

    QStringList args = QCoreApplication::arguments().mid(1);
    QString dbDir;
    const int db = args.indexOf(QStringLiteral("--db"));
    if (db >= 0) {
        if (db + 1 >= args.size())
            return usage(err);
        dbDir = args[db + 1];
        args.remove(db, 2);
    }
    if (args.isEmpty() || args[0] == QStringLiteral("--help") || args[0] == QStringLiteral("help"))
        return usage(err);
    const auto it = cli::commands().find(args[0]);
    if (it == cli::commands().end()) {
        err << "zelmora-cli: unknown command '" << args[0] << "'\n";
        return usage(err);
    }
    cli::Context context{args.mid(1), dbDir, out, err};
    int code = 1;
    try {
        code = it->second.command(context);
    } catch (const cli::UsageError &e) {
        err << "zelmora-cli: " << e.text() << "\n";
        code = e.code();
    } catch (const kb::DbError &e) {
        err << "zelmora-cli: " << e.text() << "\n";
        code = 1;
    } catch (const dbengine::ConfigError &e) {
        err << "zelmora-cli: " << e.text() << "\n";
        code = 1;
    } catch (const std::exception &e) {
        err << "zelmora-cli: " << e.what() << "\n";
        code = 1;
    }
    out.flush();
    err.flush();
    return code;
}
