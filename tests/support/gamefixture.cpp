#include "gamefixture.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QTest>

#include "app/modmain.h"
#include "solver/layoutpicture.h"
#include "ui/frmlevel.h"

using quorvale::LevelTable;
using quorvale::Positions;

Positions layoutFromPicture(const std::array<const char*, 5>& rows) {
    quorvale::LayoutPicture picture;
    for (std::size_t r = 0; r < rows.size(); ++r) picture[r] = rows[r];
    Positions positions{};
    std::string error;
    if (!quorvale::layoutFromPicture(picture, positions, error)) ADD_FAILURE() << "bad test layout: " << error;
    return positions;
}

std::u16string levelName(const char* text) {
    std::u16string name;
    for (const char* p = text; *p; ++p) name.push_back(static_cast<char16_t>(*p));
    name.resize(quorvale::kLevelNameLength, u' ');
    return name;
}

LevelTable testLevels() {
    LevelTable levels;
    const Positions classic = layoutFromPicture({"TSST", "TSST", "TWWT", "TooT", "o..o"});
    for (int i = 0; i < quorvale::kLevelCount; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "Test %02d", i + 1);
        levels[i].name = levelName(name);
        levels[i].positions = classic;
    }
    levels[0].name = levelName("Easy");
    levels[0].positions = layoutFromPicture({"TWWT", "TooT", "TSST", "TSST", "o..o"});
    levels[1].name = levelName("Classic");
    return levels;
}

void playOneMove(quorvale::Game& game) {
    game.setLevels(testLevels());
    ASSERT_EQ(game.startLevel(0), "");
    // Piece 8 stands on column 0, row 4: its image at pixel (30, 270), 60 x 60.
    const quorvale::TwipsPerPixel tpp{15, 15};
    const quorvale::ImagePlace image{450, 4050};
    game.dragPress(8, image, {900, 900}, {1, 450, 450}, tpp);
    game.dragRelease(8, image, {1, 1350, 450}, tpp);
    ASSERT_EQ(game.steps(), 1);
    ASSERT_TRUE(game.gameModified());
}

namespace {
struct Region {
    int left, top, width, height;
};
constexpr Region kRegions[15] = {
    {0, 0, 280, 20},     {0, 20, 20, 300},    {260, 20, 20, 300}, {0, 320, 280, 20},
    {280, 0, 90, 340},   {0, 340, 370, 40},   {20, 20, 120, 120}, {140, 20, 120, 120},
    {20, 140, 120, 60},  {140, 140, 60, 60},  {200, 140, 60, 60}, {20, 200, 60, 120},
    {80, 200, 60, 120},  {140, 200, 60, 120}, {200, 200, 60, 120},
};
}  // namespace

QRgb testSkinColour(int region) {
    return qRgb(10 + region * 15, 250 - region * 13, (region * 97) % 256);
}

void GameTest::SetUp() {
    ASSERT_TRUE(dir.isValid());
    tk.folder = dir.path();
}

void GameTest::TearDown() {
    frm.reset();
}

QString GameTest::path(const QString& name) const {
    return dir.path() + QDir::separator() + name;
}

void GameTest::writeLevels(const LevelTable& levels) {
    auto bytes = quorvale::writeLevelTable(levels);
    ASSERT_TRUE(bytes.has_value());
    QFile file(path("qvl.ZHN"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(reinterpret_cast<const char*>(bytes->data()), static_cast<qint64>(bytes->size()));
}

void GameTest::writeSkin(int width, int height) {
    QImage skin(width, height, QImage::Format_RGB888);
    skin.fill(Qt::black);
    QPainter painter(&skin);
    for (int i = 0; i < 15; ++i) {
        const Region& r = kRegions[i];
        painter.fillRect(r.left, r.top, r.width, r.height, QColor(testSkinColour(i)));
    }
    painter.end();
    ASSERT_TRUE(skin.save(path("qvl.bmp"), "BMP"));
}

FrmMain& GameTest::start() {
    if (!QFile::exists(path("qvl.ZHN"))) writeLevels(testLevels());
    if (!QFile::exists(path("qvl.bmp"))) writeSkin();
    runEntry();
    EXPECT_FALSE(tk.endRequested()) << "start-up ended the program";
    EXPECT_TRUE(frm != nullptr);
    return *frm;
}

void GameTest::runEntry() { frm = modMain::main(tk, savedGames.isNull() ? path("saved") : savedGames); }

void GameTest::startLevel(int index) {
    tk.modalScripts.push_back([index](QDialog& dialog) {
        auto& chooser = dynamic_cast<FrmLevel&>(dialog);
        chooser.lisLevel->setCurrentRow(index);
        QTest::mouseClick(chooser.cmdSetLevel, Qt::LeftButton);
    });
    frm->mnuNewGame->trigger();
}

void GameTest::putGame(int levelIndex, const Positions& positions, std::int32_t steps) {
    const quorvale::SavedGame game{steps, static_cast<std::int16_t>(levelIndex),
                                   frm->game().levels()[static_cast<std::size_t>(levelIndex)].name, positions};
    ASSERT_TRUE(frm->game().loadSavedGame(game));
    frm->showGame();
}

QPoint GameTest::cellCentre(int col, int row) {
    return {60 * col + 60, 60 * row + 60};
}

void GameTest::dragPiece(int piece, QPoint grab, const std::vector<QPoint>& path) {
    ImageControl* image = frm->imgPieces[piece];
    QTest::mousePress(image, Qt::LeftButton, Qt::NoModifier, grab);
    for (const QPoint& p : path) {
        QTest::mouseMove(image, p - image->pos());
    }
    QPoint last = path.empty() ? grab + image->pos() : path.back();
    QTest::mouseRelease(image, Qt::LeftButton, Qt::NoModifier, last - image->pos());
}
