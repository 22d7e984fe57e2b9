#include "saves/frmfile.h"

#include <QDir>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>

#include "app/frmmain.h"

namespace {

// A folder as a file list reports it: without a trailing separator, except
// for the root itself.
QString withoutTrailingSeparator(QString folder) {
    while (folder.size() > 1 && (folder.endsWith(u'/') || folder.endsWith(QDir::separator()))) folder.chop(1);
    return folder;
}

}  // namespace

FrmFile::FrmFile(FrmMain& owner)
    : ChooserDialog(owner, QStringLiteral("File"), 5190, 3675, {8, 0, 5175, 2820}, QStringLiteral("Set"),
                    {604, 3000, 1695, 495}, {2891, 3000, 1695, 495}) {
    filList = list();
    cmdSet = acceptButton();
    cmdCancel = cancelButton();
    connect(cmdSet, &QPushButton::clicked, this, [this] { cmdSet_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
}

void FrmFile::setListFolder(const QString& folder) {
    folder_ = withoutTrailingSeparator(folder);
    refreshList();
}

void FrmFile::setListPattern(const QString& pattern) {
    pattern_ = pattern;
    refreshList();
}

void FrmFile::refreshList() {
    filList->clear();
    if (folder_.isEmpty()) return;
    // Plain and read-only files only: no folders, no hidden or special files.
    const QDir dir(folder_);
    const QStringList names =
        dir.entryList(pattern_.isEmpty() ? QStringList{} : QStringList{pattern_}, QDir::Files | QDir::NoDotAndDotDot,
                      QDir::Name | QDir::IgnoreCase);
    filList->addItems(names);
}

void FrmFile::Form_Load() {
    centreOverOwner();
}

void FrmFile::Form_Activate() {
    if (filList->count() == 0) cmdSet->setEnabled(false);
}

void FrmFile::cmdSet_Click() {
    QListWidgetItem* selected = selectedItem();
    if (selected == nullptr) return;
    if (bytFlag == 1) {
        owner().absFilename = joinPath(folder_, selected->text());
    }
    closeAnswered(true);
}

void FrmFile::cmdCancel_Click() {
    writeCancelAnswer();
    closeAnswered(false);
}

void FrmFile::showEvent(QShowEvent* event) {
    ChooserDialog::showEvent(event);
    Form_Activate();
}

void FrmFile::writeCancelAnswer() {
    owner().absFilename = QString();
}
