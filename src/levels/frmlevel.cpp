#include "levels/frmlevel.h"

#include <QCloseEvent>
#include <QFont>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>

#include "app/frmmain.h"
#include "ui/dialogplace.h"

FrmLevel::FrmLevel(FrmMain& owner) : QDialog(&owner), owner_(owner) {
    // A fixed frame with a title bar and a close button, nothing else.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("Choose Level"));
    setFixedClientTwips(*this, owner_, 4155, 3510);

    lisLevel = new QListWidget(this);
    lisLevel->setSelectionMode(QAbstractItemView::SingleSelection);
    lisLevel->setSortingEnabled(false);
    lisLevel->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QFont listFont(QStringLiteral("MS Sans Serif"));
    listFont.setPointSizeF(9.75);
    lisLevel->setFont(listFont);
    placeInTwips(*lisLevel, owner_, 30, 0, 4095, 2700);

    cmdSetLevel = new QPushButton(QStringLiteral("&Set Level"), this);
    placeInTwips(*cmdSetLevel, owner_, 210, 2880, 1695, 495);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    placeInTwips(*cmdCancel, owner_, 2280, 2880, 1695, 495);

    // Neither button answers Enter: the choice is always made by a click or
    // the access key.
    for (QPushButton* button : {cmdSetLevel, cmdCancel}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    setTabOrder(lisLevel, cmdSetLevel);
    setTabOrder(cmdSetLevel, cmdCancel);

    connect(cmdSetLevel, &QPushButton::clicked, this, [this] { cmdSetLevel_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
}

void FrmLevel::Form_Load() {
    centreOverMainWindow(*this, owner_);
}

void FrmLevel::cmdSetLevel_Click() {
    const QList<QListWidgetItem*> selected = lisLevel->selectedItems();
    if (selected.isEmpty()) return;
    owner_.newLevel = static_cast<std::int16_t>(lisLevel->row(selected.front()));
    answered_ = true;
    accept();
}

void FrmLevel::cmdCancel_Click() {
    owner_.newLevel = -1;
    answered_ = true;
    reject();
}

void FrmLevel::closeEvent(QCloseEvent* event) {
    // A close through the frame is a Cancel.
    if (!answered_) {
        owner_.newLevel = -1;
        answered_ = true;
    }
    QDialog::closeEvent(event);
}

void FrmLevel::keyPressEvent(QKeyEvent* event) {
    // Escape does not close the chooser and Enter picks nothing.
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Enter:
    case Qt::Key_Return:
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}
