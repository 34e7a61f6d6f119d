#include "app/MainMenu.h"

#include "app/Info.h"
#include "app/Listings.h"
#include "app/Settings.h"
#include "app/Startup.h"
#include "consultation/UseDLL.h"
#include "dbengine/Aliases.h"
#include "dbengine/Session.h"
#include "kb/Sql.h"
#include "ui/Guard.h"
#include "ui/Prompts.h"
#include "ui/ReportPane.h"
#include "ui/WaitCursor.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSqlDatabase>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

namespace {

constexpr int kTaskRole = Qt::UserRole;

// Tool-bar pictures: a coloured tile with a short glyph, so that every button is told apart
// at a glance without image files.
QIcon glyphIcon(const QString &glyph, quint32 colour)
{
    QPixmap pm(24, 24);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QColor::fromRgb(colour).darker(140));
    p.setBrush(QColor::fromRgb(colour));
    p.drawRoundedRect(QRectF(1.5, 1.5, 21, 21), 4, 4);
    QFont f = p.font();
    f.setBold(true);
    f.setPixelSize(glyph.size() > 1 ? 10 : 14);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 0, 24, 24), Qt::AlignCenter, glyph);
    return QIcon(pm);
}

QString radioCaption(const QString &s) { return s; }

}  // namespace

TForm1::TForm1(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Zelmora"));
    setMinimumSize(772, 457);
    buildActions();
    buildMenus();
    buildToolBar();
    buildPages();
    buildStatusBar();
    connectCommands();
    buildDialog();
    buildNetwork();
    connectEditors();
    FormCreate();
}

TForm1::~TForm1() = default;

QAction *TForm1::makeAction(const QString &name, const QString &caption, const QString &hint,
                            const QString &glyph, quint32 colour)
{
    auto *a = new QAction(caption, this);
    a->setObjectName(name);
    a->setToolTip(hint);
    a->setStatusTip(hint);
    if (!glyph.isEmpty())
        a->setIcon(glyphIcon(glyph, colour));
    return a;
}

void TForm1::buildActions()
{
    const quint32 edit = 0x2e6da4, debug = 0xb03a2e, apps = 0x6c3483, test = 0x1e8449,
                  view = 0x7f8c8d;
    makeAction("actDbPath", "&Путь к базе данных", "Путь к базе данных", {}, 0);
    makeAction("actOrmixPath", "Путь к программе Ormix", "Путь к программе Ormix", {}, 0);
    makeAction("actIntPath", "Путь к Интернет-приложению", "Путь к Интернет-приложению", {}, 0);
    makeAction("actPack", "&Упаковка данных", "Упаковка данных", {}, 0);
    makeAction("actExit", "В&ыход", "Выход", {}, 0);
    makeAction("actTopics", "&Темы", "Темы", "Т", edit);
    makeAction("actTasks", "&Задачи", "Задачи", "З", edit);
    makeAction("actSubtasks", "&Подзадачи", "Подзадачи", "П", edit);
    makeAction("actFacts", "&Сущности", "Сущности", "С", edit);
    makeAction("actValues", "З&начения", "Значения", "Зн", edit);
    makeAction("actRules", "П&равила", "Правила", "Пр", edit);
    makeAction("actMeta", "&Метаправила", "Метаправила", "М", edit);
    makeAction("actStart", "&Пуск машины вывода", "Пуск машины вывода", "▶", debug)
        ->setShortcut(QKeySequence(Qt::Key_F9));
    makeAction("actOrmix", "Пуск программы Ormix", "Пуск программы Ormix", "Or", apps);
    makeAction("actInternet", "Пуск Интернет-приложения", "Пуск Интернет-приложения", "@", apps);
    makeAction("actResults", "Результаты последнего диалога", "Результаты  последнего диалога",
               "Рз", debug);
    makeAction("actClean", "Очистка вспомогательных таблиц", "Очистка вспомогательных таблиц",
               "✕", debug);
    makeAction("actTestFull", "Тест полноты правил", "Тест полноты ", "Тп", test);
    makeAction("actTestConf", "Тест непротиворечивости правил", "Тест непротиворечивости ", "Тн",
               test);
    makeAction("actTestLink", "Тест связанности", "Тест связанности", "Тс", test);
    makeAction("actZoomIn", "&Увеличить", "Увеличить", "+", view);
    makeAction("actZoomOut", "У&меньшить", "Уменьшить", "−", view);
    makeAction("actRotate", "&Повернуть", "Повернуть", "↻", view);
    makeAction("actAbout", "&О программе", "О программе", {}, 0);
    makeAction("actHelp", "Оглавление справочника", "Оглавление справочника", "?", view)
        ->setShortcut(QKeySequence(Qt::Key_F1));

    // Commands whose windows are not part of the program yet stay disabled rather than
    // pretending to work.
    for (const char *name : {"actDbPath", "actOrmixPath", "actIntPath", "actPack", "actTopics",
                             "actTasks", "actSubtasks", "actFacts", "actValues", "actRules",
                             "actMeta", "actStart", "actOrmix", "actInternet", "actResults",
                             "actClean", "actTestFull", "actTestConf", "actTestLink"})
        action(QString::fromLatin1(name))->setEnabled(false);
}

