// The consultation: the engine library's loading, the dialogue controller, the dialogue panel
// of the main window, and the results window, against the real engine library.

#include "TestKb.h"

#include "app/MainMenu.h"
#include "app/Settings.h"
#include "consultation/Consultation.h"
#include "consultation/Dialog.h"
#include "consultation/Result.h"
#include "consultation/UseDLL.h"
#include "kb/Sql.h"
#include "ui/Prompts.h"
#include "ui/ReportPane.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPrinterInfo>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QKeyEvent>
#include <QTextEdit>
#include <QTimer>

#include <functional>

using namespace testing_kb;
using consultation::Consultation;
using Kind = ui::ScriptedPrompts::Kind;

namespace {

// A key press and release as the keyboard delivers them (shortcuts first).
void keyClick(QWidget *w, int key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QApplication::sendEvent(w, &release);
}

void shot(QWidget *w, const QString &name)
{
    const QString dir = qEnvironmentVariable("ZELMORA_SHOTS");
    if (!dir.isEmpty())
        w->grab().save(QDir(dir).filePath(name + ".png"));
}

// Runs inspect on the results window as soon as it is open, then presses its "OK". Returns a
// flag that tells whether the window was seen.
std::shared_ptr<bool> onResults(std::function<void(TfResult &)> inspect = {})
{
    auto seen = std::make_shared<bool>(false);
    auto *timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, seen, inspect] {
        auto *w = qobject_cast<TfResult *>(QApplication::activeModalWidget());
        if (!w)
            return;
        timer->stop();
        timer->deleteLater();
        *seen = true;
        if (inspect)
            inspect(*w);
        w->okButton()->click();
    });
    timer->start();
    return seen;
}

// A scripted engine for the controller's own rules: which entity each step asks.
class FakeEngine : public consultation::Engine {
public:
    QList<int> asks;  // the entity each dial returns, in order
    int dials = 0;
    int backs = 0;
    bool failNext = false;
    void cleanTable() override {}
    int initBase(int, int) override { return 7; }
    consultation::UseDLL::DialResult dial(int sitting, int, int, double) override
    {
        if (failNext)
            throw std::runtime_error("Ошибка машины вывода: сбой");
        const int next = dials < asks.size() ? asks[dials] : 0;
        ++dials;
        return {QStringLiteral("%1:%2").arg(sitting).arg(dials), next, QString()};
    }
    consultation::UseDLL::BackResult backStep(int sitting) override
    {
        ++backs;
        return {sitting, asks.value(0), QStringLiteral("back")};
    }
    QString explain(const QString &step) override
    {
        return step.isEmpty() ? QStringLiteral("Начало консультации") : QStringLiteral("Шаг ") + step;
    }
};

}  // namespace

// A small task: the diagnosis follows from the temperature (a number) and the cough (asked
// with a certainty). Temperature above 38 and a cough make it "Грипп" (trust 90); 38 or
// below makes it "Простуда" (trust 70).
class ConsultationKb : public KbTest {
protected:
    void SetUp() override
    {
        KbTest::SetUp();
        // The program directory holds the engine library, as the installed program's does.
        QFile::link(QStringLiteral(ZELMORA_BIN_DIR "/libquorbbde.so"), programDir() + "libquorbbde.so");
        const int t = topic("Медицина");
        taskId = task(t, "Простуда или грипп", 50);
        const int s = subtask(taskId, "Диагноз", 1);
        goal = fact(taskId, "Диагноз", "Диагноз", "C", 1);
        flu = value(goal, "Грипп");
        cold = value(goal, "Простуда");
        temperature = fact(taskId, "Температура", "Температура", "N", 0, 0, 0, 0,
                           "Какая у вас температура?");
        cough = fact(taskId, "Кашель", "Кашель", "C", 0, 0, 0, 1, "Есть ли кашель?");
        coughYes = value(cough, "есть");
        coughNo = value(cough, "нет");
        const int r1 = rule(taskId, s, goal, flu, 90);
        condition(r1, temperature, -1, 1, "38");
        condition(r1, cough, coughYes, 2);
        const int r2 = rule(taskId, s, goal, cold, 70);
        condition(r2, temperature, -1, 6, "38");
    }

    std::unique_ptr<TForm1> openWindow()
    {
        auto w = std::make_unique<TForm1>();
        w->show();
        // Shortcuts (F9, Esc) work in the active window.
        w->activateWindow();
        QApplication::processEvents();
        w->selectTaskById(taskId, "Простуда или грипп");
        return w;
    }

