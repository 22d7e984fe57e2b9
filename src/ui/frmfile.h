// A general file chooser: lists the plain files of one folder (and links to
// plain files) that match a pattern and, in mode 1, hands the chosen file's full path back through the main
// window's absFilename ("" for Cancel or a close through the frame).
#pragma once

#include <QString>
#include <cstdint>
#include <string>

#include "ui/chooserdialog.h"

class FrmFile : public ChooserDialog {
    Q_OBJECT
public:
    // `absFilename` is the main window's hand-over variable.
    FrmFile(QWidget& owner, const Toolkit& toolkit, QString& absFilename);

    std::uint8_t bytFlag = 0;
    QListWidget* filList = nullptr;  // one line per file name, with its extension
    QPushButton* cmdSet = nullptr;
    QPushButton* cmdCancel = nullptr;

    // The file list box's folder and pattern; setting either refreshes the list.
    void setListFolder(const QString& folder);
    void setListPattern(const QString& pattern);
    // The file handed back by the last Set in the file system's own bytes
    // (absFilename shows the name as listed, which may differ).
    const std::string& chosenFile() const { return chosen_; }

    void Form_Load();
    void Form_Activate();
    void cmdSet_Click();
    void cmdCancel_Click();

protected:
    void showEvent(QShowEvent* event) override;
    void writeCancelAnswer() override;

private:
    void refreshList();

    QString& absFilename_;
    QString folder_;
    QString pattern_;
    std::string chosen_;
};
