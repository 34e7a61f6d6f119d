#pragma once
// The general error display. Every command handler runs inside guarded(): an error that no
// form caught (a failed statement, a failed engine call, anything thrown) is shown with its
// own text through Prompts, and control returns to the event loop. Exceptions never cross
// the event loop.

#include <QObject>
#include <QWidget>

#include <functional>
#include <utility>

namespace ui {

// Runs fn; shows an escaping error. Returns false when an error was shown.
bool guarded(QWidget *parent, const std::function<void()> &fn);

// Connects a signal to a handler that runs inside guarded().
template <typename Sender, typename Signal, typename Fn>
QMetaObject::Connection connectGuarded(Sender *sender, Signal signal, QWidget *parent, Fn fn)
{
    QObject *context = parent ? static_cast<QObject *>(parent) : static_cast<QObject *>(sender);
    return QObject::connect(sender, signal, context,
                            [parent, fn = std::move(fn)](auto &&...) { guarded(parent, fn); });
}

}  // namespace ui
