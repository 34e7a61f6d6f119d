#include "ui/PictureBox.h"

#include "ui/Guard.h"
#include "ui/Pict.h"
#include "ui/Prompts.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

namespace ui {

QRect fitRect(const QSize &box, const QSize &bitmap)
{
    const int W = box.width(), H = box.height(), w = bitmap.width(), h = bitmap.height();
    if (w <= W && h <= H)
        return QRect(0, 0, w, h);
    const double r = double(w) / double(h);
    // std::nearbyint rounds in the default mode: to the nearest, halves to even.
    if (double(W) / double(H) > r)
        return QRect(0, 0, int(std::nearbyint(r * H)), H);
    return QRect(0, 0, W, int(std::nearbyint(W / r)));
}

QImage readPicture(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return {};
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    return reader.read();
}

QString pictureFilter(const QString &first)
{
    QStringList patterns{QStringLiteral("*.") + first};
    for (const QByteArray &format : QImageReader::supportedImageFormats()) {
        const QString p = QStringLiteral("*.") + QString::fromLatin1(format).toLower();
        if (!patterns.contains(p))
            patterns << p;
    }
    return QStringLiteral("Рисунки (%1);;Все файлы (*)").arg(patterns.join(u' '));
}

// --- PictureBox ----------------------------------------------------------------------------

PictureBox::PictureBox(const QSize &size, QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Image1"));
    setFixedSize(size);
    clearPicture();
}

void PictureBox::clearPicture()
{
    canvas_ = QPixmap(size());
    canvas_.fill(palette().color(QPalette::Window));
    drawn_ = QRect();
    hasBitmap_ = false;
    update();
}

void PictureBox::ShowBitMap(const QImage &bitmap)
{
    clearPicture();
    if (bitmap.isNull() || bitmap.height() == 0)
        return;
    drawn_ = fitRect(size(), bitmap.size());
    QPainter p(&canvas_);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    if (drawn_.size() == bitmap.size())
        p.drawImage(drawn_.topLeft(), bitmap);
    else
        p.drawImage(drawn_, bitmap);
    p.end();
    hasBitmap_ = true;
    update();
}

void PictureBox::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.drawPixmap(0, 0, canvas_);
    // A faint outline shows where the box is when it holds no picture.
    p.setPen(QPen(palette().color(QPalette::Mid), 1, Qt::DotLine));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void PictureBox::mouseDoubleClickEvent(QMouseEvent *) { emit doubleClicked(); }

// --- PictureField --------------------------------------------------------------------------

PictureField::PictureField(const QSize &boxSize, const QString &dialogTitle,
                           const QString &defaultExt, bool viewer, QWidget *parent,
                           const QString &loadCaption)
    : QWidget(parent), dialogTitle_(dialogTitle), defaultExt_(defaultExt)
{
    auto *v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    box_ = new PictureBox(boxSize, this);
    v->addWidget(box_);
    load_ = new QPushButton(loadCaption, this);
    load_->setObjectName(QStringLiteral("BitBtnLoad"));
    load_->setAutoDefault(false);
    clear_ = new QPushButton(QStringLiteral("Очистить"), this);
    clear_->setObjectName(QStringLiteral("BitBtnClear"));
    clear_->setAutoDefault(false);
    load_->setFixedWidth(boxSize.width());
    clear_->setFixedWidth(boxSize.width());
    v->addWidget(load_);
    v->addWidget(clear_);
    v->addStretch(1);
    connectGuarded(load_, &QPushButton::clicked, this, [this] { Load(); });
    connectGuarded(clear_, &QPushButton::clicked, this, [this] { Clear(); });
    if (viewer) {
        box_->setToolTip(QStringLiteral("Двойной щелчок: рисунок в натуральную величину"));
        connectGuarded(box_, &PictureBox::doubleClicked, this, [this] { View(); });
    }
}

void PictureField::showStored(const QByteArray &bytes)
{
    stored_ = bytes;
    chosenFile_.clear();
    chosenBytes_.clear();
    const QImage image = readPicture(bytes);
    if (bytes.isEmpty()) {
        noPicture_ = true;
        box_->clearPicture();
        return;
    }
    // Stored bytes that no reader understands are kept as they are: the box stays empty,
    // and a save writes them back unchanged unless the user clears or replaces them.
    noPicture_ = false;
    if (image.isNull())
        box_->clearPicture();
    else
        box_->ShowBitMap(image);
}

QByteArray PictureField::pictureForSave() const
{
    if (!chosenFile_.isEmpty())
        return chosenBytes_;
    if (noPicture_)
        return QByteArray("");
    return stored_.isNull() ? QByteArray("") : stored_;
}

void PictureField::Load()
{
    const QString file =
        Prompts::instance().openFile(this, dialogTitle_, pictureFilter(defaultExt_));
    if (file.isEmpty())
        return;
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) {
        Prompts::instance().error(this, QStringLiteral("Не удалось прочитать файл \"%1\": %2")
                                            .arg(QFileInfo(file).fileName(), f.errorString()));
        return;
    }
    const QByteArray bytes = f.readAll();
    const QImage image = readPicture(bytes);
    if (image.isNull()) {
        Prompts::instance().error(
            this, QStringLiteral("Файл \"%1\" не является рисунком (или повреждён). Выберите файл "
                                 "BMP, PNG, JPEG или GIF. Рисунок не изменён.")
                      .arg(QFileInfo(file).fileName()));
        return;
    }
    chosenFile_ = file;
    chosenBytes_ = bytes;
    box_->ShowBitMap(image);
    noPicture_ = false;
}

void PictureField::Clear()
{
    box_->clearPicture();
    chosenFile_.clear();
    chosenBytes_.clear();
    noPicture_ = true;
}

void PictureField::View()
{
    if (!box_->hasBitmap() || noPicture_) {
        Prompts::instance().info(this, QStringLiteral("Рисунок отсутствует"));
        return;
    }
    const QImage bitmap = readPicture(chosenFile_.isEmpty() ? stored_ : chosenBytes_);
    ShowPicture(bitmap, this);
}

}  // namespace ui
