// The record editors: the common list and edit form behaviour, pictures, and each editor
// driven offscreen with scripted answers and scripted modal forms.

#include "TestKb.h"

#include "app/MainMenu.h"
#include "app/Settings.h"
#include "editors/EdFact.h"
#include "editors/EdSubtask.h"
#include "editors/EdTopic.h"
#include "editors/Fraction.h"
#include "editors/Obj.h"
#include "editors/Value.h"
#include "editors/edValue.h"
#include "editors/Task.h"
#include "editors/edTask.h"
#include "editors/Topic.h"
#include "kb/Sql.h"
#include "ui/DetailPane.h"
#include "ui/EditForm.h"
#include "ui/ListForm.h"
#include "ui/Modal.h"
#include "ui/Pict.h"
#include "ui/PictureBox.h"
#include "ui/Prompts.h"

#include <QAction>
#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>

using namespace testing_kb;
using ui::ScriptedPrompts;

namespace {

// The grid's rows as the user reads them: the displayed text of every column, tab-separated.
QStringList gridRows(ui::RecordGrid *grid)
{
    QStringList out;
    auto *m = grid->records();
    for (int r = 0; r < m->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < m->columnCount(); ++c)
            cells << m->data(m->index(r, c), Qt::DisplayRole).toString();
        out << cells.join('\t');
    }
    return out;
}

// A driver that plays the user of an edit form of type F.
template <typename F>
ui::ModalDriver onForm(std::function<void(F *)> play)
{
    return [play](QDialog *d) {
        auto *f = qobject_cast<F *>(d);
        ASSERT_NE(f, nullptr) << "unexpected form " << d->metaObject()->className();
        play(f);
    };
}

QByteArray imageBytes(const QSize &size, const char *format, QColor colour = Qt::red)
{
    QImage img(size, QImage::Format_RGB32);
    img.fill(colour);
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, format);
    return bytes;
}

// A 1x1 GIF (Qt reads GIF but does not write it).
const QByteArray kGif = QByteArray::fromHex(
    "47494638396101000100800000ffffff00000021f90401000000002c00000000010001000002024401003b");

}  // namespace

