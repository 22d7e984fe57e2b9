// The one seam between the forms and the desktop: message boxes, the input
// box, modal dialogs, the shell, screen metrics, the program folder and
// ending the program. QtToolkit serves the real program; tests use
// ScriptedToolkit (tests/support) to script the player's answers.
#pragma once

#include <QString>
#include <functional>

class QDialog;
class QWidget;

enum class MsgIcon { Error, Question, Exclamation, Information };
enum class MsgButtons { Ok, YesNo, YesNoCancel };
enum class MsgResult { Ok, Yes, No, Cancel };

class Toolkit {
public:
    virtual ~Toolkit() = default;

    // Modal message box owned by `owner`. Lines of `text` are joined by "\r\n".
    virtual MsgResult messageBox(QWidget* owner, const QString& text, const QString& title, MsgIcon icon,
                                 MsgButtons buttons) = 0;

    // Modal input box; returns the text, "" for Cancel.
    virtual QString inputBox(QWidget* owner, const QString& prompt, const QString& title,
                             const QString& defaultText) = 0;

    // Shows a loaded dialog modally over `owner` and returns once it has closed.
    virtual void showModal(QDialog* dialog, QWidget* owner) = 0;

    // Hands a document or link to the desktop ("open") and returns at once.
    // Above 32 means accepted. A local path is given as a plain path,
    // anything with a scheme as a URL. The desktop may still refuse an
    // accepted request a little later; then `lateFailure` runs, provided
    // `owner` is still open, so it can tell the player as for a refusal at once.
    virtual int shellOpen(QWidget* owner, const QString& target, std::function<void()> lateFailure) = 0;

    virtual double twipsPerPixelX() const = 0;
    virtual double twipsPerPixelY() const = 0;
    virtual double screenWidthTwips() const = 0;
    virtual double screenHeightTwips() const = 0;

    // The folder that holds the executable and its data files, no trailing separator.
    virtual QString programFolder() const = 0;

    // Ends the program at once with a non-zero status; the caller returns
    // straight after and runs nothing more.
    virtual void endProgram(int exitCode) = 0;
    virtual bool endRequested() const = 0;
    virtual int exitCode() const = 0;
};

