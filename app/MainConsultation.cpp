// The main window's consultation commands: start, the dialogue page, finish, the results of
// the last consultation and the cleaning of the engine's tables. The dialogue itself is the
// consultation controller and its panel; the main window only switches its own commands and
// pages around it.

#include "app/MainMenu.h"

#include "consultation/Dialog.h"
#include "consultation/Result.h"
#include "consultation/UseDLL.h"
#include "ui/Guard.h"
#include "ui/Prompts.h"

#include <QAction>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QTabWidget>

namespace {

// What a running dialogue disables: editing, the tests, a second start, the results of the
// previous sitting and the database location.
const char *const kDialogActions[] = {"actTopics", "actResults", "actTasks", "actSubtasks",
                                      "actFacts", "actValues", "actRules", "actMeta",
                                      "actStart", "actTestFull", "actTestConf", "actTestLink",
                                      "actDbPath"};
const char *const kDialogMenus[] = {"mEdit", "mDebug"};

}  // namespace

void TForm1::buildDialog()
{
    dialogPanel_ = new TDialogPanel(consultation_, dialogPage_);
    dialogPage_->layout()->setContentsMargins(0, 0, 0, 0);
    dialogPage_->layout()->addWidget(dialogPanel_);

    connect(dialogPanel_, &TDialogPanel::stepped, this, [this] { ui::guarded(this, [this] { FreshGraph(); }); });
    connect(dialogPanel_, &TDialogPanel::over, this,
            [this](bool noResult) { ui::guarded(this, [this, noResult] { dialogueOver(noResult); }); });
    ui::connectGuarded(dialogPanel_, &TDialogPanel::finishRequested, this, [this] { finishConsultation(); });
    ui::connectGuarded(action("actStart"), &QAction::triggered, this, [this] { startConsultation(); });
    ui::connectGuarded(action("actResults"), &QAction::triggered, this, [this] { showLastResults(); });
    ui::connectGuarded(action("actClean"), &QAction::triggered, this, [this] { cleanTables(); });
    // Going back to the tree ends a running consultation as "Окончить" does.
    ui::connectGuarded(leftPages_, &QTabWidget::currentChanged, this, [this] {
        if (dialogRunning_ && leftPages_->currentWidget() == treePage_)
            finishConsultation();
    });
}

void TForm1::loadEngine()
{
    consultation::UseDLL &dll = consultation::UseDLL::instance();
    const bool loaded = dll.load();
    // Without the engine there is no consultation and no explanation of one; cleaning the
    // engine's tables is plain SQL and stays available.
    action("actStart")->setEnabled(loaded);
    action("actResults")->setEnabled(loaded);
    action("actClean")->setEnabled(true);
    // The reason is said once at start-up and stays in sight in the status bar (its full
    // text in the panel's hint).
    if (!loaded) {
        const QString reason = dll.error();
        ui::Prompts::instance().warning(this, reason);
        if (statusPanels_.size() > 1) {
            statusPanels_[1]->setText(QStringLiteral("  Машина вывода не загружена: диалог недоступен"));
            statusPanels_[1]->setToolTip(reason);
        }
    }
}

void TForm1::StartDialog()
{
    dialogDisabled_.clear();
    auto disable = [this](QAction *a) {
        if (!a)
            return;
        dialogDisabled_.append({a, a->isEnabled()});
        a->setEnabled(false);
    };
    for (const char *name : kDialogActions)
        disable(action(QString::fromLatin1(name)));
    for (const char *name : kDialogMenus)
        if (QMenu *m = menu(QString::fromLatin1(name)))
            disable(m->menuAction());

    const int dialogIndex = leftPages_->indexOf(dialogPage_);
    leftPages_->setTabVisible(dialogIndex, true);
    dialogRunning_ = true;
    leftPages_->setCurrentIndex(dialogIndex);
    dialogPanel_->setRunning(true);
}

void TForm1::FinishDialog()
{
    dialogRunning_ = false;
    leftPages_->setTabVisible(leftPages_->indexOf(treePage_), true);
    leftPages_->setCurrentWidget(treePage_);
    leftPages_->setTabVisible(leftPages_->indexOf(dialogPage_), false);
    dialogPanel_->setRunning(false);
    // Each command goes back to what it was: commands that were disabled before the start
    // (unavailable ones among them) stay disabled.
    for (auto it = dialogDisabled_.crbegin(); it != dialogDisabled_.crend(); ++it)
        it->first->setEnabled(it->second);
    dialogDisabled_.clear();
    dialogPanel_->clearDialog();
}

void TForm1::startConsultation()
{
    if (dialogRunning_)
        return;
    if (taskId_ == 0) {
        ui::Prompts::instance().warning(
            this, QStringLiteral("Задача не выбрана. Выберите задачу в дереве «Темы, задачи»."));
        return;
    }
    consultation_.cleanTable();
    StartDialog();
    leftPages_->setTabVisible(leftPages_->indexOf(treePage_), false);
    const consultation::Consultation::Outcome out = consultation_.start(taskId_, goalFact_);
    if (!out.over)
        dialogPanel_->ShowAnswer();
    FreshGraph();
    // Nothing to ask at all (no rules, or the goal follows from rules without conditions):
    // the consultation is over before its first question.
    if (out.over)
        dialogueOver(out.noResult);
}

void TForm1::finishConsultation()
{
    consultation_.finish();
    FinishDialog();
    FreshGraph();
}

void TForm1::dialogueOver(bool noResult)
{
    if (noResult)
        ui::Prompts::instance().info(this, consultation::noResultMessage());
    try {
        openResults();
    } catch (...) {
        finishConsultation();
        throw;
    }
    finishConsultation();
}

void TForm1::openResults()
{
    ShowResults(this, taskId_, goalFact_, consultation_.sitting(), consultation_.steps());
}

void TForm1::showLastResults()
{
    openResults();
    FreshGraph();
}

void TForm1::cleanTables()
{
    if (!ui::Prompts::instance().ask(this, QStringLiteral("Вы уверены, что надо очистить вспомогательные таблицы?")))
        return;
    consultation::Consultation::cleanAuxiliaryTables();
}
