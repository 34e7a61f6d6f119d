#pragma once
// Window-size memory of list and edit forms: the size is read from the form's section of
// zelmora.ini when the form is shown and written back when it closes, by any way.

#include <QObject>
#include <QString>

class QWidget;

namespace ui {

// Applies the remembered size (only when the remembered width is not 0) and arranges for the
// size to be written back when the widget closes or is destroyed. The write section may be
// spelled differently from the read section (letter case does not matter in the file).
void rememberFormSize(QWidget *form, const QString &section, const QString &writeSection = {});

}  // namespace ui