class Editors : public KbTest {
protected:
    QString writeFile(const QString &name, const QByteArray &bytes)
    {
        const QString path = dir_.path() + "/" + name;
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
};

// --- The common pattern -------------------------------------------------------------------

TEST(ListMessage, TheTwoFormats)
{
    EXPECT_EQ(ui::listMessage("P : ", {"A", "B"}, ui::ListFormat::QuotedLines),
              QString("P : \n\r\"A\"\n\r\"B\""));
    EXPECT_EQ(ui::listMessage("P: ", {"3", "7"}, ui::ListFormat::Commas), QString("P: 3, 7"));
    EXPECT_EQ(ui::listMessage("P: ", {"3"}, ui::ListFormat::Commas), QString("P: 3"));
}

TEST(NumberBox, AcceptsDigitsOnlyAndNamesTheFieldOnBadInput)
{
    std::unique_ptr<QLineEdit> box(ui::numberBox(5, nullptr));
    struct Case {
        const char *typed;
        const char *text;  // what the box keeps
        int value;         // -1: refused
    };
    const Case cases[] = {
        {"12", "12", 12},
        {"99999", "99999", 99999},
        {"123456", "12345", 12345},  // at most five digits
        {"1a2", "12", 12},           // letters are not taken
        {"", "", -1},                // empty: no number
        {"-5", "5", 5},
    };
    for (const Case &c : cases) {
        box->clear();
        box->setCursorPosition(0);
        for (QChar ch : QString(c.typed))
            box->insert(QString(ch));
        EXPECT_EQ(box->displayText().trimmed(), QString(c.text)) << c.typed;
        if (c.value >= 0) {
            EXPECT_EQ(ui::wholeNumber(box.get(), "Порог"), c.value) << c.typed;
        } else {
            EXPECT_THROW(ui::wholeNumber(box.get(), "Порог"), ui::InputError) << c.typed;
        }
    }
    // Two blanks and then 12 is 12; a blank between digits is refused with the field's name.
    box->setText("  12");
    EXPECT_EQ(ui::wholeNumber(box.get(), "Порог чувствительности"), 12);
    box->setText("1 2");
    try {
        ui::wholeNumber(box.get(), "Порог чувствительности");
        ADD_FAILURE() << "a blank between digits was taken";
    } catch (const ui::InputError &e) {
        EXPECT_TRUE(QString::fromUtf8(e.what()).contains("Порог чувствительности")) << e.what();
    }
    std::unique_ptr<QLineEdit> turn(ui::numberBox(3, nullptr));
    turn->insert("12345");
    EXPECT_EQ(turn->displayText(), QString("123"));
}

TEST(ShowBitMap, FitsIntoTheTopLeftCorner)
{
    struct Case {
        QSize box, bitmap;
        QRect drawn;
    };
    const Case cases[] = {
        {{149, 149}, {149, 149}, {0, 0, 149, 149}},  // exactly the box: unscaled
        {{149, 149}, {150, 149}, {0, 0, 149, 148}},  // one pixel wider: to the width
        {{149, 149}, {50, 20}, {0, 0, 50, 20}},      // smaller: unscaled
        {{100, 50}, {100, 200}, {0, 0, 25, 50}},     // tall: to the height
        {{100, 50}, {400, 100}, {0, 0, 100, 25}},    // wide: to the width
        {{10, 10}, {20, 5}, {0, 0, 10, 2}},          // 2.5 rounds to even
        {{10, 10}, {20, 7}, {0, 0, 10, 4}},          // 3.5 rounds to even
    };
    for (const Case &c : cases)
        EXPECT_EQ(ui::fitRect(c.box, c.bitmap), c.drawn) << c.bitmap.width() << "x" << c.bitmap.height();

    ui::PictureBox box(QSize(149, 149));
    const QColor background = box.palette().color(QPalette::Window);
    QImage exact(149, 149, QImage::Format_RGB32);
    exact.fill(Qt::red);
    box.ShowBitMap(exact);
    QImage shown = box.canvas().toImage();
    EXPECT_EQ(shown.pixelColor(148, 148), QColor(Qt::red));
    QImage wider(150, 149, QImage::Format_RGB32);
    wider.fill(Qt::blue);
    box.ShowBitMap(wider);
    shown = box.canvas().toImage();
    EXPECT_EQ(box.drawnRect(), QRect(0, 0, 149, 148));
    EXPECT_EQ(shown.pixelColor(148, 147), QColor(Qt::blue));
    EXPECT_EQ(shown.pixelColor(148, 148), background) << "the last row stays background";
    box.clearPicture();
    EXPECT_FALSE(box.hasBitmap());
    EXPECT_EQ(box.canvas().toImage().pixelColor(0, 0), background);
}

TEST_F(Editors, PictureFormatsAreReadBackAndNonPicturesRefused)
{
    ScriptedPrompts prompts;
    ui::PictureField field(QSize(149, 149), "Иллюстрация", "bmp", true);
    struct Case {
        const char *name;
        QByteArray bytes;
    };
    const Case pictures[] = {
        {"a.bmp", imageBytes({30, 20}, "BMP")},
        {"a.png", imageBytes({30, 20}, "PNG")},
        {"a.jpg", imageBytes({30, 20}, "JPG")},
        {"a.gif", kGif},
        {"png-named.bmp", imageBytes({30, 20}, "PNG")},  // the content decides, not the name
    };
    for (const Case &c : pictures) {
        prompts.files.push_back(writeFile(c.name, c.bytes));
        field.Load();
        EXPECT_TRUE(field.box()->hasBitmap()) << c.name;
        EXPECT_EQ(field.pictureForSave(), c.bytes) << c.name << ": stored unchanged";
        EXPECT_FALSE(field.noPicture());
    }
    EXPECT_TRUE(prompts.said.isEmpty()) << prompts.texts().join('|').toStdString();

    // Not a picture: refused with a message naming the file, the picture stays as it was.
    const QByteArray before = field.pictureForSave();
    prompts.files.push_back(writeFile("notes.txt", "just some text"));
    field.Load();
    ASSERT_EQ(prompts.texts(ScriptedPrompts::Kind::Error).size(), 1);
    EXPECT_TRUE(prompts.last().contains("notes.txt")) << prompts.last().toStdString();
    EXPECT_EQ(field.pictureForSave(), before);

    // A cancelled dialog changes nothing.
    field.Load();
    EXPECT_EQ(field.pictureForSave(), before);

    // Stored bytes no reader understands: nothing shown, but a save keeps them.
    field.showStored("not a picture");
    EXPECT_FALSE(field.box()->hasBitmap());
    EXPECT_EQ(field.pictureForSave(), QByteArray("not a picture"));
    field.showStored(QByteArray(""));
    EXPECT_TRUE(field.noPicture());
}

TEST_F(Editors, ViewerShowsTheNaturalSizeAndSavesBmp)
{
    ScriptedPrompts prompts;
    ui::ScriptedModal modal;
    ui::PictureField field(QSize(149, 149), "Иллюстрация", "jpg", true);
    field.View();
    EXPECT_EQ(prompts.last(), QString("Рисунок отсутствует"));

    const QByteArray big = imageBytes({300, 200}, "PNG", Qt::green);
    prompts.files.push_back(writeFile("big.png", big));
    field.Load();
    const QString saved = dir_.path() + "/out.bmp";
    QSize viewed;
    modal.drivers.push_back(onForm<TfPict>([&](TfPict *v) {
        viewed = v->picture()->pixmap().size();
        EXPECT_EQ(v->minimumSize(), QSize(200, 200));
        prompts.files.push_back(saved);
        v->saveButton()->click();
        v->okButton()->click();
    }));
    field.View();
    EXPECT_EQ(modal.opened, QStringList{"Рисунок "});
    EXPECT_EQ(viewed, QSize(300, 200)) << "the viewer shows the picture at its own size";
    QImageReader reader(saved);
    EXPECT_EQ(reader.format(), QByteArray("bmp"));
    EXPECT_EQ(reader.read().size(), QSize(300, 200));

    field.Clear();
    field.View();
    EXPECT_EQ(prompts.last(), QString("Рисунок отсутствует"));
    EXPECT_EQ(field.pictureForSave(), QByteArray(""));
}

// --- Topics -------------------------------------------------------------------------------

class Topics : public Editors {
protected:
    std::unique_ptr<TfTopic> openList()
    {
        auto form = std::make_unique<TfTopic>();
        form->show();
        return form;
    }
    // A driver that types a topic name and saves.
    static ui::ModalDriver typeName(const QString &name)
    {
        return onForm<TfEdTopic>([name](TfEdTopic *f) {
            f->nameBox()->setText(name);
            f->saveButton()->click();
        });
    }
};

TEST_F(Topics, EmptyListPaneAndAdd)
{
    ScriptedPrompts prompts;
    ui::ScriptedModal modal;
    topic("Скрытая", 1);
    kb::execSql("UPDATE TTOPIC SET TOPIC_ID=0");
    auto form = openList();
    EXPECT_EQ(form->windowTitle(), QString("Темы"));
    EXPECT_TRUE(form->grid()->isEmpty()) << "a topic numbered 0 is never listed";
    EXPECT_EQ(form->pane()->lines(), (QStringList{"Тема :", "\"\"", "Описание темы : ", "\"\""}));
    form->changeRecord();
    form->deleteRecord();
    EXPECT_TRUE(modal.opened.isEmpty());
    EXPECT_TRUE(prompts.said.isEmpty());

    modal.drivers.push_back(onForm<TfEdTopic>([](TfEdTopic *f) {
        EXPECT_EQ(f->windowTitle(), QString("Ввод новой темы"));
        f->nameBox()->setText("Медицина");
        f->memo()->setPlainText("Болезни");
        f->saveButton()->click();
    }));
    form->addRecord();
    EXPECT_EQ(gridRows(form->grid()), QStringList{"Медицина"});
    EXPECT_EQ(form->pane()->lines(), (QStringList{"Тема :", "\"Медицина\"", "Описание темы : ", "\"Болезни\""}));
    EXPECT_EQ(rows("SELECT TOPIC_NAME, TOPIC_TEXT, TOPIC_KEY, length(TOPIC_PICTURE) FROM TTOPIC WHERE TOPIC_ID>0"),
              QStringList{"Медицина\tБолезни\t1\t0"});
}

TEST_F(Topics, AddAndChangeReturnToTheRememberedRowDeleteToTheFirst)
{
    ScriptedPrompts prompts;
    ui::ScriptedModal modal;
    for (const char *n : {"Б", "Г", "Е"})
        topic(n);
    auto form = openList();
    form->grid()->setCurrentRow(1);  // "Г"
    modal.drivers.push_back(typeName("А"));
    form->addRecord();
    EXPECT_EQ(gridRows(form->grid()), (QStringList{"А", "Б", "Г", "Е"}));
    EXPECT_EQ(form->grid()->currentRow(), 1) << "the remembered position, now Б";

    form->grid()->setCurrentRow(3);
    modal.drivers.push_back(onForm<TfEdTopic>([](TfEdTopic *f) {
        EXPECT_EQ(f->windowTitle(), QString("Редактирование темы"));
        EXPECT_EQ(f->nameBox()->text(), QString("Е"));
        f->nameBox()->setText("В");
        f->saveButton()->click();
    }));
    form->changeRecord();
    EXPECT_EQ(gridRows(form->grid()), (QStringList{"А", "Б", "В", "Г"}));
    EXPECT_EQ(form->grid()->currentRow(), 3);

    prompts.answers = {true};
    form->grid()->setCurrentRow(2);
    form->deleteRecord();
    EXPECT_EQ(prompts.texts(ScriptedPrompts::Kind::Ask), QStringList{"Вы уверены, что нужно удалить запись?"});
    EXPECT_EQ(gridRows(form->grid()), (QStringList{"А", "Б", "Г"}));
    EXPECT_EQ(form->grid()->currentRow(), 0);
}

TEST_F(Topics, DeleteRefusedWhileTasksRemain)
{
    ScriptedPrompts prompts;
    const int t = topic("Медицина");
    task(t, "B");
    task(t, "A");
    auto form = openList();
    prompts.answers = {false};
    form->deleteRecord();
    EXPECT_EQ(prompts.texts(), QStringList{"Вы уверены, что нужно удалить запись?"});
    prompts.said.clear();
    prompts.answers = {true};
    form->deleteRecord();
    const QStringList said = prompts.texts(ScriptedPrompts::Kind::Warning);
    ASSERT_EQ(said.size(), 1);
    const QString msg = said[0];
    EXPECT_TRUE(msg == "Не удалены задачи этой темы : \n\r\"A\"\n\r\"B\"" ||
                msg == "Не удалены задачи этой темы : \n\r\"B\"\n\r\"A\"")
        << msg.toStdString();
    EXPECT_EQ(rows("SELECT COUNT(*) FROM TTOPIC"), QStringList{"1"});
}

TEST_F(Topics, SortingByTitleLastsThroughAdding)
{
    ScriptedPrompts prompts;
    ui::ScriptedModal modal;
    topic("Б");
    topic("А");
    auto form = openList();
    emit form->grid()->horizontalHeader()->sectionClicked(0);  // a click on the title
    EXPECT_TRUE(form->listSql().endsWith("ORDER BY ONAME"));
    EXPECT_EQ(form->grid()->records()->headerData(0, Qt::Horizontal, Qt::BackgroundRole).value<QBrush>().color(),
              QColor(Qt::white));
    modal.drivers.push_back(typeName("В"));
    form->addRecord();
    EXPECT_TRUE(form->listSql().endsWith("ORDER BY ONAME"));
    EXPECT_EQ(gridRows(form->grid()), (QStringList{"А", "Б", "В"}));
}

TEST_F(Topics, RefusedAndFailedSavesKeepTheFormOpen)
{
    ScriptedPrompts prompts;
    topic("Медицина");
    TfEdTopic form(nullptr, 0, 0);
    form.show();
    form.memo()->setPlainText("описание");
    form.saveButton()->click();
    EXPECT_EQ(prompts.last(), QString("Введите название темы"));
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.memo()->toPlainText(), QString("описание"));
    // A name already taken: the database refuses it.
    form.nameBox()->setText("Медицина");
    form.saveButton()->click();
    EXPECT_EQ(prompts.last(), QString("Запись не прошла"));
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.nameBox()->text(), QString("Медицина"));
    form.nameBox()->setText("  Техника  ");
    form.saveButton()->click();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(rows("SELECT TOPIC_NAME FROM TTOPIC WHERE TOPIC_TEXT='описание'"), QStringList{"  Техника  "})
        << "stored as typed";
    TfEdTopic again(nullptr, 1, kb::scalarInteger("SELECT TOPIC_ID FROM TTOPIC WHERE TOPIC_TEXT='описание'"));
    again.show();
    EXPECT_EQ(again.nameBox()->text(), QString("Техника")) << "shown without the blanks";
}

