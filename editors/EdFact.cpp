#include "editors/EdFact.h"

#include "kb/Codes.h"
#include "kb/Sql.h"
#include "ui/Modal.h"
#include "ui/PictureBox.h"
#include "ui/Prompts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace {
constexpr int kQuestionLength = 100;
}

TfEdFact::TfEdFact(QWidget *parent, const editors::TaskContext &task, int mode, qint64 factId)
    : ui::EditForm(parent, QStringLiteral("EdObject"), mode, factId, QStringLiteral("Записать")),
      task_(task)
{
    setObjectName(QStringLiteral("fEdFact"));
    auto *outer = new QVBoxLayout(this);
    auto *g = new QGridLayout;
    auto label = [this](const QString &caption, QWidget *buddy) {
        auto *l = new QLabel(caption, this);
        l->setBuddy(buddy);
        return l;
    };

    name_ = new QLineEdit(this);
    name_->setObjectName(QStringLiteral("Edit1"));
    name_->setMaxLength(100);
    ui::makeBold(name_);
    g->addWidget(label(QStringLiteral("Название сущности"), name_), 0, 0, 1, 2);
    g->addWidget(name_, 1, 0, 1, 2);

    multy_ = new QCheckBox(QStringLiteral("Многозначная сущность"), this);
    normal_ = new QCheckBox(QStringLiteral("Нормализуется коэффициент достоверности"), this);
    goal_ = new QCheckBox(QStringLiteral("Выводится как результат"), this);
    nonDet_ = new QCheckBox(QStringLiteral("Ответ недетерминированный"), this);
    g->addWidget(multy_, 2, 0);
    g->addWidget(normal_, 2, 1);
    g->addWidget(goal_, 3, 0);
    g->addWidget(nonDet_, 3, 1);

    type_ = new QComboBox(this);
    type_->addItem(QStringLiteral("Строковый список"), QStringLiteral("C"));
    type_->addItem(QStringLiteral("Число"), QStringLiteral("N"));
    complex_ = new QComboBox(this);
    ui::makeBold(complex_);
    short_ = new QLineEdit(this);
    short_->setMaxLength(25);
    ui::makeBold(short_);
    g->addWidget(label(QStringLiteral("Тип данных"), type_), 4, 0);
    g->addWidget(type_, 5, 0);
    g->addWidget(label(QStringLiteral("Сложность"), complex_), 6, 0);
    g->addWidget(complex_, 7, 0);
    g->addWidget(label(QStringLiteral("Краткое название"), short_), 6, 1);
    g->addWidget(short_, 7, 1);

    picture_ = new ui::PictureField(QSize(175, 175), QStringLiteral("Иллюстрация к сущности"),
                                    QStringLiteral("bmp"), false, this);
    g->addWidget(picture_, 0, 2, 9, 1, Qt::AlignTop);

    question_ = new QPlainTextEdit(this);
    question_->setTabChangesFocus(true);
    question_->setFixedHeight(question_->fontMetrics().lineSpacing() * 3 + 10);
    g->addWidget(label(QStringLiteral("Вопрос"), question_), 9, 0, 1, 3);
    g->addWidget(question_, 10, 0, 1, 3);
    alias_ = new QLineEdit(this);
    alias_->setMaxLength(30);
    ui::makeBold(alias_);
    g->addWidget(label(QStringLiteral("Алиас"), alias_), 11, 0);
    g->addWidget(alias_, 12, 0);
    text_ = new QPlainTextEdit(this);
    text_->setTabChangesFocus(true);
    text_->setMinimumHeight(text_->fontMetrics().lineSpacing() * 3 + 10);
    g->addWidget(label(QStringLiteral("Описание сущности"), text_), 13, 0, 1, 3);
    g->addWidget(text_, 14, 0, 1, 3);
    g->setRowStretch(14, 1);
    g->setColumnStretch(0, 1);
    g->setColumnStretch(1, 1);
    outer->addLayout(g, 1);
    outer->addLayout(buttonRow());

    connect(multy_, &QCheckBox::toggled, this, [this](bool on) { multyToggled(on); });
    resize(492, 359);
    setMinimumSize(492, 359);
}

void TfEdFact::multyToggled(bool on)
{
    // Normalisation makes sense only for an entity that holds several values at once.
    normal_->setEnabled(on);
    if (!on)
        normal_->setChecked(false);
}

