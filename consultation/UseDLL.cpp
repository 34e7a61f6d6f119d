#include "consultation/UseDLL.h"

#include "dbengine/Paths.h"
#include "engine/quorbbde.h"
#include "kb/Codes.h"

#include <QLibrary>

namespace consultation {

namespace {

struct Api {
    decltype(&::Clean_table) clean = nullptr;
    decltype(&::Init_base) init = nullptr;
    decltype(&::Dial) dial = nullptr;
    decltype(&::BackStep) back = nullptr;
    decltype(&::Explain) explain = nullptr;
    decltype(&::Relations) relations = nullptr;
    decltype(&::Free_text) freeText = nullptr;
};

struct State {
    QLibrary library;
    Api api;
    bool tried = false;
    bool loaded = false;
    QString error;
};

State &state()
{
    static State s;
    return s;
}

// Takes over a text the library allocated.
QString take(char *text)
{
    if (!text)
        return {};
    QString s = QString::fromUtf8(text);
    if (state().api.freeText)
        state().api.freeText(text);
    return s;
}

void requireLoaded()
{
    if (!state().loaded)
        throw std::runtime_error(state().error.toStdString());
}

}  // namespace

UseDLL &UseDLL::instance()
{
    static UseDLL dll;
    return dll;
}

bool UseDLL::load()
{
    State &s = state();
    if (s.tried)
        return s.loaded;
    s.tried = true;
    s.library.setFileName(dbengine::programDir() + QStringLiteral("libquorbbde.so"));
    if (!s.library.load()) {
        s.error = QStringLiteral("Не удалось загрузить библиотеку машины вывода: %1. Диалог недоступен.")
                      .arg(s.library.errorString());
        return false;
    }
    auto resolve = [&s](auto &slot, const char *name) {
        slot = reinterpret_cast<std::remove_reference_t<decltype(slot)>>(s.library.resolve(name));
        if (!slot && s.error.isEmpty())
            s.error = QStringLiteral("В библиотеке машины вывода нет функции %1. Диалог недоступен.")
                          .arg(QString::fromLatin1(name));
    };
    resolve(s.api.clean, "Clean_table");
    resolve(s.api.init, "Init_base");
    resolve(s.api.dial, "Dial");
    resolve(s.api.back, "BackStep");
    resolve(s.api.explain, "Explain");
    resolve(s.api.relations, "Relations");
    resolve(s.api.freeText, "Free_text");
    s.loaded = s.error.isEmpty();
    if (!s.loaded) {
        s.api = {};
        s.library.unload();
    }
    return s.loaded;
}

bool UseDLL::isLoaded() const { return state().loaded; }
QString UseDLL::error() const { return state().error; }

void UseDLL::Clean_table()
{
    requireLoaded();
    state().api.clean();
}

int UseDLL::Init_base(int task, int goal)
{
    requireLoaded();
    return state().api.init(task, goal, 1);
}

UseDLL::DialResult UseDLL::Dial(int sitting, int valueId, int trust, double number)
{
    requireLoaded();
    char *step = nullptr;
    char *second = nullptr;
    DialResult r;
    state().api.dial(&step, &second, sitting, valueId, trust, &r.nextFact, number, 1);
    r.stepText = take(step);
    take(second);
    return r;
}

UseDLL::BackResult UseDLL::BackStep(int sitting)
{
    requireLoaded();
    BackResult r;
    r.sitting = sitting;
    char *step = nullptr;
    r.fact = state().api.back(&r.sitting, &step);
    r.stepText = take(step);
    return r;
}

QString UseDLL::Explain(const QString &stepText)
{
    requireLoaded();
    char *text = nullptr;
    const QByteArray step = stepText.toUtf8();
    state().api.explain(&text, step.constData());
    return take(text);
}

QString UseDLL::Relations(int code)
{
    if (!load())
        return QStringLiteral("?");
    char *text = nullptr;
    state().api.relations(&text, code, 0);
    return take(text);
}

}  // namespace consultation