QAction *TForm1::action(const QString &objectName) const
{
    return findChild<QAction *>(objectName, Qt::FindDirectChildrenOnly);
}

QMenu *TForm1::menu(const QString &objectName) const { return findChild<QMenu *>(objectName); }

void TForm1::buildMenus()
{
    auto add = [this](const char *name, const QString &caption, std::initializer_list<const char *> items) {
        QMenu *m = menuBar()->addMenu(caption);
        m->setObjectName(QString::fromLatin1(name));
        for (const char *item : items) {
            if (!item)
                m->addSeparator();
            else
                m->addAction(action(QString::fromLatin1(item)));
        }
    };
    add("mFile", "&Файл", {"actDbPath", "actOrmixPath", "actIntPath", "actPack", nullptr, "actExit"});
    add("mEdit", "&Редактор",
        {"actTopics", "actTasks", "actSubtasks", "actFacts", "actValues", "actRules", "actMeta"});
    add("mDebug", "&Отладка",
        {"actStart", "actResults", "actClean", nullptr, "actOrmix", "actTestFull", "actTestConf",
         "actTestLink"});
    add("mView", "&Вид", {"actZoomIn", "actZoomOut", "actRotate"});
    add("mHelp", "&Справка", {"actAbout", "actHelp"});
}

void TForm1::buildToolBar()
{
    toolBar_ = addToolBar(QStringLiteral("Инструменты"));
    toolBar_->setObjectName(QStringLiteral("ToolBar1"));
    toolBar_->setMovable(false);
    toolBar_->setIconSize(QSize(24, 24));
    const QList<QStringList> groups = {
        {"actTopics", "actTasks", "actSubtasks", "actFacts", "actValues", "actRules", "actMeta"},
        {"actStart", "actOrmix", "actInternet", "actResults", "actClean"},
        {"actTestFull", "actTestConf", "actTestLink"},
        {"actRotate", "actZoomIn", "actZoomOut"},
        {"actHelp"},
    };
    for (int g = 0; g < groups.size(); ++g) {
        if (g > 0)
            toolBar_->addSeparator();
        for (const QString &name : groups[g])
            toolBar_->addAction(action(name));
    }
}

