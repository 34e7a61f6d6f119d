#include "app/Info.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
// The picture of the about box: a small drawn network of two entities and a rule.
QPixmap networkPicture()
{
    QPixmap pm(96, 96);
    pm.fill(Qt::white);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::darkGray, 1.5));
    p.drawLine(48, 18, 48, 48);
    p.drawLine(48, 48, 22, 80);
    p.drawLine(48, 48, 74, 80);
    p.setPen(Qt::black);
    p.setBrush(QColor(0x2e6da4));
    p.drawEllipse(QPointF(48, 16), 9, 9);
    p.setBrush(QColor(0xf4d03f));
    p.drawRect(40, 42, 16, 12);
    p.setBrush(QColor(0x58d68d));
    p.drawEllipse(QPointF(22, 80), 9, 9);
    p.drawEllipse(QPointF(74, 80), 9, 9);
    return pm;
}
}  // namespace

TfInfo::TfInfo(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("fInfo"));
    setWindowTitle(QStringLiteral("О программе"));
    auto *v = new QVBoxLayout(this);
    auto *h = new QHBoxLayout;
    auto *picture = new QLabel(this);
    picture->setPixmap(networkPicture());
    h->addWidget(picture);
    auto *texts = new QVBoxLayout;
    auto *name = new QLabel(QStringLiteral("Zelmora"), this);
    QFont big = name->font();
    big.setPointSize(24);
    big.setBold(true);
    name->setFont(big);
    texts->addWidget(name);
    texts->addWidget(new QLabel(QStringLiteral("Версия 1.0"), this));
    texts->addStretch(1);
    h->addLayout(texts, 1);
    v->addLayout(h);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    v->addWidget(buttons);
}