    int taskId = 0, goal = 0, flu = 0, cold = 0, temperature = 0, cough = 0, coughYes = 0, coughNo = 0;
};

// --- The library ------------------------------------------------------------------------

TEST_F(ConsultationKb, LibraryMissingOrIncompleteGivesAClearReason)
{
    consultation::UseDLL missing;
    EXPECT_FALSE(missing.loadFrom(kbDir() + "/libnothing.so"));
    EXPECT_TRUE(missing.error().contains("libnothing.so")) << missing.error().toStdString();
    EXPECT_THROW(missing.Init_base(1, 1), std::runtime_error);
    EXPECT_EQ(missing.Relations(2), "?");

    // A real shared library that is not the engine: the first missing function is named.
    consultation::UseDLL foreign;
    const QString qtCore = QLibraryInfo::path(QLibraryInfo::LibrariesPath) + "/libQt6Core.so.6";
    ASSERT_TRUE(QFile::exists(qtCore));
    EXPECT_FALSE(foreign.loadFrom(qtCore));
    EXPECT_TRUE(foreign.error().contains("Clean_table")) << foreign.error().toStdString();

    consultation::UseDLL engine;
    EXPECT_TRUE(engine.loadFrom(programDir() + "libquorbbde.so")) << engine.error().toStdString();
    EXPECT_TRUE(engine.error().isEmpty());
}

TEST_F(ConsultationKb, FaultsInsideTheLibraryComeOutAsErrors)
{
    // The library answers a failed call with a text; the program does not take it for the
    // end of a consultation.
    consultation::UseDLL engine;
    ASSERT_TRUE(engine.loadFrom(programDir() + "libquorbbde.so")) << engine.error().toStdString();
    for (const auto &call : std::vector<std::function<void()>>{
             [&] { engine.Dial(999, 0, 100, 0.0); }, [&] { engine.BackStep(999); }}) {
        try {
            call();
            ADD_FAILURE() << "no error";
        } catch (const std::runtime_error &e) {
            EXPECT_TRUE(QString::fromUtf8(e.what()).contains("999")) << e.what();
        }
    }
}

TEST_F(ConsultationKb, WithoutTheLibraryOnlyTheConsultationIsUnavailable)
{
    QFile::remove(programDir() + "libquorbbde.so");
    ui::ScriptedPrompts prompts;
    auto w = openWindow();
    EXPECT_FALSE(w->action("actStart")->isEnabled());
    EXPECT_FALSE(w->action("actResults")->isEnabled());
    EXPECT_TRUE(w->action("actClean")->isEnabled()) << "cleaning is plain SQL";
    const auto panels = w->statusBar()->findChildren<QLabel *>();
    ASSERT_GE(panels.size(), 2);
    EXPECT_TRUE(panels[1]->text().contains("Машина вывода не загружена"));
    EXPECT_TRUE(panels[1]->toolTip().contains("libquorbbde.so")) << panels[1]->toolTip().toStdString();
    // F9 does nothing; the rest of the window works.
    keyClick(w.get(), Qt::Key_F9);
    EXPECT_FALSE(w->dialogRunning());
    EXPECT_TRUE(prompts.texts(Kind::Error).isEmpty()) << prompts.texts().join('|').toStdString();
}

// --- Reading a typed number -------------------------------------------------------------

TEST(AnswerNumber, DecimalPointOrCommaOnly)
{
    const struct {
        const char *text;
        std::optional<double> value;
    } cases[] = {
        {"38,5", 38.5}, {"38.5", 38.5}, {" -2 ", -2.0}, {"+3", {}}, {",5", 0.5}, {"5,", {}},
        {"0", 0.0},     {"", {}},       {"  ", {}},     {"abc", {}}, {"12a", {}}, {"1,2,3", {}},
        {"1.2,3", {}},  {"1e3", {}},    {"1 000", {}},  {"-", {}},   {",", {}},   {"inf", {}},
    };
    for (const auto &c : cases) {
        const std::optional<double> v = consultation::parseAnswerNumber(QString::fromUtf8(c.text));
        EXPECT_EQ(v.has_value(), c.value.has_value()) << c.text;
        if (v && c.value) {
            EXPECT_DOUBLE_EQ(*v, *c.value) << c.text;
        }
    }
    EXPECT_FALSE(consultation::parseAnswerNumber(QString(400, '9')).has_value()) << "overflow";
}

