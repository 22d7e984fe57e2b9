#include "levels/levelread.h"

#include "files/fileaccess.h"
#include "levels/levelfile.h"

namespace levels {

namespace {

const FileError kFileNotFound{53, "File not found"};
const FileError kPermissionDenied{70, "Permission denied"};
const FileError kPathAccessError{75, "Path/File access error"};
const FileError kDeviceIoError{57, "Device I/O error"};

files::ReadStatus readPrefix(const std::string& folder, const char* name, std::string& bytes) {
    return files::readPlainFile(files::joinPath(folder, std::string(name)), quorvale::kLevelFileBytes,
                                files::ReadMode::Prefix, bytes);
}

}  // namespace

FileError readLevelFile(const std::string& folder, quorvale::LevelTable& levels) {
    const auto absent = [](files::ReadStatus s) {
        return s == files::ReadStatus::NotFound || s == files::ReadStatus::NotPlainFile;
    };
    std::string bytes;
    files::ReadStatus status = readPrefix(folder, "qvl.ZHN", bytes);
    if (absent(status)) {
        const files::ReadStatus lower = readPrefix(folder, "qvl.zhn", bytes);
        if (!absent(lower)) status = lower;
    }
    switch (status) {
    case files::ReadStatus::Ok:
        quorvale::readLevelTable(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), levels);
        return {};
    case files::ReadStatus::NotFound: return kFileNotFound;
    case files::ReadStatus::NoPermission: return kPermissionDenied;
    case files::ReadStatus::ReadFailed: return kDeviceIoError;
    default: return kPathAccessError;
    }
}

}  // namespace levels
