// File > New Game and the level chooser.
#include <QKeyEvent>

#include "commandtest.h"

namespace {

class NewGameTest : public CommandTest {};

QString line(const QListWidget* list, int row) { return list->item(row)->text(); }

TEST_F(NewGameTest, StartsTheChosenLevelWithoutAskingWhenNothingChanged) {
    start();
    startLevel(1);
    EXPECT_TRUE(tk.messages.empty());
    ASSERT_EQ(tk.modalDialogs.size(), 1u);
    EXPECT_EQ(tk.modalDialogs[0], "Choose Level");
    EXPECT_EQ(frm->game().levelIndex(), 1);
    EXPECT_EQ(frm->game().steps(), 0);
    EXPECT_FALSE(frm->game().gameModified());
    EXPECT_TRUE(frm->mnuSaveGame->isEnabled());
    EXPECT_EQ(frm->lblStatus->text(), "Level: 2 - Classic       Steps: 0");
    // The classic layout: a tall piece in the top-left corner, the square beside it.
    EXPECT_EQ(frm->game().board().at(0, 0), 2);
    EXPECT_EQ(frm->game().board().at(1, 0), 0);
    EXPECT_EQ(frm->game().board().at(2, 1), 0);
    EXPECT_EQ(frm->game().board().at(1, 4), -1);
    for (ImageControl* piece : frm->imgPieces) EXPECT_TRUE(piece->Visible());
    tk.expectScriptUsed();
}

TEST_F(NewGameTest, ChooserListsEveryLevelUnselectedAndSitsCentredOverTheMainWindow) {
    quorvale::LevelTable levels = testLevels();
    levels[3].name = u"Ab" + std::u16string(8, u'\0');
    writeLevels(levels);
    start();
    tk.modalScripts.push_back([this](QDialog& dialog) {
        auto& chooser = dynamic_cast<FrmLevel&>(dialog);
        EXPECT_EQ(chooser.windowTitle(), "Choose Level");
        EXPECT_EQ(chooser.width() * tk.tppX, 4155);
        EXPECT_EQ(chooser.height() * tk.tppY, 3510);
        // Outer 4215 x 3570 twips over the main window: (5572, 3975) twips, rounded pixels.
        EXPECT_EQ(chooser.frameGeometry().topLeft(), QPoint(371, 265));

        ASSERT_EQ(chooser.lisLevel->count(), 70);
        EXPECT_EQ(line(chooser.lisLevel, 0), "Level 1 - Easy      ");
        EXPECT_EQ(line(chooser.lisLevel, 3), "Level 4 - Ab        ");  // NULs show as spaces
        EXPECT_EQ(line(chooser.lisLevel, 69), "Level 70 - Test 70   ");
        EXPECT_TRUE(chooser.lisLevel->selectedItems().isEmpty());

        EXPECT_EQ(chooser.cmdSetLevel->text(), "&Set Level");
        for (QPushButton* b : {chooser.cmdSetLevel, chooser.cmdCancel}) {
            EXPECT_FALSE(b->isDefault());
            EXPECT_FALSE(b->autoDefault());
        }
        // Neither Escape nor Enter answers the chooser.
        chooser.lisLevel->setCurrentRow(5);
        QTest::keyClick(chooser.lisLevel, Qt::Key_Escape);
        QTest::keyClick(chooser.lisLevel, Qt::Key_Return);
        EXPECT_TRUE(chooser.isVisible());
        QTest::mouseClick(chooser.cmdCancel, Qt::LeftButton);
        EXPECT_FALSE(chooser.isVisible());
    });
    frm->mnuNewGame->trigger();
    EXPECT_EQ(frm->newLevel, -1);
    EXPECT_FALSE(frm->mnuSaveGame->isEnabled());
    EXPECT_FALSE(frm->imgPieces[0]->Visible());
    tk.expectScriptUsed();
}

TEST_F(NewGameTest, SetLevelWithNothingSelectedKeepsTheChooserOpen) {
    start();
    tk.modalScripts.push_back([](QDialog& dialog) {
        auto& chooser = dynamic_cast<FrmLevel&>(dialog);
        QTest::mouseClick(chooser.cmdSetLevel, Qt::LeftButton);
        EXPECT_TRUE(chooser.isVisible());
        // A double click only selects.
        const QRect row = chooser.lisLevel->visualItemRect(chooser.lisLevel->item(1));
        QTest::mouseDClick(chooser.lisLevel->viewport(), Qt::LeftButton, Qt::NoModifier, row.center());
        EXPECT_TRUE(chooser.isVisible());
        EXPECT_EQ(chooser.lisLevel->currentRow(), 1);
        QTest::mouseClick(chooser.cmdSetLevel, Qt::LeftButton);
        EXPECT_FALSE(chooser.isVisible());
    });
    frm->mnuNewGame->trigger();
    EXPECT_EQ(frm->game().levelIndex(), 1);
    EXPECT_TRUE(frm->imgPieces[0]->Visible());
}

TEST_F(NewGameTest, CancelAtTheQuestionKeepsEverythingAndOpensNoChooser) {
    start();
    startLevel(0);
    makeMove();
    const GameSnapshot before = snapshot();
    tk.messageAnswers = {MsgResult::Cancel};
    frm->mnuNewGame->trigger();
    ASSERT_EQ(tk.messages.size(), 1u);
    EXPECT_EQ(tk.messages[0].title, "Quorvale - New Game");
    EXPECT_EQ(tk.messages[0].text, "Would you like to save the current game?");
    EXPECT_EQ(tk.messages[0].icon, MsgIcon::Question);
    EXPECT_EQ(tk.messages[0].buttons, MsgButtons::YesNoCancel);
    EXPECT_EQ(tk.modalDialogs.size(), 1u);  // only the first New Game's
    EXPECT_TRUE(snapshot() == before);
}

TEST_F(NewGameTest, CancelOrCloseInTheChooserKeepsTheOldGameStillChanged) {
    start();
    startLevel(0);
    makeMove();
    const GameSnapshot before = snapshot();

    tk.messageAnswers = {MsgResult::No};
    queueCancel();
    frm->mnuNewGame->trigger();
    EXPECT_TRUE(snapshot() == before);
    EXPECT_EQ(tk.messages.size(), 1u) << "a message after the chooser was cancelled";

    // Closing through the frame counts as Cancel even though newLevel held a
    // valid level before.
    frm->newLevel = 0;
    tk.messageAnswers = {MsgResult::No};
    tk.modalScripts.push_back([](QDialog&) {});
    frm->mnuNewGame->trigger();
    EXPECT_EQ(frm->newLevel, -1);
    EXPECT_TRUE(snapshot() == before);
    EXPECT_EQ(tk.messages.size(), 2u) << "a message after the chooser was closed";
    tk.expectScriptUsed();
}

TEST_F(NewGameTest, YesRunsTheSaveCommandAndGoesOnWhateverItDid) {
    start();
    startLevel(0);
    makeMove();

    // The player gives up saving; the new game starts all the same.
    tk.messageAnswers = {MsgResult::Yes, MsgResult::Yes};
    tk.inputAnswers = {""};
    startLevel(1);
    ASSERT_EQ(tk.messages.size(), 2u);
    EXPECT_EQ(tk.messages[1].text, "Are you sure you want to proceed without saving?");
    EXPECT_EQ(frm->game().levelIndex(), 1);
    EXPECT_EQ(frm->game().steps(), 0);
    EXPECT_TRUE(savedEntries().isEmpty());

    // The player saves; the chooser follows and its Cancel keeps the saved game.
    tk.messages.clear();
    startLevel(0);
    makeMove();
    tk.messageAnswers = {MsgResult::Yes};
    tk.inputAnswers = {"before new"};
    queueCancel();
    frm->mnuNewGame->trigger();
    EXPECT_EQ(readBytes(savedPath("before new.sav")).size(), 36);
    EXPECT_FALSE(frm->game().gameModified());
    EXPECT_EQ(frm->game().steps(), 1);
    tk.expectScriptUsed();
}

TEST_F(NewGameTest, ChoosingTheLevelInPlayRestartsIt) {
    start();
    startLevel(0);
    const quorvale::Board fresh = frm->game().board();
    makeMove();
    tk.messageAnswers = {MsgResult::No};
    startLevel(0);
    EXPECT_EQ(frm->game().steps(), 0);
    EXPECT_FALSE(frm->game().gameModified());
    EXPECT_EQ(frm->game().board().cells, fresh.cells);
    EXPECT_EQ(frm->lblStatus->text(), "Level: 1 - Easy          Steps: 0");
}

TEST_F(NewGameTest, NewGameAfterTheCongratulationHidesTheBannerAndEnablesSaving) {
    start();
    startLevel(0);
    solveEasy();
    tk.messages.clear();
    startLevel(1);
    EXPECT_TRUE(tk.messages.empty());  // a solved game has nothing to save
    EXPECT_FALSE(frm->imgCong->Visible());
    EXPECT_TRUE(frm->mnuSaveGame->isEnabled());
    EXPECT_EQ(frm->game().levelIndex(), 1);
}

// CR, LF, TAB and the other control characters of a level name show as
// spaces in the list and the status line; the saved game keeps the bytes.
TEST_F(NewGameTest, ControlCharactersInALevelNameShowAsSpaces) {
    quorvale::LevelTable levels = testLevels();
    levels[2].name = u"Ab\r\nCd\tE\x01\x1F";
    writeLevels(levels);
    start();
    tk.modalScripts.push_back([](QDialog& dialog) {
        auto& chooser = dynamic_cast<FrmLevel&>(dialog);
        EXPECT_EQ(line(chooser.lisLevel, 2), "Level 3 - Ab  Cd E  ");
        chooser.lisLevel->setCurrentRow(2);
        QTest::mouseClick(chooser.cmdSetLevel, Qt::LeftButton);
    });
    frm->mnuNewGame->trigger();
    EXPECT_EQ(frm->lblStatus->text(), "Level: 3 - Ab  Cd E      Steps: 0");

    saveAs("controls");
    EXPECT_EQ(readBytes(savedPath("controls.sav")).mid(6, 10), QByteArray("Ab\r\nCd\tE\x01\x1F"));
}

TEST_F(NewGameTest, LevelWithAnInvalidLayoutIsRefusedAndNothingChanges) {
    quorvale::LevelTable levels = testLevels();
    levels[4].positions[3] = 43;  // a tall piece reaching below the board
    levels[5].positions[9] = levels[5].positions[6];  // two single cells on one cell
    levels[6].positions[0] = -1;
    writeLevels(levels);
    start();
    startLevel(0);
    makeMove();
    const GameSnapshot before = snapshot();

    struct Case {
        int index;
        QString reason;
    };
    for (const Case& c :
         {Case{4, "A tall piece with its top cell in column 4, row 5 does not fit on the board."},
          Case{5, "Two small pieces overlap in column 2, row 4."},
          Case{6, "The square has the position value -1, which names no cell of the board."}}) {
        tk.messages.clear();
        tk.messageAnswers = {MsgResult::No};
        startLevel(c.index);
        ASSERT_EQ(tk.messages.size(), 2u);
        const MessageCall& m = tk.messages[1];
        EXPECT_EQ(m.title, "Quorvale - New Game");
        EXPECT_EQ(m.icon, MsgIcon::Error);
        EXPECT_EQ(m.buttons, MsgButtons::Ok);
        EXPECT_EQ(m.text, QStringLiteral("Level %1 cannot be started: its layout is invalid.\r\n").arg(c.index + 1) +
                              c.reason);
        EXPECT_TRUE(snapshot() == before) << "level " << c.index;
    }

    // Refused over a solved game too: the banner stays and saving stays off.
    tk.messageAnswers = {MsgResult::No};
    startLevel(0);
    solveEasy();
    const GameSnapshot solved = snapshot();
    startLevel(4);
    EXPECT_TRUE(snapshot() == solved);
    tk.expectScriptUsed();
}

}  // namespace
