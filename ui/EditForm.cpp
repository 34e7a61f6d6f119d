#include "ui/EditForm.h"

#include "ui/FormSize.h"
#include "ui/Guard.h"

#include <QHBoxLayout>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

namespace ui {

QLineEdit *numberBox(int digits, QWidget *parent)
{
    auto *box = new QLineEdit(parent);
    // Digits only, each position optional, a blank for an empty position.
    box->setInputMask(QString(digits, QLatin1Char('0')) + QStringLiteral("; "));
    box->setMaxLength(digits);
    return box;
}

int wholeNumber(const QLineEdit *box, const QString &fieldName)
{
    // The box's text as the user sees it: the masked box's own text() drops the blanks, and
    // "1 2" would quietly become 12.
    const QString text = box->displayText().trimmed();
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < 0)
        throw InputError(QStringLiteral("Поле \"%1\": \"%2\" не является целым числом. Введите целое "
                                        "число без пробелов между цифрами.")
                             .arg(fieldName, box->displayText()));
    return value;
}

void fitToLayout(QWidget *form)
{
    QLayout *layout = form->layout();
    if (!layout)
        return;
    layout->activate();
    const QSize need = layout->totalMinimumSize();
    if (form->minimumWidth() < need.width())
        form->setMinimumWidth(need.width());
    if (form->minimumHeight() < need.height()) {
        if (form->maximumHeight() == form->minimumHeight())
            form->setFixedHeight(need.height());
        else
            form->setMinimumHeight(need.height());
    }
    form->resize(form->size().expandedTo(form->minimumSize()));
}

void makeBold(QWidget *widget)
{
    QFont f = widget->font();
    f.setBold(true);
    widget->setFont(f);
}

EditForm::EditForm(QWidget *parent, const QString &sizeSection, int mode, qint64 id,
                   const QString &saveCaption)
    : QDialog(parent), sizeSection_(sizeSection), mode_(mode), id_(mode == 0 ? 0 : id)
{
    setWindowFlags(Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::WindowTitleHint);
    save_ = new QPushButton(saveCaption, this);
    save_->setObjectName(QStringLiteral("BitBtn1"));
    save_->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    save_->setAutoDefault(false);
    cancel_ = new QPushButton(QStringLiteral("Отменить"), this);
    cancel_->setObjectName(QStringLiteral("BitBtn2"));
    cancel_->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    cancel_->setAutoDefault(false);
    connect(save_, &QPushButton::clicked, this, [this] { saveClicked(); });
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

QHBoxLayout *EditForm::buttonRow()
{
    auto *row = new QHBoxLayout;
    row->addWidget(save_);
    row->addStretch(1);
    row->addWidget(cancel_);
    return row;
}

void EditForm::setVisible(bool visible)
{
    if (visible && !sizeApplied_) {
        sizeApplied_ = true;
        fitToLayout(this);
        rememberFormSize(this, sizeSection_);
    }
    QDialog::setVisible(visible);
}

void EditForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!shown_) {
        shown_ = true;
        guarded(this, [this] { FormShow(); });
    }
}

void EditForm::saveClicked()
{
    bool written = false;
    guarded(this, [this, &written] { written = save(); });
    if (written)
        accept();
}

}  // namespace ui
