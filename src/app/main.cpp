// The program's entry point: the application object, the desktop toolkit and
// the start-up module's entry procedure.
#include <QApplication>

#include "app/frmmain.h"
#include "app/modmain.h"
#include "app/qttoolkit.h"
#include "config.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvale"));
    QApplication::setApplicationVersion(QStringLiteral(QUORVALE_VERSION));

    QtToolkit toolkit;
    std::unique_ptr<FrmMain> frmMain = modMain::main(toolkit);
    // A start-up failure has already reported itself and asked to end.
    return toolkit.endRequested() ? toolkit.exitCode() : app.exec();
}
