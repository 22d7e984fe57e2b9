#include "toolkit/dialogplace.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QMoveEvent>
#include <QWindow>
#include <QMargins>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <cstdlib>
#include <optional>

#include "toolkit/toolkit.h"
#include "toolkit/x11window.h"
#include "core/geometry.h"

using quorvale::twipsToPixels;

void placeInTwips(QWidget& widget, const Toolkit& toolkit, double left, double top, double width, double height) {
    const double tx = toolkit.twipsPerPixelX();
    const double ty = toolkit.twipsPerPixelY();
    widget.setGeometry(twipsToPixels(left, tx), twipsToPixels(top, ty), twipsToPixels(width, tx),
                       twipsToPixels(height, ty));
}

void setFixedClientTwips(QWidget& dialog, const Toolkit& toolkit, double width, double height) {
    dialog.setFixedSize(twipsToPixels(width, toolkit.twipsPerPixelX()), twipsToPixels(height, toolkit.twipsPerPixelY()));
}

namespace {

// Marks a window that showPlaced() shows keeping its centre.
const char* const kKeepCentre = "quorvale_keepCentre";
// How far a settled frame may be from its place before it is moved: the
// window manager rounds the centre its own way.
constexpr int kTolerancePx = 2;

// The frame margins around a window's client area, as Qt knows them now.
QMargins frameMarginsOf(const QWidget& window) {
    const QRect outer = window.frameGeometry();
    const QRect inner = window.geometry();
    return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
            outer.bottom() - inner.bottom()};
}

// The frame margins as Qt's platform knows them now, passed on to the
// widget: a widget reads them only when its window moves or is resized, and
// a window manager may announce the frame after the window's last move (KWin
// through XWayland now and then does).
QMargins currentFrame(QWidget& window) {
    QWindow* handle = window.windowHandle();
    if (handle == nullptr) return frameMarginsOf(window);
    const QMargins now = handle->frameMargins();
    if (now != frameMarginsOf(window)) {
        QMoveEvent read(handle->position(), handle->position());
        QCoreApplication::sendEvent(handle, &read);
    }
    return now;
}

// A frame the window manager can have settled on. Before that, Qt reads
// passing states: nothing yet (no margins), or, with KWin, the client in a
// 1 x 1 frame (negative right and bottom margins).
bool canBeFinal(const QMargins& m) {
    return !m.isNull() && m.left() >= 0 && m.top() >= 0 && m.right() >= 0 && m.bottom() >= 0;
}

// Watches a window until the window manager has settled its frame, then
// moves the frame to its place if it is more than a little off: the last
// resort where the window manager neither told the frame nor kept the
// window's centre. Window managers frame a window when it is mapped, some
// time after show(): Qt learns the frame from their frame extents, reported
// with a move or resize of the window, so those are watched, with a short
// poll as a fallback for frames that arrive without either. A frame counts
// as settled once it has not changed for a few polls.
class FrameWatch : public QObject {
public:
    static constexpr const char* kName = "quorvale_frameWatch";

    FrameWatch(QWidget& window, FramePlace place) : QObject(&window), window_(&window), place_(std::move(place)) {
        setObjectName(kName);
        window.installEventFilter(this);
        poll_.setInterval(10);
        connect(&poll_, &QTimer::timeout, this, [this] { check(); });
        clock_.start();
        poll_.start();
    }

    // Where Qt knows the frame as soon as the window shows (its own
    // platforms), the window goes to its place at once.
    void placeIfFramed() {
        if (!done_ && canBeFinal(currentFrame(*window_))) moveToPlace(0);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == window_ && (event->type() == QEvent::Move || event->type() == QEvent::Resize ||
                                   event->type() == QEvent::Show)) {
            QTimer::singleShot(0, this, [this] { check(); });
        }
        return false;
    }

