#include "editors/edValue.h"

#include "kb/Sql.h"
#include "ui/Modal.h"
#include "ui/PictureBox.h"
#include "ui/Prompts.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

TfedValue::TfedValue(QWidget *parent, int mode, qint64 valueId, qint64 factId, const QString &factName)
    : ui::EditForm(parent, QStringLiteral("EdValue"), mode, valueId, QStringLiteral("Сохранить")),
      factId_(factId), factName_(factName)
{
    setObjectName(QStringLiteral("fedValue"));
    auto *v = new QVBoxLayout(this);
    v->addWidget(new QLabel(QStringLiteral("Сущность"), this));
    entity_ = new QLabel(this);
    entity_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    entity_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    ui::makeBold(entity_);
    v->addWidget(entity_);
    auto *valueLabel = new QLabel(QStringLiteral("Значение"), this);
    value_ = new QLineEdit(this);
    value_->setObjectName(QStringLiteral("Edit1"));
    ui::makeBold(value_);
    valueLabel->setBuddy(value_);
    v->addWidget(valueLabel);
    v->addWidget(value_);
    auto *grid = new QGridLayout;
    auto *memoLabel = new QLabel(QStringLiteral("Комментарий"), this);
    memo_ = new QPlainTextEdit(this);
    memo_->setObjectName(QStringLiteral("Memo1"));
    memoLabel->setBuddy(memo_);
    grid->addWidget(memoLabel, 0, 0);
    grid->addWidget(memo_, 1, 0);
    grid->addWidget(new QLabel(QStringLiteral("Рисунок"), this), 0, 1);
    picture_ = new ui::PictureField(QSize(159, 145), QStringLiteral("Иллюстрация к значению"),
                                    QStringLiteral("jpg"), true, this, QStringLiteral("Загрузить "));
    grid->addWidget(picture_, 1, 1);
    grid->setColumnStretch(0, 1);
    v->addLayout(grid, 1);
    v->addLayout(buttonRow());

    resize(531, 331);
    setMinimumWidth(478);
    setFixedHeight(331);
}

void TfedValue::FormShow()
{
    entity_->setText(factName_);
    if (mode() == 1) {
        setWindowTitle(QStringLiteral("Редактирование значения"));
        kb::Query load(QStringLiteral("SELECT VALUE_MEAN OMEAN,  VALUE_TEXT OTEXT, VALUE_PICTURE OPICTURE  FROM  TVALUE  WHERE VALUE_ID=") +
                       QString::number(recordId()));
        load.open();
        value_->setText(load.asString(QStringLiteral("OMEAN")));
        memo_->setPlainText(kb::StreamToText(load, QStringLiteral("OTEXT")));
        picture_->showStored(load.asBlob(QStringLiteral("OPICTURE")));
    } else {
        setWindowTitle(QStringLiteral("Ввод нового значения"));
        value_->clear();
        memo_->clear();
        picture_->showStored({});
    }
    value_->setFocus();
}

bool TfedValue::save()
{
    if (value_->text().isEmpty()) {
        ui::Prompts::instance().warning(this, QStringLiteral("Введите название сущности"));
        return false;
    }
    kb::Query q;
    if (mode() == 0) {
        q.setSql(QStringLiteral("INSERT  INTO tvalue(FACT_ID, VALUE_MEAN,  VALUE_TEXT, VALUE_PICTURE)  VALUES (:P0, :P1, :P2, :P3)"));
        q.setFloat(QStringLiteral("P0"), double(factId_));
    } else {
        q.setSql(QStringLiteral(" UPDATE TVALUE  SET  VALUE_MEAN=:P1 , VALUE_TEXT=:P2 , VALUE_PICTURE=:P3  WHERE VALUE_ID=:P0 "));
        q.setInteger(QStringLiteral("P0"), recordId());
    }
    q.setString(QStringLiteral("P1"), value_->text());
    q.setMemo(QStringLiteral("P2"), memo_->toPlainText());
    q.setBlob(QStringLiteral("P3"), picture_->pictureForSave());
    try {
        q.exec();
    } catch (const kb::DbError &) {
        ui::Prompts::instance().error(this, QStringLiteral("Запись не прошла"));
        throw;  // and the database's own text through the general error display
    }
    return true;
}

namespace editors {

void EditValue(QWidget *parent, int mode, qint64 valueId, qint64 factId, const QString &factName)
{
    TfedValue form(parent, mode, valueId, factId, factName);
    ui::execModal(&form);
}

}  // namespace editors
