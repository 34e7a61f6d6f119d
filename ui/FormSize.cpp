#include "ui/FormSize.h"

#include "app/Settings.h"

#include <QEvent>
#include <QWidget>

namespace ui {

namespace {

class SizeKeeper : public QObject {
public:
    SizeKeeper(QWidget *form, QString section) : QObject(form), form_(form), section_(std::move(section)) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == form_ && (event->type() == QEvent::Close || event->type() == QEvent::Hide)) {
            if (!written_) {
                written_ = true;
                app::WriteFormSize(section_, form_->width(), form_->height());
            }
        } else if (watched == form_ && event->type() == QEvent::Show) {
            written_ = false;
        }
        return false;
    }

private:
    QWidget *form_;
    QString section_;
    bool written_ = false;
};

}  // namespace

void rememberFormSize(QWidget *form, const QString &section, const QString &writeSection)
{
    const QSize size = app::ReadFormSize(section);
    if (size.width() != 0)
        form->resize(size);
    auto *keeper = new SizeKeeper(form, writeSection.isEmpty() ? section : writeSection);
    form->installEventFilter(keeper);
}

}  // namespace ui
