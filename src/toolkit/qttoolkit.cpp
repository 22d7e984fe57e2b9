#include "toolkit/qttoolkit.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QScreen>
#include <QSocketNotifier>
#include <QUrl>
#include <QVBoxLayout>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include "toolkit/dialogplace.h"

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

// A width at which window managers show `title` whole in the title bar.
// They draw it in a bold font, often a little larger than the program's,
// beside the window's icon and up to three buttons (minimise, maximise,
// close), each about as wide as the bar is high (some two lines of text);
// a margin at both ends and between the pieces comes on top.
int titleBarWidth(const QString& title, const QFont& font) {
    QFont bold = font;
    bold.setBold(true);
    if (bold.pointSizeF() > 0) bold.setPointSizeF(bold.pointSizeF() * 1.25);
    else bold.setPixelSize(bold.pixelSize() * 5 / 4);
    const QFontMetrics metrics(bold);
    const int buttonWidth = 2 * metrics.height();
    return metrics.horizontalAdvance(title) + 4 * buttonWidth + 6 * metrics.averageCharWidth();
}

// Shell results in the desktop shell's terms: above 32 accepted.
constexpr int kShellAccepted = 42;
constexpr int kShellFileNotFound = 2;
constexpr int kShellNoAssociation = 31;

// Watches one opener the game started, from its process id: when it ends,
// reaps it and runs `ended` with whether it failed (a non-zero status, or a
// signal). The watch goes with its parent; an opener still running then is
// left running (it may have become the browser) and is reaped by the system
// once the game has ended.
class OpenerWatch : public QObject {
public:
    OpenerWatch(QObject* parent, pid_t pid, int pidfd, std::function<void(bool failed)> ended)
        : QObject(parent), pid_(pid), pidfd_(pidfd), notifier_(pidfd, QSocketNotifier::Read), ended_(std::move(ended)) {
        connect(&notifier_, &QSocketNotifier::activated, this, [this] { reap(); });
    }
    ~OpenerWatch() override {
        notifier_.setEnabled(false);
        ::close(pidfd_);
    }

private:
    void reap() {
        siginfo_t info{};
        if (::waitid(P_PID, static_cast<id_t>(pid_), &info, WEXITED | WNOHANG) != 0 || info.si_pid == 0) return;
        notifier_.setEnabled(false);
        const bool failed = info.si_code != CLD_EXITED || info.si_status != 0;
        // Copied out first: the watch goes once control is back in the event
        // loop, and the message the callback shows runs a loop of its own.
        const std::function<void(bool)> ended = std::move(ended_);
        deleteLater();
        ended(failed);
    }

    pid_t pid_;
    int pidfd_;
    QSocketNotifier notifier_;
    std::function<void(bool)> ended_;
};

// Starts the desktop's opener on `url` and returns at once: the game goes on
// while the opener works. If it cannot be started at all, that is a failure
// now. If it ends with a non-zero status or dies on a signal within
// `verdict`, `lateFailure` runs then, provided the window that asked is still
// open. Its standard input is empty; its output goes where the game's goes
// (an unread pipe could stall a browser that the opener turns into).
int startOpener(QObject* watches, std::chrono::milliseconds verdict, QWidget* owner, const QString& url,
                std::function<void()> lateFailure) {
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    // The opener starts with the signals as a new program has them, not as
    // the game has set them.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    const QByteArray target = url.toUtf8();
    char program[] = "xdg-open";
    char* argv[] = {program, const_cast<char*>(target.constData()), nullptr};
    pid_t pid = 0;
    const int error = posix_spawnp(&pid, program, &files, &attributes, argv, environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&files);
    if (error != 0) return kShellNoAssociation;
    // Without a process descriptor (a kernel before Linux 5.3) the opener
    // runs unwatched: a late failure then goes untold.
    const int pidfd = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
    if (pidfd < 0) return kShellAccepted;
    QElapsedTimer clock;
    clock.start();
    const QPointer<QWidget> asker(owner);
    new OpenerWatch(watches, pid, pidfd, [clock, verdict, asker, lateFailure](bool failed) {
        if (failed && clock.elapsed() < verdict.count() && lateFailure && !asker.isNull() && asker->isVisible())
            lateFailure();
    });
    return kShellAccepted;
}
}  // namespace

QtToolkit::QtToolkit(std::chrono::milliseconds openerVerdict) : openerVerdict_(openerVerdict) {}

QtToolkit::~QtToolkit() = default;

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
    // The prompt stays on one line.
    auto* label = new QLabel(prompt, &dialog);
    label->setWordWrap(false);
    auto* edit = new QLineEdit(defaultText, &dialog);
    edit->selectAll();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    layout->addWidget(label);
    layout->addWidget(edit);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    edit->setFocus();
    dialog.setMinimumWidth(titleBarWidth(title, dialog.font()));
    if (dialog.exec() != QDialog::Accepted) return QString();
    return edit->text();
}

void QtToolkit::showModal(QDialog* dialog, QWidget* owner) {
    if (owner != nullptr && dialog->parentWidget() == nullptr) {
        dialog->setParent(owner->window(), dialog->windowFlags() | Qt::Dialog);
    }
    dialog->setWindowModality(Qt::ApplicationModal);
    // Shown here, as it was placed, before exec() finds it shown.
    showPlaced(*dialog);
    dialog->exec();
}

int QtToolkit::shellOpen(QWidget* owner, const QString& target, std::function<void()> lateFailure) {
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
    return startOpener(&openers_, openerVerdict_, ownerOr(owner), url.toString(QUrl::FullyEncoded),
                       std::move(lateFailure));
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

void QtToolkit::endProgram(int exitCode) {
    // Files are opened only for the span of one read or write, so none is
    // open here; leaving the event loop is all that remains.
    ended_ = true;
    exitCode_ = exitCode;
    QCoreApplication::exit(exitCode);
}