private:
    void check() {
        if (window_ == nullptr || done_) return;
        // Give up quietly where no window manager frames anything.
        if (clock_.elapsed() > kPatienceMs) return finish();
        if (!window_->isVisible() || !canBeFinal(currentFrame(*window_))) return settle({});
        const QRect frame = window_->frameGeometry();
        if (frame != seen_) return settle(frame);
        if (still_.elapsed() < kSettleMs) return;
        moveToPlace(kTolerancePx);
        finish();
    }
    // Moves the frame to its place if it is more than `tolerance` pixels off.
    void moveToPlace(int tolerance) {
        const QRect frame = window_->frameGeometry();
        const QPoint wanted = place_(frame.size());
        if (std::abs(wanted.x() - frame.x()) > tolerance || std::abs(wanted.y() - frame.y()) > tolerance) {
            window_->move(wanted);
        }
    }
    void settle(const QRect& frame) {
        seen_ = frame;
        still_.start();
    }
    void finish() {
        done_ = true;
        poll_.stop();
        window_->removeEventFilter(this);
        deleteLater();
    }

    static constexpr qint64 kPatienceMs = 3000;
    static constexpr qint64 kSettleMs = 60;
    QPointer<QWidget> window_;
    FramePlace place_;
    QTimer poll_;
    QElapsedTimer clock_, still_;
    QRect seen_;
    bool done_ = false;
};

// The frame Qt knows `window` has now, else that of the window it belongs to.
QMargins assumedFrame(const QWidget& window) {
    const QMargins own = frameMarginsOf(window);
    if (!own.isNull() || window.parentWidget() == nullptr) return own;
    return frameMarginsOf(*window.parentWidget()->window());
}

}  // namespace

void placeBeforeShowing(QWidget& window, FramePlace place) {
    const QSize client = window.size();
    // Where the window manager does not tell the frame: the one Qt knows of
    // the window or its owner (a dialog is taken to get its owner's frame).
    const QMargins assumed = assumedFrame(window);
    window.setProperty(kKeepCentre, false);
    if (const std::optional<x11window::FrameNotice> frame = x11window::frameForNewWindow(window)) {
        // Told beforehand: the client goes inside the frame at its place.
        // Weston puts the frame's corner where the client is created, keeps
        // it there and shows it elsewhere than X11 says: nothing to watch.
        const QMargins& m = frame->margins;
        const QPoint at = place(client.grownBy(m)) + (frame->cornerAtCreation ? QPoint() : QPoint(m.left(), m.top()));
        window.setGeometry(QRect(at, client));
        if (frame->cornerAtCreation) return;
    } else if (x11window::onX11() && canBeFinal(assumed)) {
        window.setGeometry(QRect(place(client.grownBy(assumed)) + QPoint(assumed.left(), assumed.top()), client));
    } else if (x11window::onX11()) {
        // Nothing known of the frame (the main window under KWin or
        // fluxbox): the frame's centre is the client's, and the window
        // manager keeps it there (KWin does on X11; through XWayland it keeps
        // the client's corner instead, and the window moves once framed).
        window.setGeometry(QRect(place(client), client));
        window.setProperty(kKeepCentre, true);
    } else {
        window.move(place(client.grownBy(assumed)));
    }
    new FrameWatch(window, place);
}

void showPlaced(QWidget& window) {
    if (window.property(kKeepCentre).toBool()) {
        x11window::showKeepingCentre(window);
        return;
    }
    window.show();
    if (x11window::onX11()) return;
    if (auto* watch = window.findChild<QObject*>(FrameWatch::kName, Qt::FindDirectChildrenOnly)) {
        static_cast<FrameWatch*>(watch)->placeIfFramed();
    }
}

namespace {

QPoint twipsToScreen(const Toolkit& tk, double left, double top) {
    return {twipsToPixels(left, tk.twipsPerPixelX()), twipsToPixels(top, tk.twipsPerPixelY())};
}

}  // namespace

void centreOnScreen(QWidget& window, const Toolkit& toolkit) {
    const Toolkit* tk = &toolkit;
    placeBeforeShowing(window, [tk](QSize outer) {
        return twipsToScreen(*tk, quorvale::centreOffset(tk->screenWidthTwips(), outer.width() * tk->twipsPerPixelX()),
                             quorvale::centreOffset(tk->screenHeightTwips(), outer.height() * tk->twipsPerPixelY()));
    });
}

// The owner's outer frame in twips: Left, Top, Width and Height of the main window.
void centreOverMainWindow(QWidget& dialog, const QWidget& owner, const Toolkit& toolkit) {
    const QWidget* main = &owner;
    const Toolkit* tk = &toolkit;
    placeBeforeShowing(dialog, [main, tk](QSize outer) {
        const double tx = tk->twipsPerPixelX();
        const double ty = tk->twipsPerPixelY();
        const QRect frame = main->frameGeometry();
        return twipsToScreen(*tk, frame.x() * tx + quorvale::centreOffset(frame.width() * tx, outer.width() * tx),
                             frame.y() * ty + quorvale::centreOffset(frame.height() * ty, outer.height() * ty));
    });
}
