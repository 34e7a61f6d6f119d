// The read-only views of the knowledge: the two listings of the main window, the entity and
// rule views, and the rules-by-entity window.

#include "TestKb.h"

#include "app/Listings.h"
#include "app/MainMenu.h"
#include "app/Settings.h"
#include "consultation/Inspection.h"
#include "consultation/ShowObj.h"
#include "consultation/ShowRule.h"
#include "kb/Sql.h"
#include "network/RuleByObj.h"
#include "ui/Prompts.h"
#include "ui/ReportPane.h"

#include <QApplication>
#include <QButtonGroup>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>
#include <QTreeWidget>

using namespace testing_kb;

// Readable texts in failure messages.
void PrintTo(const QString &text, std::ostream *os) { *os << '"' << text.toStdString() << '"'; }

namespace {

// A line as the tests write it: "*" before a bold line, the text as it stands otherwise.
QStringList styled(const kb::Report &report)
{
    QStringList out;
    for (const kb::ReportLine &l : report.lines()) {
        EXPECT_FALSE(l.italic) << l.text.toStdString();
        EXPECT_EQ(l.color, 0u) << l.text.toStdString();
        out << (l.bold ? "*" : "") + l.text;
    }
    return out;
}

std::string show(const QStringList &lines) { return ("\n" + lines.join('\n')).toStdString(); }

#define EXPECT_LINES(report, ...)                                        \
    do {                                                                 \
        const QStringList actual_ = styled(report);                      \
        const QStringList expected_ = QStringList{__VA_ARGS__};          \
        EXPECT_EQ(actual_, expected_) << "actual:" << show(actual_)      \
                                      << "\nexpected:" << show(expected_); \
    } while (0)

// The words the engine library gives for the relation codes.
QString engineWords(int code)
{
    static const QStringList words = {"не определено", "больше", "принимает", "больше или равно",
                                      "меньше", "не принимает", "меньше или равно"};
    return code >= 0 && code < words.size() ? words[code] : QStringLiteral("?");
}

void setColumn(const QString &table, const QString &column, const QString &value, const QString &key,
               int id)
{
    kb::execSql(QString("UPDATE %1 SET %2=%3 WHERE %4=%5").arg(table, column, value, key).arg(id));
}

void trfact(int sitting, int fact, int valueId, double number, double trust)
{
    insert(QString("INSERT INTO TRFACT (SITTING_ID, FACT_ID, VALUE_ID, VALUE_NUMBER, TRUST, COMMENT) "
                   "VALUES (%1, %2, %3, %4, %5, '')")
               .arg(sitting)
               .arg(fact)
               .arg(valueId)
               .arg(number)
               .arg(trust));
}

// Saves an image of a window when ZELMORA_SHOTS names a directory (for looking at it).
void shot(QWidget *w, const QString &name)
{
    const QString dir = qEnvironmentVariable("ZELMORA_SHOTS");
    if (!dir.isEmpty())
        w->grab().save(QDir(dir).filePath(name + ".png"));
}

void clickAt(QWidget *w, QPoint at)
{
    const QPointF local(at), global(w->mapToGlobal(at));
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(w, &release);
}

}  // namespace

// ----------------------------------------------------------------------------------------
// The listings of the main window

class Listings : public KbTest {
protected:
    void SetUp() override
    {
        KbTest::SetUp();
        t = task(topic("Медицина"), "Простуда");
    }
    int t = 0;
};

TEST_F(Listings, EmptyTaskGivesEmptyPages)
{
    const int other = task(topic("Другая"), "Чужая");
    const int f = fact(other, "Чужая сущность", "Ч");
    rule(other, subtask(other, "П", 1), f, value(f, "да"), 50);
    for (auto order : {app::FactOrder::Alphabetical, app::FactOrder::Entry})
        EXPECT_TRUE(app::factValueListing(t, order).isEmpty());
    for (auto order : {app::RuleOrder::ByRule, app::RuleOrder::BySubtask})
        EXPECT_TRUE(app::ruleCondListing(t, order, engineWords).isEmpty());
    EXPECT_TRUE(app::factValueListing(0, app::FactOrder::Entry).isEmpty()) << "no current task";
}

