// Reading the level table from the level file beside the executable.
#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include "app/frmmain.h"
#include "levels/levelfile.h"

namespace {

// A failed file operation as the player sees it: a number and a description,
// the same pair for the same kind of failure everywhere.
struct FileError {
    int number = 0;
    QString description;
};

const FileError kFileNotFound{53, QStringLiteral("File not found")};
const FileError kPermissionDenied{70, QStringLiteral("Permission denied")};
const FileError kPathAccessError{75, QStringLiteral("Path/File access error")};
const FileError kDeviceIoError{57, QStringLiteral("Device I/O error")};

// The level file's path: "qvl.ZHN", or "qvl.zhn" where only that one is a file.
QString levelFilePath(const QString& folder) {
    const QString upper = joinPath(folder, QStringLiteral("qvl.ZHN"));
    if (QFileInfo(upper).isFile()) return upper;
    const QString lower = joinPath(folder, QStringLiteral("qvl.zhn"));
    if (QFileInfo(lower).isFile()) return lower;
    return upper;
}

// Reads the first bytes of the level file in one read; on failure says why.
bool readLevelBytes(const QString& path, QByteArray& bytes, FileError& error) {
    const QFileInfo info(path);
    if (!info.exists()) {
        error = kFileNotFound;
        return false;
    }
    if (!info.isFile()) {
        error = kPathAccessError;
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.error() == QFileDevice::PermissionsError || !info.isReadable() ? kPermissionDenied
                                                                                     : kPathAccessError;
        return false;
    }
    bytes.resize(static_cast<qsizetype>(quorvale::kLevelFileBytes));
    const qint64 got = file.read(bytes.data(), static_cast<qint64>(quorvale::kLevelFileBytes));
    if (got < 0) {
        error = kDeviceIoError;
        return false;
    }
    bytes.resize(static_cast<qsizetype>(got));
    return true;
}

}  // namespace

bool FrmMain::loadLevels() {
    const QString folder = toolkit().programFolder();
    QByteArray bytes;
    FileError error;
    if (!readLevelBytes(levelFilePath(folder), bytes, error)) {
        const QString text = QStringList{QStringLiteral("An error has occurred while attempting loading data file"),
                                         joinPath(folder, QStringLiteral("qvl.zhn")),
                                         QString::number(error.number) + u' ' + error.description}
                                 .join(QStringLiteral("\r\n"));
        toolkit().messageBox(this, text, QStringLiteral("Quorvale - Error"), MsgIcon::Error, MsgButtons::Ok);
        unloadAndEnd();
        return false;
    }
    // A short file fills what it covers; the rest of the table stays cleared.
    quorvale::readLevelTable(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                             static_cast<std::size_t>(bytes.size()), levels);
    return true;
}
