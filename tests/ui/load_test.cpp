// File > Load Game and the saved-game chooser.
#include <unistd.h>

#include "commandtest.h"
#include "saves/savefile.h"

namespace {

// The bytes of a saved game, built by hand so a test can damage them.
QByteArray savedGameBytes(std::int32_t steps, std::int16_t levelIndex, const char* name,
                          const quorvale::Positions& positions) {
    QByteArray bytes(36, '\0');
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>((static_cast<std::uint32_t>(steps) >> (8 * i)) & 0xFF);
    bytes[4] = static_cast<char>(levelIndex & 0xFF);
    bytes[5] = static_cast<char>((static_cast<std::uint16_t>(levelIndex) >> 8) & 0xFF);
    QByteArray n(name);
    n = n.leftJustified(10, ' ', true);
    bytes.replace(6, 10, n);
    for (int k = 0; k < 10; ++k) {
        const auto v = static_cast<std::uint16_t>(positions[k]);
        bytes[16 + 2 * k] = static_cast<char>(v & 0xFF);
        bytes[17 + 2 * k] = static_cast<char>(v >> 8);
    }
    return bytes;
}

const quorvale::Positions kOtherLayout = layoutFromPicture({"TToo", "TToo", "SSTT", "SSTT", "WW.."});

class LoadTest : public CommandTest {
protected:
    void writeSaved(const QString& name, const QByteArray& bytes) { writeBytes(savedPath(name), bytes); }

