#include "app/modmain.h"

#include <QDir>
#include <QFileInfo>

#include "app/frmmain.h"
#include "app/toolkit.h"

namespace modMain {

quorvale::Board board;
quorvale::Pieces pieces;

QString savedFolder(Toolkit& toolkit) { return joinPath(toolkit.programFolder(), QStringLiteral("saved")); }

void ensureSavedFolder(Toolkit& toolkit) {
    const QString path = savedFolder(toolkit);
    // Anything of that name counts: a folder, a plain file, even a dangling link.
    const QFileInfo entry(path);
    if (entry.exists() || entry.isSymLink()) return;
    // A folder that cannot be made (a read-only program folder) is not fatal:
    // the game still starts, and saving reports its own error later.
    QDir().mkdir(path);
}

std::unique_ptr<FrmMain> main(Toolkit& toolkit) {
    ensureSavedFolder(toolkit);
    quorvale::setPieceSizes(pieces);
    auto frmMain = std::make_unique<FrmMain>(toolkit, board, pieces);
    frmMain->Form_Load();
    return frmMain;
}

}  // namespace modMain
