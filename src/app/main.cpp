// The program's entry point: the application object, the desktop toolkit and
// the start-up module's entry procedure.
#include <QApplication>

#include "app/frmmain.h"
#include "app/modmain.h"
#include "toolkit/qttoolkit.h"
#include "toolkit/session.h"
#include "config.h"

int main(int argc, char** argv) {
    session::choosePlatform();
    QApplication app(argc, argv);
    session::restoreEnvironment();
    QApplication::setApplicationName(QStringLiteral("Quorvale"));
    // The menu entry's name: the window's Wayland app id, and on X11 the hint
    // docks use to tie the window to the entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(QUORVALE_APP_ID));
    QApplication::setApplicationVersion(QStringLiteral(QUORVALE_VERSION));

    QtToolkit toolkit;
    std::unique_ptr<FrmMain> frmMain = modMain::main(toolkit);
    // A start-up failure has already reported itself and asked to end.
    return toolkit.endRequested() ? toolkit.exitCode() : app.exec();
}