TEST_F(Listings, EntitiesAndValuesInBothOrders)
{
    const int colour = fact(t, "Цвет", "Ц", "C", 1);
    value(colour, "красный");
    value(colour, "зелёный");
    // A mark or a flag other than 1 is neither the result nor multi-valued on this page.
    const int odd = fact(t, "Альфа", "А", "C", 2, 2);
    setColumn("TFACT", "COMPLEX", "2", "FACT_ID", odd);
    value(odd, "один");
    const int age = fact(t, "Возраст", "В", "N", 0, 1);
    setColumn("TFACT", "COMPLEX", "4", "FACT_ID", age);
    fact(task(topic("Другая"), "Чужая"), "Бета", "Б");

    EXPECT_LINES(app::factValueListing(t, app::FactOrder::Alphabetical),
                 "*Альфа", "(Сложность=2, однозначная)", "   один", "",
                 "*Возраст", "(Сложность=4, многозначная)", "",
                 "*Цвет /Результат/", "(Сложность=0, однозначная)", "   красный", "   зелёный", "");
    EXPECT_LINES(app::factValueListing(t, app::FactOrder::Entry),
                 "*Цвет /Результат/", "(Сложность=0, однозначная)", "   красный", "   зелёный", "",
                 "*Альфа", "(Сложность=2, однозначная)", "   один", "",
                 "*Возраст", "(Сложность=4, многозначная)", "");
}

// Rules with numeric conclusions and numeric conditions are listed with their expressions
// (a listing that left them out would hide rules of the task from the knowledge engineer).
TEST_F(Listings, RulesWithSymbolicAndNumericParts)
{
    const int later = subtask(t, "Лечение", 2);
    const int first = subtask(t, "Жалобы", 1);
    const int diag = fact(t, "Диагноз", "Д", "C", 1);
    const int flu = value(diag, "грипп");
    const int temp = fact(t, "Температура", "Т", "N");
    const int cough = fact(t, "Кашель", "К");
    const int yes = value(cough, "есть");
    const int dose = fact(t, "Доза", "Доз", "N");

    const int r1 = rule(t, later, diag, flu, 80);
    condition(r1, cough, yes, 2);
    condition(r1, temp, -1, 6, "37,5");
    condition(r1, cough, yes, 0);
    const int r2 = rule(t, first, dose, -1, 100, "[Т]*2");
    condition(r2, temp, -1, 1, "38");
    const int r3 = rule(t, first, diag, flu, 60);
    // A metarule condition on the same entity belongs to no rule.
    condition(-1, cough, yes, 2, {}, meta(t, first, later));
    // A rule whose subtask row is gone stays out of the listing.
    rule(t, 999, diag, flu, 10);

    const QString h1 = QString("Правило %1, подзадача \"Лечение\"").arg(r1);
    const QString h2 = QString("Правило %1, подзадача \"Жалобы\"").arg(r2);
    const QString h3 = QString("Правило %1, подзадача \"Жалобы\"").arg(r3);
    EXPECT_LINES(app::ruleCondListing(t, app::RuleOrder::ByRule, engineWords),
                 "*" + h1, "Диагноз = грипп", "С достоверностью 80", "если",
                 "  Кашель принимает есть", "и", "  Температура меньше или равно 37,5", "и",
                 "  Кашель не определено есть", "",
                 "*" + h2, "Доза = [Т]*2", "С достоверностью 100", "если", "  Температура больше 38", "",
                 "*" + h3, "Диагноз = грипп", "С достоверностью 60", "");
    // By subtask means by subtask number (the order of creation), not by turn.
    EXPECT_LINES(app::ruleCondListing(t, app::RuleOrder::BySubtask, engineWords),
                 QString("*Подзадача \"Лечение\", правило %1").arg(r1), "Диагноз = грипп",
                 "С достоверностью 80", "если", "  Кашель принимает есть", "и",
                 "  Температура меньше или равно 37,5", "и", "  Кашель не определено есть", "",
                 QString("*Подзадача \"Жалобы\", правило %1").arg(r2), "Доза = [Т]*2",
                 "С достоверностью 100", "если", "  Температура больше 38", "",
                 QString("*Подзадача \"Жалобы\", правило %1").arg(r3), "Диагноз = грипп",
                 "С достоверностью 60", "");
}

TEST_F(Listings, RelationWordsComeFromTheGivenSourceOncePerCode)
{
    const int s = subtask(t, "П", 1);
    const int a = fact(t, "А", "А");
    const int yes = value(a, "да");
    const int r = rule(t, s, a, yes, 50);
    condition(r, a, yes, 6);
    condition(r, a, yes, 6);
    condition(r, a, yes, 9);  // written by another tool: no words for it
    QList<int> asked;
    const kb::Report report = app::ruleCondListing(t, app::RuleOrder::ByRule, [&](int code) {
        asked << code;
        return engineWords(code);
    });
    EXPECT_EQ(asked, (QList<int>{6, 9}));
    EXPECT_EQ(report.texts().mid(3, 6),
              (QStringList{"если", "  А меньше или равно да", "и", "  А меньше или равно да", "и",
                           "  А ? да"}));
}

