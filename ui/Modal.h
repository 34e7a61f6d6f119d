#pragma once
// Running a form modally. Every editor form is opened through execModal(), so that a test
// can play the user: it installs a ScriptedModal whose drivers receive each form in turn,
// shown but not blocking, and click its buttons. A form that no driver closed is cancelled,
// as if the user had pressed Esc.

#include <QStringList>

#include <deque>
#include <functional>

class QDialog;

namespace ui {

// Shows the form modally and returns its result (QDialog::Accepted or Rejected).
int execModal(QDialog *form);

using ModalDriver = std::function<void(QDialog *)>;

// For tests: while one exists, execModal() does not block; each opened form is handed to the
// next driver of the queue (none left: the form is cancelled at once).
class ScriptedModal {
public:
    ScriptedModal();
    ~ScriptedModal();
    ScriptedModal(const ScriptedModal &) = delete;
    ScriptedModal &operator=(const ScriptedModal &) = delete;

    std::deque<ModalDriver> drivers;
    QStringList opened;  // window titles of the forms opened, in order

    static ScriptedModal *current();
};

}  // namespace ui
