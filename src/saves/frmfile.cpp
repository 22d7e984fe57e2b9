#include "saves/frmfile.h"

#include <QCloseEvent>
#include <QDir>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>

#include "app/frmmain.h"
#include "ui/dialogplace.h"

namespace {

// A folder as a file list reports it: without a trailing separator, except
// for the root itself.
QString withoutTrailingSeparator(QString folder) {
    while (folder.size() > 1 && (folder.endsWith(u'/') || folder.endsWith(QDir::separator()))) folder.chop(1);
    return folder;
}

}  // namespace

FrmFile::FrmFile(FrmMain& owner) : QDialog(&owner), owner_(owner) {
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("File"));
    setFixedClientTwips(*this, owner_, 5190, 3675);

    filList = new QListWidget(this);
    filList->setSelectionMode(QAbstractItemView::SingleSelection);
    filList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    placeInTwips(*filList, owner_, 8, 0, 5175, 2820);

    cmdSet = new QPushButton(QStringLiteral("Set"), this);
    placeInTwips(*cmdSet, owner_, 604, 3000, 1695, 495);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    placeInTwips(*cmdCancel, owner_, 2891, 3000, 1695, 495);

    // Neither button answers Enter or Escape; a file is taken only by a click.
    for (QPushButton* button : {cmdSet, cmdCancel}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    setTabOrder(filList, cmdSet);
    setTabOrder(cmdSet, cmdCancel);

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
    centreOverMainWindow(*this, owner_);
}

void FrmFile::Form_Activate() {
    if (filList->count() == 0) cmdSet->setEnabled(false);
}

void FrmFile::cmdSet_Click() {
    const QList<QListWidgetItem*> selected = filList->selectedItems();
    if (selected.isEmpty()) return;
    if (bytFlag == 1) {
        owner_.absFilename = joinPath(folder_, selected.front()->text());
    }
    answered_ = true;
    accept();
}

void FrmFile::cmdCancel_Click() {
    owner_.absFilename = QString();
    answered_ = true;
    reject();
}

void FrmFile::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Form_Activate();
}

void FrmFile::closeEvent(QCloseEvent* event) {
    // A close through the frame is a Cancel.
    if (!answered_) {
        owner_.absFilename = QString();
        answered_ = true;
    }
    QDialog::closeEvent(event);
}

void FrmFile::keyPressEvent(QKeyEvent* event) {
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
