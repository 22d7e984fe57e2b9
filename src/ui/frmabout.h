// The About box: picture, version line, author's notice, two links that go
// to the desktop, and a hidden sequence of modified presses.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QString>
#include <array>
#include <cstdint>

#include "core/board.h"

class ImageControl;
class PicClip;
class QPushButton;
class Toolkit;

// A label that reports presses, moves and left clicks (a left press and a
// left release on the label) with the button number and the modifier set.
class PressLabel : public QLabel {
    Q_OBJECT
public:
    explicit PressLabel(QWidget* parent);

signals:
    void mouseDown(int button, int shift);
    void mouseMoved();
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool leftPressed_ = false;
};

class FrmAbout : public QDialog {
    Q_OBJECT
public:
    // Loads the box over the main window `owner`: builds it and runs its
    // load step. The hidden sequence swaps sprites of `skin` into the piece
    // images `pieces` of the main window.
    FrmAbout(QWidget& owner, Toolkit& toolkit, PicClip& skin,
             const std::array<ImageControl*, quorvale::kPieceCount>& pieces);

    static const QString kEmailAddress;
    static const QString kWebPage;
    static QString mailLink();
    // "Quorvale Version " + major + "." + minor followed directly by the revision.
    static QString versionLine(int major, int minor, int revision);

    PressLabel* imgTamberlo = nullptr;
    QLabel* lblProd = nullptr;
    QPushButton* cmdOk = nullptr;
    PressLabel* lblEmail = nullptr;
    PressLabel* lblUpdates = nullptr;

    // Progress of the hidden sequence: 0, 2 or 3.
    std::uint8_t eggStage = 0;

    void Form_Load();
    void cmdOk_Click();
    void lblEmail_Click();
    void lblUpdates_Click();
    void lblEmail_MouseDown(int button, int shift);
    void lblUpdates_MouseDown(int button, int shift);
    void imgTamberlo_MouseDown(int button, int shift);

private:
    // Hands a link to the desktop; `failure` and `title` make the message
    // shown when the desktop cannot open it.
    void openLink(const QString& target, const QString& failure, const QString& title);
    void showHiddenSprites();

    QWidget& owner_;
    Toolkit& toolkit_;
    PicClip& skin_;
    std::array<ImageControl*, quorvale::kPieceCount> pieces_;
};
