// The main window: its state, controls and menus, and every procedure that
// works on them. The procedures are defined in the folder of their subsystem:
//   app/frmmain.cpp        building the window, Form_Load, the closing rule
//   ui/playfield.cpp       layout, visibility, placing pieces, solved test, status line
//   ui/dragging.cpp        the mouse handlers of the piece images
//   ui/skin.cpp            loadSkin
//   ui/help.cpp            mnuHTP_Click
//   ui/frmabout.cpp        mnuAbout_Click and the About box
//   levels/loadlevels.cpp  loadLevels
//   levels/newgame.cpp     mnuNewGame_Click, newGame and the level chooser
//   saves/savecommand.cpp  mnuSaveGame_Click, saveGame, isLegalGameName, savedGameExists
//   saves/loadcommand.cpp  mnuLoadGame_Click and the saved-game chooser
#pragma once

#include <QMainWindow>
#include <QString>
#include <array>
#include <cstdint>

#include "app/toolkit.h"
#include "core/board.h"
#include "core/drag.h"
#include "levels/levelfile.h"
#include "ui/imagecontrol.h"
#include "ui/picclip.h"

class QAction;
class QLabel;
class QMenu;

class FrmMain : public QMainWindow {
    Q_OBJECT
public:
    // `board` and `pieces` are the start-up module's, shared for the whole run.
    FrmMain(Toolkit& toolkit, quorvale::Board& board, quorvale::Pieces& pieces);
    ~FrmMain() override;

    Toolkit& toolkit() const { return toolkit_; }
    quorvale::Board& board() const { return board_; }
    quorvale::Pieces& pieces() const { return pieces_; }

    // ---- State ----
    std::int16_t levelIndex = 0;
    QString absFilename;
    std::int16_t newLevel = 0;
    std::int32_t steps = 0;
    bool gameModified = false;
    quorvale::LevelTable levels{};
    quorvale::DragState drag;

    // ---- Controls ----
    std::array<ImageControl*, quorvale::kPieceCount> imgPieces{};
    ImageControl* imgUpFrame = nullptr;
    ImageControl* imgLeftFrame = nullptr;
    ImageControl* imgRightFrame = nullptr;
    ImageControl* imgExit = nullptr;
    ImageControl* imgTitle = nullptr;
    ImageControl* imgCong = nullptr;
    QLabel* lblStatus = nullptr;
    PicClip piclipSkin;

    QMenu* mnuFile = nullptr;
    QAction* mnuNewGame = nullptr;
    QAction* mnuLoadGame = nullptr;
    QAction* mnuSaveGame = nullptr;
    QAction* mnuSep1 = nullptr;
    QAction* mnuExit = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mnuHTP = nullptr;
    QAction* mnuSep3 = nullptr;
    QAction* mnuAbout = nullptr;

    // ---- Window geometry in twips ----
    double Left() const;    // outer frame
    double Top() const;
    double Width() const;
    double Height() const;
    double ScaleWidth() const;   // client area below the menu bar
    double ScaleHeight() const;
    void moveTwips(double left, double top);

    // Window-wide mouse pointer: 0 arrow, 12 no-drop, 15 four-way.
    int MousePointer() const { return mousePointer_; }
    void setMousePointer(int value);

    // ---- Start-up and closing (app/) ----
    // Runs the load step; false when start-up failed and the program was ended.
    bool Form_Load();
    // The closing rule; returns cancel (true keeps the window open).
    bool Form_QueryUnload(int unloadMode);
    void mnuExit_Click();
    // The session is logging out: runs the closing rule when the session
    // lets the program ask, and closes the window unless the player
    // cancelled. Returns true when the logout should be cancelled.
    bool sessionLogout(bool interactionAllowed);
    // What the logout glue asks of the session manager: Qt's QSessionManager
    // in the program, a stand-in in tests (Qt makes none outside a session).
    struct LogoutRequest {
        virtual ~LogoutRequest() = default;
        virtual bool allowsInteraction() = 0;
        virtual void cancel() = 0;
    };
    // The session's request to commit data before a logout: runs
    // sessionLogout, with leave to ask only while a game is unsaved and the
    // session allows it, and cancels the logout when the player cancelled.
    void commitData(LogoutRequest& request);
    // True once the window has closed for good.
    bool isUnloaded() const { return unloaded_; }

    // ---- Board and playfield (ui/playfield.cpp) ----
    void clearBoard();
    void decodePositions(const quorvale::Positions& positions);
    void placePieces();
    void placeFrame();
    void hidePlayfield();
    void showPlayfield();
    bool isSolved();
    void showCongratulations();
    void updateStatus();

    // ---- Dragging (ui/dragging.cpp) ----
    void imgPieces_MouseDown(std::int16_t index, std::int16_t button, std::int16_t shift, float x, float y);
    void imgPieces_MouseMove(std::int16_t index, std::int16_t button, std::int16_t shift, float x, float y);
    void imgPieces_MouseUp(std::int16_t index, std::int16_t button, std::int16_t shift, float x, float y);
    // A drag that lost the mouse before its release ends without a move.
    void cancelDrag();

    // ---- Skin, help, About (ui/) ----
    bool loadSkin(const QString& fileName);  // false: reported and the program was ended
    void mnuHTP_Click();
    void mnuAbout_Click();

    // ---- Levels (levels/) ----
    bool loadLevels();  // false: reported and the program was ended
    void mnuNewGame_Click();
    void newGame();

    // ---- Saved games (saves/) ----
    void mnuSaveGame_Click();
    void saveGame();
    // The question before closing, New Game and Load Game while the game has
    // unsaved changes; Yes runs the Save command, whatever it then does.
    // False only when the player answered Cancel.
    bool offerToSave(const QString& title);
    bool isLegalGameName(const QString& name);
    bool savedGameExists(const QString& name);
    void mnuLoadGame_Click();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    // Unloads the window after a start-up failure (nothing to ask) and ends the program.
    void unloadAndEnd();

    Toolkit& toolkit_;
    quorvale::Board& board_;
    quorvale::Pieces& pieces_;
    int mousePointer_ = 0;
    bool unloaded_ = false;
    // The context of every connection that calls back into this window. As
    // the last member it is destroyed first and takes those connections with
    // it: the base class destructor still hides the images and moves the
    // focus, and by then this part of the window is gone.
    QObject callbacks_;
};
