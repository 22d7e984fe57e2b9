#include "ui/frmabout.h"

#include <QIcon>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>

#include "toolkit/toolkit.h"
#include "config.h"
#include "toolkit/dialogplace.h"
#include "ui/imagecontrol.h"
#include "ui/picclip.h"
#include "toolkit/messages.h"

namespace {

// The box's client area and controls, in twips.
constexpr double kClientWidth = 5580;
constexpr double kClientHeight = 1920;

struct TwipsRect {
    double left, top, width, height;
};
constexpr TwipsRect kTamberlo{45, 45, 840, 930};
constexpr TwipsRect kProd{960, 120, 3135, 735};
constexpr TwipsRect kOk{4320, 120, 1095, 375};
constexpr TwipsRect kEmail{240, 960, 2655, 255};
constexpr TwipsRect kUpdates{240, 1440, 5055, 255};

// The hidden sequence: Ctrl+Alt on each link in turn, then Ctrl alone on the picture.
constexpr int kCtrlAlt = ImageControl::kCtrlKey | ImageControl::kAltKey;
constexpr int kCtrlOnly = ImageControl::kCtrlKey;

const QColor kLinkBlue(0, 0, 255);
const QColor kLinkPressed(255, 0, 0);

void setTextColour(QLabel* label, const QColor& colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

}  // namespace

// ---- PressLabel ----

PressLabel::PressLabel(QWidget* parent) : QLabel(parent) {}

void PressLabel::mousePressEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() == Qt::LeftButton) leftPressed_ = true;
    emit mouseDown(ImageControl::buttonNumber(event->button()), ImageControl::shiftState(event->modifiers()));
}

// The second press of a double-click is reported as a press, but it does not
// begin a click: a double-click is one click and one double-click, so a link
// opens once.
void PressLabel::mouseDoubleClickEvent(QMouseEvent* event) {
    mousePressEvent(event);
    leftPressed_ = false;
}

void PressLabel::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    emit mouseMoved();
}

void PressLabel::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() != Qt::LeftButton) return;
    const bool wasPressed = leftPressed_;
    leftPressed_ = false;
    // A click is a left press and a left release both on the label.
    if (wasPressed && rect().contains(event->position().toPoint())) emit clicked();
}

// ---- FrmAbout ----

const QString FrmAbout::kEmailAddress = QStringLiteral("quorvale@example.org");
const QString FrmAbout::kWebPage = QStringLiteral("https://quorvale.example.org/");

QString FrmAbout::mailLink() { return QStringLiteral("mailto:") + kEmailAddress + QStringLiteral("?Subject=Quorvale"); }

QString FrmAbout::versionLine(int major, int minor, int revision) {
    return QStringLiteral("Quorvale Version ") + QString::number(major) + QStringLiteral(".") + QString::number(minor) +
           QString::number(revision);
}

