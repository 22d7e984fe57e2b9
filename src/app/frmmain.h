// The main window: its controls and menus, the game it holds and draws, its
// event handlers and the closing rule. The window's procedures live in
// app/frmmain.cpp (building, the load step, the menus, closing) and
// app/playfield.cpp (drawing the game, the skin, the mouse on the pieces).
#pragma once

#include <QMainWindow>
#include <QString>
#include <array>
#include <cstdint>

#include "toolkit/toolkit.h"
#include "core/game.h"
#include "ui/gamecommands.h"
#include "ui/imagecontrol.h"
#include "ui/picclip.h"

class QAction;
class QLabel;
class QMenu;

class FrmMain : public QMainWindow {
    Q_OBJECT
public:
    // Saved games go to and come from `savedFolder`.
    FrmMain(Toolkit& toolkit, const QString& savedFolder);
    ~FrmMain() override;

    Toolkit& toolkit() const { return toolkit_; }
    // The game in play: level table, board, pieces, level, steps, the
    // unsaved-changes mark and the drag under way.
    quorvale::Game& game() { return game_; }
    const quorvale::Game& game() const { return game_; }

    // ---- Hand-over variables, written by the choosers ----
    QString absFilename;        // the saved game picked in the load chooser, "" for Cancel
    std::int16_t newLevel = 0;  // the level picked in the level chooser, -1 for Cancel

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

    // Window-wide mouse pointer: 0 arrow, 12 no-drop, 15 four-way.
    int MousePointer() const { return mousePointer_; }
    void setMousePointer(int value);

    // ---- Start-up and closing ----
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

    // ---- Drawing the game ----
    // Puts every piece image on its piece's cells, and the frame around the board.
    void placePieces();
    void placeFrame();
    void hidePlayfield();
    void showPlayfield();
    void showCongratulations();
    void updateStatus();
    // A game has just been started or loaded: the banner goes, Save Game is
    // enabled, the pieces stand on their cells and the status line follows.
    void showGame();

    // ---- The mouse on the piece images ----
    void imgPieces_MouseDown(std::int16_t index, std::int16_t button, std::int16_t shift, float x, float y);
    void imgPieces_MouseMove(std::int16_t index, std::int16_t button, std::int16_t shift, float x, float y);
    void imgPieces_MouseUp(std::int16_t index, std::int16_t button, std::int16_t shift, float x, float y);
    // A drag that lost the mouse before its release ends without a move.
    void cancelDrag();

    // ---- The files of the load step: each false when it failed, was reported
    // and the program was ended ----
    bool loadLevels();
    bool loadSkin(const QString& fileName);

    // ---- Menu commands ----
    void mnuNewGame_Click();
    void mnuLoadGame_Click();
    void mnuSaveGame_Click();
    void mnuHTP_Click();
    void mnuAbout_Click();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    quorvale::TwipsPerPixel twipsPerPixel() const;
    // The image of the piece being dragged, or none.
    ImageControl* draggedImage() const;
    void buildControls();
    void buildMenus();
    // Unloads the window after a start-up failure (nothing to ask) and ends the program.
    void unloadAndEnd();

    Toolkit& toolkit_;
    quorvale::Game game_;
    GameCommands commands_;
    int mousePointer_ = 0;
    bool unloaded_ = false;
    // The context of every connection that calls back into this window. As
    // the last member it is destroyed first and takes those connections with
    // it: the base class destructor still hides the images and moves the
    // focus, and by then this part of the window is gone.
    QObject callbacks_;
};