TEST_F(Topics, PictureKeptClearedAndReplaced)
{
    ScriptedPrompts prompts;
    const QByteArray first = imageBytes({20, 10}, "BMP");
    const QByteArray second = imageBytes({20, 10}, "PNG", Qt::blue);
    const int id = topic("Медицина");
    kb::Query q("UPDATE TTOPIC SET TOPIC_PICTURE=:P0 WHERE TOPIC_ID=:P1");
    q.setBlob("P0", first);
    q.setInteger("P1", id);
    q.exec();
    auto stored = [&] {
        kb::Query r("SELECT TOPIC_PICTURE FROM TTOPIC WHERE TOPIC_ID=" + QString::number(id));
        r.open();
        return r.asBlob("TOPIC_PICTURE");
    };
    auto edit = [&](const std::function<void(TfEdTopic &)> &play) {
        TfEdTopic form(nullptr, 1, id);
        form.show();
        play(form);
        form.saveButton()->click();
        EXPECT_FALSE(form.isVisible());
    };
    edit([](TfEdTopic &f) {
        EXPECT_TRUE(f.picture()->box()->hasBitmap());
        f.memo()->setPlainText("только текст");
    });
    EXPECT_EQ(stored(), first) << "kept";
    edit([&](TfEdTopic &f) {
        prompts.files.push_back(writeFile("b.png", second));
        f.picture()->loadButton()->click();
    });
    EXPECT_EQ(stored(), second) << "replaced";
    edit([](TfEdTopic &f) { f.picture()->clearButton()->click(); });
    EXPECT_EQ(stored(), QByteArray("")) << "cleared";
    edit([](TfEdTopic &f) { EXPECT_TRUE(f.picture()->noPicture()); });
    EXPECT_EQ(stored(), QByteArray(""));
}

TEST_F(Topics, FormSizeRememberedButWidthZeroKeepsTheDesignedSize)
{
    app::WriteFormSize("Topic", 0, 500);
    {
        auto form = openList();
        EXPECT_EQ(form->size(), QSize(614, 348));
        form->resize(700, 400);
        form->okButton()->click();
    }
    EXPECT_EQ(app::ReadFormSize("Topic"), QSize(700, 400));
    auto form = openList();
    EXPECT_EQ(form->size(), QSize(700, 400));
}

// --- Tasks --------------------------------------------------------------------------------

class Tasks : public Editors {
protected:
    std::unique_ptr<TFrTask> openList()
    {
        auto form = std::make_unique<TFrTask>();
        form->show();
        return form;
    }
};

TEST_F(Tasks, ListJoinsTopicsAndCountsInThePane)
{
    ScriptedPrompts prompts;
    const int med = topic("Медицина");
    const int a = task(med, "Ангина", 30);
    const int orphan = task(med + 100, "Сирота");
    (void)orphan;
    const int s = subtask(a, "Диагноз", 1);
    const int f = fact(a, "Температура", "t");
    fact(a, "Горло", "g");
    rule(a, s, f, -1, 90, "38");
    kb::execSql("UPDATE TTASK SET DESCRIPTION='Острое' WHERE TASK_ID=" + QString::number(a));
    auto form = openList();
    EXPECT_EQ(gridRows(form->grid()), QStringList{"Ангина\tМедицина\t30"}) << "a task without its topic is not listed";
    EXPECT_EQ(form->pane()->lines(),
              (QStringList{"Задача :", "\"Ангина\"", "Сущностей - 2", "Правил - 1", "Тема :", "\"Медицина\"",
                           "Описание задачи : ", "\"Острое\"", "Порог чувствительности :", "\"30\""}));
    auto *m = form->grid()->records();
    EXPECT_EQ(m->headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(), QString("Порог "));
    EXPECT_EQ(m->data(m->index(0, 2), Qt::TextAlignmentRole).value<Qt::Alignment>(), Qt::AlignCenter);
    EXPECT_EQ(form->okButton()->text(), QString("&OK"));
}