// --- The controller ---------------------------------------------------------------------

TEST_F(ConsultationKb, AnswersAreRecordedAsTypedValues)
{
    FakeEngine engine;
    engine.asks = {temperature, cough, 0};
    Consultation c(engine);
    c.start(taskId, goal);
    ASSERT_EQ(c.asked(), temperature);
    EXPECT_FALSE(c.canStepBack()) << "nothing answered yet";

    // A text that is not a number is refused: nothing recorded, nothing passed on.
    const Consultation::Outcome refused = c.acceptNumber("тридцать", 100);
    EXPECT_EQ(refused.refusal, consultation::notANumberMessage("тридцать"));
    EXPECT_TRUE(rows("select * from questions").isEmpty());
    EXPECT_EQ(engine.dials, 1);
    EXPECT_EQ(c.asked(), temperature);

    // The certainty of an entity that does not ask for one is 100, whatever was chosen.
    EXPECT_TRUE(c.acceptNumber("38,5", 50).refusal.isEmpty());
    EXPECT_EQ(rows("select sitting_id, fact_id, value_ans, trust, nnum from questions"),
              QStringList{QString("7\t%1\t-1\t100\t38.5").arg(temperature)});
    ASSERT_EQ(c.asked(), cough);
    EXPECT_EQ(c.question().values.size(), 2);
    EXPECT_TRUE(c.question().nonDet);
    EXPECT_TRUE(c.canStepBack());

    // A value that is not among the entity's values is not an answer.
    EXPECT_EQ(c.acceptValue(flu, 75).refusal, consultation::noValueChosenMessage());
    const Consultation::Outcome last = c.acceptValue(coughYes, 75);
    EXPECT_TRUE(last.over);
    EXPECT_FALSE(last.noResult);
    EXPECT_FALSE(c.running());
    EXPECT_EQ(rows("select value_ans, trust, nnum from questions where fact_id=" + QString::number(cough)),
              QStringList{QString("%1\t75\t0").arg(coughYes)});
    EXPECT_EQ(c.steps(), (QStringList{"", "7:2", "7:3"}));
}

TEST_F(ConsultationKb, AFailedEngineStepKeepsNoAnswer)
{
    FakeEngine engine;
    engine.asks = {temperature, cough};
    Consultation c(engine);
    c.start(taskId, goal);
    engine.failNext = true;
    EXPECT_THROW(c.acceptNumber("39", 100), std::runtime_error);
    EXPECT_TRUE(rows("select * from questions").isEmpty()) << "the answer the engine did not take";
    EXPECT_EQ(c.steps().size(), 1);
    EXPECT_EQ(c.asked(), temperature);
    engine.failNext = false;
    EXPECT_TRUE(c.acceptNumber("39", 100).refusal.isEmpty());
    EXPECT_EQ(rows("select count(*) from questions"), QStringList{"1"});
}

TEST_F(ConsultationKb, StepBackOnlyAfterAnAnswer)
{
    FakeEngine engine;
    engine.asks = {temperature, cough};
    Consultation c(engine);
    c.start(taskId, goal);
    EXPECT_EQ(c.stepBack(), temperature);
    EXPECT_EQ(engine.backs, 0) << "no step to take back at the first question";
    EXPECT_EQ(c.steps().size(), 1);
    c.acceptNumber("37", 100);
    EXPECT_EQ(c.steps().size(), 2);
    EXPECT_EQ(c.stepBack(), temperature);
    EXPECT_EQ(engine.backs, 1);
    EXPECT_EQ(c.steps(), QStringList{""});
    EXPECT_FALSE(c.canStepBack());
}

TEST_F(ConsultationKb, SymbolicEntityWithoutValuesSaysSo)
{
    const int empty = fact(taskId, "Сыпь", "Сыпь", "C");
    FakeEngine engine;
    engine.asks = {empty};
    Consultation c(engine);
    c.start(taskId, goal);
    ASSERT_TRUE(c.question().symbolic());
    EXPECT_TRUE(c.question().values.isEmpty());
    EXPECT_EQ(c.acceptValue(0, 100).refusal, consultation::noValuesMessage());
    EXPECT_TRUE(rows("select * from questions").isEmpty());
    EXPECT_TRUE(c.running());
}

