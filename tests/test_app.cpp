// Start-up, the settings file and the main window's tree and current task.

#include "TestKb.h"

#include "app/MainMenu.h"
#include "app/Settings.h"
#include "app/Startup.h"
#include "dbengine/Aliases.h"
#include "dbengine/IniFile.h"
#include "dbengine/Paths.h"
#include "kb/Sql.h"
#include "ui/Prompts.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeWidget>

using namespace testing_kb;

class Startup : public KbTest {};

TEST_F(Startup, AliasIsRegisteredOnTheFirstStartOnly)
{
    QFile::remove(dbengine::aliasConfigFile());
    {
        ui::ScriptedPrompts prompts;
        TForm1 first;
        EXPECT_EQ(prompts.texts(), QStringList{"Зарегистрирована База данных Kolbex."});
    }
    EXPECT_EQ(dbengine::AliasConfig::directory("Kolbex"), programDir() + "DB_SAMPLE");
    {
        ui::ScriptedPrompts prompts;
        TForm1 second;
        EXPECT_TRUE(prompts.texts().isEmpty()) << prompts.texts().join('|').toStdString();
    }
}

TEST_F(Startup, CurrentTaskChoice)
{
    EXPECT_EQ(app::chooseCurrentTask(0).id, 0) << "no task at all";
    EXPECT_EQ(app::chooseCurrentTask(0).name, QString());
    const int t = topic("Тема");
    const int b = task(t, "Бронхит");
    const int a = task(t, "Ангина");
    struct Case {
        int remembered;
        int id;
        const char *name;
    };
    const Case cases[] = {
        {0, a, "Ангина"},            // nothing remembered: first by name
        {b, b, "Бронхит"},           // the remembered task
        {b + 100, 0, "Не определена"}, // the remembered task was deleted
    };
    for (const Case &c : cases) {
        const app::CurrentTask chosen = app::chooseCurrentTask(c.remembered);
        EXPECT_EQ(chosen.id, c.id) << c.remembered;
        EXPECT_EQ(chosen.name, QString(c.name)) << c.remembered;
    }
}

TEST_F(Startup, FormSizesRememberedPerSection)
{
    EXPECT_EQ(app::ReadFormSize("Topic"), QSize(0, 0)) << "no settings file";
    ASSERT_TRUE(app::WriteFormSize("RulesByObj", 640, 480));
    EXPECT_EQ(app::ReadFormSize("RulesbyObj"), QSize(640, 480));
    EXPECT_TRUE(QFile::exists(programDir() + "zelmora.ini"));
}

// The window as the user gets it: the tree, the current task, closing remembers it.
class MainWindow : public KbTest {
protected:
    std::unique_ptr<TForm1> open()
    {
        auto w = std::make_unique<TForm1>();
        w->show();
        return w;
    }
    static QStringList treeLines(QTreeWidget *tree)
    {
        QStringList out;
        for (int i = 0; i < tree->topLevelItemCount(); ++i) {
            QTreeWidgetItem *root = tree->topLevelItem(i);
            out << root->text(0);
            for (int j = 0; j < root->childCount(); ++j)
                out << "  " + root->child(j)->text(0);
        }
        return out;
    }
    static void click(TForm1 &w, QTreeWidgetItem *node)
    {
        w.tree()->setCurrentItem(node);
        w.TreeView1Click();
    }
};

