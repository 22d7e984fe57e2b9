// Sizing and placing the dialogs (the two choosers and the About box) in twips.
#pragma once

#include <QMargins>
#include <functional>

class QWidget;
class Toolkit;

// Places `widget` (a child) at a rectangle given in twips.
void placeInTwips(QWidget& widget, const Toolkit& toolkit, double left, double top, double width, double height);

// Gives `dialog` a fixed client area given in twips.
void setFixedClientTwips(QWidget& dialog, const Toolkit& toolkit, double width, double height);

// Centres `dialog` over the main window by the centring rule, on the outer
// sizes of both windows in twips. A dialog that has not been shown yet has no
// frame of its own, so it is taken to get the same frame as the main window;
// once the window manager has framed it, it is centred again by its real
// frame if that differs.
void centreOverMainWindow(QWidget& dialog, const QWidget& owner, const Toolkit& toolkit);

// Runs `place` once more when the window manager has given `window` its
// frame, if that frame differs from the one `window` had when this was
// called (the frame the placement assumed). Without a window manager no
// frame ever comes and nothing happens; the watch ends after a few seconds.
void replaceWhenFramed(QWidget& window, std::function<void()> place);
// The same, for a window placed by the frame `assumed` (as the window manager
// announced it before mapping): `place` runs only if the real frame differs.
void replaceWhenFramed(QWidget& window, std::function<void()> place, QMargins assumed);
