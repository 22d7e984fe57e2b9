// The About box: its contents, the links and the hidden sequence of
// modified presses, all with real Qt mouse events.
#include <QAction>
#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>

#include "gamefixture.h"
#include "ui/frmabout.h"

namespace {

constexpr auto kCtrlAlt = Qt::ControlModifier | Qt::AltModifier;
const QColor kBlue(0, 0, 255);
const QColor kRed(255, 0, 0);

// A move without a button held, as the pointer passing over a widget sends.
void hover(QWidget* widget, QPoint at) {
    QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

QColor textColour(const QLabel* label) { return label->palette().color(QPalette::WindowText); }

void press(QWidget* widget, Qt::KeyboardModifiers modifiers, Qt::MouseButton button = Qt::RightButton) {
    QTest::mousePress(widget, button, modifiers, QPoint(5, 5));
    QTest::mouseRelease(widget, button, modifiers, QPoint(5, 5));
}

QRgb centreColour(const ImageControl* image) {
    const QImage picture = image->picture().toImage();
    return picture.pixel(picture.width() / 2, picture.height() / 2) & 0xFFFFFFu;
}

constexpr int kSquareRegion = 6;
constexpr int kSecondSquareRegion = 7;
constexpr int kSecondSmallRegion = 9;
constexpr int kSmallRegion = 10;

}  // namespace

class AboutTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        start();
    }

    // Opens Help > About and runs `script` on the box while it is shown.
    void withAbout(const std::function<void(FrmAbout&)>& script) {
        tk.modalScripts.push_back([script](QDialog& dialog) {
            auto* box = dynamic_cast<FrmAbout*>(&dialog);
            ASSERT_NE(box, nullptr);
            script(*box);
        });
        frm->mnuAbout->trigger();
    }

    int eggMessages() const {
        int n = 0;
        for (const MessageCall& m : tk.messages) n += m.title == "Quorvale - Easter Egg";
        return n;
    }

    bool hiddenSpritesShown() const { return centreColour(frm->imgPieces[0]) == (testSkinColour(kSecondSquareRegion) & 0xFFFFFFu); }
};

TEST(AboutVersion, MinorAndRevisionRunTogether) {
    EXPECT_EQ(FrmAbout::versionLine(1, 0, 0), "Quorvale Version 1.00");
    EXPECT_EQ(FrmAbout::versionLine(2, 3, 15), "Quorvale Version 2.315");
}

TEST_F(AboutTest, BoxShowsVersionNoticeAndLinks) {
    withAbout([this](FrmAbout& box) {
        EXPECT_EQ(box.windowTitle(), "About");
        EXPECT_EQ(box.size(), QSize(372, 128));  // 5580 x 1920 twips
        const QStringList lines = box.lblProd->text().split('\n');
        ASSERT_EQ(lines.size(), 3);
        EXPECT_EQ(lines[0], "Quorvale Version 1.00");
        EXPECT_EQ(lines[1], "");
        EXPECT_TRUE(lines[2].contains("2026"));
        EXPECT_TRUE(lines[2].contains("Quorvale"));
        EXPECT_EQ(box.cmdOk->text(), "&OK");
        EXPECT_TRUE(box.cmdOk->hasFocus() || box.focusWidget() == box.cmdOk);
        EXPECT_EQ(box.lblEmail->text(), "Email: quorvale@example.org");
        EXPECT_EQ(box.lblUpdates->text(), "Updates:  https://quorvale.example.org/");
        for (QLabel* link : {static_cast<QLabel*>(box.lblEmail), static_cast<QLabel*>(box.lblUpdates)}) {
            EXPECT_EQ(textColour(link), kBlue);
            EXPECT_TRUE(link->font().underline());
            EXPECT_DOUBLE_EQ(link->font().pointSizeF(), 8.25);
        }
        EXPECT_FALSE(box.imgTamberlo->pixmap().isNull());
        EXPECT_EQ(box.imgTamberlo->size(), QSize(56, 62));  // 840 x 930 twips
        EXPECT_EQ(box.eggStage, 0);
        // Centred over the main window by the outer sizes of both.
        // Centred over the main window (4590, 2550, 6180 x 6420 twips) by the outer
        // sizes of both: 4590 + (6180 - 5640) \ 2 = 4860, 2550 + (6420 - 1980) \ 2 = 4770.
        EXPECT_EQ(box.frameGeometry().topLeft(), QPoint(324, 318));
        QTest::mouseClick(box.cmdOk, Qt::LeftButton);
        EXPECT_FALSE(box.isVisible());
    });
    EXPECT_EQ(tk.modalDialogs, std::vector<QString>{"About"});
}