TEST_F(MainWindow, TreeOfTopicsAndTasks)
{
    // Two topics of one name each get their own node; a topic numbered 0 shows; a topic
    // without tasks is a node without children.
    kb::execSql("DROP INDEX TTopic_Name");
    const int med1 = topic("Медицина");
    const int med2 = topic("Медицина");
    insert("INSERT INTO TTOPIC (TOPIC_ID, TOPIC_NAME, TOPIC_KEY) VALUES (0, 'Общее', 1)");
    topic("Пустая тема");
    insert("INSERT INTO TTOPIC (TOPIC_ID, TOPIC_NAME, TOPIC_KEY) VALUES (-1, 'Скрытая', 1)");
    task(med1, "Ангина");
    task(med2, "Бронхит");
    task(med1, "Грипп");
    task(0, "Задача темы 0");
    ui::ScriptedPrompts prompts;
    auto w = open();
    const QStringList lines = treeLines(w->tree());
    EXPECT_EQ(lines.size(), 8) << lines.join('|').toStdString();
    EXPECT_EQ(lines.mid(0, 3), (QStringList{"Медицина", "  Ангина", "  Грипп"}));
    EXPECT_EQ(lines.mid(3, 2), (QStringList{"Медицина", "  Бронхит"}));
    EXPECT_EQ(lines.mid(5), (QStringList{"Общее", "  Задача темы 0", "Пустая тема"}));
    EXPECT_EQ(w->tree()->currentItem(), nullptr);
    EXPECT_TRUE(prompts.texts().isEmpty()) << prompts.texts().join('|').toStdString();
}

TEST_F(MainWindow, ClickOnTaskAndOnTopic)
{
    const int t = topic("Медицина");
    const int a = task(t, "Ангина");
    const int b = task(t, "Бронхит");
    subtask(b, "Обследование", 2);
    subtask(b, "Жалобы", 1);
    auto w = open();
    EXPECT_EQ(w->currentTask(), a);
    EXPECT_EQ(w->taskLabel()->text(), "Ангина");

    QTreeWidgetItem *root = w->tree()->topLevelItem(0);
    click(*w, root->child(1));
    EXPECT_EQ(w->currentTask(), b);
    EXPECT_EQ(w->taskLabel()->text(), "Бронхит");
    QStringList items;
    for (int i = 0; i < w->subtaskBox()->count(); ++i)
        items << w->subtaskBox()->itemText(i);
    EXPECT_EQ(items, (QStringList{"-", "Жалобы", "Обследование"}));

    w->subtaskBox()->setCurrentIndex(2);
    click(*w, root);
    EXPECT_EQ(w->currentTask(), b) << "a topic node keeps the current task";
    EXPECT_EQ(w->subtaskBox()->currentText(), "-");
    EXPECT_EQ(w->highlightedSubtask(), 0);
}

TEST_F(MainWindow, ClosingRemembersTheCurrentTask)
{
    const int t = topic("Медицина");
    task(t, "Бронхит");
    const int a = task(t, "Ангина");
    {
        auto w = open();
        EXPECT_EQ(w->currentTask(), a);
        w->close();
    }
    EXPECT_EQ(dbengine::IniFile(programDir() + "zelmora.ini").readInteger("Main", "Task"), a);

    // The remembered task deleted: "Не определена", empty lists, and 0 written on exit.
    kb::execSql("DELETE FROM TTASK WHERE TASK_ID=" + QString::number(a));
    {
        auto w = open();
        EXPECT_EQ(w->currentTask(), 0);
        EXPECT_EQ(w->taskLabel()->text(), "Не определена");
        EXPECT_EQ(w->subtaskBox()->count(), 1);
        w->close();
    }
    EXPECT_EQ(dbengine::IniFile(programDir() + "zelmora.ini").readInteger("Main", "Task"), 0);
}

