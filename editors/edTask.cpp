#include "editors/edTask.h"

#include "kb/Sql.h"
#include "ui/Modal.h"
#include "ui/PictureBox.h"
#include "ui/Prompts.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

TfEdTask::TfEdTask(QWidget *parent, int mode, qint64 taskId)
    : ui::EditForm(parent, QStringLiteral("EdTask"), mode, taskId, QStringLiteral("&Сохранить"))
{
    setObjectName(QStringLiteral("fEdTask"));
    auto *v = new QVBoxLayout(this);
    auto labelled = [this, v](const QString &caption, QWidget *box) {
        auto *label = new QLabel(caption, this);
        label->setBuddy(box);
        v->addWidget(label);
        v->addWidget(box);
    };
    name_ = new QLineEdit(this);
    name_->setObjectName(QStringLiteral("Edit1"));
    ui::makeBold(name_);
    labelled(QStringLiteral("Задача"), name_);
    topic_ = new QComboBox(this);
    topic_->setObjectName(QStringLiteral("ComboBox1"));
    topic_->setEditable(false);
    ui::makeBold(topic_);
    labelled(QStringLiteral("Тема"), topic_);
    threshold_ = ui::numberBox(5, this);
    threshold_->setObjectName(QStringLiteral("MaskEdit1"));
    threshold_->setMaximumWidth(90);
    ui::makeBold(threshold_);
    labelled(QStringLiteral("Порог чувствительности"), threshold_);

    auto *grid = new QGridLayout;
    auto *descLabel = new QLabel(QStringLiteral("Описание"), this);
    memo_ = new QPlainTextEdit(this);
    memo_->setObjectName(QStringLiteral("Memo1"));
    memo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    descLabel->setBuddy(memo_);
    grid->addWidget(descLabel, 0, 0);
    grid->addWidget(memo_, 1, 0);
    grid->addWidget(new QLabel(QStringLiteral("Рисунок"), this), 0, 1);
    picture_ = new ui::PictureField(QSize(141, 141), QStringLiteral("Иллюстрация к задаче"),
                                    QStringLiteral("bmp"), true, this);
    grid->addWidget(picture_, 1, 1);
    grid->setColumnStretch(0, 1);
    v->addLayout(grid, 1);
    v->addLayout(buttonRow());

    resize(498, 370);
    setMinimumWidth(506);
    setFixedHeight(370);
}

void TfEdTask::FormShow()
{
    topic_->clear();
    kb::Query topics(QStringLiteral("SELECT TOPIC_ID OID, TOPIC_NAME ONAME  FROM TTOPIC WHERE TOPIC_ID>0 ORDER BY TOPIC_NAME"));
    topics.open();
    for (; !topics.eof(); topics.next())
        topic_->addItem(topics.asString(QStringLiteral("ONAME")), topics.asInteger(QStringLiteral("OID")));
    if (mode() == 1) {
        setWindowTitle(QStringLiteral("Редактирование задачи"));
        kb::Query load(QStringLiteral("SELECT  TASK_NAME INAME, TRUSTLIMIT ITRUST,  A.DESCRIPTION IDESC, A.TOPIC_ID ITID,  TOPIC_NAME ITNAME, TASK_PICTURE  IPICTURE   FROM TTASK A, TTOPIC O  WHERE O.TOPIC_ID=A.TOPIC_ID AND TASK_ID=") +
                       QString::number(recordId()));
        load.open();
        // The task's topic; when it is not among the items the last one stays chosen.
        const qint64 topicId = load.asInteger(QStringLiteral("ITID"));
        int index = topic_->count() - 1;
        for (int i = 0; i < topic_->count(); ++i)
            if (topic_->itemData(i).toLongLong() == topicId) {
                index = i;
                break;
            }
        topic_->setCurrentIndex(index);
        name_->setText(load.asString(QStringLiteral("INAME")));
        memo_->setPlainText(kb::StreamToText(load, QStringLiteral("IDESC")));
        picture_->showStored(load.asBlob(QStringLiteral("IPICTURE")));
        threshold_->setText(load.asString(QStringLiteral("ITRUST")));
    } else {
        setWindowTitle(QStringLiteral("Ввод новой задачи"));
        topic_->setCurrentIndex(topic_->count() > 0 ? 0 : -1);
        threshold_->setText(QStringLiteral("0"));
        name_->clear();
        memo_->clear();
        picture_->showStored({});
    }
    name_->setFocus();
}

bool TfEdTask::save()
{
    if (name_->text().isEmpty()) {
        ui::Prompts::instance().warning(this, QStringLiteral("Не определена тема"));
        return false;
    }
    const int threshold = ui::wholeNumber(threshold_, QStringLiteral("Порог чувствительности"));
    if (topic_->currentIndex() < 0)
        throw ui::InputError(QStringLiteral("Тема задачи не выбрана: сначала введите тему в редакторе тем."));
    const double topicId = topic_->currentData().toDouble();
    kb::Query q;
    if (mode() == 0) {
        q.setSql(QStringLiteral("INSERT  INTO TTASK(TASK_NAME, GOALFACT_ID, TRUSTLIMIT, DESCRIPTION, TOPIC_ID, TASK_PICTURE) VALUES (:P0, :P1, :P2, :P3, :P4, :P5)"));
        q.setFloat(QStringLiteral("P4"), topicId);
        q.setBlob(QStringLiteral("P5"), picture_->pictureForSave());
    } else {
        q.setSql(QStringLiteral(" UPDATE TTASK  SET  TASK_NAME=:P0,  GOALFACT_ID=:P1,  TRUSTLIMIT=:P2,  DESCRIPTION=:P3,  TASK_PICTURE=:P4,  TOPIC_ID=:P5  WHERE TASK_ID=:P6 "));
        q.setBlob(QStringLiteral("P4"), picture_->pictureForSave());
        q.setFloat(QStringLiteral("P5"), topicId);
        q.setInteger(QStringLiteral("P6"), recordId());
    }
    q.setString(QStringLiteral("P0"), name_->text());
    q.setFloat(QStringLiteral("P1"), 1);
    q.setFloat(QStringLiteral("P2"), threshold);
    q.setMemo(QStringLiteral("P3"), memo_->toPlainText());
    q.exec();  // a failure goes to the general error display; the form stays open
    return true;
}

namespace editors {

void EditTask(QWidget *parent, int mode, qint64 taskId)
{
    TfEdTask form(parent, mode, taskId);
    ui::execModal(&form);
}

}  // namespace editors