TEST_F(AboutTest, LeftClicksOpenTheLinks) {
    withAbout([](FrmAbout& box) {
        QTest::mouseClick(box.lblEmail, Qt::LeftButton);
        QTest::mouseClick(box.lblUpdates, Qt::LeftButton);
        EXPECT_EQ(textColour(box.lblEmail), kRed);
        EXPECT_EQ(textColour(box.lblUpdates), kRed);
    });
    ASSERT_EQ(tk.shellTargets.size(), 2u);
    EXPECT_EQ(tk.shellTargets[0], "mailto:quorvale@example.org?Subject=Quorvale");
    EXPECT_EQ(tk.shellTargets[1], "https://quorvale.example.org/");
    EXPECT_TRUE(tk.messages.empty());
}

// A double-click comes as press, release, press (a double-click to Qt) and
// release: each link still opens only once.
TEST_F(AboutTest, DoubleClickOpensALinkOnce) {
    withAbout([](FrmAbout& box) {
        for (PressLabel* link : {box.lblEmail, box.lblUpdates})
            QTest::mouseDClick(box.windowHandle(), Qt::LeftButton, Qt::NoModifier, link->mapTo(&box, QPoint(5, 5)));
        EXPECT_EQ(textColour(box.lblEmail), kRed);
    });
    EXPECT_EQ(tk.shellTargets,
              (std::vector<QString>{"mailto:quorvale@example.org?Subject=Quorvale", "https://quorvale.example.org/"}));
}

// 32 is the highest result that still means failure; 33 is accepted.
TEST_F(AboutTest, ShellResultOfThirtyTwoIsAFailure) {
    tk.shellResults = {32, 33, 33, 32};
    withAbout([](FrmAbout& box) {
        for (PressLabel* link : {box.lblEmail, box.lblEmail, box.lblUpdates, box.lblUpdates})
            QTest::mouseClick(link, Qt::LeftButton);
    });
    ASSERT_EQ(tk.messages.size(), 2u);
    EXPECT_EQ(tk.messages[0].title, "Quorvale - Email");
    EXPECT_EQ(tk.messages[1].title, "Quorvale - Updates");
}

// The mail link is refused at once, the web link a little later; a late
// refusal after the box has closed is told to nobody.
TEST_F(AboutTest, LinkTheShellCannotOpenShowsItsMessageAndStaysRed) {
    tk.shellResults = {2, 42, 42};
    withAbout([this](FrmAbout& box) {
        QTest::mouseClick(box.lblEmail, Qt::LeftButton);
        QTest::mouseClick(box.lblUpdates, Qt::LeftButton);
        tk.refuseLate();
        QTest::mouseClick(box.lblUpdates, Qt::LeftButton);
        EXPECT_TRUE(box.isVisible());
        EXPECT_EQ(textColour(box.lblEmail), kRed);
        EXPECT_EQ(textColour(box.lblUpdates), kRed);
    });
    tk.refuseLate();
    ASSERT_EQ(tk.messages.size(), 2u);
    EXPECT_EQ(tk.messages[0].title, "Quorvale - Email");
    EXPECT_EQ(tk.messages[0].text,
              "Unable to start your Email agent automatically.\r\n"
              "Please send an Email to quorvale@example.org manually.");
    EXPECT_EQ(tk.messages[0].icon, MsgIcon::Information);
    EXPECT_EQ(tk.messages[0].buttons, MsgButtons::Ok);
    EXPECT_EQ(tk.messages[1].title, "Quorvale - Updates");
    EXPECT_EQ(tk.messages[1].text,
              "Unable to start your web browser automatically.\r\n"
              "Please goto the site https://quorvale.example.org/ manually.");
    EXPECT_EQ(tk.messages[1].icon, MsgIcon::Information);
}

