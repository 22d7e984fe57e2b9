#include "app/modmain.h"

#include <QFile>

#include "app/frmmain.h"
#include "saves/savedfolder.h"
#include "toolkit/toolkit.h"

namespace modMain {

namespace {

std::string native(const QString& path) { return QFile::encodeName(path).toStdString(); }

}  // namespace

QString chooseSavedFolder(const Toolkit& toolkit) {
    return QFile::decodeName(
        saves::chooseSavedFolder(saves::currentSavedFolderInputs(native(toolkit.programFolder()))).c_str());
}

void ensureSavedFolder(const QString& path, const Toolkit& toolkit) {
    saves::ensureSavedFolder(native(path), native(toolkit.programFolder()));
}

std::unique_ptr<FrmMain> main(Toolkit& toolkit) { return main(toolkit, chooseSavedFolder(toolkit)); }

std::unique_ptr<FrmMain> main(Toolkit& toolkit, const QString& savedFolder) {
    ensureSavedFolder(savedFolder, toolkit);
    auto frmMain = std::make_unique<FrmMain>(toolkit, savedFolder);
    frmMain->Form_Load();
    return frmMain;
}

}  // namespace modMain
