#include "app/Startup.h"

#include "dbengine/Aliases.h"
#include "dbengine/Paths.h"
#include "kb/Sql.h"

namespace app {

QString checkAlias()
{
    using namespace dbengine;
    if (AliasExists(kAliasName))
        return {};
    RegisterAlias(kAliasName, programDir() + QStringLiteral("DB_SAMPLE"), kDriverParadox);
    return QStringLiteral("Зарегистрирована База данных ") + kAliasName + u'.';
}

CurrentTask chooseCurrentTask(int rememberedTask)
{
    CurrentTask task;
    if (rememberedTask != 0) {
        kb::Query q(QStringLiteral("select * from ttask where task_id=") + QString::number(rememberedTask));
        q.open();
        if (!q.eof()) {
            task.id = int(q.asInteger(QStringLiteral("Task_id")));
            task.name = q.asString(QStringLiteral("Task_name"));
        } else {
            task.name = QStringLiteral("Не определена");
        }
        return task;
    }
    kb::Query q(QStringLiteral("SELECT * FROM TTASK ORDER BY TASK_NAME"));
    q.open();
    if (!q.eof()) {
        task.id = int(q.asInteger(QStringLiteral("Task_id")));
        task.name = q.asString(QStringLiteral("Task_name"));
    }
    return task;
}

}  // namespace app