// ----------------------------------------------------------------------------------------
// The main window's pages

class ListingPages : public KbTest {
protected:
    void SetUp() override
    {
        KbTest::SetUp();
        t = task(topic("Медицина"), "Простуда");
        const int s = subtask(t, "Жалобы", 1);
        const int b = fact(t, "Боль", "Б");
        const int a = fact(t, "Астма", "А", "C", 1);
        value(a, "да");
        ruleId = rule(t, s, b, value(b, "есть"), 70);
        condition(ruleId, a, -1, 2, "да");
        app::writeSetting("Main", "Task", QString::number(t));
    }
    std::unique_ptr<TForm1> open()
    {
        auto w = std::make_unique<TForm1>();
        w->show();
        return w;
    }
    static QButtonGroup *group(QWidget *page)
    {
        return page->findChild<QButtonGroup *>();
    }
    int t = 0;
    int ruleId = 0;
};

TEST_F(ListingPages, BuiltOnVisitOrderSwitchAndTreeClick)
{
    ui::ScriptedPrompts prompts;
    auto w = open();
    prompts.said.clear();  // the start-up's word on the missing engine library
    ASSERT_EQ(w->currentTask(), t);
    QTabWidget *pages = w->rightPages();
    EXPECT_TRUE(w->factsPane()->lines().isEmpty()) << "not built before the first visit";

    pages->setCurrentIndex(1);
    EXPECT_EQ(w->factsPane()->report().lines(),
              app::factValueListing(t, app::FactOrder::Alphabetical).lines());
    EXPECT_EQ(w->factsPane()->lines().first(), "Астма /Результат/");
    group(pages->widget(1))->button(1)->click();
    EXPECT_EQ(w->factsPane()->lines().first(), "Боль");
    shot(w.get(), "main-facts");

    // A change made elsewhere shows after the next visit or tree click.
    kb::execSql("UPDATE TFACT SET FACT_NAME='Боль в горле' WHERE FACT_NAME='Боль'");
    w->tree()->setCurrentItem(w->tree()->topLevelItem(0));
    w->TreeView1Click();
    EXPECT_EQ(w->factsPane()->lines().first(), "Боль в горле");

    pages->setCurrentIndex(2);
    const QStringList rules = w->rulesPane()->lines();
    ASSERT_GE(rules.size(), 5);
    EXPECT_EQ(rules[0], QString("Правило %1, подзадача \"Жалобы\"").arg(ruleId));
    EXPECT_EQ(rules[1], "Боль в горле = есть");
    // The relation's words come from the engine library beside the program.
    EXPECT_EQ(rules[4], "  Астма принимает да");
    group(pages->widget(2))->button(1)->click();
    EXPECT_EQ(w->rulesPane()->lines().first(), QString("Подзадача \"Жалобы\", правило %1").arg(ruleId));
    shot(w.get(), "main-rules");
    EXPECT_TRUE(prompts.texts().isEmpty()) << prompts.texts().join('|').toStdString();
}

TEST_F(ListingPages, PrintingAsksFirst)
{
    ui::ScriptedPrompts prompts;
    auto w = open();
    prompts.said.clear();
    w->rightPages()->setCurrentIndex(2);
    auto *print = w->rightPages()->widget(2)->findChild<QPushButton *>();
    ASSERT_NE(print, nullptr);
    EXPECT_TRUE(print->isEnabled());
    EXPECT_EQ(print->toolTip(), "Печать правил");
    prompts.answers = {false};
    print->click();
    EXPECT_EQ(prompts.texts(), QStringList{"Вы уверены?"});
    EXPECT_EQ(w->printTitle(), QString::number(t));
    // With no printer to print on, Yes says so instead of printing nowhere.
    if (QPrinterInfo::defaultPrinter().isNull()) {
        prompts.said.clear();
        prompts.answers = {true};
        print->click();
        EXPECT_EQ(prompts.texts(),
                  (QStringList{"Вы уверены?", "Принтер по умолчанию не установлен"}));
    }
}