TEST_F(MainWindow, MenusToolBarAndStatusBar)
{
    auto w = open();
    QStringList menus;
    for (QAction *a : w->menuBar()->actions())
        menus << a->text();
    EXPECT_EQ(menus, (QStringList{"&Файл", "&Редактор", "&Отладка", "&Вид", "&Справка"}));
    auto items = [&](const char *menu) {
        QStringList out;
        for (QAction *a : w->menu(menu)->actions())
            out << (a->isSeparator() ? "-" : a->text());
        return out;
    };
    EXPECT_EQ(items("mFile"), (QStringList{"&Путь к базе данных", "Путь к программе Ormix",
                                            "Путь к Интернет-приложению", "&Упаковка данных", "-",
                                            "В&ыход"}));
    EXPECT_EQ(items("mEdit"), (QStringList{"&Темы", "&Задачи", "&Подзадачи", "&Сущности", "З&начения",
                                            "П&равила", "&Метаправила"}));
    EXPECT_EQ(items("mDebug"),
              (QStringList{"&Пуск машины вывода", "Результаты последнего диалога",
                           "Очистка вспомогательных таблиц", "-", "Пуск программы Ormix",
                           "Тест полноты правил", "Тест непротиворечивости правил", "Тест связанности"}));
    EXPECT_EQ(items("mView"), (QStringList{"&Увеличить", "У&меньшить", "&Повернуть"}));
    EXPECT_EQ(items("mHelp"), (QStringList{"&О программе", "Оглавление справочника"}));
    EXPECT_EQ(w->action("actStart")->shortcut(), QKeySequence(Qt::Key_F9));
    EXPECT_EQ(w->action("actHelp")->shortcut(), QKeySequence(Qt::Key_F1));

    QStringList hints;
    auto *bar = w->findChild<QToolBar *>("ToolBar1");
    ASSERT_NE(bar, nullptr);
    for (QAction *a : bar->actions())
        if (!a->isSeparator()) {
            hints << a->toolTip();
            EXPECT_FALSE(a->icon().isNull()) << a->toolTip().toStdString();
        }
    EXPECT_EQ(hints, (QStringList{"Темы", "Задачи", "Подзадачи", "Сущности", "Значения", "Правила",
                                  "Метаправила", "Пуск машины вывода", "Пуск программы Ormix",
                                  "Пуск Интернет-приложения", "Результаты  последнего диалога",
                                  "Очистка вспомогательных таблиц", "Тест полноты ",
                                  "Тест непротиворечивости ", "Тест связанности", "Повернуть",
                                  "Увеличить", "Уменьшить", "Оглавление справочника"}));

    EXPECT_EQ(w->minimumSize(), QSize(772, 457));
    EXPECT_EQ(w->windowTitle(), "Zelmora");
    EXPECT_EQ(w->rightPages()->tabText(0), "Сеть вывода");
    EXPECT_EQ(w->rightPages()->currentIndex(), 0);
    EXPECT_EQ(w->leftPages()->tabText(0), "Темы, задачи");
    EXPECT_FALSE(w->leftPages()->isTabVisible(1)) << "the dialogue page is hidden";
    const auto status = w->statusBar()->findChildren<QLabel *>();
    ASSERT_GE(status.size(), 3);
    EXPECT_EQ(status[0]->text(), "  Alt-меню,  F1-справка");
}

TEST_F(MainWindow, StartsOnTheSampleKnowledgeBase)
{
    useSample();
    ui::ScriptedPrompts prompts;
    auto w = open();
    EXPECT_TRUE(prompts.texts(ui::ScriptedPrompts::Kind::Error).isEmpty())
        << prompts.texts().join('|').toStdString();
    EXPECT_GE(w->tree()->topLevelItemCount(), 2);
    EXPECT_NE(w->currentTask(), 0);
    EXPECT_FALSE(w->taskLabel()->text().isEmpty());
    const QImage shot = w->grab().toImage();
    EXPECT_FALSE(shot.isNull());
    w->close();
}

TEST_F(MainWindow, WithoutTheEngineLibraryOnlyTheConsultationIsUnavailable)
{
    task(topic("Медицина"), "Ангина");
    QFile::remove(programDir() + "libquorbbde.so");
    ui::ScriptedPrompts prompts;
    auto w = open();
    const QStringList warnings = prompts.texts(ui::ScriptedPrompts::Kind::Warning);
    ASSERT_EQ(warnings.size(), 1) << prompts.texts().join('|').toStdString();
    EXPECT_TRUE(warnings[0].contains("libquorbbde.so")) << warnings[0].toStdString();
    EXPECT_EQ(prompts.said.size(), 1);
    EXPECT_FALSE(w->action("actStart")->isEnabled());
    EXPECT_FALSE(w->action("actResults")->isEnabled());
    EXPECT_TRUE(w->action("actTopics")->isEnabled());
    EXPECT_EQ(w->tree()->topLevelItemCount(), 1);
}