// --- The results ------------------------------------------------------------------------

TEST_F(ConsultationKb, ResultsAtOrAboveTheThreshold)
{
    FakeEngine engine;
    auto trfact = [](int sitting, int factId, int valueId, double number, double trust) {
        insert(QString("INSERT INTO TRFACT (SITTING_ID, FACT_ID, VALUE_ID, VALUE_NUMBER, TRUST, COMMENT) "
                       "VALUES (%1, %2, %3, %4, %5, '')")
                   .arg(sitting).arg(factId).arg(valueId).arg(number).arg(trust));
    };
    // Symbolic goal, threshold 50: 50 is shown, 49.99 is not, another sitting is not.
    trfact(3, goal, flu, 0, 50);
    trfact(3, goal, cold, 0, 49.99);
    trfact(4, goal, cold, 0, 90);
    const QStringList lines =
        consultation::resultsReport(taskId, goal, 3, {"", "3:1"}, engine).texts();
    EXPECT_EQ(lines, (QStringList{"Результаты диалога:", " ", "1)Грипп - КД=50", "", "Ход диалога:",
                                  "Начало консультации", "Шаг 3:1"}));

    // Numeric goal, threshold 30: by certainty, highest first.
    const int t2 = task(1, "Доза", 30);
    const int dose = fact(t2, "Доза", "Доза", "N", 1);
    trfact(5, dose, -1, 2.5, 40);
    trfact(5, dose, -1, 3, 90);
    trfact(5, dose, -1, 1.25, 70);
    trfact(5, dose, -1, 9, 20);
    EXPECT_EQ(consultation::resultsReport(t2, dose, 5, {}, engine).texts().mid(2, 5),
              (QStringList{"1)3 - КД=90", "или", "2)1.25 - КД=70", "или", "3)2.5 - КД=40"}));

    // Before any consultation: sitting 0, no steps.
    EXPECT_EQ(consultation::resultsReport(taskId, goal, 0, {}, engine).texts(),
              (QStringList{"Результаты диалога:", " ",
                           "Отсутствуют. Если диалог был производился, то из-за недостатка правил.", "",
                           "Ход диалога:"}));
}

// --- The dialogue in the main window ------------------------------------------------------

