// Help > How to Play hands the page to the desktop, or says which file to open.
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>

#include "toolkit/qttoolkit.h"
#include "gamefixture.h"

using HelpTest = GameTest;

TEST_F(HelpTest, PageTheShellAcceptsShowsNothing) {
    start();
    tk.shellResults = {33};
    frm->mnuHTP->trigger();
    ASSERT_EQ(tk.shellTargets.size(), 1u);
    EXPECT_EQ(tk.shellTargets[0], dir.path() + "/qvl.html");
    EXPECT_TRUE(tk.messages.empty());
    EXPECT_TRUE(frm->isEnabled());
}

// Refused at once (32 or less), or accepted (42) and refused a little later.
TEST_F(HelpTest, RefusedPageNamesTheFullPath) {
    start();
    for (int refused : {32, 2, 0, 42}) {
        tk.messages.clear();
        tk.shellResults = {refused};
        frm->mnuHTP->trigger();
        EXPECT_EQ(tk.messages.empty(), refused > 32);
        tk.refuseLate();
        ASSERT_EQ(tk.messages.size(), 1u) << refused;
        EXPECT_EQ(tk.messages[0].title, "Quorvale - Help");
        EXPECT_EQ(tk.messages[0].text,
                  "Unable to open " + dir.path() + "/qvl.html automatically.\r\nPlease open the file manually.");
        EXPECT_EQ(tk.messages[0].icon, MsgIcon::Information);
        EXPECT_EQ(tk.messages[0].buttons, MsgButtons::Ok);
    }
    EXPECT_EQ(tk.shellTargets.size(), 4u);
}

TEST_F(HelpTest, FolderEndingInASeparatorIsJoinedWithoutDoublingIt) {
    start();
    tk.folder = dir.path() + "/";
    tk.shellResults = {2};
    frm->mnuHTP->trigger();
    ASSERT_EQ(tk.shellTargets.size(), 1u);
    EXPECT_EQ(tk.shellTargets[0], dir.path() + "/qvl.html");
    ASSERT_EQ(tk.messages.size(), 1u);
    EXPECT_TRUE(tk.messages[0].text.startsWith("Unable to open " + dir.path() + "/qvl.html automatically."));
}

// ---- The desktop toolkit itself ----

TEST(QtToolkitTest, MissingLocalFileFailsWithoutAskingTheDesktop) {
    QTemporaryDir dir;
    QtToolkit toolkit;
    EXPECT_LE(toolkit.shellOpen(nullptr, dir.path() + "/qvl.html", {}), 32);
    EXPECT_LE(toolkit.shellOpen(nullptr, dir.path() + "/no such folder/qvl.html", {}), 32);
}

TEST(QtToolkitTest, TwipsPerPixelFollowTheLogicalDpi) {
    QtToolkit toolkit;
    QScreen* screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    EXPECT_DOUBLE_EQ(toolkit.twipsPerPixelX(), 1440.0 / screen->logicalDotsPerInchX());
    EXPECT_DOUBLE_EQ(toolkit.twipsPerPixelY(), 1440.0 / screen->logicalDotsPerInchY());
    EXPECT_DOUBLE_EQ(toolkit.screenWidthTwips(), screen->geometry().width() * toolkit.twipsPerPixelX());
    EXPECT_EQ(toolkit.programFolder(), QCoreApplication::applicationDirPath());
}

TEST(QtToolkitTest, MessageBoxShowsIconButtonsAndLines) {
    QtToolkit toolkit;
    QWidget owner;
    owner.show();
    QString seenText;
    QMessageBox::Icon seenIcon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons seenButtons;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seenText = box->text();
        seenIcon = box->icon();
        seenButtons = box->standardButtons();
        EXPECT_EQ(box->windowTitle(), "Quorvale - Exit");
        EXPECT_EQ(box->parentWidget(), &owner);
        box->button(QMessageBox::No)->click();
    });
    const MsgResult answer =
        toolkit.messageBox(&owner, "one\r\ntwo", "Quorvale - Exit", MsgIcon::Question, MsgButtons::YesNoCancel);
    EXPECT_EQ(answer, MsgResult::No);
    EXPECT_EQ(seenText, "one\ntwo");
    EXPECT_EQ(seenIcon, QMessageBox::Question);
    EXPECT_EQ(seenButtons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
}

namespace {
// The title whole in a bold title bar with room for the frame's buttons.
bool titleFits(const QDialog& dialog) {
    QFont bold = dialog.font();
    bold.setBold(true);
    return dialog.width() >= QFontMetrics(bold).horizontalAdvance(dialog.windowTitle()) + 100;
}
}  // namespace

TEST(QtToolkitTest, InputBoxReturnsTheTextOrNothingForCancel) {
    QtToolkit toolkit;
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        auto* edit = dialog->findChild<QLineEdit*>();
        ASSERT_NE(edit, nullptr);
        EXPECT_EQ(edit->text(), "start");
        // The prompt on one line, and the title whole.
        auto* prompt = dialog->findChild<QLabel*>();
        EXPECT_LT(prompt->height(), 2 * prompt->fontMetrics().height());
        EXPECT_TRUE(titleFits(*dialog));
        edit->setText("typed");
        dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    EXPECT_EQ(toolkit.inputBox(nullptr, "What is the name of the game? A prompt of some length.",
                               "Quorvale - Saving Game", "start"),
              "typed");

    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        EXPECT_TRUE(titleFits(*dialog)) << "a prompt shorter than the title";
        dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->click();
    });
    EXPECT_EQ(toolkit.inputBox(nullptr, "Name?", "Quorvale - Saving Game", "start"), "");
}