TEST_F(Tasks, DeleteReportsSubtasksThenEntities)
{
    ScriptedPrompts prompts;
    const int t = topic("Медицина");
    const int a = task(t, "Ангина");
    const int s = subtask(a, "Диагноз", 1);
    const int f = fact(a, "Температура", "t");
    auto form = openList();
    prompts.answers = {true, true, true};
    form->deleteRecord();
    EXPECT_EQ(prompts.last(), QString("Не удалены подзадачи этой задачи : \n\r\"Диагноз\""));
    kb::execSql("DELETE FROM TSUBTASK WHERE SUBTASK_ID=" + QString::number(s));
    form->deleteRecord();
    EXPECT_EQ(prompts.last(), QString("Не удалены сущности этой задачи : \n\r\"Температура\""));
    kb::execSql("DELETE FROM TFACT WHERE FACT_ID=" + QString::number(f));
    form->deleteRecord();
    EXPECT_TRUE(form->grid()->isEmpty());
    EXPECT_EQ(rows("SELECT COUNT(*) FROM TTASK"), QStringList{"0"});
}

TEST_F(Tasks, ChangingTheTopicStaysOnTheTaskAddGoesToTheFirst)
{
    ScriptedPrompts prompts;
    ui::ScriptedModal modal;
    const int med = topic("Медицина");
    topic("Техника");
    task(med, "Ангина");
    task(med, "Бронхит");
    auto form = openList();
    form->grid()->setCurrentRow(1);
    modal.drivers.push_back(onForm<TfEdTask>([](TfEdTask *f) {
        EXPECT_EQ(f->windowTitle(), QString("Редактирование задачи"));
        EXPECT_EQ(f->nameBox()->text(), QString("Бронхит"));
        EXPECT_EQ(f->topicBox()->currentText(), QString("Медицина"));
        EXPECT_EQ(f->thresholdBox()->displayText().trimmed(), QString("50"));
        f->topicBox()->setCurrentIndex(1);
        f->nameBox()->setText("Аааа");  // now sorts first
        f->saveButton()->click();
    }));
    form->changeRecord();
    EXPECT_EQ(gridRows(form->grid()), (QStringList{"Аааа\tТехника\t50", "Ангина\tМедицина\t50"}));
    EXPECT_EQ(form->grid()->currentRow(), 0) << "located by OID";
    form->grid()->setCurrentRow(1);
    form->changeRecord();  // cancelled by the script: still on the same task
    EXPECT_EQ(form->grid()->currentRow(), 1);

    modal.drivers.push_back(onForm<TfEdTask>([](TfEdTask *f) {
        EXPECT_EQ(f->windowTitle(), QString("Ввод новой задачи"));
        EXPECT_EQ(f->topicBox()->currentText(), QString("Медицина")) << "the first topic by name";
        EXPECT_EQ(f->thresholdBox()->displayText().trimmed(), QString("0"));
        f->nameBox()->setText("Ячмень");
        f->saveButton()->click();
    }));
    form->addRecord();
    EXPECT_EQ(form->grid()->currentRow(), 0);
    EXPECT_EQ(rows("SELECT TASK_NAME, TRUSTLIMIT, GOALFACT_ID, length(TASK_PICTURE) FROM TTASK WHERE TASK_NAME='Ячмень'"),
              QStringList{"Ячмень\t0\t1\t0"});
}

TEST_F(Tasks, ThresholdAndNameChecksKeepTheFormOpen)
{
    ScriptedPrompts prompts;
    topic("Медицина");
    TfEdTask form(nullptr, 0, 0);
    form.show();
    form.memo()->setPlainText("описание");
    form.saveButton()->click();
    EXPECT_EQ(prompts.last(), QString("Не определена тема"));
    EXPECT_TRUE(form.isVisible());

    form.nameBox()->setText("Ангина");
    for (const char *bad : {"1 2", ""}) {
        form.thresholdBox()->setText(bad);
        form.saveButton()->click();
        EXPECT_TRUE(form.isVisible()) << bad;
        EXPECT_TRUE(prompts.last().contains("Порог чувствительности")) << prompts.last().toStdString();
        EXPECT_EQ(rows("SELECT COUNT(*) FROM TTASK"), QStringList{"0"}) << bad;
    }
    form.thresholdBox()->setText("  12");
    form.saveButton()->click();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(rows("SELECT TASK_NAME, TRUSTLIMIT, DESCRIPTION FROM TTASK"), QStringList{"Ангина\t12\tописание"});
}

TEST_F(Tasks, NoTopicToChooseIsRefused)
{
    ScriptedPrompts prompts;
    TfEdTask form(nullptr, 0, 0);
    form.show();
    form.nameBox()->setText("Ангина");
    form.saveButton()->click();
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(prompts.texts(ScriptedPrompts::Kind::Error).size(), 1);
    EXPECT_EQ(rows("SELECT COUNT(*) FROM TTASK"), QStringList{"0"});
}

// --- Subtasks -----------------------------------------------------------------------------

class Subtasks : public Editors {
protected:
    void SetUp() override
    {
        Editors::SetUp();
        taskId = task(topic("Медицина"), "Ангина");
        ctx = {taskId, "Ангина"};
    }
    std::unique_ptr<TfFraction> openList()
    {
        auto form = std::make_unique<TfFraction>(nullptr, ctx);
        form->show();
        return form;
    }
    int taskId = 0;
    editors::TaskContext ctx;
};

TEST_F(Subtasks, OnlyTheCurrentTaskSortedByTurnOnDemand)
{
    ScriptedPrompts prompts;
    subtask(taskId, "Б-вторая", 1);
    subtask(taskId, "А-третья", 2);
    subtask(taskId, "В-первая", 0);
    subtask(task(topic("Техника"), "Мотор"), "Чужая", 0);
    auto form = openList();
    EXPECT_EQ(gridRows(form->grid()), (QStringList{"2\tА-третья", "1\tБ-вторая", "0\tВ-первая"}));
    EXPECT_EQ(form->pane()->lines(), (QStringList{"Задача :", "\"Ангина\"", "Подзадача :", "\"А-третья\"", "Очередь :",
                                                  "\"2\"", "Описание подзадачи : ", "\"\""}));
    form->sortBy(0);
    EXPECT_EQ(gridRows(form->grid()), (QStringList{"0\tВ-первая", "1\tБ-вторая", "2\tА-третья"}));
    EXPECT_TRUE(form->listSql().endsWith("S.TASK_ID=" + QString::number(taskId) + " ORDER BY ITURN"));
}

TEST_F(Subtasks, DeleteRefusedByRulesThenMetarules)
{
    ScriptedPrompts prompts;
    const int s = subtask(taskId, "Диагноз", 1);
    const int other = subtask(taskId, "Лечение", 2);
    const int f = fact(taskId, "Температура", "t");
    const int r12 = rule(taskId, s, f, -1, 90, "1");
    const int r15 = rule(taskId, s, f, -1, 90, "2");
    const int m = meta(taskId, other, s);
    auto form = openList();  // "Диагноз" first
    prompts.answers = {true, true, true, true};
    form->deleteRecord();
    EXPECT_EQ(prompts.last(), QString("Не удалены правила этой подзадачи : %1, %2").arg(r12).arg(r15));
    kb::execSql("DELETE FROM TRULE");
    form->deleteRecord();
    EXPECT_EQ(prompts.last(), QString("Не удалены метаправила этой подзадачи : %1").arg(m));
    kb::execSql("UPDATE TMETA SET SUBTASK_ID=" + QString::number(other) + ", OLDSUBTASK_ID=" + QString::number(s));
    form->deleteRecord();
    EXPECT_EQ(prompts.last(), QString("Не удалены метаправила этой подзадачи : %1").arg(m))
        << "a metarule starting from the subtask blocks it too";
    kb::execSql("DELETE FROM TMETA");
    form->deleteRecord();
    EXPECT_EQ(gridRows(form->grid()), QStringList{"2\tЛечение"});
}

