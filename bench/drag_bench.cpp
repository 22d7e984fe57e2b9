// Dragging cost: 10,000 pointer moves through the real event handlers of the
// offscreen main window. A piece with a free cell beside it is pressed, then
// the pointer goes back and forth between its cell and the free one, so the
// piece follows on every move; the release puts it back where it started.
// Measured twice: the moves alone, and each move followed by the repaint the
// event loop would do before the next frame.
//
// Usage: drag_bench [GAME_FOLDER]   (the folder with qvl.ZHN and qvl.bmp)
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QTest>
#include <cstdio>
#include <cstdlib>

#include "app/frmmain.h"
#include "app/modmain.h"

namespace {

// Just enough toolkit for a scripted game: New Game takes the level set in
// newLevel beforehand; any message box means something went wrong.
class BenchToolkit final : public Toolkit {
public:
    explicit BenchToolkit(QString folder) : folder_(std::move(folder)) {}
    MsgResult messageBox(QWidget*, const QString& text, const QString& title, MsgIcon, MsgButtons) override {
        std::fprintf(stderr, "unexpected message \"%s\": %s\n", qPrintable(title), qPrintable(text));
        std::exit(1);
    }
    QString inputBox(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    void showModal(QDialog*, QWidget*) override {}
    int shellOpen(QWidget*, const QString&, std::function<void()>) override { return 42; }
    double twipsPerPixelX() const override { return 15; }
    double twipsPerPixelY() const override { return 15; }
    double screenWidthTwips() const override { return 1920 * 15; }
    double screenHeightTwips() const override { return 1080 * 15; }
    QString programFolder() const override { return folder_; }
    void endProgram(int code) override {
        std::fprintf(stderr, "the game ended during start-up (%d)\n", code);
        std::exit(1);
    }
    bool endRequested() const override { return false; }
    int exitCode() const override { return 0; }

private:
    QString folder_;
};

QPoint cellCentre(int col, int row) { return {60 * col + 60, 60 * row + 60}; }

struct Drag {
    int piece;
    QPoint from;  // centre of the piece's own cell
    QPoint to;    // centre of the free cell beside it
};

// A small piece (6..9) with a free cell next to it in its row or column.
bool findDrag(FrmMain& frm, Drag& drag) {
    const quorvale::Board& board = frm.game().board();
    for (int piece = 6; piece <= 9; ++piece) {
        const quorvale::PiecePos& p = frm.game().pieces()[static_cast<std::size_t>(piece)];
        const int steps[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
        for (const auto& s : steps) {
            const int c = p.col + s[0];
            const int r = p.row + s[1];
            if (quorvale::isOnBoard(c, r) && board.at(c, r) == quorvale::kEmptyCell) {
                drag = {piece, cellCentre(p.col, p.row), cellCentre(c, r)};
                return true;
            }
        }
    }
    return false;
}

// Moves the pointer `moves` times; returns nanoseconds per move.
double run(FrmMain& frm, const Drag& drag, int moves, bool repaint, int& followed) {
    ImageControl* image = frm.imgPieces[static_cast<std::size_t>(drag.piece)];
    QTest::mousePress(image, Qt::LeftButton, Qt::NoModifier, QPoint(30, 30));
    QElapsedTimer timer;
    timer.start();
    QPoint last = image->pos();
    for (int i = 0; i < moves; ++i) {
        const QPoint target = (i % 2 == 0) ? drag.to : drag.from;
        QTest::mouseMove(image, target - image->pos());
        if (repaint) QCoreApplication::processEvents();
        if (image->pos() != last) {
            ++followed;
            last = image->pos();
        }
    }
    const qint64 ns = timer.nsecsElapsed();
    QTest::mouseRelease(image, Qt::LeftButton, Qt::NoModifier, drag.from - image->pos());
    QCoreApplication::processEvents();
    return static_cast<double>(ns) / moves;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    BenchToolkit toolkit(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(QUORVALE_GAME_DIR));
    std::unique_ptr<FrmMain> frm = modMain::main(toolkit);

    Drag drag{};
    for (int level = 0; level < quorvale::kLevelCount; ++level) {
        frm->game().markSaved();
        frm->newLevel = static_cast<std::int16_t>(level);
        frm->mnuNewGame->trigger();
        if (frm->imgPieces[0]->Visible() && findDrag(*frm, drag)) break;
        drag.piece = -1;
    }
    if (drag.piece < 0) {
        std::fprintf(stderr, "no level has a small piece beside a free cell\n");
        return 1;
    }
    QCoreApplication::processEvents();

    constexpr int kMoves = 10000;
    int followed = 0;
    run(*frm, drag, 200, true, followed);  // warm-up
    followed = 0;
    const double movesOnly = run(*frm, drag, kMoves, false, followed);
    const int followedMoves = followed;
    followed = 0;
    const double withPaint = run(*frm, drag, kMoves, true, followed);

    if (followedMoves != kMoves || followed != kMoves || frm->game().steps() != 0) {
        std::fprintf(stderr, "the piece did not follow every move (%d, %d of %d; steps %d)\n", followedMoves,
                     followed, kMoves, frm->game().steps());
        return 1;
    }
    std::printf("drag moves %d per_move_us %.2f with_repaint_us %.2f piece %d\n", kMoves, movesOnly / 1000.0,
                withPaint / 1000.0, drag.piece);
    return 0;
}