TEST_F(ListingPages, PaneAndTitleReachThePdf)
{
    ui::ReportPane pane;
    pane.setReport(app::ruleCondListing(t, app::RuleOrder::ByRule, engineWords));
    const QString file = dir_.path() + "/rules.pdf";
    ASSERT_TRUE(pane.printToPdf(file, "Zelmora-7"));
    QFile pdf(file);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    // The document title is written as UTF-16 in the document information.
    QByteArray title = "\xfe\xff";
    for (char c : QByteArray("Zelmora-7"))
        title += QByteArray(1, '\0') + c;
    EXPECT_TRUE(bytes.contains("/Title") && bytes.contains(title)) << "no document title";
}

// ----------------------------------------------------------------------------------------
// The entity view

class EntityView : public KbTest {
protected:
    void SetUp() override
    {
        KbTest::SetUp();
        t = task(topic("Медицина"), "Простуда");
    }
    int t = 0;
};

TEST_F(EntityView, SymbolicMultiValuedWithTwoCurrentValues)
{
    const int f = fact(t, "Симптом", "Симп", "C", 2, 2, 0, 0, "Какие симптомы?");
    setColumn("TFACT", "COMPLEX", "2", "FACT_ID", f);
    const int cough = value(f, "кашель");
    value(f, "боль");
    const int fever = value(f, "жар");
    trfact(5, f, cough, 0, 87.5);
    trfact(5, f, fever, 0, 40);
    trfact(6, f, cough, 0, 100);  // another sitting

    EXPECT_LINES(consultation::ObjText(f, 5), "*Название - Симптом", "Краткое название - Симп",
                 "Вопрос - Какие симптомы?", "Сложность - Средняя (2)", "Многозначная", " ",
                 "Список символьных значений", " ", "*Текущее значение:",
                 "1) жар, с достоверностью 40", "2) кашель, с достоверностью 87.5", " ",
                 "*Все допустимые значения:", "1) боль", "2) жар", "3) кашель");
    EXPECT_EQ(consultation::ObjText(f, 7).texts().mid(8, 2),
              (QStringList{"Текущее значение:", "Не определено"}));
}

TEST_F(EntityView, NumericEntity)
{
    const int f = fact(t, "Температура", "Т", "N", 1, 0, 0, 0, "Какая температура?");
    trfact(3, f, -1, 38.25, 100);
    trfact(3, f, -1, 37, 50);
    EXPECT_LINES(consultation::ObjText(f, 3), "*Название - Температура", "Краткое название - Т",
                 "Вопрос - Какая температура?", "Сложность - Очень малая (0)", "Однозначная", " ",
                 "Численное значение", " ", "*Текущее значение:", "1) 37, с достоверностью 50",
                 "2) 38.25, с достоверностью 100");
    EXPECT_EQ(consultation::ObjText(f, 0).texts().mid(8),
              (QStringList{"Текущее значение:", "Не определено"}));
}

TEST_F(EntityView, OddCodesAndMissingEntity)
{
    const int f = fact(t, "Странная", "С", "C");
    setColumn("TFACT", "COMPLEX", "7", "FACT_ID", f);
    EXPECT_EQ(consultation::ObjText(f, 0).texts()[3], "Сложность - ?");
    EXPECT_LINES(consultation::ObjText(f + 100, 0), QString("Сущность № %1 не найдена").arg(f + 100));
}

// ----------------------------------------------------------------------------------------
// The rule text and the rule view

class RuleView : public KbTest {
protected:
    void SetUp() override
    {
        KbTest::SetUp();
        t = task(topic("Медицина"), "Простуда");
        s = subtask(t, "Диагностика", 1);
        diag = fact(t, "Диагноз", "Д", "C", 1);
        flu = value(diag, "грипп");
        temp = fact(t, "Температура", "Т", "N");
        cough = fact(t, "Кашель", "К");
        yes = value(cough, "есть");
    }
    int t = 0, s = 0, diag = 0, flu = 0, temp = 0, cough = 0, yes = 0;
};

TEST_F(RuleView, MixedConditionsInEntryOrder)
{
    const int r = rule(t, s, diag, flu, 80);
    condition(r, temp, -1, 6, "37,5");
    condition(r, cough, yes, 2);
    condition(r, cough, yes, 0);
    condition(r, temp, -1, 9, "40");  // a code outside the table
    condition(-1, cough, yes, 5, {}, meta(t, s, s));
    EXPECT_LINES(consultation::RText(r), "Подзадача : Диагностика", "", "*Если",
                 "  \"Температура\" меньше или равно 37,5", "*и", "  \"Кашель\" равно есть", "*и",
                 "  \"Кашель\" не определено есть", "*и", "  \"Температура\" ? 40", "*то",
                 "  \"Диагноз\" : грипп", "  с достоверностью 80");
}