TEST_F(Subtasks, EditFormTurnAndRememberedPosition)
{
    ScriptedPrompts prompts;
    ui::ScriptedModal modal;
    subtask(taskId, "А", 5);
    subtask(taskId, "Б", 6);
    auto form = openList();
    modal.drivers.push_back(onForm<TfEdSubtask>([](TfEdSubtask *f) {
        EXPECT_EQ(f->windowTitle(), QString("Ввод новой подзадачи"));
        EXPECT_EQ(f->taskBox()->text(), QString("Ангина"));
        EXPECT_EQ(f->turnBox()->displayText().trimmed(), QString("0"));
        f->nameBox()->setText("В");
        f->turnBox()->setText("1 2");
        f->saveButton()->click();
        EXPECT_TRUE(f->isVisible());
        f->turnBox()->setText("7");
        f->saveButton()->click();
    }));
    form->addRecord();
    EXPECT_TRUE(prompts.last().contains("Очередь")) << prompts.last().toStdString();
    EXPECT_EQ(gridRows(form->grid()), (QStringList{"5\tА", "6\tБ", "7\tВ"}));
    EXPECT_EQ(rows("SELECT SUBTASK_NAME, TURN, TASK_ID FROM TSUBTASK WHERE SUBTASK_NAME='В'"),
              QStringList{"В\t7\t" + QString::number(taskId)});

    form->grid()->setCurrentRow(1);
    modal.drivers.push_back(onForm<TfEdSubtask>([](TfEdSubtask *f) {
        EXPECT_EQ(f->windowTitle(), QString("Редактирование подзадачи"));
        EXPECT_EQ(f->turnBox()->displayText().trimmed(), QString("6"));
        f->nameBox()->setText("Я");
        f->saveButton()->click();
    }));
    form->changeRecord();
    EXPECT_EQ(gridRows(form->grid()), (QStringList{"5\tА", "7\tВ", "6\tЯ"}));
    EXPECT_EQ(form->grid()->currentRow(), 1) << "the remembered position";

    modal.drivers.push_back(onForm<TfEdSubtask>([](TfEdSubtask *f) {
        f->nameBox()->clear();
        f->memo()->setPlainText("текст");
        f->saveButton()->click();
        EXPECT_TRUE(f->isVisible()) << "a refused save keeps what was typed";
        EXPECT_EQ(f->memo()->toPlainText(), QString("текст"));
    }));
    form->changeRecord();
    EXPECT_EQ(prompts.last(), QString("Введите название подзадачи"));
}

// --- Entities -----------------------------------------------------------------------------

class Entities : public Subtasks {
protected:
    std::unique_ptr<TfObj> openList()
    {
        auto form = std::make_unique<TfObj>(nullptr, ctx);
        form->show();
        return form;
    }
    QStringList goals()
    {
        return rows("SELECT FACT_NAME FROM TFACT WHERE GOAL>0 AND TASK_ID=" + QString::number(taskId));
    }
    static ui::ModalDriver fill(const QString &name, const QString &shortName, bool goal)
    {
        return onForm<TfEdFact>([=](TfEdFact *f) {
            f->nameBox()->setText(name);
            f->shortBox()->setText(shortName);
            f->goalBox()->setChecked(goal);
            f->saveButton()->click();
        });
    }
};

TEST_F(Entities, GridCellsAndPane)
{
    ScriptedPrompts prompts;
    const int d = fact(taskId, "Диагноз", "diag", "C", 1, 1, 1, 0, "Какой диагноз?");
    fact(taskId, "Возраст", "age", "N", 0, 0, 0, 1);
    kb::execSql("UPDATE TFACT SET COMPLEX=3, ALIAS='dx', FACT_TEXT='  текст  ' WHERE FACT_ID=" + QString::number(d));
    fact(task(topic("Техника"), "Мотор"), "Чужая", "x");
    auto form = openList();
    EXPECT_EQ(gridRows(form->grid()), (QStringList{"Возраст\tage\tОчень малая (0)\tНет\tНет\tНет",
                                                   "Диагноз\tdiag\tБольшая (3)\tДа\tДа\tДа"}));
    auto *m = form->grid()->records();
    EXPECT_FALSE(m->data(m->index(0, 0), Qt::FontRole).value<QFont>().bold());
    EXPECT_TRUE(m->data(m->index(1, 3), Qt::FontRole).value<QFont>().bold()) << "the goal's row is bold";
    EXPECT_EQ(m->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), QString("Кратое имя"));

    form->sortBy(5);  // "Ответ детерминирован"
    EXPECT_TRUE(form->listSql().endsWith(" ORDER BY NON_DET"));
    EXPECT_EQ(form->grid()->text("INAME"), QString("Диагноз"));
    EXPECT_EQ(form->pane()->lines(),
              (QStringList{"Задача :", "\"Ангина\"", "Название сущности :", "\"Диагноз\"", "Краткое название :",
                           "\"diag\"", "Описание сущности :", "\"текст\"", "Многозначный :", "\"Да\"", "Вопрос :",
                           "\"Какой диагноз?\"", "Алиас :", "\"dx \"", "Сложность :", "\"Большая (3)\"",
                           "Нормализуется коэффициент достоверности :", "\"Да\"", "Ответ детерминирован :",
                           "\"Да\"", "Выводится как результат :", "\"Да\""}));
    const QList<kb::ReportLine> &lines = form->pane()->report().lines();
    EXPECT_TRUE(lines[0].bold);
    EXPECT_FALSE(lines[1].bold);
    EXPECT_EQ(form->deleteAction()->text(), QString("Убрать сущность"));
    EXPECT_EQ(form->deleteAction()->shortcut(), QKeySequence("Ctrl+D"));
}

TEST_F(Entities, DeleteChecksValuesThenRulesAndConditions)
{
    ScriptedPrompts prompts;
    const int f = fact(taskId, "Цвет", "c");
    const int red = value(f, "красный");
    const int green = value(f, "зелёный");
    auto form = openList();
    prompts.answers = {false};
    form->deleteRecord();
    EXPECT_EQ(prompts.last(), QString("Вы уверены, что нужно удалить объект \"Цвет\"?"));
    prompts.answers = {true};
    form->deleteRecord();
    EXPECT_EQ(prompts.last(), QString("Не удалены значения этой сущности: красный, зелёный"));
    kb::execSql(QString("DELETE FROM TVALUE WHERE VALUE_ID IN (%1, %2)").arg(red).arg(green));

    // Rules or conditions still use it: refused, nothing deleted.
    const QString refused = QString("Удаление не прошло.Возможно данная сущность") + QChar(13) +
                            " используется в заключениях или условиях правил или метаправил.";
    const int s = subtask(taskId, "Диагноз", 1);
    const int r = rule(taskId, s, f, -1, 90, "1");
    prompts.answers = {true};
    form->deleteRecord();
    EXPECT_EQ(prompts.last(), refused);
    kb::execSql("DELETE FROM TRULE");
    condition(r, f, -1, 1, "5");
    prompts.answers = {true};
    form->deleteRecord();
    EXPECT_EQ(prompts.last(), refused);
    EXPECT_EQ(rows("SELECT COUNT(*) FROM TFACT"), QStringList{"1"});
    kb::execSql("DELETE FROM TCONDITION");
    prompts.answers = {true};
    form->deleteRecord();
    EXPECT_TRUE(form->grid()->isEmpty());
    // The same steps from outside the list.
    const int g = fact(taskId, "Вес", "w");
    value(g, "лёгкий");
    EXPECT_FALSE(editors::DeleteFact(nullptr, g));
    EXPECT_EQ(prompts.last(), QString("Не удалены значения этой сущности: лёгкий"));
}

