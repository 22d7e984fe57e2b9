#include "ui/frmfile.h"

#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QShowEvent>
#include <QStringDecoder>
#include <algorithm>

#include "core/cp1252.h"
#include "core/rules.h"
#include "toolkit/toolkit.h"
#include "files/fileaccess.h"
#include "saves/savedfolder.h"

namespace {

// A file name as the list shows it: UTF-8 where the bytes are UTF-8, else
// each byte in the Western code page (a name copied from another system
// stays readable), with the same rule as level names for control characters
// and line separators (spaces), so one name is one line.
QString shownFileName(const std::string& name) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(QByteArrayView(name.data(), static_cast<qsizetype>(name.size())));
    if (utf8.hasError()) {
        text = QString::fromStdU16String(quorvale::cp1252::decodeBytes(
            reinterpret_cast<const std::uint8_t*>(name.data()), name.size()));
    }
    return QString::fromStdU16String(quorvale::shownLevelName(text.toStdU16String()));
}

}  // namespace

FrmFile::FrmFile(QWidget& owner, const Toolkit& toolkit, QString& absFilename)
    : ChooserDialog(owner, toolkit, QStringLiteral("File"), 5190, 3675, {8, 0, 5175, 2820}, QStringLiteral("Set"),
                    {604, 3000, 1695, 495}, {2891, 3000, 1695, 495}),
      absFilename_(absFilename) {
    filList = list();
    cmdSet = acceptButton();
    cmdCancel = cancelButton();
    connect(cmdSet, &QPushButton::clicked, this, [this] { cmdSet_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
}

void FrmFile::setListFolder(const QString& folder) {
    folder_ = files::withoutTrailingSeparators(folder);
    refreshList();
}

void FrmFile::setListPattern(const QString& pattern) {
    pattern_ = pattern;
    refreshList();
}

void FrmFile::refreshList() {
    filList->clear();
    if (folder_.isEmpty()) return;
    const std::string folder = QFile::encodeName(folder_).toStdString();
    // Temporary files of saves killed long ago would otherwise stay for ever.
    saves::removeStaleTemporaries(folder);
    // Plain files and links to plain files: no folders, no hidden or special
    // files, nothing a load would then refuse for what it is.
    const QRegularExpression pattern(
        pattern_.isEmpty() ? QStringLiteral(".*") : QRegularExpression::wildcardToRegularExpression(pattern_),
        QRegularExpression::CaseInsensitiveOption);
    std::vector<std::pair<QString, std::string>> names;
    for (const files::FolderEntry& entry : files::listFolder(folder)) {
        if (entry.kind == files::FolderEntry::Kind::Other || entry.name.front() == '.') continue;
        const QString shown = shownFileName(entry.name);
        if (pattern.match(shown).hasMatch()) names.emplace_back(shown, entry.name);
    }
    std::sort(names.begin(), names.end(), [](const auto& a, const auto& b) {
        const int order = a.first.compare(b.first, Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a.second < b.second;
    });
    for (const auto& [shown, name] : names) {
        auto* item = new QListWidgetItem(shown, filList);
        item->setData(Qt::UserRole, QByteArray::fromStdString(name));
    }
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
        absFilename_ = files::joinPath(folder_, selected->text());
        chosen_ = files::joinPath(QFile::encodeName(folder_).toStdString(),
                                  selected->data(Qt::UserRole).toByteArray().toStdString());
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
    absFilename_ = QString();
}
