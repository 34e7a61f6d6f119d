#include "consultation/UseDLL.h"

#include "dbengine/Paths.h"
#include "engine/quorbbde.h"

#include <QLibrary>

#include <stdexcept>

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

}  // namespace

struct UseDLL::State {
    QLibrary library;
    Api api;
    bool loaded = false;
    bool tried = false;
    QString error = QStringLiteral("Библиотека машины вывода не загружена. Диалог недоступен.");
};

UseDLL::UseDLL() : d_(std::make_unique<State>()) {}

// The library stays mapped until the process ends: texts and connections it made may still
// be in use while the program shuts down.
UseDLL::~UseDLL() = default;

UseDLL &UseDLL::instance()
{
    static UseDLL dll;
    return dll;
}

QString UseDLL::libraryFile() { return dbengine::programDir() + QStringLiteral("libquorbbde.so"); }

bool UseDLL::load() { return loadFrom(libraryFile()); }

bool UseDLL::loadFrom(const QString &file)
{
    State &s = *d_;
    if (s.loaded)
        return true;
    s.tried = true;
    s.error.clear();
    s.library.setFileName(file);
    if (!s.library.load()) {
        s.error = QStringLiteral("Не удалось загрузить библиотеку машины вывода %1:\n%2\n"
                                 "Диалог и его результаты недоступны.")
                      .arg(file, s.library.errorString());
        return false;
    }
    auto resolve = [&s, &file](auto &slot, const char *name) {
        slot = reinterpret_cast<std::remove_reference_t<decltype(slot)>>(s.library.resolve(name));
        if (!slot && s.error.isEmpty())
            s.error = QStringLiteral("В библиотеке машины вывода %1 нет функции %2.\n"
                                     "Диалог и его результаты недоступны.")
                          .arg(file, QString::fromLatin1(name));
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

bool UseDLL::isLoaded() const { return d_->loaded; }
QString UseDLL::error() const { return d_->loaded ? QString() : d_->error; }

// Takes over a text the library allocated and gives it back to the library's allocator.
QString UseDLL::take(char *text) const
{
    if (!text)
        return {};
    QString s = QString::fromUtf8(text);
    if (d_->api.freeText)
        d_->api.freeText(text);
    return s;
}

// The library cannot throw across its C interface: a fault inside a call comes back as a
// step text that begins with this, and no next entity. The program reports it as the error
// it is instead of taking it for the end of the consultation.
void UseDLL::checkFault(const QString &text, int next)
{
    static const QString kFault = QStringLiteral("Ошибка машины вывода");
    if (next == 0 && text.startsWith(kFault))
        throw std::runtime_error(text.toStdString());
}

void UseDLL::requireLoaded() const
{
    if (!d_->loaded)
        throw std::runtime_error(d_->error.toStdString());
}

void UseDLL::Clean_table()
{
    requireLoaded();
    d_->api.clean();
}

int UseDLL::Init_base(int task, int goal)
{
    requireLoaded();
    const int sitting = d_->api.init(task, goal, 1);
    // A sitting is numbered from 1; 0 is the library's way of saying that it could not start.
    if (sitting <= 0)
        throw std::runtime_error(
            QStringLiteral("Машина вывода не смогла начать консультацию задачи № %1.").arg(task).toStdString());
    return sitting;
}

UseDLL::DialResult UseDLL::Dial(int sitting, int valueId, int trust, double number)
{
    requireLoaded();
    char *step = nullptr;
    char *second = nullptr;
    DialResult r;
    d_->api.dial(&step, &second, sitting, valueId, trust, &r.nextFact, number, 1);
    r.stepText = take(step);
    r.secondText = take(second);
    checkFault(r.stepText, r.nextFact);
    return r;
}

UseDLL::BackResult UseDLL::BackStep(int sitting)
{
    requireLoaded();
    BackResult r;
    r.sitting = sitting;
    char *step = nullptr;
    r.fact = d_->api.back(&r.sitting, &step);
    r.stepText = take(step);
    checkFault(r.stepText, r.fact);
    return r;
}

QString UseDLL::Explain(const QString &stepText)
{
    requireLoaded();
    char *text = nullptr;
    const QByteArray step = stepText.toUtf8();
    d_->api.explain(&text, step.constData());
    return take(text);
}

QString UseDLL::Relations(int code)
{
    // A listing asks for many relations: a library that failed to load is not tried again.
    if (!d_->loaded && (d_->tried || !load()))
        return QStringLiteral("?");
    char *text = nullptr;
    d_->api.relations(&text, code, 0);
    return take(text);
}

}  // namespace consultation
