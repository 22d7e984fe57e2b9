// The level chooser: lists the 70 levels and hands the chosen index back
// through the main window's newLevel (-1 for Cancel or a close through the frame).
#pragma once

#include <cstdint>

#include "ui/chooserdialog.h"

class FrmLevel : public ChooserDialog {
    Q_OBJECT
public:
    // `newLevel` is the main window's hand-over variable.
    FrmLevel(QWidget& owner, const Toolkit& toolkit, std::int16_t& newLevel);

    QListWidget* lisLevel = nullptr;
    QPushButton* cmdSetLevel = nullptr;
    QPushButton* cmdCancel = nullptr;

    void Form_Load();
    void cmdSetLevel_Click();
    void cmdCancel_Click();

protected:
    void writeCancelAnswer() override;

private:
    std::int16_t& newLevel_;
};
