// The floor for the start-up benchmark: a Qt main window with the game's menu
// bar, caption and client size, built like the game, that loads nothing.
#include <QApplication>
#include <QLabel>
#include <QLayout>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Quorvale"));

    QMenu* file = window.menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(QStringLiteral("&New Game"));
    file->addAction(QStringLiteral("&Load Game"));
    file->addAction(QStringLiteral("&Save Game"))->setEnabled(false);
    file->addSeparator();
    QAction* exit = file->addAction(QStringLiteral("E&xit"));
    QObject::connect(exit, &QAction::triggered, &window, &QWidget::close);
    QMenu* help = window.menuBar()->addMenu(QStringLiteral("&Help"));
    help->addAction(QStringLiteral("H&ow to Play"));
    help->addSeparator();
    help->addAction(QStringLiteral("&About"));

    // The game's client area at 15 twips per pixel, with its status line.
    auto* client = new QWidget;
    client->setFixedSize(408, 405);
    auto* status = new QLabel(client);
    status->setGeometry(8, 376, 393, 25);
    window.setCentralWidget(client);
    window.layout()->setSizeConstraint(QLayout::SetFixedSize);

    window.show();
    const QRect screen = window.screen()->geometry();
    window.move((screen.width() - window.frameGeometry().width()) / 2,
                (screen.height() - window.frameGeometry().height()) / 2);
    return app.exec();
}