FrmAbout::FrmAbout(QWidget& owner, Toolkit& toolkit, PicClip& skin,
                   const std::array<ImageControl*, quorvale::kPieceCount>& pieces)
    : QDialog(&owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      owner_(owner),
      toolkit_(toolkit),
      skin_(skin),
      pieces_(pieces) {
    const auto place = [this](QWidget* widget, const TwipsRect& r) {
        placeInTwips(*widget, toolkit_, r.left, r.top, r.width, r.height);
    };

    setWindowTitle(QStringLiteral("About"));
    setFixedClientTwips(*this, toolkit_, kClientWidth, kClientHeight);

    imgTamberlo = new PressLabel(this);
    // QIcon finds tamberlo@2x.png beside the picture and hands it out on a
    // dense screen, marked with its pixel ratio, so it stays sharp there.
    imgTamberlo->setPixmap(QIcon(QStringLiteral(":/tamberlo.png")).pixmap(QSize(52, 58), devicePixelRatioF()));
    imgTamberlo->setScaledContents(true);
    place(imgTamberlo, kTamberlo);
    connect(imgTamberlo, &PressLabel::mouseDown, this, &FrmAbout::imgTamberlo_MouseDown);

    lblProd = new QLabel(this);
    lblProd->setTextFormat(Qt::PlainText);
    lblProd->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    place(lblProd, kProd);

    cmdOk = new QPushButton(QStringLiteral("&OK"), this);
    place(cmdOk, kOk);
    cmdOk->setDefault(true);
    connect(cmdOk, &QPushButton::clicked, this, [this] { cmdOk_Click(); });

    QFont linkFont(QStringLiteral("MS Sans Serif"));
    linkFont.setPointSizeF(8.25);
    linkFont.setWeight(QFont::Normal);
    linkFont.setUnderline(true);

    lblEmail = new PressLabel(this);
    lblEmail->setText(QStringLiteral("Email: ") + kEmailAddress);
    lblUpdates = new PressLabel(this);
    lblUpdates->setText(QStringLiteral("Updates:  ") + kWebPage);
    place(lblEmail, kEmail);
    place(lblUpdates, kUpdates);
    for (PressLabel* link : {lblEmail, lblUpdates}) {
        link->setTextFormat(Qt::PlainText);
        link->setFont(linkFont);
        setTextColour(link, kLinkBlue);
        // Moves without a button held must arrive too, for the hand cursor.
        link->setMouseTracking(true);
        connect(link, &PressLabel::mouseMoved, link, [link] { link->setCursor(Qt::PointingHandCursor); });
    }
    connect(lblEmail, &PressLabel::mouseDown, this, &FrmAbout::lblEmail_MouseDown);
    connect(lblUpdates, &PressLabel::mouseDown, this, &FrmAbout::lblUpdates_MouseDown);
    connect(lblEmail, &PressLabel::clicked, this, &FrmAbout::lblEmail_Click);
    connect(lblUpdates, &PressLabel::clicked, this, &FrmAbout::lblUpdates_Click);

    cmdOk->setFocus();

    Form_Load();
}

void FrmAbout::Form_Load() {
    centreOverMainWindow(*this, owner_, toolkit_);

    lblProd->setText(versionLine(QUORVALE_VERSION_MAJOR, QUORVALE_VERSION_MINOR, QUORVALE_VERSION_PATCH) +
                     QStringLiteral("\n\n\u00A9 2026 Quorvale developers"));
    eggStage = 0;
}

void FrmAbout::cmdOk_Click() { accept(); }

void FrmAbout::lblEmail_Click() {
    openLink(mailLink(),
             messageLines({QStringLiteral("Unable to start your Email agent automatically."),
                           QStringLiteral("Please send an Email to ") + kEmailAddress + QStringLiteral(" manually.")}),
             messageTitle(QStringLiteral("Email")));
}

void FrmAbout::lblUpdates_Click() {
    openLink(kWebPage,
             messageLines({QStringLiteral("Unable to start your web browser automatically."),
                           QStringLiteral("Please goto the site ") + kWebPage + QStringLiteral(" manually.")}),
             messageTitle(QStringLiteral("Updates")));
}

void FrmAbout::openLink(const QString& target, const QString& failure, const QString& title) {
    // The same message whether the desktop refuses at once or a little later
    // (the toolkit reports a late refusal only while this box is open).
    const auto refused = [this, failure, title] {
        toolkit_.messageBox(this, failure, title, MsgIcon::Information, MsgButtons::Ok);
    };
    if (toolkit_.shellOpen(this, target, refused) > 32) return;
    refused();
}

void FrmAbout::lblEmail_MouseDown(int /*button*/, int shift) {
    setTextColour(lblEmail, kLinkPressed);
    if (shift == kCtrlAlt) eggStage = 2;
}

void FrmAbout::lblUpdates_MouseDown(int /*button*/, int shift) {
    setTextColour(lblUpdates, kLinkPressed);
    if (shift == kCtrlAlt && eggStage == 2) eggStage = 3;
}

void FrmAbout::imgTamberlo_MouseDown(int /*button*/, int shift) {
    if (shift == kCtrlOnly && eggStage == 3) showHiddenSprites();
}

void FrmAbout::showHiddenSprites() {
    skin_.setClip(quorvale::skinmap::kHiddenSquare);
    pieces_[0]->setPicture(skin_.clipped());
    skin_.setClip(quorvale::skinmap::kHiddenSmall);
    for (int i = 6; i <= 9; ++i) pieces_[static_cast<std::size_t>(i)]->setPicture(skin_.clipped());
    toolkit_.messageBox(this, QStringLiteral("You have found the Easter Egg!"),
                                messageTitle(QStringLiteral("Easter Egg")), MsgIcon::Information, MsgButtons::Ok);
}