TEST_F(ConsultationKb, WholeConsultationThroughThePanel)
{
    ui::ScriptedPrompts prompts;
    auto w = openWindow();
    TDialogPanel *panel = w->dialogPanel();
    QTabWidget *left = w->leftPages();
    const int treeTab = left->indexOf(w->treePage());
    const int dialogTab = left->indexOf(w->dialogPage());
    ASSERT_TRUE(w->action("actStart")->isEnabled());
    EXPECT_FALSE(panel->acceptButton()->isEnabled());
    EXPECT_FALSE(panel->finishButton()->isEnabled());

    keyClick(w.get(), Qt::Key_F9);
    ASSERT_TRUE(w->dialogRunning()) << prompts.texts().join('|').toStdString();
    EXPECT_TRUE(left->isTabVisible(dialogTab));
    EXPECT_FALSE(left->isTabVisible(treeTab));
    EXPECT_EQ(left->currentIndex(), dialogTab);
    EXPECT_GT(w->sitting(), 0);

    // First question: a number, no certainty, nothing to step back to.
    EXPECT_TRUE(panel->questionPane()->toPlainText().contains("Какая у вас температура?"));
    EXPECT_TRUE(panel->numberField()->isVisibleTo(panel));
    EXPECT_TRUE(panel->answerGroup()->isHidden());
    EXPECT_TRUE(panel->certaintyGroup()->isHidden());
    EXPECT_TRUE(panel->acceptButton()->isEnabled());
    EXPECT_FALSE(panel->backButton()->isEnabled());

    // Letters are refused and the question stays.
    panel->numberField()->setText("высокая");
    shot(w.get(), "dialog-number");
    panel->acceptButton()->click();
    EXPECT_EQ(prompts.last(), consultation::notANumberMessage("высокая"));
    EXPECT_TRUE(rows("select * from questions").isEmpty());
    EXPECT_TRUE(panel->questionPane()->toPlainText().contains("температура"));

    // Enter in the field passes the focus to "Принять"; a second Enter accepts.
    panel->numberField()->setText("38,5");
    panel->numberField()->setFocus();
    keyClick(panel->numberField(), Qt::Key_Return);
    EXPECT_TRUE(panel->acceptButton()->hasFocus());
    keyClick(panel->acceptButton(), Qt::Key_Return);
    EXPECT_EQ(rows("select fact_id, value_ans, trust, nnum from questions"),
              QStringList{QString("%1\t-1\t100\t38.5").arg(temperature)});

    // Second question: values in their order, the certainty group, step back possible.
    EXPECT_TRUE(panel->questionPane()->toPlainText().contains("Есть ли кашель?"));
    EXPECT_FALSE(panel->answerGroup()->isHidden());
    EXPECT_FALSE(panel->numberField()->isVisibleTo(panel));
    ASSERT_EQ(panel->answerList()->count(), 2);
    EXPECT_EQ(panel->answerList()->item(0)->text(), "есть");
    EXPECT_EQ(panel->answerList()->currentRow(), 0);
    EXPECT_FALSE(panel->certaintyGroup()->isHidden());
    EXPECT_TRUE(panel->backButton()->isEnabled());
    shot(w.get(), "dialog-question");

    // Step back: the temperature again, its answer gone.
    panel->backButton()->click();
    EXPECT_TRUE(panel->questionPane()->toPlainText().contains("температура"));
    EXPECT_TRUE(rows("select * from questions").isEmpty());
    EXPECT_FALSE(panel->backButton()->isEnabled());
    EXPECT_EQ(w->consultation().steps().size(), 1);

    panel->numberField()->setText("38.5");
    panel->acceptButton()->click();
    panel->answerList()->setCurrentRow(0);
    panel->certainty()->button(75)->click();

    // The last answer ends the consultation: the results window, then the tree again.
    QStringList results;
    bool printed = false;
    const QString pdf = dir_.path() + "/results.pdf";
    auto seen = onResults([&](TfResult &r) {
        results = r.pane()->lines();
        EXPECT_EQ(r.windowTitle(), "Отчет по диалогу");
        r.resize(700, 520);
        shot(&r, "dialog-results");
        if (QPrinterInfo::defaultPrinter().isNull()) {
            prompts.files.push_back(pdf);
            r.printButton()->click();
        } else {
            r.pane()->printToPdf(pdf, "Результаты диалога");
        }
        printed = QFile(pdf).size() > 0;
    });
    panel->acceptButton()->click();
    EXPECT_TRUE(*seen);
    EXPECT_TRUE(printed);
    ASSERT_GE(results.size(), 6) << results.join('|').toStdString();
    EXPECT_EQ(results[0], "Результаты диалога:");
    EXPECT_EQ(results[2], "1)Грипп - КД=67.5") << results.join('|').toStdString();
    EXPECT_TRUE(results.contains("Ход диалога:"));
    EXPECT_GT(results.size() - results.indexOf("Ход диалога:"), 3) << "every step explained";
    EXPECT_EQ(app::ReadFormSize("Task"), QSize(700, 520));
    EXPECT_EQ(rows("select value_ans, trust from questions where fact_id=" + QString::number(cough)),
              QStringList{QString("%1\t75").arg(coughYes)});

    EXPECT_FALSE(w->dialogRunning());
    EXPECT_TRUE(left->isTabVisible(treeTab));
    EXPECT_FALSE(left->isTabVisible(dialogTab));
    EXPECT_EQ(left->currentIndex(), treeTab);
    EXPECT_EQ(w->consultation().steps().size(), 3);
    EXPECT_TRUE(panel->questionPane()->toPlainText().isEmpty());
    EXPECT_EQ(panel->answerList()->count(), 0);
    EXPECT_TRUE(prompts.texts(Kind::Error).isEmpty()) << prompts.texts().join('|').toStdString();

    // The results stay available after the dialogue.
    const int sitting = w->sitting();
    QStringList again;
    seen = onResults([&](TfResult &r) { again = r.pane()->lines(); });
    w->action("actResults")->trigger();
    EXPECT_TRUE(*seen);
    EXPECT_EQ(again.value(2), "1)Грипп - КД=67.5");
    EXPECT_EQ(w->sitting(), sitting);
}

