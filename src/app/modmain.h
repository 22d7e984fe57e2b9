// The start-up module: the saved-games folder and the entry procedure.
#pragma once

#include <QString>
#include <memory>

class FrmMain;
class Toolkit;

namespace modMain {

// The saved-games folder for this run: "saved" beside the executable, or the
// player's own data folder (see saves/savedfolder.h). "" when neither can be
// named; saving then reports its error.
QString chooseSavedFolder(const Toolkit& toolkit);

// Makes sure the saved-games folder `path` exists (see saves::ensureSavedFolder).
// A folder that cannot be made is not fatal: the game still starts, and
// saving reports its own error later, naming the path.
void ensureSavedFolder(const QString& path, const Toolkit& toolkit);

// The entry procedure: the saved folder, then loads the main window, whose
// game comes with every piece's size (its load step shows it). When start-up
// fails the toolkit's endRequested() is true afterwards. The second form
// takes a saved-games folder chosen by the caller.
std::unique_ptr<FrmMain> main(Toolkit& toolkit);
std::unique_ptr<FrmMain> main(Toolkit& toolkit, const QString& savedFolder);

}  // namespace modMain
