#include "ui/Guard.h"

#include "dbengine/Aliases.h"
#include "kb/Sql.h"
#include "ui/Prompts.h"

#include <exception>

namespace ui {

bool guarded(QWidget *parent, const std::function<void()> &fn)
{
    try {
        fn();
        return true;
    } catch (const kb::DbError &e) {
        Prompts::instance().error(parent, e.text());
    } catch (const dbengine::ConfigError &e) {
        Prompts::instance().error(parent, e.text());
    } catch (const std::exception &e) {
        Prompts::instance().error(parent, QString::fromUtf8(e.what()));
    } catch (...) {
        Prompts::instance().error(parent, QStringLiteral("Неизвестная ошибка"));
    }
    return false;
}

}  // namespace ui
