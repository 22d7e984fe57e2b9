#include "scriptedtoolkit.h"

#include <QCoreApplication>
#include <QDialog>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>

#include "app/frmmain.h"
#include "toolkit/dialogplace.h"

namespace {

// Something the script did not foresee: the test has already gone wrong, and
// any answer could keep a command asking for ever. Fail and stop the test
// program here, with what was asked in the log.
[[noreturn]] void stopUnexpected(const std::string& what) {
    ADD_FAILURE() << what;
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(EXIT_FAILURE);
}

}  // namespace

MsgResult ScriptedToolkit::messageBox(QWidget* owner, const QString& text, const QString& title, MsgIcon icon,
                                      MsgButtons buttons) {
    const auto* frm = owner != nullptr ? qobject_cast<const FrmMain*>(owner->window()) : nullptr;
    messages.push_back({text, title, icon, buttons, frm != nullptr ? frm->MousePointer() : -1});
    if (buttons == MsgButtons::Ok) {
        return MsgResult::Ok;
    }
    if (messageAnswers.empty()) {
        stopUnexpected("unexpected question \"" + title.toStdString() + "\": " + text.toStdString());
    }
    MsgResult answer = messageAnswers.front();
    messageAnswers.pop_front();
    return answer;
}

QString ScriptedToolkit::inputBox(QWidget*, const QString& prompt, const QString& title, const QString& defaultText) {
    inputs.push_back({prompt, title, defaultText});
    if (inputAnswers.empty()) stopUnexpected("unexpected input box \"" + title.toStdString() + "\"");
    QString answer = inputAnswers.front();
    inputAnswers.pop_front();
    return answer;
}

void ScriptedToolkit::showModal(QDialog* dialog, QWidget*) {
    modalDialogs.push_back(dialog->windowTitle());
    showPlaced(*dialog);
    QCoreApplication::processEvents();
    if (modalScripts.empty()) stopUnexpected("unexpected dialog \"" + dialog->windowTitle().toStdString() + "\"");
    auto script = std::move(modalScripts.front());
    modalScripts.pop_front();
    script(*dialog);
    if (dialog->isVisible()) {
        dialog->close();
    }
    QCoreApplication::processEvents();
}

int ScriptedToolkit::shellOpen(QWidget* owner, const QString& target, std::function<void()> lateFailure) {
    shellTargets.push_back(target);
    int result = 42;
    if (!shellResults.empty()) {
        result = shellResults.front();
        shellResults.pop_front();
    }
    if (result > 32) pendingOpens_.push_back({owner, std::move(lateFailure)});
    return result;
}

void ScriptedToolkit::refuseLate() {
    std::vector<PendingOpen> pending;
    pending.swap(pendingOpens_);
    for (PendingOpen& open : pending) {
        if (!open.owner.isNull() && open.owner->isVisible() && open.lateFailure) open.lateFailure();
    }
}

void ScriptedToolkit::endProgram(int code) {
    ended_ = true;
    exitCode_ = code;
}

void ScriptedToolkit::expectScriptUsed() const {
    EXPECT_TRUE(messageAnswers.empty()) << messageAnswers.size() << " scripted message answers left";
    EXPECT_TRUE(inputAnswers.empty()) << inputAnswers.size() << " scripted input answers left";
    EXPECT_TRUE(modalScripts.empty()) << modalScripts.size() << " scripted dialogs left";
}
