// Building the main window, its load step and the closing rule.
#include "app/frmmain.h"

#include <QAction>
#include <QCloseEvent>
#include <QFile>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QSessionManager>
#include <QStringList>
#include <QWindow>

#include "config.h"
#include "core/geometry.h"
#include "files/fileaccess.h"
#include "levels/levelread.h"
#include "toolkit/dialogplace.h"
#include "toolkit/messages.h"
#include "toolkit/session.h"
#include "toolkit/x11window.h"
#include "ui/frmabout.h"

// The pictures compiled into the program live in a static library; this
// makes sure they are linked in and registered before the first use.
static void initResources() { Q_INIT_RESOURCE(resources); }

namespace {

// The client area below the menu bar, fixed in twips.
constexpr double kClientWidthTwips = 6120;
constexpr double kClientHeightTwips = 6075;

// The status line's place in twips.
constexpr double kStatusLeft = 120;
constexpr double kStatusTop = 5640;
constexpr double kStatusWidth = 5895;
constexpr double kStatusHeight = 375;

constexpr auto toPixels = &quorvale::twipsToPixels;

}  // namespace

FrmMain::FrmMain(Toolkit& toolkit, const QString& savedFolder)
    : toolkit_(toolkit), commands_(game_, toolkit, *this, savedFolder) {
    initResources();
    setWindowTitle(QStringLiteral("Quorvale"));
    // Every size drawn for the icon, so the desktop shows a sharp one wherever it appears.
    QIcon icon;
    for (int size : {QUORVALE_ICON_SIZES}) {
        icon.addFile(QStringLiteral(":/quorvale-%1.png").arg(size), QSize(size, size));
    }
    setWindowIcon(icon);
    buildMenus();
    buildControls();
    // The window never changes size: the menu bar plus the fixed client area.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    setWindowFlag(Qt::WindowMaximizeButtonHint, false);

    // The session manager. The game keeps no session state and has no
    // command line, so it asks never to be started again at the next login.
    // Qt reports a logout as a commit-data request that may interact with
    // the player; that is the only request that runs the closing rule. A
    // request to save the session's state asks nothing and closes nothing.
    // Qt gives the session manager its one answer when the request returns:
    // cancel() alone refuses the logout (a release() before that would send
    // a first answer that lets the logout go on).
    connect(qGuiApp, &QGuiApplication::commitDataRequest, &callbacks_, [this](QSessionManager& manager) {
        manager.setRestartHint(QSessionManager::RestartNever);
        struct Request final : LogoutRequest {
            QSessionManager& manager;
            explicit Request(QSessionManager& m) : manager(m) {}
            bool allowsInteraction() override { return manager.allowsInteraction(); }
            void cancel() override { manager.cancel(); }
        } request(manager);
        commitData(request);
    });
    connect(qGuiApp, &QGuiApplication::saveStateRequest, &callbacks_,
            [](QSessionManager& manager) { manager.setRestartHint(QSessionManager::RestartNever); });
    // Where the session's logout comes through the desktop portal (native
    // Wayland, sandboxes), an unsaved game holds the logout off there.
    new session::LogoutInhibitor(this, [this] { return game_.gameModified() && !unloaded_; });

    // A drag ends when the mouse can no longer reach its image: another
    // window took the focus (a popup, a dialog, another program's window) or
    // the whole program lost it.
    connect(qGuiApp, &QGuiApplication::focusWindowChanged, &callbacks_, [this](QWindow* focused) {
        if (focused != windowHandle()) cancelDrag();
    });
    connect(qGuiApp, &QGuiApplication::applicationStateChanged, &callbacks_, [this](Qt::ApplicationState state) {
        if (state != Qt::ApplicationActive) cancelDrag();
    });
}

FrmMain::~FrmMain() = default;