    void expectBoardShows(const quorvale::Positions& positions) {
        quorvale::Pieces expected = frm->game().pieces();
        quorvale::decodePositions(expected, positions);
        quorvale::Board board;
        quorvale::clearBoard(board);
        quorvale::markAllPieces(board, expected);
        EXPECT_EQ(frm->game().board().cells, board.cells);
        for (int i = 0; i < quorvale::kPieceCount; ++i) {
            EXPECT_EQ(frm->game().pieces()[i].col, expected[i].col) << "piece " << i;
            EXPECT_EQ(frm->game().pieces()[i].row, expected[i].row) << "piece " << i;
            // (60 x cell + 30) pixels at 15 twips a pixel.
            EXPECT_EQ(frm->imgPieces[i]->Left(), 900 * expected[i].col + 450);
            EXPECT_EQ(frm->imgPieces[i]->Top(), 900 * expected[i].row + 450);
            EXPECT_TRUE(frm->imgPieces[i]->Visible());
        }
    }
};

TEST_F(LoadTest, ChooserWithoutSavedGamesIsEmptyAndCannotAccept) {
    start();
    tk.modalScripts.push_back([this](QDialog& dialog) {
        auto& chooser = dynamic_cast<FrmFile&>(dialog);
        EXPECT_EQ(chooser.windowTitle(), "Load Game");
        EXPECT_EQ(chooser.cmdSet->text(), "Load Game");
        EXPECT_EQ(chooser.bytFlag, 1);
        EXPECT_EQ(chooser.width() * tk.tppX, 5190);
        EXPECT_EQ(chooser.height() * tk.tppY, 3675);
        // Outer 5250 x 3735 twips over the main window: (5055, 3892) twips, rounded pixels.
        EXPECT_EQ(chooser.frameGeometry().topLeft(), QPoint(337, 259));
        EXPECT_EQ(chooser.filList->count(), 0);
        EXPECT_FALSE(chooser.cmdSet->isEnabled());
        EXPECT_FALSE(chooser.cmdSet->isDefault() || chooser.cmdSet->autoDefault());
        EXPECT_FALSE(chooser.cmdCancel->isDefault() || chooser.cmdCancel->autoDefault());
        QTest::keyClick(chooser.filList, Qt::Key_Escape);
        QTest::keyClick(chooser.filList, Qt::Key_Return);
        EXPECT_TRUE(chooser.isVisible());
        QTest::mouseClick(chooser.cmdCancel, Qt::LeftButton);
        EXPECT_FALSE(chooser.isVisible());
    });
    frm->mnuLoadGame->trigger();
    EXPECT_TRUE(tk.messages.empty());
    EXPECT_EQ(frm->absFilename, "");
    EXPECT_FALSE(frm->mnuSaveGame->isEnabled());
    EXPECT_FALSE(frm->imgPieces[0]->Visible());
    tk.expectScriptUsed();
}

TEST_F(LoadTest, MissingSavedFolderShowsAnEmptyList) {
    start();
    ASSERT_TRUE(QDir(path("saved")).removeRecursively());
    tk.modalScripts.push_back([](QDialog& dialog) {
        auto& chooser = dynamic_cast<FrmFile&>(dialog);
        EXPECT_EQ(chooser.filList->count(), 0);
        EXPECT_FALSE(chooser.cmdSet->isEnabled());
    });
    frm->mnuLoadGame->trigger();
    EXPECT_EQ(frm->absFilename, "");
    tk.expectScriptUsed();
}

TEST_F(LoadTest, ListsOnlySavedGamesWithExtensionInNameOrder) {
    start();
    const QByteArray game = savedGameBytes(0, 1, "Classic", testLevels()[1].positions);
    for (const char* name : {"beta.sav", "Alpha.sav", "gamma.sav", "notes.txt", ".hidden.sav", "sav"}) {
        writeSaved(name, game);
    }
    ASSERT_TRUE(QDir().mkdir(savedPath("folder.sav")));
    // Names from other systems, and links: a game is listed when it is a plain file, readably, on one line.
    const QByteArray saved = QFile::encodeName(path("saved")) + '/';
    // Every control character and the line and paragraph separators show as spaces: C0, DEL, an
    // undefined Windows-1252 byte (a C1 control), C1 in UTF-8, U+2028 and U+2029.
    for (const QByteArray& raw : {QByteArray("\xe9t\xe9.sav"), QByteArray("two\nlines.sav"), QByteArray("del\x7f.sav"),
                                  QByteArray("c1\x81\xe9.sav"), QByteArray("nel\xc2\x85.sav"),
                                  QByteArray("line\xe2\x80\xa8sep.sav"), QByteArray("para\xe2\x80\xa9sep.sav")}) {
        writeSaved("raw", savedGameBytes(0, 2, "Test 03", kOtherLayout));
        ASSERT_EQ(::rename(saved + "raw", saved + raw), 0);
    }
    for (const char* link : {"link.sav:beta.sav", "zero.sav:/dev/zero", "gone.sav:missing.sav"}) {
        const QList<QByteArray> parts = QByteArray(link).split(':');
        ASSERT_EQ(::symlink(parts[1].constData(), saved + parts[0]), 0);
    }
    tk.modalScripts.push_back([](QDialog& dialog) {
        auto& chooser = dynamic_cast<FrmFile&>(dialog);
        QStringList lines;
        for (int i = 0; i < chooser.filList->count(); ++i) lines << chooser.filList->item(i)->text();
        EXPECT_EQ(lines, (QStringList{"Alpha.sav", "beta.sav", QString::fromUtf8("c1 \xc3\xa9.sav"), "del .sav",
                                      "gamma.sav", "line sep.sav", "link.sav", "nel .sav", "para sep.sav",
                                      "two lines.sav", QString::fromUtf8("\xc3\xa9t\xc3\xa9.sav")}));
        EXPECT_TRUE(chooser.cmdSet->isEnabled());
        EXPECT_TRUE(chooser.filList->selectedItems().isEmpty());
        // Accepting with nothing selected keeps the chooser open.
        QTest::mouseClick(chooser.cmdSet, Qt::LeftButton);
        EXPECT_TRUE(chooser.isVisible());
        chooser.filList->setCurrentRow(1);  // beta.sav
        QTest::mouseClick(chooser.cmdSet, Qt::LeftButton);
        EXPECT_FALSE(chooser.isVisible());
    });
    frm->mnuLoadGame->trigger();
    EXPECT_EQ(frm->absFilename, path("saved") + QDir::separator() + "beta.sav");
    EXPECT_EQ(frm->game().levelIndex(), 1);
    queuePickFile(QString::fromUtf8("\xc3\xa9t\xc3\xa9.sav"));
    frm->mnuLoadGame->trigger();
    EXPECT_TRUE(tk.messages.empty());
    EXPECT_EQ(frm->game().levelIndex(), 2);
    tk.expectScriptUsed();
}

TEST_F(LoadTest, RestoresStepsLevelAndPieces) {
    start();
    writeSaved("twelve.sav", savedGameBytes(12, 5, "Test 06", kOtherLayout));
    queuePickFile("twelve.sav");
    frm->mnuLoadGame->trigger();
    EXPECT_TRUE(tk.messages.empty());
    EXPECT_EQ(frm->game().steps(), 12);
    EXPECT_EQ(frm->game().levelIndex(), 5);
    EXPECT_FALSE(frm->game().gameModified());
    EXPECT_TRUE(frm->mnuSaveGame->isEnabled());
    EXPECT_EQ(frm->lblStatus->text(), "Level: 6 - Test 06       Steps: 12");
    expectBoardShows(kOtherLayout);
    tk.expectScriptUsed();
}

TEST_F(LoadTest, LoadingOverASolvedGameHidesTheBanner) {
    start();
    startLevel(0);
    solveEasy();
    writeSaved("next.sav", savedGameBytes(3, 1, "Classic", testLevels()[1].positions));
    queuePickFile("next.sav");
    frm->mnuLoadGame->trigger();
    EXPECT_FALSE(frm->imgCong->Visible());
    EXPECT_TRUE(frm->mnuSaveGame->isEnabled());
    EXPECT_EQ(frm->game().steps(), 3);
}

TEST_F(LoadTest, StoredLevelNameReplacesTheTablesNameAndShowsInTheLevelList) {
    start();
    writeSaved("renamed.sav", savedGameBytes(0, 3, "Renamed", testLevels()[3].positions));
    queuePickFile("renamed.sav");
    frm->mnuLoadGame->trigger();
    EXPECT_EQ(qs(frm->game().levels()[3].name), "Renamed   ");
    EXPECT_EQ(frm->lblStatus->text(), "Level: 4 - Renamed       Steps: 0");
    tk.modalScripts.push_back([](QDialog& dialog) {
        auto& chooser = dynamic_cast<FrmLevel&>(dialog);
        EXPECT_EQ(chooser.lisLevel->item(3)->text(), "Level 4 - Renamed   ");
        QTest::mouseClick(chooser.cmdCancel, Qt::LeftButton);
    });
    frm->mnuNewGame->trigger();
    tk.expectScriptUsed();
}

TEST_F(LoadTest, CancelLoadsNothingAndLeavesTheGameUnchanged) {
    start();
    startLevel(0);
    makeMove();
    GameSnapshot before = snapshot();

    // Cancel at the question: no chooser, still changed.
    tk.messageAnswers = {MsgResult::Cancel};
    frm->mnuLoadGame->trigger();
    EXPECT_EQ(tk.modalDialogs.size(), 1u);  // only the New Game chooser
    ASSERT_EQ(tk.messages.size(), 1u);
    EXPECT_EQ(tk.messages[0].title, "Quorvale - Load game");
    EXPECT_EQ(tk.messages[0].text, "Would you like to save the current game?");
    EXPECT_EQ(tk.messages[0].icon, MsgIcon::Question);
    EXPECT_EQ(tk.messages[0].buttons, MsgButtons::YesNoCancel);
    EXPECT_TRUE(snapshot() == before);

    // No, then Cancel in the chooser: nothing loaded, but the changed mark is gone.
    writeSaved("other.sav", savedGameBytes(0, 1, "Classic", testLevels()[1].positions));
    tk.messageAnswers = {MsgResult::No};
    queueCancel();
    frm->mnuLoadGame->trigger();
    before.gameModified = false;
    EXPECT_TRUE(snapshot() == before);
    EXPECT_EQ(frm->absFilename, "");

    // A close through the frame is a Cancel too, whatever absFilename held.
    frm->absFilename = savedPath("other.sav");
    tk.modalScripts.push_back([](QDialog&) {});
    frm->mnuLoadGame->trigger();
    EXPECT_EQ(frm->absFilename, "");
    EXPECT_TRUE(snapshot() == before);

    // Nothing left to save: closing asks nothing.
    tk.messages.clear();
    frm->close();
    EXPECT_TRUE(tk.messages.empty());
    EXPECT_TRUE(!frm->isVisible());
    tk.expectScriptUsed();
}

TEST_F(LoadTest, DamagedSavedGamesAreRefusedAndChangeNothing) {
    start();
    startLevel(0);
    solveEasy();  // banner shown and Save Game disabled: both must stay so
    const quorvale::Positions good = testLevels()[1].positions;
    quorvale::Positions outside = good;
    outside[1] = 33;  // the wide piece reaching past the right edge
    quorvale::Positions overlapping = good;
    overlapping[7] = overlapping[8];

    struct Case {
        const char* file;
        QByteArray bytes;
        QString reason;
    };
    const std::vector<Case> cases = {
        {"short.sav", savedGameBytes(4, 1, "Short", good).left(35),
         "The file holds 35 bytes, too few for a saved game, which needs 36."},
        {"past.sav", savedGameBytes(4, 70, "Past", good), "The saved game names level 71, but the levels are numbered 1 to 70."},
        {"before.sav", savedGameBytes(4, -1, "Before", good),
         "The saved game names level 0, but the levels are numbered 1 to 70."},
        {"outside.sav", savedGameBytes(4, 1, "Outside", outside),
         "The wide piece with its left cell in column 4, row 4 does not fit on the board."},
        {"overlap.sav", savedGameBytes(4, 1, "Overlap", overlapping), "Two small pieces overlap in column 1, row 5."},
    };
    for (const Case& c : cases) writeSaved(c.file, c.bytes);
    writeSaved("vanished.sav", savedGameBytes(4, 1, "Vanished", good));

    const GameSnapshot before = snapshot();
    auto expectRefused = [&](const QString& file, const QString& reason) {
        ASSERT_EQ(tk.messages.size(), 1u) << file.toStdString();
        const MessageCall& m = tk.messages[0];
        EXPECT_EQ(m.title, "Quorvale - Load game");
        EXPECT_EQ(m.icon, MsgIcon::Error);
        EXPECT_EQ(m.buttons, MsgButtons::Ok);
        EXPECT_EQ(m.text, "The saved game could not be loaded.\r\n" + savedPath(file) + "\r\n" + reason);
        EXPECT_TRUE(snapshot() == before) << file.toStdString();
    };

    for (const Case& c : cases) {
        tk.messages.clear();
        queuePickFile(c.file);
        frm->mnuLoadGame->trigger();
        expectRefused(c.file, c.reason);
    }

    // A file that disappears between listing and loading.
    tk.messages.clear();
    const QString vanishing = savedPath("vanished.sav");
    queuePickFile("vanished.sav", [vanishing] { ASSERT_TRUE(QFile::remove(vanishing)); });
    frm->mnuLoadGame->trigger();
    expectRefused("vanished.sav", "The file no longer exists.");
    tk.expectScriptUsed();
}

TEST_F(LoadTest, BytesAfterTheRecordAreIgnored) {
    start();
    writeSaved("long.sav", savedGameBytes(7, 2, "Test 03", kOtherLayout) + QByteArray(64, '\xff'));
    queuePickFile("long.sav");
    frm->mnuLoadGame->trigger();
    EXPECT_TRUE(tk.messages.empty());
    EXPECT_EQ(frm->game().steps(), 7);
    EXPECT_EQ(frm->game().levelIndex(), 2);
    expectBoardShows(kOtherLayout);
}

TEST_F(LoadTest, SaveThenLoadRestoresTheBoardCellForCell) {
    start();
    startLevel(0);
    makeMove();
    dragPiece(4, {30, 30}, {cellCentre(0, 3)});  // the left tall piece one row down
    ASSERT_EQ(frm->game().steps(), 2);
    const GameSnapshot saved = snapshot();
    saveAs("round trip");
    ASSERT_TRUE(tk.messages.empty());

    startLevel(1);
    ASSERT_NE(frm->game().board().cells, saved.board.cells);
    queuePickFile("round trip.sav");
    frm->mnuLoadGame->trigger();
    EXPECT_EQ(frm->game().board().cells, saved.board.cells);
    EXPECT_EQ(frm->game().steps(), saved.steps);
    EXPECT_EQ(frm->game().levelIndex(), 0);
    EXPECT_EQ(frm->lblStatus->text(), saved.status);
    EXPECT_FALSE(frm->game().gameModified());
    tk.expectScriptUsed();
}

}  // namespace
