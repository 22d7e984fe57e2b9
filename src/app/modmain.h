// The start-up module: the saved-games folder and the entry procedure.
#pragma once

#include <QString>
#include <memory>

class FrmMain;
class Toolkit;

namespace modMain {

// Creates the saved-games folder. Beside the executable it is made unless
// anything of that name (a folder or a plain file) is already there; the
// player's own data folder is made with its missing parents, owner-only.
void ensureSavedFolder(Toolkit& toolkit);

// The path of the saved-games folder, as the toolkit chose it.
QString savedFolder(Toolkit& toolkit);

// The entry procedure: saved folder, then loads the main window, whose game
// comes with every piece's size (its load step shows it). When start-up
// fails the toolkit's endRequested() is true afterwards.
std::unique_ptr<FrmMain> main(Toolkit& toolkit);

}  // namespace modMain
