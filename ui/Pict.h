#pragma once
// The picture viewer: a picture at its natural size in a scrolling area, which can be saved
// as a BMP file.

#include <QDialog>
#include <QImage>

class QLabel;
class QPushButton;
class QScrollArea;

class TfPict : public QDialog {
    Q_OBJECT
public:
    explicit TfPict(const QImage &bitmap, QWidget *parent = nullptr);

    QLabel *picture() const { return picture_; }
    QPushButton *saveButton() const { return save_; }
    QPushButton *okButton() const { return ok_; }

    // "Сохранить": asks for a file name and writes the picture there as BMP.
    void BitBtnSaveClick();

private:
    QImage bitmap_;
    QScrollArea *area_;
    QLabel *picture_;
    QPushButton *save_;
    QPushButton *ok_;
};

namespace ui {
// Opens the viewer modally with the bitmap; the viewer keeps its own copy until it closes.
void ShowPicture(const QImage &bitmap, QWidget *parent = nullptr);
}  // namespace ui
