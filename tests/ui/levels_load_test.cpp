// Reading the level table at start-up.
#include "app/modmain.h"
#include "commandtest.h"

namespace {

using quorvale::LevelTable;

QByteArray tableBytes(const LevelTable& levels) {
    const auto bytes = quorvale::writeLevelTable(levels);
    if (!bytes) return {};
    return QByteArray(reinterpret_cast<const char*>(bytes->data()), static_cast<qsizetype>(bytes->size()));
}

// A table where every entry differs from its neighbours.
LevelTable distinctLevels() {
    LevelTable levels = testLevels();
    levels[69].name = levelName("Last one");
    levels[69].positions = layoutFromPicture({"SSTT", "SSTT", "WWTT", "ooTT", "oo.."});
    return levels;
}

class LevelFileTest : public CommandTest {
protected:
    // Starts with a skin but leaves the level file as the test made it.
    void startRaw() {
        writeSkin();
        runEntry();
    }

    void expectLoadError(const QString& lineThree) {
        ASSERT_EQ(tk.messages.size(), 1u);
        const MessageCall& m = tk.messages[0];
        EXPECT_EQ(m.title, "Quorvale - Error");
        EXPECT_EQ(m.icon, MsgIcon::Error);
        EXPECT_EQ(m.buttons, MsgButtons::Ok);
        EXPECT_EQ(m.text, "An error has occurred while attempting loading data file\r\n" + path("qvl.zhn") + "\r\n" +
                              lineThree);
        EXPECT_TRUE(tk.endRequested());
        EXPECT_NE(tk.exitCode(), 0);
        EXPECT_TRUE(!frm->isVisible());
    }
};

TEST_F(LevelFileTest, FileOfExactlyTheTableSizeFillsAllSeventyEntries) {
    const LevelTable written = distinctLevels();
    const QByteArray bytes = tableBytes(written);
    ASSERT_EQ(bytes.size(), 2100);
    writeBytes(path("qvl.ZHN"), bytes);
    start();
    EXPECT_TRUE(tk.messages.empty());
    for (int i = 0; i < quorvale::kLevelCount; ++i) {
        EXPECT_EQ(frm->game().levels()[i].name, written[i].name) << "entry " << i;
        EXPECT_EQ(frm->game().levels()[i].positions, written[i].positions) << "entry " << i;
    }
    // Entry 69 comes from the last 30 bytes.
    EXPECT_EQ(frm->game().levels()[69].positions[0], 0);
    EXPECT_EQ(qs(frm->game().levels()[69].name), "Last one  ");
}

TEST_F(LevelFileTest, LongerFileUsesOnlyTheFirstTableSizeWithoutMessage) {
    const LevelTable written = distinctLevels();
    writeBytes(path("qvl.ZHN"), tableBytes(written) + QByteArray(300, '\x7f'));
    start();
    EXPECT_TRUE(tk.messages.empty());
    for (int i = 0; i < quorvale::kLevelCount; ++i) {
        EXPECT_EQ(frm->game().levels()[i].name, written[i].name) << "entry " << i;
        EXPECT_EQ(frm->game().levels()[i].positions, written[i].positions) << "entry " << i;
    }
}

TEST_F(LevelFileTest, ShortFileFillsWhatItCoversAndClearsTheRest) {
    const LevelTable written = distinctLevels();
    writeBytes(path("qvl.ZHN"), tableBytes(written).left(30 * 10 + 12));  // ten entries and a name
    start();
    EXPECT_TRUE(tk.messages.empty());
    EXPECT_FALSE(tk.endRequested());
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(frm->game().levels()[i].name, written[i].name);
        EXPECT_EQ(frm->game().levels()[i].positions, written[i].positions);
    }
    EXPECT_EQ(frm->game().levels()[10].name, written[10].name);
    for (int i = 11; i < quorvale::kLevelCount; ++i) {
        EXPECT_EQ(frm->game().levels()[i].name, std::u16string(10, u'\0')) << "entry " << i;
        EXPECT_EQ(frm->game().levels()[i].positions, quorvale::Positions{}) << "entry " << i;
    }
}

TEST_F(LevelFileTest, MissingFileIsReportedAndEndsTheProgram) {
    startRaw();
    expectLoadError("53 File not found");
}

TEST_F(LevelFileTest, FolderInPlaceOfTheFileIsReportedAndEndsTheProgram) {
    ASSERT_TRUE(QDir().mkdir(path("qvl.ZHN")));
    startRaw();
    expectLoadError("75 Path/File access error");
}

TEST_F(LevelFileTest, LowerCaseFileNameIsAcceptedToo) {
    const LevelTable written = distinctLevels();
    writeBytes(path("qvl.zhn"), tableBytes(written));
    startRaw();
    EXPECT_TRUE(tk.messages.empty());
    EXPECT_FALSE(tk.endRequested());
    EXPECT_EQ(frm->game().levels()[69].name, written[69].name);
    EXPECT_EQ(frm->game().levels()[1].positions, written[1].positions);
}

TEST_F(LevelFileTest, ExactNameWinsOverTheLowerCaseOne) {
    LevelTable upper = distinctLevels();
    LevelTable lower = distinctLevels();
    lower[0].name = levelName("lower");
    writeBytes(path("qvl.ZHN"), tableBytes(upper));
    writeBytes(path("qvl.zhn"), tableBytes(lower));
    start();
    EXPECT_EQ(frm->game().levels()[0].name, upper[0].name);
}

}  // namespace