TEST_F(RuleView, NumericConclusionAndEmptyFields)
{
    const int dose = fact(t, "Доза", "Доз", "N");
    const int r = rule(t, s, dose, -1, 100, "[Т]*2");
    EXPECT_LINES(consultation::RText(r), "Подзадача : Диагностика", "", "*Если", "*то",
                 "  \"Доза\" : [Т]*2", "  с достоверностью 100");
    // A rule without its subtask row, conditions or conclusion shows the fixed lines only.
    const int orphan = rule(t, 999, diag, flu + 1000, 30);
    EXPECT_LINES(consultation::RText(orphan), "Подзадача : ", "", "*Если", "*то", "  \"\" : ",
                 "  с достоверностью ");
}

TEST_F(RuleView, WindowsShowTheirTexts)
{
    const int r = rule(t, s, diag, flu, 80);
    condition(r, temp, -1, 3, "38");
    condition(r, cough, yes, 2);
    QWidget owner;
    owner.resize(800, 600);
    owner.show();

    consultation::TfShowRule ruleView(&owner, r);
    EXPECT_EQ(ruleView.windowTitle(), QString("Правило %1").arg(r));
    EXPECT_EQ(ruleView.pane()->report().lines(), consultation::RText(r).lines());
    EXPECT_GE(ruleView.minimumWidth(), 400);
    EXPECT_EQ(ruleView.minimumHeight(), 250);
    EXPECT_EQ(ruleView.maximumHeight(), 300);
    ruleView.show();
    shot(&ruleView, "rule-view");

    trfact(2, cough, yes, 0, 75);
    consultation::TfShowObj objView(&owner, cough, 2);
    EXPECT_EQ(objView.windowTitle(), "Сущность");
    EXPECT_EQ(objView.pane()->report().lines(), consultation::ObjText(cough, 2).lines());
    EXPECT_EQ(objView.minimumSize(), QSize(373, 240));
    objView.show();
    shot(&objView, "entity-view");
    objView.okButton()->click();
    EXPECT_FALSE(objView.isVisible());
    EXPECT_EQ(objView.result(), QDialog::Accepted);
}

TEST_F(RuleView, OpeningOperationsAreModal)
{
    const int r = rule(t, s, diag, flu, 80);
    QStringList seen;
    auto closeModal = [&seen] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal) {
            seen << "none";
            return;
        }
        seen << modal->windowTitle();
        modal->findChild<QPushButton *>()->click();
    };
    QTimer::singleShot(0, closeModal);
    consultation::ShowRule(nullptr, r);
    QTimer::singleShot(0, closeModal);
    consultation::ShowObj(nullptr, diag, 0);
    EXPECT_EQ(seen, (QStringList{QString("Правило %1").arg(r), "Сущность"}));
}

// ----------------------------------------------------------------------------------------
// Rules by entity

class RulesByEntity : public KbTest {
protected:
    void SetUp() override
    {
        KbTest::SetUp();
        t = task(topic("Медицина"), "Простуда");
        s = subtask(t, "Диагностика", 1);
        diag = fact(t, "Диагноз", "Д", "C", 1);
        flu = value(diag, "грипп");
        cold = value(diag, "простуда");
        cough = fact(t, "Кашель", "К");
        yes = value(cough, "есть");
        no = value(cough, "нет");
        // Two rules conclude the diagnosis; the later one names the cough twice.
        r2 = rule(t, s, diag, cold, 60);
        condition(r2, cough, yes, 2);
        r1 = rule(t, s, diag, flu, 80);
        condition(r1, cough, yes, 2);
        condition(r1, cough, no, 5);
        // A rule of another task counts too; a metarule condition does not.
        const int other = task(topic("Другая"), "Чужая");
        rOther = rule(other, subtask(other, "П", 1), cough, no, 40);
        condition(-1, cough, yes, 2, {}, meta(t, s, s));
    }
    int t = 0, s = 0, diag = 0, flu = 0, cold = 0, cough = 0, yes = 0, no = 0;
    int r1 = 0, r2 = 0, rOther = 0;
};