void TForm1::buildPages()
{
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);

    // The current-task strip.
    auto *strip = new QHBoxLayout;
    strip->addWidget(new QLabel(QStringLiteral("Текущая задача"), central));
    taskLabel_ = new QLabel(central);
    taskLabel_->setObjectName(QStringLiteral("TaskName"));
    taskLabel_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    QFont bold = taskLabel_->font();
    bold.setBold(true);
    taskLabel_->setFont(bold);
    taskLabel_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    strip->addWidget(taskLabel_, 1);
    layout->addLayout(strip);

    splitter_ = new QSplitter(Qt::Horizontal, central);
    layout->addWidget(splitter_, 1);

    // Left: the tree and the consultation page.
    leftPages_ = new QTabWidget(splitter_);
    leftPages_->setObjectName(QStringLiteral("PageControl2"));
    leftPages_->setMinimumWidth(169);
    treePage_ = new QWidget;
    auto *treeLayout = new QVBoxLayout(treePage_);
    treeLayout->setContentsMargins(0, 0, 0, 0);
    treeView1_ = new QTreeWidget(treePage_);
    treeView1_->setObjectName(QStringLiteral("TreeView1"));
    treeView1_->setHeaderHidden(true);
    treeView1_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    treeLayout->addWidget(treeView1_);
    leftPages_->addTab(treePage_, QStringLiteral("Темы, задачи"));
    dialogPage_ = new QWidget;
    dialogPage_->setObjectName(QStringLiteral("DialogPage"));
    new QVBoxLayout(dialogPage_);
    leftPages_->addTab(dialogPage_, QStringLiteral("Диалог"));
    leftPages_->setTabVisible(1, false);

    // Right: the network, the entities and the rules.
    rightPages_ = new QTabWidget(splitter_);
    rightPages_->setObjectName(QStringLiteral("PageControl1"));

    networkPage_ = new QWidget;
    auto *netLayout = new QVBoxLayout(networkPage_);
    netLayout->setContentsMargins(0, 0, 0, 0);
    auto *netHeader = new QHBoxLayout;
    netHeader->setContentsMargins(4, 4, 4, 0);
    netHeader->addWidget(new QLabel(QStringLiteral("Выделена подзадача"), networkPage_));
    subtaskBox_ = new QComboBox(networkPage_);
    subtaskBox_->setObjectName(QStringLiteral("ComboBox1"));
    subtaskBox_->setMinimumWidth(250);
    netHeader->addWidget(subtaskBox_);
    netHeader->addStretch(1);
    printNetwork_ = new QPushButton(QStringLiteral("Печать сети вывода"), networkPage_);
    printNetwork_->setObjectName(QStringLiteral("PrintNetwork"));
    printNetwork_->setEnabled(false);
    netHeader->addWidget(printNetwork_);
    netLayout->addLayout(netHeader);
    networkArea_ = new QScrollArea(networkPage_);
    networkArea_->setObjectName(QStringLiteral("ScrollBox1"));
    networkArea_->setWidgetResizable(false);
    networkArea_->setBackgroundRole(QPalette::Base);
    netLayout->addWidget(networkArea_, 1);
    rightPages_->addTab(networkPage_, QStringLiteral("Сеть вывода"));

    auto listingPage = [this](const QString &first, const QString &second, const QString &hint,
                              QButtonGroup *&group, QPushButton *&print, ui::ReportPane *&pane) {
        auto *page = new QWidget;
        auto *v = new QVBoxLayout(page);
        v->setContentsMargins(0, 0, 0, 0);
        auto *panel = new QHBoxLayout;
        panel->setContentsMargins(4, 4, 4, 0);
        group = new QButtonGroup(page);
        auto *r0 = new QRadioButton(radioCaption(first), page);
        auto *r1 = new QRadioButton(radioCaption(second), page);
        group->addButton(r0, 0);
        group->addButton(r1, 1);
        r0->setChecked(true);
        panel->addWidget(r0);
        panel->addWidget(r1);
        panel->addStretch(1);
        print = new QPushButton(page);
        print->setFlat(true);
        print->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
        print->setToolTip(hint);
        print->setEnabled(false);
        panel->addWidget(print);
        v->addLayout(panel);
        pane = new ui::ReportPane(page);
        v->addWidget(pane, 1);
        return page;
    };
    factsPage_ = listingPage(QStringLiteral("По алфавиту"), QStringLiteral("В порядке ввода"),
                             QStringLiteral("Печать сущностей и значений"), factsOrder_, printFacts_,
                             factsPane_);
    rulesPage_ = listingPage(QStringLiteral("По номеру правила      "), QStringLiteral("По подзадачам"),
                             QStringLiteral("Печать правил"), rulesOrder_, printRules_, rulesPane_);
    rightPages_->addTab(factsPage_, QStringLiteral("Сущности и значения"));
    rightPages_->addTab(rulesPage_, QStringLiteral("Правила"));
    rightPages_->setCurrentIndex(0);

    splitter_->addWidget(leftPages_);
    splitter_->addWidget(rightPages_);
    splitter_->setStretchFactor(0, 0);
    splitter_->setStretchFactor(1, 1);
    splitter_->setSizes({249, 1000});
    setCentralWidget(central);
}

void TForm1::buildStatusBar()
{
    const int widths[] = {135, 500, 50};
    for (int i = 0; i < 3; ++i) {
        auto *panel = new QLabel(this);
        // At least the designed width, wider when the font needs it to show the whole text.
        panel->setMinimumWidth(widths[i]);
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        statusBar()->addWidget(panel);
        statusPanels_ << panel;
    }
    statusPanels_[0]->setText(QStringLiteral("  Alt-меню,  F1-справка"));
}

