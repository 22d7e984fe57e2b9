// The mouse handlers of the piece images: they hand the event to the game
// and carry out its answer on the window.
#include <QAction>

#include "app/frmmain.h"
#include "core/geometry.h"
#include "toolkit/messages.h"

namespace {

quorvale::ImagePlace placeOf(const ImageControl* image) { return {image->Left(), image->Top()}; }

// Moves a piece image onto the cell the drag engine names, if it names one.
void showImageAt(ImageControl& image, const quorvale::DragAnswer& answer, const Toolkit& toolkit) {
    if (!answer.showPieceAt) return;
    image.setLeft(quorvale::pieceLeftTwips(answer.showPieceAt->col, toolkit.twipsPerPixelX()));
    image.setTop(quorvale::pieceTopTwips(answer.showPieceAt->row, toolkit.twipsPerPixelY()));
}

}  // namespace

quorvale::TwipsPerPixel FrmMain::twipsPerPixel() const {
    return {toolkit_.twipsPerPixelX(), toolkit_.twipsPerPixelY()};
}

ImageControl* FrmMain::draggedImage() const {
    const quorvale::DragState& drag = game_.drag();
    return quorvale::isPieceIndex(drag.dragPiece) ? imgPieces[static_cast<std::size_t>(drag.dragPiece)] : nullptr;
}

void FrmMain::imgPieces_MouseDown(std::int16_t index, std::int16_t button, std::int16_t /*shift*/, float x, float y) {
    if (!quorvale::isPieceIndex(index)) return;
    const ImageControl* image = imgPieces[static_cast<std::size_t>(index)];
    const quorvale::DragAnswer answer =
        game_.dragPress(index, placeOf(image), {image->Width(), image->Height()}, {button, x, y}, twipsPerPixel());
    if (answer.pointer) setMousePointer(*answer.pointer);
}

void FrmMain::imgPieces_MouseMove(std::int16_t /*index*/, std::int16_t button, std::int16_t /*shift*/, float x,
                                  float y) {
    ImageControl* image = draggedImage();
    if (!game_.drag().dragging || image == nullptr) return;
    const quorvale::DragAnswer answer = game_.dragMove(placeOf(image), {button, x, y}, twipsPerPixel());
    showImageAt(*image, answer, toolkit_);
    if (answer.pointer) setMousePointer(*answer.pointer);
}

void FrmMain::imgPieces_MouseUp(std::int16_t index, std::int16_t button, std::int16_t /*shift*/, float x, float y) {
    ImageControl* image = draggedImage();
    if (image == nullptr) return;
    const quorvale::DragAnswer answer = game_.dragRelease(index, placeOf(image), {button, x, y}, twipsPerPixel());
    showImageAt(*image, answer, toolkit_);
    if (answer.committed) updateStatus();
    if (answer.pointer) setMousePointer(*answer.pointer);
    if (answer.runSolvedTest && game_.isSolved()) {
        hidePlayfield();
        showCongratulations();
        toolkit_.messageBox(this, QString::fromStdU16String(game_.congratulationText()),
                            messageTitle(QStringLiteral("Congratulations")), MsgIcon::Exclamation, MsgButtons::Ok);
    }
}

void FrmMain::cancelDrag() {
    if (!game_.drag().dragging) return;
    ImageControl* image = draggedImage();
    const quorvale::DragAnswer answer = game_.dragCancel();
    if (image != nullptr) showImageAt(*image, answer, toolkit_);
    if (answer.pointer) setMousePointer(*answer.pointer);
}
