// Helpers shared by the tests of the level and saved-game commands.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <functional>

#include "gamefixture.h"
#include "ui/frmlevel.h"
#include "ui/frmfile.h"

inline QByteArray readBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

inline void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

inline QString qs(const std::u16string& text) { return QString::fromStdU16String(text); }

// Everything a refused command must leave alone.
struct GameSnapshot {
    quorvale::Board board;
    std::int32_t steps;
    std::int16_t levelIndex;
    bool gameModified;
    bool congratulationShown;
    bool saveEnabled;
    QString status;
    std::array<std::u16string, quorvale::kLevelCount> names;

    bool operator==(const GameSnapshot& o) const {
        return board.cells == o.board.cells && steps == o.steps && levelIndex == o.levelIndex &&
               gameModified == o.gameModified && congratulationShown == o.congratulationShown &&
               saveEnabled == o.saveEnabled && status == o.status && names == o.names;
    }
};

class CommandTest : public GameTest {
protected:
    GameSnapshot snapshot() const {
        GameSnapshot s{frm->game().board(),          frm->game().steps(),
                       frm->game().levelIndex(),       frm->game().gameModified(),
                       frm->imgCong->Visible(), frm->mnuSaveGame->isEnabled(),
                       frm->lblStatus->text(), {}};
        for (int i = 0; i < quorvale::kLevelCount; ++i) s.names[i] = frm->game().levels()[i].name;
        return s;
    }

    // On the "Easy" level (index 0): moves the bottom-left single piece one
    // cell right. One step, game changed, not solved.
    void makeMove() {
        const int before = frm->game().steps();
        dragPiece(8, {30, 30}, {cellCentre(1, 4)});
        ASSERT_EQ(frm->game().steps(), before + 1);
        ASSERT_TRUE(frm->game().gameModified());
    }

    // On the "Easy" level: moves the square one row down onto the exit.
    void solveEasy() {
        dragPiece(0, {30, 30}, {cellCentre(1, 3)});
        ASSERT_TRUE(frm->imgCong->Visible());
        ASSERT_FALSE(frm->mnuSaveGame->isEnabled());
    }

    QString savedPath(const QString& file) const { return path("saved") + QDir::separator() + file; }

    QStringList savedEntries() const {
        return QDir(path("saved")).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }

    // Saves the game in play under `name` through File > Save Game.
    void saveAs(const QString& name) {
        tk.inputAnswers.push_back(name);
        frm->mnuSaveGame->trigger();
    }

    // Queues a load-chooser script that takes the file `name`.
    void queuePickFile(const QString& name, std::function<void()> beforeAccept = {}) {
        tk.modalScripts.push_back([name, beforeAccept](QDialog& dialog) {
            auto& chooser = dynamic_cast<FrmFile&>(dialog);
            const auto found = chooser.filList->findItems(name, Qt::MatchExactly);
            ASSERT_EQ(found.size(), 1) << name.toStdString();
            chooser.filList->setCurrentItem(found.front());
            if (beforeAccept) beforeAccept();
            QTest::mouseClick(chooser.cmdSet, Qt::LeftButton);
        });
    }

    // Queues a dialog script that presses the dialog's Cancel button.
    void queueCancel() {
        tk.modalScripts.push_back([](QDialog& dialog) {
            auto* cancel = dialog.findChild<QPushButton*>();
            for (QPushButton* b : dialog.findChildren<QPushButton*>()) {
                if (b->text() == QStringLiteral("Cancel")) cancel = b;
            }
            ASSERT_NE(cancel, nullptr);
            QTest::mouseClick(cancel, Qt::LeftButton);
        });
    }
};