TEST_F(ConsultationKb, DialogueDisablesCommandsAndRestoresThemAsTheyWere)
{
    ui::ScriptedPrompts prompts;
    auto w = openWindow();
    // One editing command available, one not (yet): each comes back as it was.
    w->action("actTasks")->setEnabled(true);
    w->action("actTestFull")->setEnabled(false);
    const QStringList names = {"actTopics", "actResults", "actTasks", "actSubtasks", "actFacts",
                               "actValues", "actRules", "actMeta", "actStart", "actTestFull",
                               "actTestConf", "actTestLink", "actDbPath"};
    QMap<QString, bool> before;
    for (const QString &n : names)
        before[n] = w->action(n)->isEnabled();
    const bool cleanBefore = w->action("actClean")->isEnabled();

    w->action("actStart")->trigger();
    ASSERT_TRUE(w->dialogRunning());
    for (const QString &n : names)
        EXPECT_FALSE(w->action(n)->isEnabled()) << n.toStdString();
    EXPECT_FALSE(w->menu("mEdit")->menuAction()->isEnabled());
    EXPECT_FALSE(w->menu("mDebug")->menuAction()->isEnabled());
    EXPECT_TRUE(w->menu("mView")->menuAction()->isEnabled());
    EXPECT_EQ(w->action("actClean")->isEnabled(), cleanBefore);

    // Esc is "Окончить".
    keyClick(w->dialogPanel()->numberField(), Qt::Key_Escape);
    EXPECT_FALSE(w->dialogRunning());
    for (const QString &n : names)
        EXPECT_EQ(w->action(n)->isEnabled(), before[n]) << n.toStdString();
    EXPECT_TRUE(w->menu("mEdit")->menuAction()->isEnabled());
    EXPECT_TRUE(w->menu("mDebug")->menuAction()->isEnabled());
    EXPECT_FALSE(w->dialogPanel()->acceptButton()->isEnabled());
    EXPECT_FALSE(w->dialogPanel()->finishButton()->isEnabled());

    // Going back to the tree page ends a running consultation as well, and a second start
    // works after a finish.
    w->action("actStart")->trigger();
    ASSERT_TRUE(w->dialogRunning());
    w->leftPages()->setTabVisible(w->leftPages()->indexOf(w->treePage()), true);
    w->leftPages()->setCurrentWidget(w->treePage());
    EXPECT_FALSE(w->dialogRunning());
    EXPECT_FALSE(w->leftPages()->isTabVisible(w->leftPages()->indexOf(w->dialogPage())));
    for (const QString &n : names)
        EXPECT_EQ(w->action(n)->isEnabled(), before[n]) << n.toStdString();
    EXPECT_TRUE(prompts.said.isEmpty()) << prompts.texts().join('|').toStdString();
}

TEST_F(ConsultationKb, NothingToAskEndsAtOnceWithTheMessage)
{
    // A task without rules: the engine has no question and no result.
    const int bare = task(1, "Пустая задача", 50);
    fact(bare, "Цель", "Цель", "C", 1);
    ui::ScriptedPrompts prompts;
    auto w = openWindow();
    w->selectTaskById(bare, "Пустая задача");
    QStringList results;
    auto seen = onResults([&](TfResult &r) { results = r.pane()->lines(); });
    w->action("actStart")->trigger();
    EXPECT_TRUE(*seen);
    EXPECT_EQ(prompts.texts(Kind::Info), QStringList{consultation::noResultMessage()});
    EXPECT_EQ(results.value(2), "Отсутствуют. Если диалог был производился, то из-за недостатка правил.");
    EXPECT_FALSE(w->dialogRunning());
    EXPECT_TRUE(rows("select * from questions").isEmpty()) << "no answer for an entity 0";
}

TEST_F(ConsultationKb, SymbolicEntityWithoutValuesInThePanel)
{
    // The first thing asked has no values: "Принять" explains instead of failing.
    kb::execSql("DELETE FROM TVALUE WHERE FACT_ID=" + QString::number(cough));
    kb::execSql("DELETE FROM TCONDITION WHERE FACT_ID=" + QString::number(temperature));
    ui::ScriptedPrompts prompts;
    auto w = openWindow();
    w->action("actStart")->trigger();
    ASSERT_TRUE(w->dialogRunning());
    TDialogPanel *panel = w->dialogPanel();
    ASSERT_TRUE(panel->questionPane()->toPlainText().contains("Есть ли кашель?"));
    EXPECT_EQ(panel->answerList()->count(), 0);
    panel->acceptButton()->click();
    EXPECT_EQ(prompts.texts(Kind::Warning), QStringList{consultation::noValuesMessage()});
    EXPECT_TRUE(w->dialogRunning());
    EXPECT_TRUE(rows("select * from questions").isEmpty());
    panel->finishButton()->click();
    EXPECT_FALSE(w->dialogRunning());
}

