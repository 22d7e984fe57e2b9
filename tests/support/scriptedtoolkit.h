// A toolkit for tests: records every message box, input box, modal dialog and
// shell call, and answers from a script instead of waiting for a person.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <deque>
#include <functional>
#include <vector>

#include "toolkit/toolkit.h"

struct MessageCall {
    QString text;
    QString title;
    MsgIcon icon;
    MsgButtons buttons;
    // The main window's MousePointer when the box opened; -1 when the box
    // was not owned by the main window.
    int ownerPointer = -1;
};

struct InputCall {
    QString prompt;
    QString title;
    QString defaultText;
};

class ScriptedToolkit final : public Toolkit {
public:
    // Answers to message boxes with more than an OK button, in order. A box
    // with only OK needs no answer. A question with no scripted answer fails
    // the test and ends the test program at once.
    std::deque<MsgResult> messageAnswers;
    // Texts returned by input boxes, in order; "" stands for Cancel. An input
    // box or a dialog with no scripted answer fails the test the same way.
    std::deque<QString> inputAnswers;
    // One callback per modal dialog, in order: it gets the dialog after it
    // has been shown and presses its buttons. A dialog still open after its
    // callback is closed through its frame, as a player closing it would.
    std::deque<std::function<void(QDialog&)>> modalScripts;
    // Results of shell calls in order; 42 (accepted) when none is left.
    std::deque<int> shellResults;

    // What the program asked for.
    std::vector<MessageCall> messages;
    std::vector<InputCall> inputs;
    std::vector<QString> modalDialogs;  // window titles of the dialogs shown
    std::vector<QString> shellTargets;

    double tppX = 15;
    double tppY = 15;
    double screenWidth = 15360;
    double screenHeight = 11520;
    QString folder;

    MsgResult messageBox(QWidget* owner, const QString& text, const QString& title, MsgIcon icon,
                         MsgButtons buttons) override;
    QString inputBox(QWidget* owner, const QString& prompt, const QString& title, const QString& defaultText) override;
    void showModal(QDialog* dialog, QWidget* owner) override;
    int shellOpen(QWidget* owner, const QString& target, std::function<void()> lateFailure) override;
    // The desktop refuses every accepted request made so far, late, as the
    // real opener may: each caller whose window is still open is told, once.
    void refuseLate();
    double twipsPerPixelX() const override { return tppX; }
    double twipsPerPixelY() const override { return tppY; }
    double screenWidthTwips() const override { return screenWidth; }
    double screenHeightTwips() const override { return screenHeight; }
    QString programFolder() const override { return folder; }
    void endProgram(int code) override;
    bool endRequested() const override { return ended_; }
    int exitCode() const override { return exitCode_; }

    // Checks that every scripted answer was used.
    void expectScriptUsed() const;

private:
    struct PendingOpen {
        QPointer<QWidget> owner;
        std::function<void()> lateFailure;
    };
    std::vector<PendingOpen> pendingOpens_;
    bool ended_ = false;
    int exitCode_ = 0;
};