TEST_F(AboutTest, PressThatEndsOffTheLabelIsNoClick) {
    withAbout([](FrmAbout& box) {
        QTest::mousePress(box.lblEmail, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
        QTest::mouseRelease(box.lblEmail, Qt::LeftButton, Qt::NoModifier, QPoint(5, 200));
        EXPECT_EQ(textColour(box.lblEmail), kRed);
    });
    EXPECT_TRUE(tk.shellTargets.empty());
}

TEST_F(AboutTest, HandCursorOnceThePointerMovesOverALink) {
    withAbout([](FrmAbout& box) {
        EXPECT_NE(box.lblUpdates->cursor().shape(), Qt::PointingHandCursor);
        hover(box.lblUpdates, QPoint(10, 5));
        EXPECT_EQ(box.lblUpdates->cursor().shape(), Qt::PointingHandCursor);
    });
}

TEST_F(AboutTest, HiddenSequenceSwapsTheSprites) {
    withAbout([this](FrmAbout& box) {
        press(box.lblEmail, kCtrlAlt);
        EXPECT_EQ(box.eggStage, 2);
        press(box.lblUpdates, kCtrlAlt);
        EXPECT_EQ(box.eggStage, 3);
        press(box.imgTamberlo, Qt::ControlModifier);
        EXPECT_EQ(box.eggStage, 3);
        EXPECT_EQ(eggMessages(), 1);
        // Again while the stage stays 3: only the message again.
        press(box.imgTamberlo, Qt::ControlModifier, Qt::LeftButton);
        EXPECT_EQ(eggMessages(), 2);
    });
    ASSERT_FALSE(tk.messages.empty());
    const MessageCall& egg = tk.messages.front();
    EXPECT_EQ(egg.title, "Quorvale - Easter Egg");
    EXPECT_EQ(egg.text, "You have found the Easter Egg!");
    EXPECT_EQ(egg.icon, MsgIcon::Information);
    EXPECT_EQ(egg.buttons, MsgButtons::Ok);
    // Right-button presses open no link.
    EXPECT_TRUE(tk.shellTargets.empty());

    // The swap outlives the box: the second sprites on pieces 0 and 6 to 9.
    EXPECT_EQ(frm->imgPieces[0]->picture().size(), QSize(120, 120));
    EXPECT_TRUE(hiddenSpritesShown());
    for (int i = 6; i <= 9; ++i) {
        EXPECT_EQ(frm->imgPieces[i]->picture().size(), QSize(60, 60));
        EXPECT_EQ(centreColour(frm->imgPieces[i]), testSkinColour(kSecondSmallRegion) & 0xFFFFFFu) << i;
    }
    EXPECT_NE(frm->imgPieces[6]->picture().cacheKey(), frm->imgPieces[9]->picture().cacheKey());
    // The other pieces keep theirs.
    EXPECT_EQ(frm->imgPieces[1]->picture().size(), QSize(120, 60));
}

TEST_F(AboutTest, SequenceWithTheLeftButtonAlsoOpensTheLinks) {
    withAbout([](FrmAbout& box) {
        press(box.lblEmail, kCtrlAlt, Qt::LeftButton);
        press(box.lblUpdates, kCtrlAlt, Qt::LeftButton);
        press(box.imgTamberlo, Qt::ControlModifier, Qt::LeftButton);
    });
    EXPECT_EQ(tk.shellTargets.size(), 2u);
    EXPECT_EQ(eggMessages(), 1);
}

TEST_F(AboutTest, WrongOrderDoesNothing) {
    withAbout([this](FrmAbout& box) {
        press(box.lblUpdates, kCtrlAlt);
        EXPECT_EQ(box.eggStage, 0);
        press(box.lblEmail, kCtrlAlt);
        EXPECT_EQ(box.eggStage, 2);
        press(box.imgTamberlo, Qt::ControlModifier);
        EXPECT_EQ(eggMessages(), 0);
    });
    EXPECT_FALSE(hiddenSpritesShown());
    EXPECT_EQ(centreColour(frm->imgPieces[0]), testSkinColour(kSquareRegion) & 0xFFFFFFu);
    EXPECT_EQ(centreColour(frm->imgPieces[6]), testSkinColour(kSmallRegion) & 0xFFFFFFu);
}

TEST_F(AboutTest, ModifierSetsMustMatchExactly) {
    withAbout([this](FrmAbout& box) {
        press(box.lblEmail, Qt::ControlModifier);  // Ctrl alone is not Ctrl + Alt
        EXPECT_EQ(box.eggStage, 0);
        press(box.lblEmail, kCtrlAlt | Qt::ShiftModifier);
        EXPECT_EQ(box.eggStage, 0);
        // A modifier outside the set is not looked at.
        press(box.lblEmail, kCtrlAlt | Qt::MetaModifier);
        EXPECT_EQ(box.eggStage, 2);
        press(box.lblUpdates, Qt::AltModifier);
        EXPECT_EQ(box.eggStage, 2);
        press(box.lblUpdates, kCtrlAlt);
        EXPECT_EQ(box.eggStage, 3);
        press(box.imgTamberlo, Qt::ControlModifier | Qt::ShiftModifier);
        press(box.imgTamberlo, kCtrlAlt);
        press(box.imgTamberlo, Qt::NoModifier);
        EXPECT_EQ(eggMessages(), 0);
        press(box.imgTamberlo, Qt::ControlModifier);
        EXPECT_EQ(eggMessages(), 1);
    });
}

TEST_F(AboutTest, CtrlAltOnEmailAfterStageThreeGoesBackToTwo) {
    withAbout([this](FrmAbout& box) {
        press(box.lblEmail, kCtrlAlt);
        press(box.lblUpdates, kCtrlAlt);
        ASSERT_EQ(box.eggStage, 3);
        press(box.lblEmail, kCtrlAlt);
        EXPECT_EQ(box.eggStage, 2);
        press(box.imgTamberlo, Qt::ControlModifier);
        EXPECT_EQ(eggMessages(), 0);
        press(box.lblUpdates, kCtrlAlt);
        press(box.imgTamberlo, Qt::ControlModifier);
        EXPECT_EQ(eggMessages(), 1);
    });
}

TEST_F(AboutTest, ReopeningTheBoxStartsOver) {
    withAbout([](FrmAbout& box) {
        press(box.lblEmail, kCtrlAlt);
        press(box.lblUpdates, kCtrlAlt);
        hover(box.lblEmail, QPoint(10, 5));
        ASSERT_EQ(box.eggStage, 3);
    });
    withAbout([this](FrmAbout& box) {
        EXPECT_EQ(box.eggStage, 0);
        EXPECT_EQ(textColour(box.lblEmail), kBlue);
        EXPECT_EQ(textColour(box.lblUpdates), kBlue);
        EXPECT_NE(box.lblEmail->cursor().shape(), Qt::PointingHandCursor);
        press(box.imgTamberlo, Qt::ControlModifier);
        EXPECT_EQ(eggMessages(), 0);
    });
    EXPECT_EQ(tk.modalDialogs.size(), 2u);
    EXPECT_FALSE(hiddenSpritesShown());
}