void TForm1::connectCommands()
{
    ui::connectGuarded(action("actExit"), &QAction::triggered, this, [this] { close(); });
    ui::connectGuarded(action("actAbout"), &QAction::triggered, this, [this] { showAbout(); });
    ui::connectGuarded(action("actHelp"), &QAction::triggered, this, [this] { openHelp(); });
    ui::connectGuarded(treeView1_, &QTreeWidget::itemClicked, this, [this] { TreeView1Click(); });
    // Enter on a node does what a click does, so the tree works from the keyboard.
    ui::connectGuarded(treeView1_, &QTreeWidget::itemActivated, this, [this] { TreeView1Click(); });
    ui::connectGuarded(rightPages_, &QTabWidget::currentChanged, this,
                       [this] { rightPageChanged(rightPages_->currentIndex()); });
    ui::connectGuarded(subtaskBox_, &QComboBox::activated, this, [this] {
        highlightedSubtask_ = subtaskBox_->currentData().toInt();
        FreshGraph();
    });
    // The listings: a switch of the ordering rebuilds the page, the print button prints it.
    ui::connectGuarded(factsOrder_, &QButtonGroup::idClicked, this, [this] { Fact_Value(); });
    ui::connectGuarded(rulesOrder_, &QButtonGroup::idClicked, this, [this] { Rule_Cond(); });
    auto printListing = [this](ui::ReportPane *pane) {
        if (!ui::Prompts::instance().ask(this, QStringLiteral("Вы уверены?")))
            return;
        if (QPrinterInfo::defaultPrinter().isNull()) {
            ui::Prompts::instance().warning(this, QStringLiteral("Принтер по умолчанию не установлен"));
            return;
        }
        pane->printOnDefaultPrinter(printTitle());
    };
    printFacts_->setEnabled(true);
    printRules_->setEnabled(true);
    ui::connectGuarded(printFacts_, &QPushButton::clicked, this,
                       [this, printListing] { printListing(factsPane_); });
    ui::connectGuarded(printRules_, &QPushButton::clicked, this,
                       [this, printListing] { printListing(rulesPane_); });
}

void TForm1::FormCreate()
{
    // The alias check and the session password; the window still opens when they fail, and
    // every database command then reports its own error.
    QString registered;
    try {
        if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE")))
            throw dbengine::ConfigError(QStringLiteral("no SQLite driver"));
        registered = app::checkAlias();
    } catch (const dbengine::ConfigError &) {
        ui::Prompts::instance().error(this, QStringLiteral("Не установлена BDE. Дальнейшая работа невозможна."));
        engineMissing_ = true;
        return;
    }
    if (!registered.isEmpty())
        ui::Prompts::instance().info(this, registered);
    dbengine::Session::instance().addPassword(dbengine::kTablePassword);
}

void TForm1::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!shown_) {
        shown_ = true;
        FormShow();
    }
}

void TForm1::FormShow()
{
    if (engineMissing_)
        return;
    const app::MainSettings settings = app::readMainSettings();
    taskSetting_ = QString::number(settings.task);
    ui::guarded(this, [&] {
        if (!dbengine::Session::instance().isOpen())
            dbengine::Session::instance().openAlias(dbengine::kAliasName);
        const app::CurrentTask task = app::chooseCurrentTask(settings.task);
        taskId_ = task.id;
        taskName_ = task.name;
    });
    // Keyboard layout: desktop platforms here have no call to switch the user's layout, and
    // Qt takes the user's own; nothing to do.

    zoom_ = 1.0;
    vertical_ = true;
    dialogRunning_ = false;
    taskLabel_->setText(taskName_);
    // The goal check loads and draws the network itself; no second load is needed after it.
    ui::guarded(this, [this] { GoalObj(); });
    ui::guarded(this, [this] { SelectSubTask(); });
    leftPages_->setCurrentWidget(treePage_);
    leftPages_->setTabVisible(leftPages_->indexOf(dialogPage_), false);
    ui::guarded(this, [this] { SelectTask(); });
    // The engine library last, so that its message (if any) comes over a filled window.
    loadEngine();
}

void TForm1::closeEvent(QCloseEvent *event)
{
    FormClose();
    QMainWindow::closeEvent(event);
}

void TForm1::FormClose()
{
    if (!app::writeSetting(QStringLiteral("Main"), QStringLiteral("Task"), QString::number(taskId_)))
        ui::Prompts::instance().warning(
            this, QStringLiteral("Не удалось сохранить настройки в файле %1").arg(app::settingsFile()));
}

