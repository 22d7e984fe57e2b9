// Reading the level table from the level file beside the executable.
#include <QByteArray>
#include <QFile>
#include <QStringList>

#include "app/frmmain.h"
#include "files/fileaccess.h"
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

std::string nativePath(const QString& folder, const char* name) {
    return QFile::encodeName(joinPath(folder, QString::fromLatin1(name))).toStdString();
}

// Reads the first bytes of the level file, "qvl.ZHN", or "qvl.zhn" where the
// first name holds no plain file; on failure says why. Never blocks: a FIFO
// or device under the name is refused, even one swapped in at the last moment.
bool readLevelBytes(const QString& folder, QByteArray& bytes, FileError& error) {
    const auto absent = [](files::ReadStatus s) {
        return s == files::ReadStatus::NotFound || s == files::ReadStatus::NotPlainFile;
    };
    std::string read;
    files::ReadStatus status =
        files::readPlainFile(nativePath(folder, "qvl.ZHN"), quorvale::kLevelFileBytes, files::ReadMode::Prefix, read);
    if (absent(status)) {
        const files::ReadStatus lower = files::readPlainFile(nativePath(folder, "qvl.zhn"), quorvale::kLevelFileBytes,
                                                             files::ReadMode::Prefix, read);
        if (!absent(lower)) status = lower;
    }
    switch (status) {
    case files::ReadStatus::Ok:
        bytes = QByteArray(read.data(), static_cast<qsizetype>(read.size()));
        return true;
    case files::ReadStatus::NotFound:
        error = kFileNotFound;
        break;
    case files::ReadStatus::NoPermission:
        error = kPermissionDenied;
        break;
    case files::ReadStatus::ReadFailed:
        error = kDeviceIoError;
        break;
    default:
        error = kPathAccessError;
        break;
    }
    return false;
}

}  // namespace

bool FrmMain::loadLevels() {
    const QString folder = toolkit().programFolder();
    QByteArray bytes;
    FileError error;
    if (!readLevelBytes(folder, bytes, error)) {
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
