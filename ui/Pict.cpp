#include "ui/Pict.h"

#include "ui/Guard.h"
#include "ui/Modal.h"
#include "ui/Prompts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>

TfPict::TfPict(const QImage &bitmap, QWidget *parent) : QDialog(parent), bitmap_(bitmap)
{
    setObjectName(QStringLiteral("fPict"));
    setWindowTitle(QStringLiteral("Рисунок "));
    setWindowFlags(Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::WindowTitleHint);
    setSizeGripEnabled(true);
    setMinimumSize(200, 200);
    resize(552, 386);

    auto *v = new QVBoxLayout(this);
    area_ = new QScrollArea(this);
    picture_ = new QLabel;
    picture_->setPixmap(QPixmap::fromImage(bitmap_));
    picture_->setFixedSize(bitmap_.size());
    area_->setWidget(picture_);
    area_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    v->addWidget(area_, 1);
    auto *row = new QHBoxLayout;
    save_ = new QPushButton(style()->standardIcon(QStyle::SP_DialogSaveButton),
                            QStringLiteral("Сохранить"), this);
    save_->setAutoDefault(false);
    ok_ = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("OK"), this);
    row->addWidget(save_);
    row->addStretch(1);
    row->addWidget(ok_);
    v->addLayout(row);
    ui::connectGuarded(save_, &QPushButton::clicked, this, [this] { BitBtnSaveClick(); });
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
}

void TfPict::BitBtnSaveClick()
{
    const QString file = ui::Prompts::instance().saveFile(
        this, QStringLiteral("Сохранить рисунок"), QStringLiteral("Рисунки BMP (*.bmp)"),
        QStringLiteral("bmp"));
    if (file.isEmpty())
        return;
    if (!bitmap_.save(file, "BMP"))
        ui::Prompts::instance().error(this, QStringLiteral("Не удалось записать рисунок в файл \"%1\"").arg(file));
}

namespace ui {

void ShowPicture(const QImage &bitmap, QWidget *parent)
{
    TfPict viewer(bitmap, parent);
    execModal(&viewer);
}

}  // namespace ui
