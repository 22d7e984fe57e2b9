// The level chooser: lists the 70 levels and hands the chosen index back
// through the main window's newLevel (-1 for Cancel or a close through the frame).
#pragma once

#include <QDialog>

class FrmMain;
class QListWidget;
class QPushButton;

class FrmLevel : public QDialog {
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
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    FrmMain& owner_;
    bool answered_ = false;
};
