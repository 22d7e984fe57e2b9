#include "app/qttoolkit.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QScreen>
#include <QUrl>
#include <QVBoxLayout>

#include "saves/savedfolder.h"
#include <memory>

namespace {

// The window that asks: the given owner, else whatever window is active.
QWidget* ownerOr(QWidget* owner) {
    if (owner != nullptr) return owner->window();
    return QApplication::activeWindow();
}

double logicalDpiX() {
    QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen != nullptr ? screen->logicalDotsPerInchX() : 96.0;
    return dpi > 0 ? dpi : 96.0;
}

double logicalDpiY() {
    QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen != nullptr ? screen->logicalDotsPerInchY() : 96.0;
    return dpi > 0 ? dpi : 96.0;
}

// Shell results in the desktop shell's terms: above 32 accepted.
constexpr int kShellAccepted = 42;
constexpr int kShellFileNotFound = 2;
constexpr int kShellNoAssociation = 31;

// How long the desktop's opener gets to report a failure. An opener that is
// still running by then has handed the request on (or is the program that
// shows it) and counts as accepted.
constexpr int kOpenerVerdictMs = 2000;
constexpr int kOpenerSliceMs = 20;

// While the opener is being waited for, the windows keep repainting but take
// no input, as under a modal box: presses, keys and closes are dropped, so
// the player cannot start a second action before the first has its answer.
class InputBlocker final : public QObject {
public:
    InputBlocker() {
        qApp->installEventFilter(this);
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~InputBlocker() override {
        QGuiApplication::restoreOverrideCursor();
        qApp->removeEventFilter(this);
    }
    InputBlocker(const InputBlocker&) = delete;
    InputBlocker& operator=(const InputBlocker&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
            return true;
        case QEvent::Close:
            event->ignore();
            return true;
        default:
            return QObject::eventFilter(watched, event);
        }
    }
};

// Runs the desktop's opener on `url` and turns its outcome into a shell
// result: it cannot be started, ends with a non-zero status or dies on a
// signal within the verdict time: failure; ends with 0: accepted; still
// running: accepted, and it is left to run on its own. Its process object
// deletes itself once it ends, which also reaps it.
int runOpener(const QString& url) {
    auto opener = std::make_unique<QProcess>();
    opener->setProgram(QStringLiteral("xdg-open"));
    opener->setArguments({url});
    // Its output goes where ours goes; an unread pipe could stall a browser
    // that the opener turns into.
    opener->setProcessChannelMode(QProcess::ForwardedChannels);
    opener->setStandardInputFile(QProcess::nullDevice());
    opener->start();
    if (!opener->waitForStarted()) return kShellNoAssociation;

    {
        InputBlocker blocker;
        QElapsedTimer clock;
        clock.start();
        while (opener->state() != QProcess::NotRunning && clock.elapsed() < kOpenerVerdictMs) {
            if (opener->waitForFinished(kOpenerSliceMs)) break;
            QCoreApplication::processEvents(QEventLoop::AllEvents, kOpenerSliceMs);
        }
    }

    if (opener->state() == QProcess::NotRunning) {
        const bool clean = opener->exitStatus() == QProcess::NormalExit && opener->exitCode() == 0;
        return clean ? kShellAccepted : kShellNoAssociation;
    }
    QProcess* running = opener.release();
    QObject::connect(running, &QProcess::finished, running, &QObject::deleteLater);
    return kShellAccepted;
}

}  // namespace

