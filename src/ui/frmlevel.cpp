#include "ui/frmlevel.h"

#include <QFont>
#include <QListWidget>
#include <QPushButton>


FrmLevel::FrmLevel(QWidget& owner, const Toolkit& toolkit, std::int16_t& newLevel)
    : ChooserDialog(owner, toolkit, QStringLiteral("Choose Level"), 4155, 3510, {30, 0, 4095, 2700},
                    QStringLiteral("&Set Level"), {210, 2880, 1695, 495}, {2280, 2880, 1695, 495}),
      newLevel_(newLevel) {
    lisLevel = list();
    cmdSetLevel = acceptButton();
    cmdCancel = cancelButton();

    lisLevel->setSortingEnabled(false);
    QFont listFont(QStringLiteral("MS Sans Serif"));
    listFont.setPointSizeF(9.75);
    lisLevel->setFont(listFont);

    connect(cmdSetLevel, &QPushButton::clicked, this, [this] { cmdSetLevel_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
}

void FrmLevel::Form_Load() {
    centreOverOwner();
}

void FrmLevel::cmdSetLevel_Click() {
    QListWidgetItem* selected = selectedItem();
    if (selected == nullptr) return;
    newLevel_ = static_cast<std::int16_t>(lisLevel->row(selected));
    closeAnswered(true);
}

void FrmLevel::cmdCancel_Click() {
    writeCancelAnswer();
    closeAnswered(false);
}

void FrmLevel::writeCancelAnswer() {
    newLevel_ = -1;
}