void TfEdFact::FormShow()
{
    complex_->clear();
    for (int i = 0; i < kb::ComplexityNames.size(); ++i)
        complex_->addItem(kb::ComplexityNames[i], i);
    if (mode() == 1) {
        setWindowTitle(QStringLiteral("Редактирование сущности"));
        kb::Query load(QStringLiteral("SELECT FACT_NAME INAME, FACT_SHORT ISHORT, FACT_PICTURE,  FACT_QUESTION IQUESTION, GOAL IGOAL, COMPLEX ICOMPLEX, NON_DET,  ALIAS IALIAS, MULTY IMULTY, FACT_TEXT ITEXT, NORMAL INORMAL, TYPE  FROM TFACT WHERE FACT_ID=") +
                       QString::number(recordId()));
        load.open();
        const int complexity = int(load.asInteger(QStringLiteral("ICOMPLEX")));
        int index = complex_->findData(complexity);
        if (index < 0) {
            // A code no name stands for (written by another tool) is kept as it is unless
            // the user chooses another.
            complex_->addItem(QStringLiteral("? (%1)").arg(complexity), complexity);
            index = complex_->count() - 1;
        }
        complex_->setCurrentIndex(index);
        short_->setText(load.asString(QStringLiteral("ISHORT")));
        alias_->setText(load.asString(QStringLiteral("IALIAS")));
        name_->setText(load.asString(QStringLiteral("INAME")));
        question_->setPlainText(load.asString(QStringLiteral("IQUESTION")));
        text_->setPlainText(kb::StreamToText(load, QStringLiteral("ITEXT")));
        goal_->setChecked(load.asInteger(QStringLiteral("IGOAL")) != 0);
        nonDet_->setChecked(load.asInteger(QStringLiteral("NON_DET")) != 0);
        const bool multy = load.asInteger(QStringLiteral("IMULTY")) != 0;
        multy_->setChecked(multy);
        multyToggled(multy);
        normal_->setChecked(multy && load.asInteger(QStringLiteral("INORMAL")) != 0);
        type_->setCurrentIndex(load.asString(QStringLiteral("TYPE")) == QLatin1String("C") ? 0 : 1);
        picture_->showStored(load.asBlob(QStringLiteral("FACT_PICTURE")));
        // The data type is chosen once, when the entity is entered.
        type_->setEnabled(false);
    } else {
        setWindowTitle(QStringLiteral("Ввод новой сущности"));
        name_->clear();
        short_->clear();
        alias_->clear();
        question_->clear();
        text_->clear();
        goal_->setChecked(false);
        nonDet_->setChecked(false);
        multy_->setChecked(false);
        multyToggled(false);
        complex_->setCurrentIndex(0);
        type_->setCurrentIndex(0);
        type_->setEnabled(true);
        picture_->showStored({});
    }
    name_->setFocus();
}

bool TfEdFact::save()
{
    // The names come first: a refused save must leave the task's goal mark where it was.
    if (name_->text().isEmpty() || short_->text().isEmpty()) {
        ui::Prompts::instance().warning(this, QStringLiteral("Введите название (краткое?) объекта"));
        return false;
    }
    const QString task = QString::number(task_.taskId);
    bool moveGoal = false;
    if (goal_->isChecked()) {
        kb::Query goal(QStringLiteral("select fact_id from tfact where task_id=") + task + QStringLiteral(" and goal>0"));
        goal.open();
        if (!goal.eof() && goal.asInteger(QStringLiteral("fact_id")) != recordId()) {
            if (!ui::Prompts::instance().ask(
                    this, QStringLiteral("В задаче уже отмечена сущность, являющаяся целью задачи. Заменить её?")))
                return false;
            moveGoal = true;
        }
    }

    kb::Query q;
    if (mode() == 0) {
        q.setSql(QStringLiteral("INSERT INTO TFACT(FACT_NAME, FACT_SHORT,FACT_QUESTION, TASK_ID, GOAL, COMPLEX, ALIAS, MULTY, FACT_TEXT, NORMAL, TYPE, FACT_PICTURE, NON_DET)VALUES (:P0, :P1, :P3, :P4 , :P5, :P7, :P2, :P6, :P8, :P9,  :P10, :P11, :P12)"));
        q.setString(QStringLiteral("P0"), name_->text());
        q.setString(QStringLiteral("P1"), short_->text());
        q.setString(QStringLiteral("P2"), alias_->text());
        q.setFloat(QStringLiteral("P6"), multy_->isChecked() ? 1 : 0);
        q.setFloat(QStringLiteral("P7"), complex_->currentData().toInt());
        q.setString(QStringLiteral("P10"), type_->currentData().toString());
    } else {
        q.setSql(QStringLiteral(" UPDATE TFACT SET  FACT_NAME=:P1, FACT_SHORT=:P2, FACT_QUESTION=:P3, TASK_ID=:P4, GOAL=:P5, COMPLEX=:P6, ALIAS=:P7, MULTY=:P8, FACT_TEXT=:P9, NORMAL=:P10, FACT_PICTURE=:P11, NON_DET=:P12  WHERE FACT_ID=:P0"));
        q.setInteger(QStringLiteral("P0"), recordId());
        q.setString(QStringLiteral("P1"), name_->text());
        q.setString(QStringLiteral("P2"), short_->text());
        q.setFloat(QStringLiteral("P6"), complex_->currentData().toInt());
        q.setString(QStringLiteral("P7"), alias_->text());
        q.setFloat(QStringLiteral("P8"), multy_->isChecked() ? 1 : 0);
    }
    q.setString(QStringLiteral("P3"), question_->toPlainText().left(kQuestionLength));
    q.setFloat(QStringLiteral("P4"), task_.taskId);
    q.setFloat(QStringLiteral("P5"), goal_->isChecked() ? 1 : 0);
    q.setMemo(mode() == 0 ? QStringLiteral("P8") : QStringLiteral("P9"), text_->toPlainText());
    q.setFloat(mode() == 0 ? QStringLiteral("P9") : QStringLiteral("P10"), normal_->isChecked() ? 1 : 0);
    q.setBlob(QStringLiteral("P11"), picture_->pictureForSave());
    q.setFloat(QStringLiteral("P12"), nonDet_->isChecked() ? 1 : 0);

    // Moving the goal mark and writing the entity succeed or fail together.
    try {
        kb::Transaction transaction;
        if (moveGoal)
            kb::execSql(QStringLiteral("UPDATE TFACT SET GOAL=0 WHERE TASK_ID=") + task);
        q.exec();
        transaction.commit();
    } catch (const kb::DbError &) {
        ui::Prompts::instance().error(this, QStringLiteral("Запись не прошла, попробуйте повторить"));
        return false;
    }
    return true;
}

namespace editors {

void EditFact(QWidget *parent, const TaskContext &task, int mode, qint64 factId)
{
    TfEdFact form(parent, task, mode, factId);
    ui::execModal(&form);
}

}  // namespace editors
