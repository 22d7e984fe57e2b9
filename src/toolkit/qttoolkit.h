// The toolkit seam on Qt Widgets.
#pragma once

#include <QObject>
#include <chrono>

#include "toolkit/toolkit.h"

class QtToolkit final : public Toolkit {
public:
    // `openerVerdict`: how long the desktop's opener may take to report a
    // failure that the player is still told about.
    explicit QtToolkit(std::chrono::milliseconds openerVerdict = std::chrono::seconds(10));
    // Openers still running are left to run; the game no longer follows them.
    ~QtToolkit() override;

    MsgResult messageBox(QWidget* owner, const QString& text, const QString& title, MsgIcon icon,
                         MsgButtons buttons) override;
    QString inputBox(QWidget* owner, const QString& prompt, const QString& title, const QString& defaultText) override;
    void showModal(QDialog* dialog, QWidget* owner) override;
    int shellOpen(QWidget* owner, const QString& target, std::function<void()> lateFailure) override;
    double twipsPerPixelX() const override;
    double twipsPerPixelY() const override;
    double screenWidthTwips() const override;
    double screenHeightTwips() const override;
    QString programFolder() const override;
    void endProgram(int exitCode) override;
    bool endRequested() const override { return ended_; }
    int exitCode() const override { return exitCode_; }

private:
    std::chrono::milliseconds openerVerdict_;
    QObject openers_;  // the watch over each opener still followed
    bool ended_ = false;
    int exitCode_ = 0;
};