void FrmMain::buildMenus() {
    QMenuBar* bar = menuBar();
    mnuFile = bar->addMenu(QStringLiteral("&File"));
    mnuNewGame = mnuFile->addAction(QStringLiteral("&New Game"));
    mnuLoadGame = mnuFile->addAction(QStringLiteral("&Load Game"));
    mnuSaveGame = mnuFile->addAction(QStringLiteral("&Save Game"));
    mnuSep1 = mnuFile->addSeparator();
    mnuExit = mnuFile->addAction(QStringLiteral("E&xit"));

    mnuHelp = bar->addMenu(QStringLiteral("&Help"));
    mnuHTP = mnuHelp->addAction(QStringLiteral("H&ow to Play"));
    mnuSep3 = mnuHelp->addSeparator();
    mnuAbout = mnuHelp->addAction(QStringLiteral("&About"));

    // A menu opened with the keyboard in the middle of a drag takes the
    // mouse; the drag ends there, before the menu can swallow the release.
    connect(mnuFile, &QMenu::aboutToShow, this, [this] { cancelDrag(); });
    connect(mnuHelp, &QMenu::aboutToShow, this, [this] { cancelDrag(); });

    connect(mnuNewGame, &QAction::triggered, this, [this] { mnuNewGame_Click(); });
    connect(mnuLoadGame, &QAction::triggered, this, [this] { mnuLoadGame_Click(); });
    connect(mnuSaveGame, &QAction::triggered, this, [this] { mnuSaveGame_Click(); });
    connect(mnuExit, &QAction::triggered, this, [this] { mnuExit_Click(); });
    connect(mnuHTP, &QAction::triggered, this, [this] { mnuHTP_Click(); });
    connect(mnuAbout, &QAction::triggered, this, [this] { mnuAbout_Click(); });
}

void FrmMain::buildControls() {
    const double tppX = toolkit_.twipsPerPixelX();
    const double tppY = toolkit_.twipsPerPixelY();

    auto* client = new QWidget(this);
    client->setFixedSize(toPixels(kClientWidthTwips, tppX), toPixels(kClientHeightTwips, tppY));
    setCentralWidget(client);

    imgUpFrame = new ImageControl(toolkit_, client);
    imgLeftFrame = new ImageControl(toolkit_, client);
    imgRightFrame = new ImageControl(toolkit_, client);
    imgExit = new ImageControl(toolkit_, client);
    imgTitle = new ImageControl(toolkit_, client);
    for (int i = 0; i < quorvale::kPieceCount; ++i) {
        auto* image = new ImageControl(toolkit_, client);
        const auto index = static_cast<std::int16_t>(i);
        connect(image, &ImageControl::mouseDown, &callbacks_, [this, index](int button, int shift, float x, float y) {
            imgPieces_MouseDown(index, static_cast<std::int16_t>(button), static_cast<std::int16_t>(shift), x, y);
        });
        connect(image, &ImageControl::mouseMove, &callbacks_, [this, index](int button, int shift, float x, float y) {
            imgPieces_MouseMove(index, static_cast<std::int16_t>(button), static_cast<std::int16_t>(shift), x, y);
        });
        connect(image, &ImageControl::mouseUp, &callbacks_, [this, index](int button, int shift, float x, float y) {
            imgPieces_MouseUp(index, static_cast<std::int16_t>(button), static_cast<std::int16_t>(shift), x, y);
        });
        connect(image, &ImageControl::grabLost, &callbacks_, [this, index] {
            if (game_.drag().dragging && game_.drag().dragPiece == index) cancelDrag();
        });
        imgPieces[static_cast<std::size_t>(i)] = image;
    }
    imgCong = new ImageControl(toolkit_, client);

    lblStatus = new QLabel(client);
    lblStatus->setGeometry(toPixels(kStatusLeft, tppX), toPixels(kStatusTop, tppY), toPixels(kStatusWidth, tppX),
                           toPixels(kStatusHeight, tppY));
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSizeF(9.75);
    lblStatus->setFont(font);
    lblStatus->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    lblStatus->setTextFormat(Qt::PlainText);
    lblStatus->setText(QString());
}

bool FrmMain::Form_Load() {
    // 1. Visible, modeless, no owner; 2. centred on the screen by its outer
    // size, as the window manager frames it (see toolkit/dialogplace.h): the
    // window is placed before it exists, so it maps at its final place.
    layout()->activate();
    centreOnScreen(*this, toolkit_);
    // Named before it maps, so docks tie it to its menu entry from the start.
    if (!QGuiApplication::desktopFileName().isEmpty()) {
        x11window::nameDesktopEntry(*this, QGuiApplication::desktopFileName());
    }
    showPlaced(*this);
    // 3.-5.
    mnuSaveGame->setEnabled(false);
    absFilename = QStringLiteral("qvl.bmp");
    hidePlayfield();
    // 6.-7. Each reports its own failure and ends the program.
    if (!loadLevels()) return false;
    if (!loadSkin(absFilename)) return false;
    // 8. The game starts with no steps and nothing to save.
    return true;
}

