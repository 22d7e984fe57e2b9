// A general file chooser: lists the files of one folder that match a pattern
// and, in mode 1, hands the chosen file's full path back through the main
// window's absFilename ("" for Cancel or a close through the frame).
#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>

class FrmMain;
class QListWidget;
class QPushButton;

class FrmFile : public QDialog {
    Q_OBJECT
public:
    explicit FrmFile(FrmMain& owner);

    std::uint8_t bytFlag = 0;
    QListWidget* filList = nullptr;  // one line per file name, with its extension
    QPushButton* cmdSet = nullptr;
    QPushButton* cmdCancel = nullptr;

    // The file list box's folder and pattern; setting either refreshes the list.
    void setListFolder(const QString& folder);
    void setListPattern(const QString& pattern);
    QString listFolder() const { return folder_; }

    void Form_Load();
    void Form_Activate();
    void cmdSet_Click();
    void cmdCancel_Click();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void refreshList();

    FrmMain& owner_;
    QString folder_;
    QString pattern_;
    bool answered_ = false;
};
