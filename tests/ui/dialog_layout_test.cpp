// Where the controls of the two choosers and the About box sit, in pixels: each
// form's twips divided by 15 and rounded, worked out by hand.
#include <QAction>
#include <QListWidget>
#include <QPushButton>

#include "gamefixture.h"
#include "ui/frmlevel.h"
#include "ui/frmfile.h"
#include "ui/frmabout.h"

namespace {

class DialogLayoutTest : public GameTest {
protected:
    // Opens a dialog with its menu command and checks it while it is up.
    template <typename Dialog>
    void whenShown(QAction* FrmMain::*command, const std::function<void(Dialog&)>& check) {
        bool seen = false;
        tk.modalScripts.push_back([&](QDialog& dialog) {
            auto* shown = dynamic_cast<Dialog*>(&dialog);
            ASSERT_NE(shown, nullptr);
            check(*shown);
            seen = true;
            dialog.reject();
        });
        (start().*command)->trigger();
        EXPECT_TRUE(seen);
    }
};

TEST_F(DialogLayoutTest, LevelChooser) {
    whenShown<FrmLevel>(&FrmMain::mnuNewGame, [](FrmLevel& chooser) {
        EXPECT_EQ(chooser.size(), QSize(277, 234));  // 4155 x 3510
        EXPECT_EQ(chooser.lisLevel->geometry(), QRect(2, 0, 273, 180));
        EXPECT_EQ(chooser.cmdSetLevel->geometry(), QRect(14, 192, 113, 33));
        EXPECT_EQ(chooser.cmdCancel->geometry(), QRect(152, 192, 113, 33));
    });
}

TEST_F(DialogLayoutTest, SavedGameChooser) {
    whenShown<FrmFile>(&FrmMain::mnuLoadGame, [](FrmFile& chooser) {
        EXPECT_EQ(chooser.size(), QSize(346, 245));  // 5190 x 3675
        EXPECT_EQ(chooser.filList->geometry(), QRect(1, 0, 345, 188));  // 8 twips is half a pixel and more
        EXPECT_EQ(chooser.cmdSet->geometry(), QRect(40, 200, 113, 33));
        EXPECT_EQ(chooser.cmdCancel->geometry(), QRect(193, 200, 113, 33));
    });
}

TEST_F(DialogLayoutTest, AboutBox) {
    whenShown<FrmAbout>(&FrmMain::mnuAbout, [](FrmAbout& box) {
        EXPECT_EQ(box.size(), QSize(372, 128));  // 5580 x 1920
        EXPECT_EQ(box.imgTamberlo->geometry(), QRect(3, 3, 56, 62));
        EXPECT_EQ(box.lblProd->geometry(), QRect(64, 8, 209, 49));
        EXPECT_EQ(box.cmdOk->geometry(), QRect(288, 8, 73, 25));
        EXPECT_EQ(box.lblEmail->geometry(), QRect(16, 64, 177, 17));
        EXPECT_EQ(box.lblUpdates->geometry(), QRect(16, 96, 337, 17));
    });
}

}  // namespace
