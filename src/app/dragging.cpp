// The mouse handlers of the piece images: they hand the event to the move
// engine and carry out its answer on the window.
#include <QCoreApplication>
#include <QLabel>

#include "app/frmmain.h"
#include "core/geometry.h"
#include "core/rules.h"

namespace {

quorvale::ImagePlace placeOf(const ImageControl* image) { return {image->Left(), image->Top()}; }
quorvale::ImageExtent extentOf(const ImageControl* image) { return {image->Width(), image->Height()}; }

// Moves a piece image onto the cell the drag engine names, if it names one.
void showImageAt(ImageControl& image, const quorvale::DragAnswer& answer, const Toolkit& toolkit) {
    if (!answer.showPieceAt) return;
    image.setLeft(quorvale::pieceLeftTwips(answer.showPieceAt->col, toolkit.twipsPerPixelX()));
    image.setTop(quorvale::pieceTopTwips(answer.showPieceAt->row, toolkit.twipsPerPixelY()));
}

}  // namespace

void FrmMain::imgPieces_MouseDown(std::int16_t index, std::int16_t button, std::int16_t /*shift*/, float x, float y) {
    if (!quorvale::isPieceIndex(index)) return;
    const quorvale::TwipsPerPixel tpp{toolkit_.twipsPerPixelX(), toolkit_.twipsPerPixelY()};
    const ImageControl* image = imgPieces[static_cast<std::size_t>(index)];
    const quorvale::DragAnswer answer =
        quorvale::dragPress(drag, index, placeOf(image), extentOf(image), {button, x, y}, tpp);
    if (answer.pointer) setMousePointer(*answer.pointer);
}

void FrmMain::imgPieces_MouseMove(std::int16_t /*index*/, std::int16_t button, std::int16_t /*shift*/, float x,
                                  float y) {
    if (!drag.dragging || !quorvale::isPieceIndex(drag.dragPiece)) return;
    ImageControl* image = imgPieces[static_cast<std::size_t>(drag.dragPiece)];
    const quorvale::TwipsPerPixel tpp{toolkit_.twipsPerPixelX(), toolkit_.twipsPerPixelY()};
    const quorvale::DragAnswer answer = quorvale::dragMove(drag, board_, pieces_, placeOf(image), {button, x, y}, tpp);
    showImageAt(*image, answer, toolkit_);
    if (answer.pointer) setMousePointer(*answer.pointer);
}

void FrmMain::imgPieces_MouseUp(std::int16_t index, std::int16_t button, std::int16_t /*shift*/, float x, float y) {
    if (!quorvale::isPieceIndex(drag.dragPiece)) return;
    ImageControl* image = imgPieces[static_cast<std::size_t>(drag.dragPiece)];
    const quorvale::TwipsPerPixel tpp{toolkit_.twipsPerPixelX(), toolkit_.twipsPerPixelY()};
    const quorvale::DragAnswer answer =
        quorvale::dragRelease(drag, board_, pieces_, index, placeOf(image), {button, x, y}, tpp);
    showImageAt(*image, answer, toolkit_);
    if (answer.committed) {
        gameModified = true;
        if (answer.stepTaken) steps = quorvale::addStep(steps);
        updateStatus();
    }
    if (answer.pointer) setMousePointer(*answer.pointer);
    if (answer.runSolvedTest && isSolved()) {
        hidePlayfield();
        showCongratulations();
        toolkit_.messageBox(this, QString::fromStdU16String(quorvale::congratulationText(steps)),
                            QStringLiteral("Quorvale - Congratulations"), MsgIcon::Exclamation, MsgButtons::Ok);
    }
}

void FrmMain::cancelDrag() {
    if (!drag.dragging) return;
    const quorvale::DragAnswer answer = quorvale::dragCancel(drag);
    if (quorvale::isPieceIndex(drag.dragPiece)) {
        showImageAt(*imgPieces[static_cast<std::size_t>(drag.dragPiece)], answer, toolkit_);
    }
    if (answer.pointer) setMousePointer(*answer.pointer);
}
