// What every window shares: the prompts, the general error display, the report pane.

#include "TestKb.h"

#include "kb/Sql.h"
#include "ui/Guard.h"
#include "ui/Prompts.h"
#include "ui/ReportPane.h"

#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBlock>

TEST(Guard, ShowsTheErrorsOwnTextAndReturns)
{
    ui::ScriptedPrompts prompts;
    EXPECT_TRUE(ui::guarded(nullptr, [] {}));
    EXPECT_FALSE(ui::guarded(nullptr, [] { throw kb::DbError("нет такой таблицы: TX"); }));
    EXPECT_FALSE(ui::guarded(nullptr, [] { throw std::runtime_error("отказ"); }));
    EXPECT_FALSE(ui::guarded(nullptr, [] { throw 42; }));
    EXPECT_EQ(prompts.texts(ui::ScriptedPrompts::Kind::Error),
              (QStringList{"нет такой таблицы: TX", "отказ", "Неизвестная ошибка"}));
}

TEST(Guard, ConnectedHandlersNeverLetAnExceptionReachTheEventLoop)
{
    ui::ScriptedPrompts prompts;
    QWidget parent;
    auto *button = new QPushButton(&parent);
    int runs = 0;
    ui::connectGuarded(button, &QPushButton::clicked, &parent, [&] {
        ++runs;
        kb::execSql("SELECT * FROM NO_SUCH_TABLE");
    });
    button->click();
    button->click();
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(prompts.texts().size(), 2);
}

TEST(Prompts, ScriptedAnswersAndFiles)
{
    ui::ScriptedPrompts prompts;
    prompts.answers = {true};
    prompts.files = {"/tmp/a.bmp"};
    EXPECT_TRUE(ui::Prompts::instance().ask(nullptr, "Вы уверены?"));
    EXPECT_FALSE(ui::Prompts::instance().ask(nullptr, "Ещё?")) << "unscripted questions answer No";
    EXPECT_EQ(ui::Prompts::instance().openFile(nullptr, "", ""), "/tmp/a.bmp");
    EXPECT_EQ(ui::Prompts::instance().openFile(nullptr, "", ""), "") << "then cancelled";
    EXPECT_EQ(prompts.texts(ui::ScriptedPrompts::Kind::Ask), (QStringList{"Вы уверены?", "Ещё?"}));
}

TEST(ReportPane, LinesWithStylesReadBackAndPrint)
{
    ui::ReportPane pane;
    kb::Report report;
    report.bold("Правило 1");
    report.plain("Температура = высокая");
    report.add("курсив", false, true);
    report.add("красная", false, false, 0xff0000);
    report.plain("");
    pane.setReport(report);
    EXPECT_EQ(pane.lines(), (QStringList{"Правило 1", "Температура = высокая", "курсив", "красная", ""}));
    EXPECT_EQ(pane.report().lines(), report.lines());

    // The document shows what the lines say.
    const QTextDocument *doc = pane.document();
    ASSERT_EQ(doc->blockCount(), 5);
    auto format = [&](int block) { return doc->findBlockByNumber(block).begin().fragment().charFormat(); };
    EXPECT_EQ(format(0).fontWeight(), QFont::Bold);
    EXPECT_EQ(format(1).fontWeight(), QFont::Normal);
    EXPECT_TRUE(format(2).fontItalic());
    EXPECT_EQ(format(3).foreground().color(), QColor(0xff0000));

    pane.clearLines();
    EXPECT_TRUE(pane.lines().isEmpty());
    EXPECT_TRUE(pane.toPlainText().isEmpty());

    pane.addLine("Печать", true);
    QTemporaryDir dir;
    const QString pdf = dir.filePath("out.pdf");
    ASSERT_TRUE(pane.printToPdf(pdf, "42"));
    QFile f(pdf);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    // The document title travels as the PDF's title (UTF-16 hex or plain).
    EXPECT_TRUE(bytes.contains("/Title")) << "no title";
}
