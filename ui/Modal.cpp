#include "ui/Modal.h"

#include <QDialog>
#include <QPointer>

namespace ui {

namespace {
ScriptedModal *g_scripted = nullptr;
}

ScriptedModal::ScriptedModal() { g_scripted = this; }
ScriptedModal::~ScriptedModal()
{
    if (g_scripted == this)
        g_scripted = nullptr;
}

ScriptedModal *ScriptedModal::current() { return g_scripted; }

int execModal(QDialog *form)
{
    ScriptedModal *script = g_scripted;
    if (!script)
        return form->exec();
    QPointer<QDialog> guard(form);
    form->setResult(QDialog::Rejected);
    form->show();
    script->opened << form->windowTitle();
    if (!script->drivers.empty()) {
        ModalDriver driver = std::move(script->drivers.front());
        script->drivers.pop_front();
        driver(form);
    }
    if (guard && guard->isVisible())
        guard->reject();
    return guard ? guard->result() : QDialog::Rejected;
}

}  // namespace ui
