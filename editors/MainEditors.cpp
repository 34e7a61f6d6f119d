// The main window's editor commands: each opens its list form for the current task and,
// when the form returns, refreshes what the form may have changed.

#include "app/MainMenu.h"

#include "editors/Fraction.h"
#include "editors/Obj.h"
#include "editors/Task.h"
#include "editors/Topic.h"
#include "editors/Value.h"
#include "ui/Guard.h"

#include <QAction>

void TForm1::connectEditors()
{
    auto current = [this] { return editors::TaskContext{taskId_, taskName_}; };
    auto command = [this](const char *name, std::function<void()> run) {
        QAction *a = action(QString::fromLatin1(name));
        a->setEnabled(true);
        ui::connectGuarded(a, &QAction::triggered, this, std::move(run));
    };
    command("actTopics", [this] {
        editors::ShowTopics(this);
        SelectTask();
    });
    command("actTasks", [this] {
        editors::ShowTasks(this);
        SelectTask();
        Fact_Value();
        FreshGraph();
    });
    command("actSubtasks", [this, current] { editors::ShowSubtasks(this, current()); });
    command("actFacts", [this, current] {
        // Closing the entity list has rebuilt the task's network tables.
        editors::ShowFacts(this, current());
        Fact_Value();
        FreshGraph();
    });
    command("actValues", [this, current] {
        editors::ShowValues(this, current(), 0);
        Fact_Value();
        FreshGraph();
    });
}
