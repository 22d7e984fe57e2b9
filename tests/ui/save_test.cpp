// File > Save Game: the name prompt, the name rules, overwriting and writing.
#include "commandtest.h"

namespace {

class SaveTest : public CommandTest {
protected:
    // The "Classic" level (index 1) on the board, unchanged.
    void startClassic() {
        start();
        startLevel(1);
        tk.messages.clear();
        tk.inputs.clear();
    }
};

TEST_F(SaveTest, WritesTheGameAndClearsTheChangedMark) {
    start();
    startLevel(2);
    // 298 steps on the board, then a small piece over and back: 300, changed.
    putGame(2, frm->game().savedGame().positions, 298);
    dragPiece(8, {30, 30}, {cellCentre(1, 4)});
    dragPiece(8, {30, 30}, {cellCentre(0, 4)});
    ASSERT_TRUE(frm->game().gameModified());
    saveAs("Three hundred steps");
    ASSERT_EQ(tk.inputs.size(), 1u);
    EXPECT_EQ(tk.inputs[0].title, "Quorvale - Saving Game");
    EXPECT_EQ(tk.inputs[0].prompt, "What is the name of the game?");
    EXPECT_EQ(tk.inputs[0].defaultText, "");
    EXPECT_TRUE(tk.messages.empty());

    // 300 steps, level 2, its name, then 10 x row + column of each piece of
    // the layout TSST/TSST/TWWT/TooT/o..o (square, wide, tall, small).
    EXPECT_EQ(readBytes(savedPath("Three hundred steps.sav")),
              QByteArray("\x2c\x01\x00\x00\x02\x00"
                         "Test 03   "
                         "\x01\x00\x15\x00\x00\x00\x03\x00\x14\x00\x17\x00\x1f\x00\x20\x00\x28\x00\x2b\x00",
                         36));
    EXPECT_FALSE(frm->game().gameModified());
    EXPECT_TRUE(frm->mnuSaveGame->isEnabled());
    EXPECT_EQ(savedEntries(), QStringList{"Three hundred steps.sav"});
}

TEST_F(SaveTest, NameLengthLimitIsThirtyTwoCharacters) {
    startClassic();
    const QString tooLong(33, u'x');
    const QString longest(32, u'y');
    tk.inputAnswers = {tooLong, longest};
    frm->mnuSaveGame->trigger();
    ASSERT_EQ(tk.messages.size(), 1u);
    EXPECT_EQ(tk.messages[0].title, "Quorvale - Saving");
    EXPECT_EQ(tk.messages[0].text, "Name too long.\r\nPlease limit the name to 32 characters.");
    EXPECT_EQ(tk.messages[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(tk.messages[0].buttons, MsgButtons::Ok);
    ASSERT_EQ(tk.inputs.size(), 2u);
    EXPECT_EQ(tk.inputs[1].defaultText, tooLong);
    EXPECT_EQ(savedEntries(), QStringList{longest + ".sav"});

    // Too long and illegal at once: only the length is reported.
    tk.messages.clear();
    tk.inputAnswers = {QString(40, u'*'), ""};
    tk.messageAnswers = {MsgResult::Yes};
    frm->mnuSaveGame->trigger();
    ASSERT_EQ(tk.messages.size(), 2u);
    EXPECT_EQ(tk.messages[0].text, "Name too long.\r\nPlease limit the name to 32 characters.");
    EXPECT_EQ(tk.messages[1].text, "Are you sure you want to proceed without saving?");
    tk.expectScriptUsed();
}

TEST_F(SaveTest, RefusedCharactersBringTheNameBack) {
    startClassic();
    const QStringList refused = {"a.b",          "a:b",         "a\\b", "a*b", "a?b", "a\"b", "a\tb",
                                 QString("a") + QChar(0xFF) + "b", QString("a") + QChar(0x3A9) + "b",
                                 QString("a") + QChar(0x1F) + "b"};
    for (const QString& name : refused) {
        tk.messages.clear();
        tk.inputs.clear();
        tk.inputAnswers = {name, ""};
        tk.messageAnswers = {MsgResult::Yes};
        frm->mnuSaveGame->trigger();
        ASSERT_EQ(tk.messages.size(), 2u) << name.toStdString();
        EXPECT_EQ(tk.messages[0].text, "Illegal characters found in the name.");
        EXPECT_EQ(tk.messages[0].title, "Quorvale - Saving");
        EXPECT_EQ(tk.messages[0].icon, MsgIcon::Exclamation);
        ASSERT_EQ(tk.inputs.size(), 2u);
        EXPECT_EQ(tk.inputs[1].defaultText, name);
    }
    EXPECT_TRUE(savedEntries().isEmpty());

    // Spaces and characters of the code page beyond ASCII are fine.
    for (const QString& name : {QString("with spaces"), QString("price ") + QChar(0x20AC), QString("caf") + QChar(0xE9)}) {
        tk.messages.clear();
        saveAs(name);
        EXPECT_TRUE(tk.messages.empty()) << name.toStdString();
        EXPECT_EQ(readBytes(savedPath(name + ".sav")).size(), 36) << name.toStdString();
    }
    tk.expectScriptUsed();
}

TEST_F(SaveTest, EmptyNameAsksBeforeGivingUp) {
    start();
    startLevel(0);
    makeMove();
    tk.inputs.clear();
    tk.inputAnswers = {"", ""};
    tk.messageAnswers = {MsgResult::No, MsgResult::Yes};
    frm->mnuSaveGame->trigger();
    ASSERT_EQ(tk.messages.size(), 2u);
    for (const MessageCall& m : tk.messages) {
        EXPECT_EQ(m.title, "Quorvale - Saving");
        EXPECT_EQ(m.text, "Are you sure you want to proceed without saving?");
        EXPECT_EQ(m.icon, MsgIcon::Question);
        EXPECT_EQ(m.buttons, MsgButtons::YesNo);
    }
    ASSERT_EQ(tk.inputs.size(), 2u);
    EXPECT_EQ(tk.inputs[1].defaultText, "");
    EXPECT_TRUE(savedEntries().isEmpty());
    EXPECT_TRUE(frm->game().gameModified());
    tk.expectScriptUsed();
}

TEST_F(SaveTest, ExistingNameAsksBeforeOverwriting) {
    start();
    startLevel(0);
    saveAs("mine");
    makeMove();
    tk.messages.clear();
    tk.inputs.clear();
    tk.inputAnswers = {"mine", "mine"};
    tk.messageAnswers = {MsgResult::No, MsgResult::Yes};
    frm->mnuSaveGame->trigger();
    ASSERT_EQ(tk.messages.size(), 2u);
    EXPECT_EQ(tk.messages[0].text, "File already exists. Overwrite it?");
    EXPECT_EQ(tk.messages[0].icon, MsgIcon::Question);
    EXPECT_EQ(tk.messages[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(tk.inputs[1].defaultText, "mine");
    // One step on "Easy" (TWWT/TooT/TSST/TSST/o..o) with the small piece at
    // row 4, column 0 moved to column 1.
    EXPECT_EQ(readBytes(savedPath("mine.sav")),
              QByteArray("\x01\x00\x00\x00\x00\x00"
                         "Easy      "
                         "\x15\x00\x01\x00\x00\x00\x03\x00\x14\x00\x17\x00\x0b\x00\x0c\x00\x29\x00\x2b\x00",
                         36));
    EXPECT_FALSE(frm->game().gameModified());
    tk.expectScriptUsed();
}

TEST_F(SaveTest, NameTheFileSystemRefusesIsReportedAndNothingIsWritten) {
    start();
    startLevel(0);
    makeMove();
    // A folder and a file that a name with a separator would reach.
    ASSERT_TRUE(QDir().mkpath(savedPath("sub")));
    writeBytes(savedPath("sub") + "/x.sav", "old");
    ASSERT_TRUE(QDir().mkdir(savedPath("folder.sav")));

    for (const QString& name : {QString("sub/x"), QString("folder")}) {
        tk.messages.clear();
        saveAs(name);
        ASSERT_EQ(tk.messages.size(), 1u) << name.toStdString();  // no overwrite question
        const MessageCall& m = tk.messages[0];
        EXPECT_EQ(m.title, "Quorvale - Saving Error");
        EXPECT_EQ(m.icon, MsgIcon::Error);
        EXPECT_EQ(m.buttons, MsgButtons::Ok);
        EXPECT_EQ(m.text, "An error occurred while attempting saving game data\r\n" + dir.path() + "/saved/" + name +
                              ".sav\r\nGame not saved.");
        EXPECT_TRUE(frm->game().gameModified());
    }
    EXPECT_EQ(readBytes(savedPath("sub") + "/x.sav"), "old");
    EXPECT_EQ(QDir(savedPath("sub")).entryList(QDir::Files | QDir::Hidden), QStringList{"x.sav"});
    EXPECT_EQ(savedEntries(), (QStringList{"folder.sav", "sub"}));
    tk.expectScriptUsed();
}

}  // namespace