TEST_F(Entities, GoalReplacementAnsweredYesAndNo)
{
    ScriptedPrompts prompts;
    ui::ScriptedModal modal;
    fact(taskId, "Диагноз", "d", "C", 1);
    auto form = openList();
    const QString question = "В задаче уже отмечена сущность, являющаяся целью задачи. Заменить её?";

    prompts.answers = {false};
    modal.drivers.push_back(onForm<TfEdFact>([&](TfEdFact *f) {
        f->nameBox()->setText("Лечение");
        f->shortBox()->setText("l");
        f->goalBox()->setChecked(true);
        f->saveButton()->click();
        EXPECT_TRUE(f->isVisible()) << "No keeps the form open";
    }));
    form->addRecord();
    EXPECT_EQ(prompts.texts(ScriptedPrompts::Kind::Ask), QStringList{question});
    EXPECT_EQ(goals(), QStringList{"Диагноз"});
    EXPECT_EQ(rows("SELECT COUNT(*) FROM TFACT"), QStringList{"1"}) << "nothing written";

    prompts.said.clear();
    prompts.answers = {true};
    modal.drivers.push_back(fill("Лечение", "l", true));
    form->addRecord();
    EXPECT_EQ(prompts.texts(ScriptedPrompts::Kind::Ask), QStringList{question});
    EXPECT_EQ(goals(), QStringList{"Лечение"});
    EXPECT_EQ(form->grid()->currentRow(), 0) << "first record after an add";

    // Saving the goal itself again asks nothing.
    prompts.said.clear();
    form->grid()->locate("INAME", "Лечение");
    modal.drivers.push_back(onForm<TfEdFact>([](TfEdFact *f) {
        EXPECT_TRUE(f->goalBox()->isChecked());
        f->saveButton()->click();
    }));
    form->changeRecord();
    EXPECT_TRUE(prompts.said.isEmpty()) << prompts.texts().join('|').toStdString();
    EXPECT_EQ(form->grid()->text("INAME"), QString("Лечение")) << "located by OID after a change";
}

TEST_F(Entities, RefusedOrFailedSaveLeavesTheGoalWhereItWas)
{
    ScriptedPrompts prompts;
    fact(taskId, "Диагноз", "d", "C", 1);
    fact(taskId, "Лечение", "l");
    {
        // Empty short name: refused before the question, the goal mark stays.
        TfEdFact form(nullptr, ctx, 0, 0);
        form.show();
        form.nameBox()->setText("Новая");
        form.goalBox()->setChecked(true);
        form.saveButton()->click();
        EXPECT_EQ(prompts.texts(), QStringList{"Введите название (краткое?) объекта"});
        EXPECT_TRUE(form.isVisible());
        EXPECT_EQ(goals(), QStringList{"Диагноз"});
    }
    {
        // The name is taken: the insert fails after "Yes", and the old mark comes back.
        prompts.said.clear();
        prompts.answers = {true};
        TfEdFact form(nullptr, ctx, 0, 0);
        form.show();
        form.nameBox()->setText("Лечение");
        form.shortBox()->setText("l2");
        form.goalBox()->setChecked(true);
        form.saveButton()->click();
        EXPECT_EQ(prompts.last(), QString("Запись не прошла, попробуйте повторить"));
        EXPECT_TRUE(form.isVisible());
        EXPECT_EQ(goals(), QStringList{"Диагноз"});
    }
}

TEST_F(Entities, EditFormFieldsAndStatements)
{
    ScriptedPrompts prompts;
    const QString question150 = QString(150, QChar(u'в'));
    TfEdFact add(nullptr, ctx, 0, 0);
    add.show();
    EXPECT_EQ(add.windowTitle(), QString("Ввод новой сущности"));
    EXPECT_TRUE(add.typeBox()->isEnabled());
    EXPECT_FALSE(add.normalBox()->isEnabled());
    EXPECT_EQ(add.complexBox()->currentText(), QString("Очень малая (0)"));
    EXPECT_EQ(add.nameBox()->maxLength(), 100);
    EXPECT_EQ(add.shortBox()->maxLength(), 25);
    EXPECT_EQ(add.aliasBox()->maxLength(), 30);
    add.nameBox()->setText("Температура");
    add.shortBox()->setText("t");
    add.aliasBox()->setText("temp");
    add.questionMemo()->setPlainText(question150);
    add.textMemo()->setPlainText("описание");
    add.typeBox()->setCurrentIndex(1);
    add.complexBox()->setCurrentIndex(2);
    add.multyBox()->setChecked(true);
    add.normalBox()->setChecked(true);
    add.nonDetBox()->setChecked(true);
    add.saveButton()->click();
    EXPECT_FALSE(add.isVisible());
    EXPECT_EQ(rows("SELECT FACT_NAME, FACT_SHORT, length(FACT_QUESTION), TASK_ID, GOAL, COMPLEX, ALIAS, MULTY, "
                   "FACT_TEXT, NORMAL, TYPE, length(FACT_PICTURE), NON_DET FROM TFACT"),
              QStringList{QString("Температура\tt\t100\t%1\t0\t2\ttemp\t1\tописание\t1\tN\t0\t1").arg(taskId)});

    const qint64 id = kb::scalarInteger("SELECT FACT_ID FROM TFACT");
    TfEdFact change(nullptr, ctx, 1, id);
    change.show();
    EXPECT_EQ(change.windowTitle(), QString("Редактирование сущности"));
    EXPECT_FALSE(change.typeBox()->isEnabled()) << "the data type is locked";
    EXPECT_EQ(change.typeBox()->currentText(), QString("Число"));
    EXPECT_TRUE(change.normalBox()->isEnabled());
    EXPECT_TRUE(change.normalBox()->isChecked());
    EXPECT_EQ(change.questionMemo()->toPlainText(), question150.left(100));
    change.multyBox()->setChecked(false);
    EXPECT_FALSE(change.normalBox()->isChecked());
    EXPECT_FALSE(change.normalBox()->isEnabled());
    change.typeBox()->setCurrentIndex(0);  // even if it were changed, the update leaves it
    change.saveButton()->click();
    EXPECT_FALSE(change.isVisible());
    EXPECT_EQ(rows("SELECT MULTY, NORMAL, TYPE, COMPLEX FROM TFACT"), QStringList{"0\t0\tN\t2"});
}

