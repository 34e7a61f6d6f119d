// The C interface of the engine library. Every call opens (or reuses) the library's own
// connection to the knowledge base of the alias Kolbex and hands the work to the engine.
// Nothing thrown inside may reach the program: every function catches everything and
// reports the fault in its text outputs.

#include "engine/quorbbde.h"

#include "dbengine/Aliases.h"
#include "dbengine/Session.h"
#include "engine/Engine.h"
#include "kb/Sql.h"

#include <QDir>
#include <QSqlDatabase>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

// The connection's name is built on the heap, not a literal: Qt keeps it in its registry of
// connections, which outlives the library when the program unloads it.
QString connectionName() { return QString::fromLatin1("quorbbde"); }

struct Host {
    QString directory;
    std::unique_ptr<engine::Engine> engine;

    // On unloading (or at exit) the connection leaves Qt's registry, so that nothing there
    // refers into the unloaded library's memory.
    ~Host()
    {
        engine.reset();
        const QString name = connectionName();
        if (QSqlDatabase::contains(name)) {
            QSqlDatabase::database(name, false).close();
            QSqlDatabase::removeDatabase(name);
        }
    }
};

Host &host()
{
    // Qt's registry of connections exists before the host, so the host goes first at exit.
    static const bool registryFirst = (QSqlDatabase::connectionNames(), true);
    (void)registryFirst;
    static Host h;
    return h;
}

// The engine on the alias's current directory; the connection is opened again when the
// alias has been pointed at another directory since the last call.
engine::Engine &engineForCall()
{
    Host &h = host();
    const QString directory = QDir::cleanPath(dbengine::AliasConfig::directory(dbengine::kAliasName));
    const QString name = connectionName();
    const bool open = h.engine && QSqlDatabase::contains(name) && QSqlDatabase::database(name, false).isOpen();
    if (!open || directory != h.directory) {
        h.engine.reset();
        h.directory.clear();
        QSqlDatabase db = dbengine::openAlias(dbengine::kAliasName, name);
        h.engine = std::make_unique<engine::Engine>(db);
        h.directory = directory;
    }
    return *h.engine;
}

char *copyText(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    char *p = static_cast<char *>(std::malloc(size_t(bytes.size()) + 1));
    if (p)
        std::memcpy(p, bytes.constData(), size_t(bytes.size()) + 1);
    return p;
}

void put(char **out, const QString &text)
{
    if (out)
        *out = copyText(text);
}

// Runs one call; a fault of any kind becomes a readable text.
template <typename F>
QString guarded(F &&f)
{
    try {
        f();
        return {};
    } catch (const kb::DbError &e) {
        return e.text();
    } catch (const dbengine::ConfigError &e) {
        return e.text();
    } catch (const engine::EngineError &e) {
        return e.text();
    } catch (const std::exception &e) {
        return QString::fromUtf8(e.what());
    } catch (...) {
        return QStringLiteral("неизвестная ошибка");
    }
}

QString errorMessage(const QString &fault)
{
    return QStringLiteral("Ошибка машины вывода: ") + fault;
}

}  // namespace

extern "C" {

QUORB_API void Clean_table(void)
{
    guarded([] { engineForCall().cleanTable(); });
}

QUORB_API int Init_base(int task, int goal, int /*mode*/)
{
    int sitting = 0;
    if (!guarded([&] { sitting = engineForCall().initBase(task, goal); }).isEmpty())
        return 0;
    return sitting;
}

QUORB_API void Dial(char **stepText, char **secondText, int sitting, int /*valueId*/, int /*trust*/,
                    int *nextFact, double /*number*/, int /*mode*/)
{
    engine::Engine::Step step;
    const QString fault = guarded([&] { step = engineForCall().dial(sitting); });
    if (!fault.isEmpty()) {
        step = {};
        step.stepText = errorMessage(fault);
        step.secondText = step.stepText;
    }
    if (nextFact)
        *nextFact = step.nextFact;
    put(stepText, step.stepText);
    put(secondText, step.secondText);
}

QUORB_API int BackStep(int *sitting, char **stepText)
{
    engine::Engine::Step step;
    const int id = sitting ? *sitting : 0;
    const QString fault = guarded([&] { step = engineForCall().backStep(id); });
    if (!fault.isEmpty()) {
        put(stepText, errorMessage(fault));
        return 0;
    }
    put(stepText, step.stepText);
    return step.nextFact;
}

QUORB_API void Explain(char **text, const char *stepText)
{
    QString result;
    const QString step = stepText ? QString::fromUtf8(stepText) : QString();
    const QString fault = guarded([&] { result = engineForCall().explain(step); });
    put(text, fault.isEmpty() ? result : errorMessage(fault));
}

QUORB_API void Relations(char **text, int code, int /*mode*/)
{
    put(text, engine::Engine::relations(code));
}

QUORB_API void Free_text(char *text)
{
    std::free(text);
}

}  // extern "C"
