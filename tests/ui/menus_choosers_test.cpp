// The menus' separator lines and how the two choosers open: no line chosen,
// none current, and the keyboard picks the first line.
#include <QAction>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include "gamefixture.h"
#include "ui/frmlevel.h"
#include "ui/frmfile.h"

class MenusTest : public GameTest {
protected:
    // Focuses a chooser's freshly opened list, checks nothing is chosen in
    // it, presses `key` and checks the first line is then the chosen one.
    static void expectKeyChoosesFirstLine(QListWidget* list, Qt::Key key) {
        list->setFocus();
        QCoreApplication::processEvents();
        EXPECT_EQ(list->currentRow(), -1);
        EXPECT_FALSE(list->currentIndex().isValid());
        EXPECT_TRUE(list->selectedItems().isEmpty());
        QTest::keyClick(list, key);
        EXPECT_EQ(list->currentRow(), 0);
        ASSERT_EQ(list->selectedItems().size(), 1);
        EXPECT_EQ(list->selectedItems().front(), list->item(0));
    }
};

TEST_F(MenusTest, SeparatorsArePlainLines) {
    start();
    const QList<QAction*> file = frm->mnuFile->actions(), help = frm->mnuHelp->actions();
    ASSERT_EQ(file.size(), 5);
    ASSERT_EQ(help.size(), 3);
    for (QAction* line : {file[3], help[1]}) {
        EXPECT_TRUE(line->isSeparator());
        EXPECT_EQ(line->text(), "");
    }
}

TEST_F(MenusTest, LevelChooserOpensWithNothingChosenAndDownOrSpaceChoosesLevelOne) {
    start();
    for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Space}) {
        tk.modalScripts.push_back([key](QDialog& dialog) {
            auto& chooser = dynamic_cast<FrmLevel&>(dialog);
            QTest::mouseClick(chooser.cmdSetLevel, Qt::LeftButton);
            EXPECT_TRUE(chooser.isVisible()) << "Set Level with nothing chosen does nothing";
            expectKeyChoosesFirstLine(chooser.lisLevel, key);
            // Once a line is current, Down moves on as ever.
            QTest::keyClick(chooser.lisLevel, Qt::Key_Down);
            EXPECT_EQ(chooser.lisLevel->currentRow(), 1);
            QTest::mouseClick(chooser.cmdSetLevel, Qt::LeftButton);
        });
        frm->mnuNewGame->trigger();
        EXPECT_EQ(frm->game().levelIndex(), 1);
        EXPECT_TRUE(frm->imgPieces[0]->isVisible());
    }
}

TEST_F(MenusTest, SavedGameChooserOpensWithNothingChosen) {
    start();
    startLevel(0);
    dragPiece(9, QPoint(30, 30), {cellCentre(2, 4)});
    tk.inputAnswers = {"One"};
    frm->mnuSaveGame->trigger();
    tk.modalScripts.push_back([](QDialog& dialog) {
        auto& chooser = dynamic_cast<FrmFile&>(dialog);
        ASSERT_EQ(chooser.filList->count(), 1);
        expectKeyChoosesFirstLine(chooser.filList, Qt::Key_Down);
        QTest::mouseClick(chooser.cmdCancel, Qt::LeftButton);
    });
    frm->mnuLoadGame->trigger();
    EXPECT_EQ(frm->absFilename, "");
}