TEST_F(Entities, UnknownComplexityIsShownAndKept)
{
    ScriptedPrompts prompts;
    const int f = fact(taskId, "Температура", "t");
    kb::execSql("UPDATE TFACT SET COMPLEX=7");
    auto form = openList();
    EXPECT_EQ(gridRows(form->grid()), QStringList{"Температура\tt\t?\tНет\tНет\tДа"});
    TfEdFact edit(nullptr, ctx, 1, f);
    edit.show();
    edit.saveButton()->click();
    EXPECT_EQ(rows("SELECT COMPLEX FROM TFACT"), QStringList{"7"});
}

TEST_F(Entities, ClosingTheListRebuildsTheNetworkOfTheNewGoal)
{
    ScriptedPrompts prompts;
    ui::ScriptedModal modal;
    const int s = subtask(taskId, "Диагноз", 1);
    const int cause = fact(taskId, "Причина", "p");
    const int sign = fact(taskId, "Признак", "s", "N");
    rule(taskId, s, cause, value(cause, "простуда"), 80);
    condition(kb::scalarInteger("SELECT MAX(RULE_ID) FROM TRULE"), sign, -1, 1, "37");
    EXPECT_EQ(rows("SELECT COUNT(*) FROM TVER WHERE TASK_ID=" + QString::number(taskId)), QStringList{"0"});
    {
        auto form = openList();
        form->grid()->locate("INAME", "Причина");
        modal.drivers.push_back(onForm<TfEdFact>([](TfEdFact *f) {
            f->goalBox()->setChecked(true);
            f->saveButton()->click();
        }));
        form->changeRecord();
        form->okButton()->click();
    }
    // The goal, its rule and the entity of the rule's condition.
    EXPECT_EQ(rows("SELECT COUNT(*), MIN(GOAL_ID) FROM TVER WHERE TASK_ID=" + QString::number(taskId)),
              QStringList{QString("3\t%1").arg(cause)});
}

// --- Values -------------------------------------------------------------------------------

class Values : public Subtasks {
protected:
    void SetUp() override
    {
        Subtasks::SetUp();
        colour = fact(taskId, "Цвет", "c", "C", 0, 0, 0, 0, "Какой цвет?");
        size = fact(taskId, "Размер", "s");
        fact(task(topic("Техника"), "Мотор"), "Чужая", "x");
    }
    std::unique_ptr<TfrValue> openList(qint64 factId)
    {
        auto form = std::make_unique<TfrValue>(nullptr, ctx, factId);
        form->show();
        return form;
    }
    int colour = 0, size = 0;
};

TEST_F(Values, OpenedForOneEntityOrForAll)
{
    ScriptedPrompts prompts;
    value(colour, "синий");
    value(colour, "красный");
    auto all = openList(0);
    EXPECT_EQ(gridRows(all->entityGrid()), (QStringList{"Размер", "Цвет"}));
    EXPECT_TRUE(all->valueGrid()->isEmpty()) << "Размер has no values";
    EXPECT_EQ(all->pane()->lines(), (QStringList{"Задача :", "\"Ангина\"", "Название сущности :", "\"Размер\"",
                                                 "Вопрос к сущности :", "\"Размер?\"", "Допустимое значение :", "\"\"",
                                                 "Комментарий :", "\" \""}));
    all->deleteRecord();
    all->changeRecord();
    EXPECT_TRUE(prompts.said.isEmpty());

    auto one = openList(colour);
    EXPECT_EQ(gridRows(one->entityGrid()), QStringList{"Цвет"});
    EXPECT_EQ(gridRows(one->valueGrid()), (QStringList{"красный", "синий"}));
    EXPECT_EQ(one->pane()->lines().mid(6), (QStringList{"Допустимое значение :", "\"красный\"", "Комментарий :", "\" \""}));
    one->valueGrid()->next();
    EXPECT_EQ(one->pane()->lines()[7], QString("\"синий\""));
}

TEST_F(Values, NoEntitiesKeepsTheInitialText)
{
    ScriptedPrompts prompts;
    ui::ScriptedModal modal;
    auto form = std::make_unique<TfrValue>(nullptr, editors::TaskContext{task(topic("Пустая"), "Пусто"), "Пусто"}, 0);
    form->show();
    EXPECT_EQ(form->pane()->lines(), QStringList{"Данных нет"});
    form->addRecord();
    EXPECT_TRUE(modal.opened.isEmpty());
}

TEST_F(Values, AddAndChangeStayOnTheEntityAndValue)
{
    ScriptedPrompts prompts;
    ui::ScriptedModal modal;
    value(colour, "белый");
    value(colour, "синий");
    auto form = openList(0);
    form->entityGrid()->locate("INAME", "Цвет");
    modal.drivers.push_back(onForm<TfedValue>([](TfedValue *f) {
        EXPECT_EQ(f->windowTitle(), QString("Ввод нового значения"));
        EXPECT_EQ(f->entityText()->text(), QString("Цвет"));
        f->saveButton()->click();
        EXPECT_TRUE(f->isVisible());
        f->valueBox()->setText("красный");
        f->memo()->setPlainText("  как кровь  ");
        f->saveButton()->click();
    }));
    form->addRecord();
    EXPECT_EQ(prompts.texts(), QStringList{"Введите название сущности"});
    EXPECT_EQ(form->entityGrid()->text("INAME"), QString("Цвет"));
    EXPECT_EQ(gridRows(form->valueGrid()), (QStringList{"белый", "красный", "синий"}));
    EXPECT_EQ(rows("SELECT FACT_ID, VALUE_TEXT, length(VALUE_PICTURE) FROM TVALUE WHERE VALUE_MEAN='красный'"),
              QStringList{QString("%1\t  как кровь  \t0").arg(colour)});

    form->valueGrid()->locate("OMEAN", "красный");
    EXPECT_EQ(form->pane()->lines().last(), QString("\"как кровь \""));
    modal.drivers.push_back(onForm<TfedValue>([](TfedValue *f) {
        EXPECT_EQ(f->windowTitle(), QString("Редактирование значения"));
        EXPECT_EQ(f->valueBox()->text(), QString("красный"));
        f->valueBox()->setText("алый");
        f->saveButton()->click();
    }));
    form->changeRecord();
    EXPECT_EQ(form->entityGrid()->text("INAME"), QString("Цвет"));
    EXPECT_EQ(gridRows(form->valueGrid()), (QStringList{"алый", "белый", "синий"}));
    EXPECT_EQ(form->valueGrid()->text("OMEAN"), QString("алый"));
    EXPECT_EQ(rows("SELECT FACT_ID FROM TVALUE WHERE VALUE_MEAN='алый'"), QStringList{QString::number(colour)});
}

