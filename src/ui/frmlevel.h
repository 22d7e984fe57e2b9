// The level chooser: lists the 70 levels and hands the chosen index back
// through the main window's newLevel (-1 for Cancel or a close through the frame).
#pragma once

#include "ui/chooserdialog.h"

class FrmLevel : public ChooserDialog {
    Q_OBJECT
public:
    explicit FrmLevel(FrmMain& owner);

    QListWidget* lisLevel = nullptr;
    QPushButton* cmdSetLevel = nullptr;
    QPushButton* cmdCancel = nullptr;

    void Form_Load();
    void cmdSetLevel_Click();
    void cmdCancel_Click();

protected:
    void writeCancelAnswer() override;
};
