#pragma once
// Pictures of records. A picture column holds the bytes of the image file the user chose,
// stored unchanged; they are read back in any format the toolkit reads (BMP, PNG, JPEG, GIF
// ...). The picture box shows a bitmap fitted into its top-left corner (ShowBitMap); the
// picture field adds "Загрузить" and "Очистить" and knows what a save writes.

#include <QImage>
#include <QPixmap>
#include <QWidget>

class QPushButton;

namespace ui {

// The rectangle ShowBitMap draws a bitmap of the given size into: unscaled when it fits the
// box, otherwise scaled to the box's width or height with its proportions kept, always from
// the top-left corner (rounding to the nearest, halves to even).
QRect fitRect(const QSize &box, const QSize &bitmap);

// Reads image bytes in any supported format; a null image when they are no picture.
QImage readPicture(const QByteArray &bytes);
// The file-dialog filter of every picture format the program reads, `first` extension first.
QString pictureFilter(const QString &first);

class PictureBox : public QWidget {
    Q_OBJECT
public:
    PictureBox(const QSize &size, QWidget *parent = nullptr);

    // Fits the bitmap into the box (see fitRect) on the form's background colour.
    void ShowBitMap(const QImage &bitmap);
    // Fills the whole box with the form's background colour; the box then holds no bitmap.
    void clearPicture();
    // Whether the box holds a bitmap (what it shows has a height).
    bool hasBitmap() const { return hasBitmap_; }
    // What the box shows, at the box's size.
    const QPixmap &canvas() const { return canvas_; }
    QRect drawnRect() const { return drawn_; }

signals:
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    QPixmap canvas_;
    QRect drawn_;
    bool hasBitmap_ = false;
};

// The picture of an edit form: the box, "Загрузить" and "Очистить", the chosen file and the
// no-picture flag, and the bytes a save writes.
class PictureField : public QWidget {
    Q_OBJECT
public:
    // dialogTitle and defaultExt are those of the picture-file dialog; viewer: whether a
    // double-click on the box opens the picture viewer.
    PictureField(const QSize &boxSize, const QString &dialogTitle, const QString &defaultExt,
                 bool viewer, QWidget *parent = nullptr,
                 const QString &loadCaption = QStringLiteral("Загрузить"));

    // Edit mode: shows the stored picture of the loaded record.
    void showStored(const QByteArray &bytes);
    // What the save writes: the chosen file's bytes; empty after "Очистить" or for a record
    // that has none; otherwise the stored picture unchanged.
    QByteArray pictureForSave() const;

    // "Загрузить": asks for a file; a file that is not a picture is refused and changes nothing.
    void Load();
    // "Очистить".
    void Clear();
    // Double-click: the viewer, or "Рисунок отсутствует".
    void View();

    bool noPicture() const { return noPicture_; }
    QString chosenFile() const { return chosenFile_; }
    PictureBox *box() const { return box_; }
    QPushButton *loadButton() const { return load_; }
    QPushButton *clearButton() const { return clear_; }

private:
    PictureBox *box_;
    QPushButton *load_;
    QPushButton *clear_;
    QString dialogTitle_;
    QString defaultExt_;
    QString chosenFile_;
    QByteArray chosenBytes_;
    QByteArray stored_;
    bool noPicture_ = false;
};

}  // namespace ui
