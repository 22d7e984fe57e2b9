#include "toolkit/dialogplace.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include "toolkit/toolkit.h"
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

// The frame margins around a window's client area, as Qt knows them now.
QMargins frameMarginsOf(const QWidget& window) {
    const QRect outer = window.frameGeometry();
    const QRect inner = window.geometry();
    return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
            outer.bottom() - inner.bottom()};
}

// Watches a window until its frame arrives, then places it once more.
// Window managers frame a window when it is mapped, some time after show():
// Qt learns the frame from the window manager's frame extents, reported with
// a move or resize of the window, so those are watched, with a short poll as
// a fallback for frames that arrive without either.
class FrameWatch : public QObject {
public:
    FrameWatch(QWidget& window, std::function<void()> place, QMargins assumed)
        : QObject(&window), window_(&window), place_(std::move(place)), assumed_(assumed) {
        window.installEventFilter(this);
        poll_.setInterval(10);
        connect(&poll_, &QTimer::timeout, this, [this] { check(); });
        clock_.start();
        poll_.start();
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
        if (!window_->isVisible()) return;
        const QMargins now = frameMarginsOf(*window_);
        if (now.isNull()) return;  // not framed yet
        if (now != assumed_) place_();
        finish();
    }
    void finish() {
        done_ = true;
        poll_.stop();
        window_->removeEventFilter(this);
        deleteLater();
    }

    static constexpr qint64 kPatienceMs = 3000;
    QPointer<QWidget> window_;
    std::function<void()> place_;
    QMargins assumed_;
    QTimer poll_;
    QElapsedTimer clock_;
    bool done_ = false;
};

}  // namespace

void replaceWhenFramed(QWidget& window, std::function<void()> place) {
    new FrameWatch(window, std::move(place), frameMarginsOf(window));
}

void replaceWhenFramed(QWidget& window, std::function<void()> place, QMargins assumed) {
    new FrameWatch(window, std::move(place), assumed);
}

namespace {

// The centring rule over the main window, on the outer sizes as Qt knows
// them now; a dialog not framed yet is taken to get the main window's frame.
void placeOverMainWindow(QWidget& dialog, const QWidget& owner, const Toolkit& toolkit) {
    const double tx = toolkit.twipsPerPixelX();
    const double ty = toolkit.twipsPerPixelY();
    const QRect ownerFrame = owner.frameGeometry();

    QSize outer = dialog.frameGeometry().size();
    if (outer == dialog.geometry().size()) {
        const QRect frame = owner.frameGeometry();
        const QRect inner = owner.geometry();
        outer += QSize(frame.width() - inner.width(), frame.height() - inner.height());
    }
    const double left = ownerFrame.x() * tx + quorvale::centreOffset(ownerFrame.width() * tx, outer.width() * tx);
    const double top = ownerFrame.y() * ty + quorvale::centreOffset(ownerFrame.height() * ty, outer.height() * ty);
    dialog.move(twipsToPixels(left, tx), twipsToPixels(top, ty));
}

}  // namespace

void centreOverMainWindow(QWidget& dialog, const QWidget& owner, const Toolkit& toolkit) {
    placeOverMainWindow(dialog, owner, toolkit);
    QWidget* target = &dialog;
    const QWidget* main = &owner;
    const Toolkit* tk = &toolkit;
    replaceWhenFramed(dialog, [target, main, tk] { placeOverMainWindow(*target, *main, *tk); });
}