void TForm1::SelectTask()
{
    treeView1_->clear();
    kb::Query topics(QStringLiteral("select TOPIC_NAME, TOPIC_ID from TTOPIC\n"
                                    "where TOPIC_ID>-1\n"
                                    " order by TOPIC_NAME"));
    topics.open();
    const QIcon topicIcon = style()->standardIcon(QStyle::SP_DirIcon);
    QIcon taskIcon;
    taskIcon.addPixmap(style()->standardIcon(QStyle::SP_FileIcon).pixmap(16), QIcon::Normal);
    taskIcon.addPixmap(style()->standardIcon(QStyle::SP_DialogApplyButton).pixmap(16), QIcon::Selected);
    kb::Query tasks;
    for (; !topics.eof(); topics.next()) {
        auto *root = new QTreeWidgetItem(treeView1_, {topics.asString(QStringLiteral("TOPIC_NAME"))});
        root->setData(0, kTaskRole, QVariant::fromValue(TNRec{}));
        root->setIcon(0, topicIcon);
        tasks.setSql(QStringLiteral("SELECT TASK_ID, TASK_NAME FROM TTASK  WHERE  TOPIC_ID=") +
                     QString::number(topics.asInteger(QStringLiteral("TOPIC_ID"))) +
                     QStringLiteral(" ORDER BY TASK_NAME"));
        tasks.open();
        for (; !tasks.eof(); tasks.next()) {
            const TNRec rec{int(tasks.asInteger(QStringLiteral("TASK_ID"))),
                            tasks.asString(QStringLiteral("TASK_NAME"))};
            auto *node = new QTreeWidgetItem(root, {rec.taskName});
            node->setData(0, kTaskRole, QVariant::fromValue(rec));
            node->setIcon(0, taskIcon);
        }
    }
    treeView1_->expandAll();
    treeView1_->setCurrentItem(nullptr);
}

void TForm1::TreeView1Click()
{
    QTreeWidgetItem *node = treeView1_->currentItem();
    if (!node)
        return;
    const TNRec rec = node->data(0, kTaskRole).value<TNRec>();
    if (rec.taskId != 0)
        selectTaskById(rec.taskId, rec.taskName);
    SelectSubTask();
    if (rightPages_->currentWidget() == factsPage_)
        Fact_Value();
    else if (rightPages_->currentWidget() == rulesPage_)
        Rule_Cond();
}

void TForm1::selectTaskById(int taskId, const QString &taskName)
{
    taskId_ = taskId;
    taskName_ = taskName;
    taskLabel_->setText(taskName);
    zoom_ = 1.0;
    resetNetworkSize();
    GoalObj();
}

void TForm1::SelectSubTask()
{
    subtaskBox_->clear();
    subtaskBox_->addItem(QStringLiteral("-"), 0);
    kb::Query q(QStringLiteral("SELECT SUBTASK_ID, SUBTASK_NAME, TURN FROM TSUBTASK  WHERE TASK_ID=") +
                QString::number(taskId_) + QStringLiteral(" ORDER BY TURN"));
    q.open();
    for (; !q.eof(); q.next())
        subtaskBox_->addItem(q.asString(QStringLiteral("SUBTASK_NAME")),
                             int(q.asInteger(QStringLiteral("SUBTASK_ID"))));
    subtaskBox_->setCurrentIndex(0);
    highlightedSubtask_ = 0;
}

void TForm1::rightPageChanged(int index)
{
    QWidget *page = rightPages_->widget(index);
    if (page == factsPage_)
        Fact_Value();
    else if (page == rulesPage_)
        Rule_Cond();
}

void TForm1::Fact_Value()
{
    ui::WaitCursor wait;
    factsPane_->setReport(app::factValueListing(taskId_, app::FactOrder(factsOrder_->checkedId())));
}

void TForm1::Rule_Cond()
{
    ui::WaitCursor wait;
    // The relation words come from the inference engine library, as in its explanations.
    rulesPane_->setReport(app::ruleCondListing(taskId_, app::RuleOrder(rulesOrder_->checkedId()),
                                               [](int code) {
                                                   return consultation::UseDLL::instance().Relations(code);
                                               }));
}

void TForm1::showAbout()
{
    TfInfo info(this);
    info.exec();
}

void TForm1::openHelp()
{
    const QString file = QDir::currentPath() + QStringLiteral("/zelmora.chm");
    if (!QFileInfo::exists(file)) {
        ui::Prompts::instance().warning(this, QStringLiteral("Файл справки %1 не найден").arg(file));
        return;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(file)))
        ui::Prompts::instance().error(this, QStringLiteral("Не удалось открыть файл справки %1").arg(file));
}