bool FrmMain::loadLevels() {
    const QString folder = toolkit_.programFolder();
    quorvale::LevelTable levels;
    const levels::FileError error = levels::readLevelFile(QFile::encodeName(folder).toStdString(), levels);
    if (error.number != 0) {
        const QString text = messageLines({QStringLiteral("An error has occurred while attempting loading data file"),
                                         files::joinPath(folder, QStringLiteral("qvl.zhn")),
                                         QString::number(error.number) + u' ' +
                                             QString::fromStdString(error.description)});
        toolkit_.messageBox(this, text, messageTitle(QStringLiteral("Error")), MsgIcon::Error, MsgButtons::Ok);
        unloadAndEnd();
        return false;
    }
    game_.setLevels(levels);
    return true;
}

void FrmMain::mnuNewGame_Click() {
    if (commands_.newGame(newLevel)) showGame();
}

void FrmMain::mnuLoadGame_Click() {
    if (commands_.loadGame(absFilename)) showGame();
}

void FrmMain::mnuSaveGame_Click() { commands_.saveGame(); }

void FrmMain::mnuHTP_Click() {
    const QString page = files::joinPath(toolkit_.programFolder(), QStringLiteral("qvl.html"));
    // The same message whether the desktop refuses at once or a little later.
    const auto refused = [this, page] {
        toolkit_.messageBox(this,
                            messageLines({QStringLiteral("Unable to open ") + page + QStringLiteral(" automatically."),
                                          QStringLiteral("Please open the file manually.")}),
                            messageTitle(QStringLiteral("Help")), MsgIcon::Information, MsgButtons::Ok);
    };
    if (toolkit_.shellOpen(this, page, refused) > 32) return;
    refused();
}

void FrmMain::mnuAbout_Click() {
    // Every opening loads a new box, so it starts from its first state.
    FrmAbout box(*this, toolkit_, piclipSkin, imgPieces);
    toolkit_.showModal(&box, this);
}

double FrmMain::Left() const { return frameGeometry().x() * toolkit_.twipsPerPixelX(); }
double FrmMain::Top() const { return frameGeometry().y() * toolkit_.twipsPerPixelY(); }
double FrmMain::Width() const { return frameGeometry().width() * toolkit_.twipsPerPixelX(); }
double FrmMain::Height() const { return frameGeometry().height() * toolkit_.twipsPerPixelY(); }
double FrmMain::ScaleWidth() const { return centralWidget()->width() * toolkit_.twipsPerPixelX(); }
double FrmMain::ScaleHeight() const { return centralWidget()->height() * toolkit_.twipsPerPixelY(); }

void FrmMain::setMousePointer(int value) {
    mousePointer_ = value;
    switch (value) {
    case quorvale::kPointerNoDrop: setCursor(Qt::ForbiddenCursor); break;
    case quorvale::kPointerSizeAll: setCursor(Qt::SizeAllCursor); break;
    default: setCursor(Qt::ArrowCursor); break;
    }
}

bool FrmMain::Form_QueryUnload(int /*unloadMode*/) {
    // The close goes ahead unless the player cancels, whether or not the game was saved.
    return !commands_.offerToSave(messageTitle(QStringLiteral("Exit")));
}

void FrmMain::mnuExit_Click() { close(); }

bool FrmMain::sessionLogout(bool interactionAllowed) {
    // With nothing to save, nothing is asked; the window stays until the
    // session really ends and closes it.
    if (unloaded_ || !game_.gameModified()) return false;
    // Without leave to ask, nothing can be asked and nothing saved: the game
    // stays as it is and the window stays open, so a logout that is then
    // called off loses nothing.
    if (!interactionAllowed) return false;
    if (Form_QueryUnload(2)) return true;
    // The rule has run; the window goes without asking a second time.
    unloaded_ = true;
    close();
    return false;
}

void FrmMain::commitData(LogoutRequest& request) {
    // Asking for leave to interact makes the session wait for the program,
    // so it is asked only when there is something to save.
    if (unloaded_ || !game_.gameModified()) return;
    if (sessionLogout(request.allowsInteraction())) request.cancel();
}

void FrmMain::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && !isActiveWindow()) cancelDrag();
    QMainWindow::changeEvent(event);
}

void FrmMain::closeEvent(QCloseEvent* event) {
    if (unloaded_) {
        event->accept();
        return;
    }
    if (Form_QueryUnload(0)) {
        event->ignore();
        return;
    }
    unloaded_ = true;
    event->accept();
}

void FrmMain::unloadAndEnd() {
    // Only start-up failures come here: nothing has changed, so nothing is asked.
    unloaded_ = true;
    close();
    toolkit_.endProgram(1);
}
