// An image control: shows a picture at its own size at a place given in
// twips, and reports mouse presses, moves and releases in twips relative to
// itself, with the button (1 left, 2 right, 4 middle) and the modifier set
// (Shift 1, Ctrl 2, Alt 4).
#pragma once

#include <QLabel>
#include <QPixmap>

class Toolkit;

class ImageControl : public QLabel {
    Q_OBJECT
public:
    ImageControl(Toolkit& toolkit, QWidget* parent);

    float Left() const { return left_; }
    float Top() const { return top_; }
    float Width() const;   // picture width in twips (logical pixels, whatever its pixel ratio)
    float Height() const;  // picture height in twips
    void setLeft(float twips);
    void setTop(float twips);
    bool Visible() const { return !isHidden(); }

    // Shows `picture` at its own logical size (its pixel size divided by its
    // device pixel ratio).
    void setPicture(const QPixmap& picture);
    QPixmap picture() const { return picture_; }

    // The modifier set's bits, added together in an event's `shift`.
    static constexpr int kShiftKey = 1;
    static constexpr int kCtrlKey = 2;
    static constexpr int kAltKey = 4;
    // Modifier set of a Qt event: Shift 1, Ctrl 2, Alt 4; others ignored.
    static int shiftState(Qt::KeyboardModifiers modifiers);
    // Button number of a Qt button: left 1, right 2, middle 4, else 0.
    static int buttonNumber(Qt::MouseButton button);

signals:
    void mouseDown(int button, int shift, float x, float y);
    void mouseMove(int button, int shift, float x, float y);
    void mouseUp(int button, int shift, float x, float y);
    // The image lost the mouse while a button was held (the grab was taken
    // by a popup or another window) or was hidden: no release will follow.
    void grabLost();

protected:
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void place();
    void deliver(void (ImageControl::*signal)(int, int, float, float), QMouseEvent* event, int button);

    Toolkit& toolkit_;
    float left_ = 0;
    float top_ = 0;
    QPixmap picture_;
};
