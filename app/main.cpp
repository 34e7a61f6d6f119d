// The workbench: start-up in its fixed order, then the event loop until the main window closes.

#include "app/MainMenu.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zelmora"));
    QApplication::setApplicationDisplayName(QStringLiteral("Zelmora"));

    // Qt's own dialogs and buttons speak Russian.
    QTranslator qtbase;
    if (qtbase.load(QLocale(QLocale::Russian), QStringLiteral("qtbase"), QStringLiteral("_"),
                    QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtbase);

    TForm1 window;
    // Without the database layer nothing can work; the message has been shown.
    if (window.engineMissing())
        return 1;
    // Without a window manager (a bare X server) "maximised" means nothing; the screen's size
    // gives the same picture there.
    if (QScreen *screen = QGuiApplication::primaryScreen())
        window.setGeometry(screen->availableGeometry());
    window.showMaximized();
    return QApplication::exec();
}
