// Help > How to Play: hands the help page to the desktop.
#include "app/frmmain.h"

void FrmMain::mnuHTP_Click() {
    const QString folder = toolkit_.programFolder();
    const QString page = joinPath(folder, QStringLiteral("qvl.html"));
    if (toolkit_.shellOpen(this, page) > 32) return;
    toolkit_.messageBox(this,
                        QStringLiteral("Unable to open ") + page + QStringLiteral(" automatically.") +
                            QStringLiteral("\r\n") + QStringLiteral("Please open the file manually."),
                        QStringLiteral("Quorvale - Help"), MsgIcon::Information, MsgButtons::Ok);
}
