#include "app/qttoolkit.h"

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
#include <QProcess>
#include <QScreen>
#include <QUrl>
#include <QVBoxLayout>

#include "saves/savedfolder.h"
#include "ui/dialogplace.h"

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

// How long the desktop's opener may take to report a failure. An opener
// still running by then has handed the request on (or is the program that
// shows it); a failure after that is no longer the game's business.
constexpr int kOpenerVerdictMs = 10000;

// Starts the desktop's opener on `url` and returns at once: the game goes on
// while the opener works. If it cannot be started at all, that is a failure
// now. If it ends with a non-zero status or dies on a signal within the
// verdict time, `lateFailure` runs then, provided the window that asked is
// still open. The process object stays until the opener ends, which reaps
// it, and then deletes itself; an opener that outlives the game is left
// running (it may have become the browser).
int startOpener(QWidget* owner, const QString& url, std::function<void()> lateFailure) {
    auto* opener = new QProcess;
    opener->setProgram(QStringLiteral("xdg-open"));
    opener->setArguments({url});
    // Its output goes where ours goes; an unread pipe could stall a browser
    // that the opener turns into.
    opener->setProcessChannelMode(QProcess::ForwardedChannels);
    opener->setStandardInputFile(QProcess::nullDevice());
    opener->start();
    // Returns as soon as the program is running or has failed to start.
    if (!opener->waitForStarted()) {
        delete opener;
        return kShellNoAssociation;
    }
    QElapsedTimer clock;
    clock.start();
    const QPointer<QWidget> asker(owner);
    QObject::connect(opener, &QProcess::finished, opener,
                     [opener, clock, asker, lateFailure](int code, QProcess::ExitStatus status) {
                         const bool failed = status != QProcess::NormalExit || code != 0;
                         const bool inTime = clock.elapsed() < kOpenerVerdictMs;
                         // Copied out first: the process object goes once control
                         // is back in the event loop, and the message below runs
                         // one of its own.
                         const std::function<void()> report = lateFailure;
                         opener->deleteLater();
                         if (failed && inTime && report && !asker.isNull() && asker->isVisible()) report();
                     });
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
    return startOpener(ownerOr(owner), url.toString(QUrl::FullyEncoded), std::move(lateFailure));
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