TEST_F(RulesByEntity, ListsEachRuleOnceInAscendingOrder)
{
    using network::EntityRole;
    EXPECT_EQ(network::rulesByObj(cough, EntityRole::Premise), (QList<int>{r2, r1}));
    EXPECT_EQ(network::rulesByObj(cough, EntityRole::Result), (QList<int>{rOther}));
    EXPECT_EQ(network::rulesByObj(diag, EntityRole::Premise), QList<int>{});
    EXPECT_EQ(network::rulesByObj(diag, EntityRole::Result), (QList<int>{r2, r1}));
    EXPECT_EQ(network::factNameOf(cough), "Кашель");
    EXPECT_EQ(network::factNameOf(cough + 100), QString());
}

TEST_F(RulesByEntity, TextFollowsChoiceKeyboardAndMouse)
{
    QWidget owner;
    owner.show();
    network::TfRuleByObj w(&owner, diag);
    w.show();
    EXPECT_EQ(w.windowTitle(), "Правила от сущности");
    EXPECT_EQ(w.nameField()->text(), "Диагноз");
    EXPECT_TRUE(w.nameField()->font().bold());
    EXPECT_TRUE(w.nameField()->isReadOnly());
    EXPECT_EQ(w.ruleList()->horizontalHeaderItem(0)->text(), "Номера правил");
    EXPECT_TRUE(w.ruleList()->horizontalHeaderItem(0)->font().bold());

    // Named in no condition: an empty list and an empty pane.
    EXPECT_TRUE(w.premiseButton()->isChecked());
    EXPECT_EQ(w.ruleList()->rowCount(), 0);
    EXPECT_TRUE(w.pane()->lines().isEmpty());

    // As the result: ascending numbers, the first one shown.
    w.resultButton()->click();
    ASSERT_EQ(w.ruleList()->rowCount(), 2);
    EXPECT_EQ(w.ruleList()->item(0, 0)->text(), QString::number(r2));
    EXPECT_EQ(w.currentRuleId(), r2);
    EXPECT_EQ(w.pane()->report().lines(), consultation::RText(r2).lines());

    // The down arrow moves to the next rule and shows it; a click goes back.
    w.ruleList()->setFocus();
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QApplication::sendEvent(w.ruleList(), &down);
    EXPECT_EQ(w.currentRuleId(), r1);
    EXPECT_EQ(w.pane()->report().lines(), consultation::RText(r1).lines());
    shot(&w, "rules-by-entity");
    const QRect first = w.ruleList()->visualItemRect(w.ruleList()->item(0, 0));
    clickAt(w.ruleList()->viewport(), first.center());
    EXPECT_EQ(w.currentRuleId(), r2);
    EXPECT_EQ(w.pane()->report().lines(), consultation::RText(r2).lines());

    // Back to premises: still nothing.
    w.premiseButton()->click();
    EXPECT_EQ(w.ruleList()->rowCount(), 0);
    EXPECT_TRUE(w.pane()->lines().isEmpty());
}

TEST_F(RulesByEntity, RuleNamingTheEntityTwiceIsListedOnce)
{
    network::TfRuleByObj w(nullptr, cough);
    ASSERT_EQ(w.ruleList()->rowCount(), 2);
    EXPECT_EQ(w.ruleList()->item(0, 0)->text(), QString::number(r2));
    EXPECT_EQ(w.ruleList()->item(1, 0)->text(), QString::number(r1));
    EXPECT_EQ(w.pane()->report().lines(), consultation::RText(r2).lines());
    w.setRole(network::EntityRole::Result);
    ASSERT_EQ(w.ruleList()->rowCount(), 1);
    EXPECT_EQ(w.currentRuleId(), rOther);
}

TEST_F(RulesByEntity, SizeIsRemembered)
{
    {
        network::TfRuleByObj w(nullptr, cough);
        EXPECT_EQ(w.minimumSize(), QSize(313, 313));
        w.show();
        w.resize(500, 450);
        w.exitButton()->click();
        EXPECT_FALSE(w.isVisible());
    }
    EXPECT_EQ(app::ReadFormSize("RulesByObj"), QSize(500, 450));
    QFile ini(programDir() + "zelmora.ini");
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_TRUE(ini.readAll().contains("[RulesByObj]")) << "written under its own spelling";
    network::TfRuleByObj again(nullptr, cough);
    EXPECT_EQ(again.size(), QSize(500, 450));
}

TEST_F(RulesByEntity, OpeningOperationIsModal)
{
    QString seen;
    QTimer::singleShot(0, [&seen] {
        if (auto *w = qobject_cast<network::TfRuleByObj *>(QApplication::activeModalWidget())) {
            seen = w->nameField()->text();
            w->exitButton()->click();
        }
    });
    network::ShowRulesByObj(nullptr, cough);
    EXPECT_EQ(seen, "Кашель");
}