TEST_F(ConsultationKb, CleaningTheEngineTables)
{
    ui::ScriptedPrompts prompts;
    auto w = openWindow();
    w->action("actStart")->trigger();
    w->dialogPanel()->numberField()->setText("37");
    auto seen = onResults();
    w->dialogPanel()->acceptButton()->click();
    ASSERT_TRUE(*seen) << "37 makes it a cold without asking about the cough";
    ASSERT_FALSE(rows("select * from trfact").isEmpty());
    ASSERT_FALSE(rows("select * from tdialog").isEmpty());

    prompts.answers = {false};
    w->action("actClean")->trigger();
    EXPECT_EQ(prompts.last(), "Вы уверены, что надо очистить вспомогательные таблицы?");
    EXPECT_FALSE(rows("select * from trfact").isEmpty());

    prompts.answers = {true};
    w->action("actClean")->trigger();
    EXPECT_TRUE(rows("select * from trfact").isEmpty());
    EXPECT_TRUE(rows("select * from tdialog").isEmpty());
    EXPECT_TRUE(rows("select * from tnextver").isEmpty());
    EXPECT_EQ(rows("select count(*) from questions"), QStringList{"1"});
    EXPECT_FALSE(rows("select * from tsitting").isEmpty());

    QStringList results;
    seen = onResults([&](TfResult &r) { results = r.pane()->lines(); });
    w->action("actResults")->trigger();
    EXPECT_TRUE(*seen);
    EXPECT_TRUE(results.value(2).startsWith("Отсутствуют")) << results.join('|').toStdString();
}

// The sample knowledge base answered through the panel as a user would, from the scripted
// answers kept beside it (one "short name = answer" line per entity).
TEST_F(ConsultationKb, SampleConsultationReachesItsDiagnosis)
{
    useSample();
    QMap<QString, QString> answers;
    QFile file(QStringLiteral(ZELMORA_SOURCE_DIR "/samples/sample-mild.answers"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text));
    for (const QString &line : QString::fromUtf8(file.readAll()).split('\n')) {
        const int eq = line.indexOf('=');
        if (eq > 0)
            answers[line.left(eq).trimmed()] = line.mid(eq + 1).trimmed();
    }
    ui::ScriptedPrompts prompts;
    auto w = std::make_unique<TForm1>();
    w->show();
    w->selectTaskById(1, "Диагностика острой респираторной инфекции");
    ASSERT_NE(w->goalFact(), 0);
    TDialogPanel *panel = w->dialogPanel();
    QStringList results;
    auto seen = onResults([&](TfResult &r) {
        results = r.pane()->lines();
        shot(&r, "sample-results");
    });
    w->action("actStart")->trigger();
    for (int step = 0; step < 60 && w->dialogRunning(); ++step) {
        if (step == 1)
            shot(w.get(), "sample-question");
        const int fact = w->consultation().asked();
        const QString name = rows("select fact_short from tfact where fact_id=" + QString::number(fact)).value(0);
        ASSERT_TRUE(answers.contains(name)) << "no scripted answer for " << name.toStdString();
        if (w->consultation().question().symbolic()) {
            const auto found = panel->answerList()->findItems(answers[name], Qt::MatchExactly);
            ASSERT_EQ(found.size(), 1) << name.toStdString();
            panel->answerList()->setCurrentItem(found.first());
        } else {
            panel->numberField()->setText(answers[name]);
        }
        panel->acceptButton()->click();
        ASSERT_TRUE(prompts.texts(Kind::Warning).isEmpty()) << prompts.texts().join('|').toStdString();
    }
    EXPECT_FALSE(w->dialogRunning());
    EXPECT_TRUE(*seen);
    ASSERT_GE(results.size(), 3);
    EXPECT_TRUE(results[2].startsWith("1)")) << results.join('|').toStdString();
    EXPECT_EQ(w->consultation().steps().size(),
              rows("select count(*) from questions where sitting_id=" + QString::number(w->sitting())).value(0).toInt() + 1);
    EXPECT_TRUE(prompts.texts(Kind::Error).isEmpty()) << prompts.texts().join('|').toStdString();
}
