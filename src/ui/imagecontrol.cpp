#include "ui/imagecontrol.h"

#include <QMouseEvent>

#include "toolkit/toolkit.h"
#include "core/geometry.h"

namespace {
// An image without a picture keeps its placeholder size.
constexpr float kPlaceholderTwips = 735;
}  // namespace

ImageControl::ImageControl(Toolkit& toolkit, QWidget* parent) : QLabel(parent), toolkit_(toolkit) {
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setContentsMargins(0, 0, 0, 0);
    setMargin(0);
    setIndent(0);
    QLabel::setVisible(false);
    resize(quorvale::twipsToPixels(kPlaceholderTwips, toolkit_.twipsPerPixelX()),
           quorvale::twipsToPixels(kPlaceholderTwips, toolkit_.twipsPerPixelY()));
    place();
}

float ImageControl::Width() const {
    if (picture_.isNull()) return kPlaceholderTwips;
    return static_cast<float>(picture_.deviceIndependentSize().width() * toolkit_.twipsPerPixelX());
}

float ImageControl::Height() const {
    if (picture_.isNull()) return kPlaceholderTwips;
    return static_cast<float>(picture_.deviceIndependentSize().height() * toolkit_.twipsPerPixelY());
}

void ImageControl::setLeft(float twips) {
    left_ = twips;
    place();
}

void ImageControl::setTop(float twips) {
    top_ = twips;
    place();
}

void ImageControl::setPicture(const QPixmap& picture) {
    picture_ = picture;
    setPixmap(picture);
    // A sprite cut from the double-resolution skin covers as many screen
    // pixels as one from the ordinary skin: size by the logical size.
    if (!picture.isNull()) resize(picture.deviceIndependentSize().toSize());
}

void ImageControl::place() {
    move(quorvale::twipsToPixels(left_, toolkit_.twipsPerPixelX()),
         quorvale::twipsToPixels(top_, toolkit_.twipsPerPixelY()));
}

int ImageControl::shiftState(Qt::KeyboardModifiers modifiers) {
    int shift = 0;
    if (modifiers & Qt::ShiftModifier) shift |= kShiftKey;
    if (modifiers & Qt::ControlModifier) shift |= kCtrlKey;
    if (modifiers & Qt::AltModifier) shift |= kAltKey;
    return shift;
}

int ImageControl::buttonNumber(Qt::MouseButton button) {
    switch (button) {
    case Qt::LeftButton: return 1;
    case Qt::RightButton: return 2;
    case Qt::MiddleButton: return 4;
    default: return 0;
    }
}

void ImageControl::deliver(void (ImageControl::*signal)(int, int, float, float), QMouseEvent* event, int button) {
    event->accept();
    // Positions in twips relative to this image: pixel offset x twips per pixel.
    const QPointF at = event->position();
    emit(this->*signal)(button, shiftState(event->modifiers()), static_cast<float>(at.x() * toolkit_.twipsPerPixelX()),
                        static_cast<float>(at.y() * toolkit_.twipsPerPixelY()));
}

bool ImageControl::event(QEvent* event) {
    if (event->type() == QEvent::UngrabMouse || event->type() == QEvent::Hide) emit grabLost();
    return QLabel::event(event);
}

void ImageControl::mousePressEvent(QMouseEvent* event) {
    deliver(&ImageControl::mouseDown, event, buttonNumber(event->button()));
}

void ImageControl::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a double-click is a press like any other.
    deliver(&ImageControl::mouseDown, event, buttonNumber(event->button()));
}

void ImageControl::mouseMoveEvent(QMouseEvent* event) {
    // A move reports every button held down.
    int held = 0;
    const Qt::MouseButtons buttons = event->buttons();
    if (buttons & Qt::LeftButton) held |= 1;
    if (buttons & Qt::RightButton) held |= 2;
    if (buttons & Qt::MiddleButton) held |= 4;
    deliver(&ImageControl::mouseMove, event, held);
}

void ImageControl::mouseReleaseEvent(QMouseEvent* event) {
    deliver(&ImageControl::mouseUp, event, buttonNumber(event->button()));
}
