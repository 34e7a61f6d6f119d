#pragma once
// The steps of start-up that need no window: the alias check and registration, and the
// choice of the current task.

#include <QString>

namespace app {

// If the alias Kolbex is missing, registers it on DB_SAMPLE under the program directory with
// the driver "PARADOX" and returns the message to show ("Зарегистрирована База данных Kolbex.");
// otherwise returns an empty text. Throws dbengine::ConfigError when the configuration
// cannot be read or written.
QString checkAlias();

struct CurrentTask {
    int id = 0;
    QString name;
};

// The current task at start: the remembered task when it still exists ("Не определена" with
// number 0 when it does not), the first task by name when nothing is remembered (task 0 with
// an empty name when there is no task).
CurrentTask chooseCurrentTask(int rememberedTask);

}  // namespace app
