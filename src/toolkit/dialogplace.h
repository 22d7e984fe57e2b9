// Sizing and placing the windows: the main window on the screen, the dialogs
// (the two choosers and the About box) over it, and children in twips.
#pragma once

#include <QPoint>
#include <QSize>
#include <functional>

class Toolkit;
class QWidget;

// Places `widget` (a child) at a rectangle given in twips.
void placeInTwips(QWidget& widget, const Toolkit& toolkit, double left, double top, double width, double height);

// Gives `dialog` a fixed client area given in twips.
void setFixedClientTwips(QWidget& dialog, const Toolkit& toolkit, double width, double height);

// Where a top-level window's frame goes, in screen pixels, given the frame's
// outer size in pixels.
using FramePlace = std::function<QPoint(QSize outer)>;

// Places the top-level `window` before it first shows, so that its frame, as
// the window manager will draw it, lands at `place`:
//  - where the window manager tells the frame beforehand, the window is
//    created at its final place and maps there;
//  - on other X11 window managers the window is centred on the spot where
//    the frame's centre goes, and showPlaced() has the window manager keep
//    that centre when it adds the frame;
//  - on Qt's other platforms it is placed by the outer size Qt knows, and
//    again once shown.
// Whatever the way, once the window manager has settled the frame, a frame
// more than 2 pixels from its place is moved there once.
void placeBeforeShowing(QWidget& window, FramePlace place);

// Shows a window placed by placeBeforeShowing (a plain show() otherwise).
void showPlaced(QWidget& window);

// The main window centred on the screen by the centring rule, on its outer
// size in twips.
void centreOnScreen(QWidget& window, const Toolkit& toolkit);

// Centres `dialog` over the main window by the centring rule, on the outer
// sizes of both windows in twips.
void centreOverMainWindow(QWidget& dialog, const QWidget& owner, const Toolkit& toolkit);
