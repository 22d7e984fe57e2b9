// The start-up module: the board and the piece table that live for the whole
// run, the saved-games folder and the entry procedure.
#pragma once

#include <QString>
#include <memory>

#include "core/board.h"

class FrmMain;
class Toolkit;

namespace modMain {

extern quorvale::Board board;
extern quorvale::Pieces pieces;

// Creates the saved-games folder. Beside the executable it is made unless
// anything of that name (a folder or a plain file) is already there; the
// player's own data folder is made with its missing parents, owner-only.
void ensureSavedFolder(Toolkit& toolkit);

// The path of the saved-games folder, as the toolkit chose it.
QString savedFolder(Toolkit& toolkit);

// The entry procedure: saved folder, piece sizes, then loads the main window
// (its load step shows it). When start-up fails the toolkit's endRequested()
// is true afterwards.
std::unique_ptr<FrmMain> main(Toolkit& toolkit);

}  // namespace modMain
