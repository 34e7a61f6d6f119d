#include "editors/EdTopic.h"

#include "kb/Sql.h"
#include "ui/Modal.h"
#include "ui/PictureBox.h"
#include "ui/Prompts.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

TfEdTopic::TfEdTopic(QWidget *parent, int mode, qint64 topicId)
    : ui::EditForm(parent, QStringLiteral("EdTopic"), mode, topicId, QStringLiteral("&Сохранить"))
{
    setObjectName(QStringLiteral("fEdTopic"));
    auto *v = new QVBoxLayout(this);
    auto *label = new QLabel(QStringLiteral("Тема"), this);
    name_ = new QLineEdit(this);
    name_->setObjectName(QStringLiteral("Edit1"));
    ui::makeBold(name_);
    label->setBuddy(name_);
    v->addWidget(label);
    v->addWidget(name_);
    auto *h = new QHBoxLayout;
    memo_ = new QPlainTextEdit(this);
    memo_->setObjectName(QStringLiteral("Memo1"));
    memo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    h->addWidget(memo_, 1);
    picture_ = new ui::PictureField(QSize(149, 149), QStringLiteral("Иллюстрация к теме"),
                                    QStringLiteral("bmp"), true, this);
    h->addWidget(picture_);
    v->addLayout(h, 1);
    v->addLayout(buttonRow());

    resize(540, 293);
    setMinimumWidth(452);
    setFixedHeight(293);
}

void TfEdTopic::FormShow()
{
    if (mode() == 0) {
        setWindowTitle(QStringLiteral("Ввод новой темы"));
        name_->clear();
        memo_->clear();
        picture_->showStored({});
        return;
    }
    setWindowTitle(QStringLiteral("Редактирование темы"));
    kb::Query load(QStringLiteral("SELECT TOPIC_NAME ONAME, TOPIC_TEXT OTEXT,  TOPIC_KEY OKEY, TOPIC_PICTURE OPICTURE  FROM TTOPIC WHERE TOPIC_ID=") +
                   QString::number(recordId()));
    load.open();
    name_->setText(load.asString(QStringLiteral("ONAME")).trimmed());
    memo_->setPlainText(kb::StreamToText(load, QStringLiteral("OTEXT")));
    picture_->showStored(load.asBlob(QStringLiteral("OPICTURE")));
}

bool TfEdTopic::save()
{
    // A refused or failed save keeps the form open with what was typed.
    if (name_->text().isEmpty()) {
        ui::Prompts::instance().warning(this, QStringLiteral("Введите название темы"));
        return false;
    }
    kb::Query q;
    if (mode() == 0) {
        q.setSql(QStringLiteral("INSERT INTO TTOPIC (TOPIC_NAME, TOPIC_TEXT, TOPIC_KEY, TOPIC_PICTURE) VALUES (:P0, :P1, :P2, :P3)"));
    } else {
        q.setSql(QStringLiteral("UPDATE TTOPIC  SET  TOPIC_NAME=:P0, TOPIC_TEXT=:P1, TOPIC_KEY=:P2, TOPIC_PICTURE=:P3  WHERE TOPIC_ID=:P4"));
        q.setInteger(QStringLiteral("P4"), recordId());
    }
    q.setString(QStringLiteral("P0"), name_->text());
    q.setMemo(QStringLiteral("P1"), memo_->toPlainText());
    q.setFloat(QStringLiteral("P2"), 1);
    q.setBlob(QStringLiteral("P3"), picture_->pictureForSave());
    try {
        q.exec();
    } catch (const kb::DbError &) {
        ui::Prompts::instance().error(this, QStringLiteral("Запись не прошла"));
        return false;
    }
    return true;
}

namespace editors {

void EditTopic(QWidget *parent, int mode, qint64 topicId)
{
    TfEdTopic form(parent, mode, topicId);
    ui::execModal(&form);
}

}  // namespace editors
