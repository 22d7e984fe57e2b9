#include "ui/dialogplace.h"

#include <QWidget>

#include "app/frmmain.h"
#include "core/geometry.h"

int twipsToPixels(double twips, double twipsPerPixel) {
    return quorvale::roundHalfEven(twips / twipsPerPixel);
}

void placeInTwips(QWidget& widget, const FrmMain& owner, double left, double top, double width, double height) {
    const double tx = owner.toolkit().twipsPerPixelX();
    const double ty = owner.toolkit().twipsPerPixelY();
    widget.setGeometry(twipsToPixels(left, tx), twipsToPixels(top, ty), twipsToPixels(width, tx),
                       twipsToPixels(height, ty));
}

void setFixedClientTwips(QWidget& dialog, const FrmMain& owner, double width, double height) {
    dialog.setFixedSize(twipsToPixels(width, owner.toolkit().twipsPerPixelX()),
                        twipsToPixels(height, owner.toolkit().twipsPerPixelY()));
}

void centreOverMainWindow(QWidget& dialog, const FrmMain& owner) {
    const double tx = owner.toolkit().twipsPerPixelX();
    const double ty = owner.toolkit().twipsPerPixelY();

    QSize outer = dialog.frameGeometry().size();
    if (outer == dialog.geometry().size()) {
        const QRect frame = owner.frameGeometry();
        const QRect inner = owner.geometry();
        outer += QSize(frame.width() - inner.width(), frame.height() - inner.height());
    }
    const double left = owner.Left() + quorvale::centreOffset(owner.Width(), outer.width() * tx);
    const double top = owner.Top() + quorvale::centreOffset(owner.Height(), outer.height() * ty);
    dialog.move(twipsToPixels(left, tx), twipsToPixels(top, ty));
}
