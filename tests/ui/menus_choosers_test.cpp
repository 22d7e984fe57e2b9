// The menus' separator lines and how the two choosers open: no line chosen,
// none current, and the keyboard picks the first line.
#include <QAction>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include "gamefixture.h"
#include "levels/frmlevel.h"
#include "saves/frmfile.h"

namespace {

// What a chooser's list shows right after it has opened.
void expectNothingChosen(QListWidget* list) {
    EXPECT_EQ(list->currentRow(), -1);
    EXPECT_FALSE(list->currentIndex().isValid());
    EXPECT_TRUE(list->selectedItems().isEmpty());
}

}  // namespace

class MenusTest : public GameTest {};

TEST_F(MenusTest, SeparatorsArePlainLines) {
    start();
    const QList<QAction*> file = frm->mnuFile->actions();
    ASSERT_EQ(file.size(), 5);
    EXPECT_TRUE(file[3]->isSeparator());
    EXPECT_EQ(file[3]->text(), "");
    EXPECT_EQ(file[4]->text(), "E&xit");
    const QList<QAction*> help = frm->mnuHelp->actions();
    ASSERT_EQ(help.size(), 3);
    EXPECT_TRUE(help[1]->isSeparator());
    EXPECT_EQ(help[1]->text(), "");
}

class ChooserOpeningTest : public GameTest {};

TEST_F(ChooserOpeningTest, LevelChooserOpensWithNothingChosenAndDownPicksLevelOne) {
    start();
    tk.modalScripts.push_back([](QDialog& dialog) {
        auto& chooser = dynamic_cast<FrmLevel&>(dialog);
        ASSERT_EQ(chooser.lisLevel->count(), 70);
        chooser.lisLevel->setFocus();
        QCoreApplication::processEvents();
        expectNothingChosen(chooser.lisLevel);
        // Set Level with nothing chosen does nothing.
        QTest::mouseClick(chooser.cmdSetLevel, Qt::LeftButton);
        EXPECT_TRUE(chooser.isVisible());
        QTest::keyClick(chooser.lisLevel, Qt::Key_Down);
        EXPECT_EQ(chooser.lisLevel->currentRow(), 0);
        ASSERT_EQ(chooser.lisLevel->selectedItems().size(), 1);
        EXPECT_TRUE(chooser.lisLevel->selectedItems().front()->text().startsWith("Level 1 - "));
        QTest::mouseClick(chooser.cmdSetLevel, Qt::LeftButton);
    });
    frm->mnuNewGame->trigger();
    EXPECT_EQ(frm->newLevel, 0);
    EXPECT_EQ(frm->levelIndex, 0);
    EXPECT_TRUE(frm->imgPieces[0]->isVisible());
}

TEST_F(ChooserOpeningTest, SpaceAlsoPicksTheFirstLine) {
    start();
    tk.modalScripts.push_back([](QDialog& dialog) {
        auto& chooser = dynamic_cast<FrmLevel&>(dialog);
        chooser.lisLevel->setFocus();
        QCoreApplication::processEvents();
        expectNothingChosen(chooser.lisLevel);
        QTest::keyClick(chooser.lisLevel, Qt::Key_Space);
        EXPECT_EQ(chooser.lisLevel->currentRow(), 0);
        EXPECT_EQ(chooser.lisLevel->selectedItems().size(), 1);
        // Once a line is current, Space and Down behave as ever.
        QTest::keyClick(chooser.lisLevel, Qt::Key_Down);
        EXPECT_EQ(chooser.lisLevel->currentRow(), 1);
        QTest::mouseClick(chooser.cmdSetLevel, Qt::LeftButton);
    });
    frm->mnuNewGame->trigger();
    EXPECT_EQ(frm->levelIndex, 1);
}

TEST_F(ChooserOpeningTest, SavedGameChooserOpensWithNothingChosen) {
    start();
    startLevel(0);
    dragPiece(9, QPoint(30, 30), {cellCentre(2, 4)});
    tk.inputAnswers = {"One"};
    frm->mnuSaveGame->trigger();
    ASSERT_FALSE(frm->gameModified);

    tk.modalScripts.push_back([](QDialog& dialog) {
        auto& chooser = dynamic_cast<FrmFile&>(dialog);
        ASSERT_EQ(chooser.filList->count(), 1);
        chooser.filList->setFocus();
        QCoreApplication::processEvents();
        expectNothingChosen(chooser.filList);
        QTest::keyClick(chooser.filList, Qt::Key_Down);
        EXPECT_EQ(chooser.filList->currentRow(), 0);
        EXPECT_EQ(chooser.filList->selectedItems().size(), 1);
        QTest::mouseClick(chooser.cmdCancel, Qt::LeftButton);
    });
    frm->mnuLoadGame->trigger();
    EXPECT_EQ(frm->absFilename, "");
}
