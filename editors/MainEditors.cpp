// The main window's editor commands: each opens its list form for the current task and,
// when the form returns, refreshes what the form may have changed.

#include "app/MainMenu.h"

#include "editors/Fraction.h"
#include "editors/Obj.h"
#include "editors/Task.h"
#include "editors/Topic.h"
#include "editors/Value.h"
#include "ui/Guard.h"
#include "ui/Prompts.h"

#include <QAction>

void TForm1::connectEditors()
{
    auto current = [this] { return editors::TaskContext{taskId_, taskName_}; };
    // Without a current task the records of the task-owned editors would belong to no task
    // and show in no list; the user is asked to choose a task first.
    auto haveTask = [this] {
        if (taskId_ != 0)
            return true;
        ui::Prompts::instance().info(this, QStringLiteral("Текущая задача не выбрана. Выберите задачу в дереве тем и задач."));
        return false;
    };
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
    command("actSubtasks", [this, current, haveTask] {
        if (haveTask())
            editors::ShowSubtasks(this, current());
    });
    command("actFacts", [this, current, haveTask] {
        if (!haveTask())
            return;
        // Closing the entity list has rebuilt the task's network tables.
        editors::ShowFacts(this, current());
        Fact_Value();
        FreshGraph();
    });
    command("actValues", [this, current, haveTask] {
        if (!haveTask())
            return;
        editors::ShowValues(this, current(), 0);
        Fact_Value();
        FreshGraph();
    });
}
