// The toolkit seam on Qt Widgets.
#pragma once

#include "toolkit/toolkit.h"

class QtToolkit final : public Toolkit {
public:
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
    bool ended_ = false;
    int exitCode_ = 0;
};
