#include "app/modmain.h"

#include <QDir>
#include <QFileInfo>

#include "app/frmmain.h"
#include "files/fileaccess.h"
#include "toolkit/toolkit.h"
#include "saves/savedfolder.h"

namespace modMain {

QString savedFolder(Toolkit& toolkit) { return toolkit.savedFolder(); }

void ensureSavedFolder(Toolkit& toolkit) {
    const QString path = savedFolder(toolkit);
    // A folder that cannot be made is not fatal: the game still starts, and
    // saving reports its own error later, naming the path.
    if (path != files::joinPath(toolkit.programFolder(), QStringLiteral("saved"))) {
        // The player's own data folder: it and any missing parent inside an
        // existing home are made for the player alone.
        saves::makeUserSavedFolder(path);
        return;
    }
    // Beside the executable, anything of that name counts: a folder, a plain
    // file, even a dangling link.
    const QFileInfo entry(path);
    if (entry.exists() || entry.isSymLink()) return;
    QDir().mkdir(path);
}

std::unique_ptr<FrmMain> main(Toolkit& toolkit) {
    ensureSavedFolder(toolkit);
    auto frmMain = std::make_unique<FrmMain>(toolkit);
    frmMain->Form_Load();
    return frmMain;
}

}  // namespace modMain