MsgResult QtToolkit::messageBox(QWidget* owner, const QString& text, const QString& title, MsgIcon icon,
                                MsgButtons buttons) {
    QMessageBox box(ownerOr(owner));
    box.setWindowTitle(title);
    // Lines arrive joined by CR LF; the box breaks lines on LF alone.
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    box.setText(shown);
    box.setTextFormat(Qt::PlainText);
    switch (icon) {
    case MsgIcon::Error: box.setIcon(QMessageBox::Critical); break;
    case MsgIcon::Question: box.setIcon(QMessageBox::Question); break;
    case MsgIcon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case MsgIcon::Information: box.setIcon(QMessageBox::Information); break;
    }
    switch (buttons) {
    case MsgButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        box.setDefaultButton(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Ok);
        break;
    case MsgButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
        break;
    case MsgButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    }
    const int pressed = box.exec();
    switch (pressed) {
    case QMessageBox::Yes: return MsgResult::Yes;
    case QMessageBox::No: return MsgResult::No;
    case QMessageBox::Ok: return MsgResult::Ok;
    default:
        // Closing the box through its frame counts as its escape answer.
        if (buttons == MsgButtons::Ok) return MsgResult::Ok;
        if (buttons == MsgButtons::YesNo) return MsgResult::No;
        return MsgResult::Cancel;
    }
}

QString QtToolkit::inputBox(QWidget* owner, const QString& prompt, const QString& title, const QString& defaultText) {
    QDialog dialog(ownerOr(owner));
    dialog.setWindowTitle(title);
    dialog.setWindowFlags(dialog.windowFlags() & ~Qt::WindowContextHelpButtonHint);
    auto* layout = new QVBoxLayout(&dialog);
    auto* label = new QLabel(prompt, &dialog);
    label->setWordWrap(true);
    auto* edit = new QLineEdit(defaultText, &dialog);
    edit->selectAll();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    layout->addWidget(label);
    layout->addWidget(edit);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    edit->setFocus();
    if (dialog.exec() != QDialog::Accepted) return QString();
    return edit->text();
}

void QtToolkit::showModal(QDialog* dialog, QWidget* owner) {
    if (owner != nullptr && dialog->parentWidget() == nullptr) {
        dialog->setParent(owner->window(), dialog->windowFlags() | Qt::Dialog);
    }
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->exec();
}

int QtToolkit::shellOpen(QWidget*, const QString& target) {
    QUrl url;
    const QUrl asUrl(target, QUrl::StrictMode);
    // A drive letter ("C:") parses as a one-letter scheme; treat it as a path.
    if (asUrl.isValid() && asUrl.scheme().size() > 1) {
        url = asUrl;
    } else {
        // A local file that is not there fails at once, as the shell would
        // answer "file not found" without starting anything.
        if (!QFileInfo::exists(target)) return kShellFileNotFound;
        url = QUrl::fromLocalFile(target);
    }
    if (url.isLocalFile() && !QFileInfo::exists(url.toLocalFile())) return kShellFileNotFound;
    return runOpener(url.toString(QUrl::FullyEncoded));
}

double QtToolkit::twipsPerPixelX() const { return 1440.0 / logicalDpiX(); }

double QtToolkit::twipsPerPixelY() const { return 1440.0 / logicalDpiY(); }

double QtToolkit::screenWidthTwips() const {
    QScreen* screen = QGuiApplication::primaryScreen();
    const int pixels = screen != nullptr ? screen->geometry().width() : 1024;
    return pixels * twipsPerPixelX();
}

double QtToolkit::screenHeightTwips() const {
    QScreen* screen = QGuiApplication::primaryScreen();
    const int pixels = screen != nullptr ? screen->geometry().height() : 768;
    return pixels * twipsPerPixelY();
}

QString QtToolkit::programFolder() const { return QCoreApplication::applicationDirPath(); }

QString QtToolkit::savedFolder() const {
    if (savedFolder_.isNull()) {
        savedFolder_ = saves::chooseSavedFolder(saves::currentSavedFolderInputs(programFolder()));
        if (savedFolder_.isNull()) savedFolder_ = QStringLiteral("");
    }
    return savedFolder_;
}

void QtToolkit::endProgram(int exitCode) {
    // Files are opened only for the span of one read or write, so none is
    // open here; leaving the event loop is all that remains.
    ended_ = true;
    exitCode_ = exitCode;
    QCoreApplication::exit(exitCode);
}