TEST_F(Values, DeleteRefusedByRulesAndConditions)
{
    ScriptedPrompts prompts;
    const int v = value(colour, "красный");
    value(colour, "синий");
    const int s = subtask(taskId, "Диагноз", 1);
    const int r3 = rule(taskId, s, colour, v, 90);
    const int r7 = rule(taskId, s, colour, v, 90);
    auto form = openList(colour);
    prompts.answers = {false};
    form->deleteRecord();
    EXPECT_EQ(prompts.last(), QString("Вы уверены, что нужно удалить значение \"красный\"?"));
    prompts.answers = {true};
    form->deleteRecord();
    EXPECT_EQ(prompts.last(), QString("Это значение используется в правилах: %1, %2").arg(r3).arg(r7));

    kb::execSql("DELETE FROM TRULE");
    const int m2 = meta(taskId, s, s);
    const int m5 = meta(taskId, s, s);
    condition(-1, colour, v, 2, {}, m2);
    condition(-1, colour, v, 2, {}, m5);
    prompts.answers = {true};
    form->deleteRecord();
    EXPECT_EQ(prompts.last(), QString("Это значение используется в метаправилах: %1, %2").arg(m2).arg(m5));

    const int r = rule(taskId, s, size, -1, 90, "1");
    kb::execSql("DELETE FROM TRULE");
    condition(r, colour, v, 2);
    prompts.answers = {true};
    form->deleteRecord();
    EXPECT_EQ(prompts.last(), QString("Это значение используется в правилах: %1").arg(r)) << "rules win";

    kb::execSql("DELETE FROM TCONDITION");
    prompts.answers = {true};
    form->deleteRecord();
    EXPECT_EQ(gridRows(form->valueGrid()), QStringList{"синий"});
    EXPECT_EQ(form->entityGrid()->text("INAME"), QString("Цвет"));
}

TEST_F(Values, FailedSaveShowsBothMessagesAndStaysOpen)
{
    ScriptedPrompts prompts;
    TfedValue form(nullptr, 0, 0, colour, "Цвет");
    form.show();
    form.valueBox()->setText("красный");
    kb::execSql("ALTER TABLE TValue RENAME TO TValueAway");
    form.saveButton()->click();
    kb::execSql("ALTER TABLE TValueAway RENAME TO TValue");
    ASSERT_EQ(prompts.texts(ScriptedPrompts::Kind::Error).size(), 2);
    EXPECT_EQ(prompts.texts(ScriptedPrompts::Kind::Error)[0], QString("Запись не прошла"));
    EXPECT_TRUE(form.isVisible());
    form.saveButton()->click();
    EXPECT_FALSE(form.isVisible());
}

// --- The main window's commands -----------------------------------------------------------

TEST_F(Editors, MainWindowOpensTheEditorsWithTheCurrentTaskAndRefreshes)
{
    ScriptedPrompts prompts;
    ui::ScriptedModal modal;
    const int t = task(topic("Медицина"), "Ангина");
    fact(t, "Диагноз", "d", "C", 1);
    TForm1 w;
    w.show();
    ASSERT_EQ(w.currentTask(), t);
    for (const char *name : {"actTopics", "actTasks", "actSubtasks", "actFacts", "actValues"})
        EXPECT_TRUE(w.action(name)->isEnabled()) << name;

    // Topics: a topic added in the list shows in the rebuilt tree.
    modal.drivers.push_back([](QDialog *d) {
        auto *list = qobject_cast<TfTopic *>(d);
        ASSERT_NE(list, nullptr);
        ui::ScriptedModal::current()->drivers.push_front(onForm<TfEdTopic>([](TfEdTopic *f) {
            f->nameBox()->setText("Техника");
            f->saveButton()->click();
        }));
        list->addRecord();
        list->okButton()->click();
    });
    w.action("actTopics")->trigger();
    EXPECT_EQ(w.tree()->topLevelItemCount(), 2);

    QString seenTask, seenValues;
    modal.drivers.push_back([&](QDialog *d) {
        auto *list = qobject_cast<TfFraction *>(d);
        ASSERT_NE(list, nullptr);
        seenTask = list->listSql();
    });
    w.action("actSubtasks")->trigger();
    EXPECT_TRUE(seenTask.contains("S.TASK_ID=" + QString::number(t))) << seenTask.toStdString();

    modal.drivers.push_back([&](QDialog *d) {
        auto *list = qobject_cast<TfObj *>(d);
        ASSERT_NE(list, nullptr);
        seenValues = list->pane()->lines().value(1);
    });
    w.action("actFacts")->trigger();
    EXPECT_EQ(seenValues, QString("\"Ангина\""));

    modal.drivers.push_back([&](QDialog *d) {
        auto *list = qobject_cast<TfrValue *>(d);
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(gridRows(list->entityGrid()), QStringList{"Диагноз"});
    });
    w.action("actValues")->trigger();
    modal.drivers.push_back([&](QDialog *d) { EXPECT_NE(qobject_cast<TFrTask *>(d), nullptr); });
    w.action("actTasks")->trigger();
    EXPECT_EQ(modal.opened, (QStringList{"Темы", "Ввод новой темы", "Подзадачи", "Сущности",
                                         "Допустимые значения", "Задачи"}));
    EXPECT_TRUE(prompts.texts(ScriptedPrompts::Kind::Error).isEmpty()) << prompts.texts().join('|').toStdString();
}

TEST_F(Editors, EveryFormRemembersItsSizeInItsOwnSection)
{
    ScriptedPrompts prompts;
    const int t = task(topic("Медицина"), "Ангина");
    const editors::TaskContext ctx{t, "Ангина"};
    struct Case {
        const char *section;
        std::function<QDialog *()> make;
    };
    const Case cases[] = {
        {"Topic", [] { return new TfTopic; }},
        {"EdTopic", [] { return new TfEdTopic(nullptr, 0, 0); }},
        {"Task", [] { return new TFrTask; }},
        {"EdTask", [] { return new TfEdTask(nullptr, 0, 0); }},
        {"SubTask", [ctx] { return new TfFraction(nullptr, ctx); }},
        {"EdSubtask", [ctx] { return new TfEdSubtask(nullptr, ctx, 0, 0); }},
        {"Object", [ctx] { return new TfObj(nullptr, ctx); }},
        {"EdObject", [ctx] { return new TfEdFact(nullptr, ctx, 0, 0); }},
        {"Value", [ctx] { return new TfrValue(nullptr, ctx, 0); }},
        {"EdValue", [] { return new TfedValue(nullptr, 0, 0, 1, "x"); }},
    };
    for (const Case &c : cases) {
        std::unique_ptr<QDialog> form(c.make());
        form->show();
        const QSize shown = form->size();
        form->reject();  // Esc
        EXPECT_EQ(app::ReadFormSize(c.section), shown) << c.section;
    }
    // A remembered size is applied the next time, within the form's limits.
    app::WriteFormSize("EdTopic", 800, 900);
    TfEdTopic again(nullptr, 0, 0);
    again.show();
    EXPECT_EQ(again.width(), 800);
    EXPECT_EQ(again.height(), again.minimumHeight()) << "the edit form's height is fixed";
}

TEST_F(Editors, TaskOwnedEditorsNeedACurrentTask)
{
    ScriptedPrompts prompts;
    ui::ScriptedModal modal;
    TForm1 w;
    w.show();
    ASSERT_EQ(w.currentTask(), 0);
    for (const char *name : {"actSubtasks", "actFacts", "actValues"}) {
        prompts.said.clear();
        w.action(name)->trigger();
        EXPECT_EQ(prompts.texts(ScriptedPrompts::Kind::Info).size(), 1) << name;
    }
    EXPECT_TRUE(modal.opened.isEmpty());
    w.action("actTopics")->trigger();
    EXPECT_EQ(modal.opened, QStringList{"Темы"});
}
