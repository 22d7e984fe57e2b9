// Help > How to Play: hands the help page to the desktop.
#include "app/frmmain.h"

void FrmMain::mnuHTP_Click() {
    const QString folder = toolkit_.programFolder();
    const QString page = joinPath(folder, QStringLiteral("qvl.html"));
    // The same message whether the desktop refuses at once or a little later.
    const auto refused = [this, page] {
        toolkit_.messageBox(this,
                            QStringLiteral("Unable to open ") + page + QStringLiteral(" automatically.") +
                                QStringLiteral("\r\n") + QStringLiteral("Please open the file manually."),
                            QStringLiteral("Quorvale - Help"), MsgIcon::Information, MsgButtons::Ok);
    };
    if (toolkit_.shellOpen(this, page, refused) > 32) return;
    refused();
}
