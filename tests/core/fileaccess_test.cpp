// Reading plain files: the buffer follows the file, not the limit. Writing a
// game: what may be replaced, and nothing left beside it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "files/fileaccess.h"

using files::ReadMode, files::ReadStatus;

TEST(ReadPlainFile, TakesTheFilesOwnSizeWhateverTheLimit) {
    const std::string file = ::testing::TempDir() + "quorvale-read-test";
    std::ofstream(file, std::ios::binary) << "BM and a few bytes";
    std::string bytes;
    // A petabyte could never be set aside for a read: only the file's size is.
    for (ReadMode mode : {ReadMode::WholeFile, ReadMode::Prefix}) {
        EXPECT_EQ(files::readPlainFile(file, std::size_t{1} << 50, mode, bytes), ReadStatus::Ok);
        EXPECT_EQ(bytes, "BM and a few bytes");
    }
    EXPECT_EQ(files::readPlainFile(file, 5, ReadMode::Prefix, bytes), ReadStatus::Ok);
    EXPECT_EQ(bytes, "BM an");
    EXPECT_EQ(files::readPlainFile(file, 5, ReadMode::WholeFile, bytes), ReadStatus::TooLarge);
    std::filesystem::remove(file);

    // A plain file whose size reads as 0 (/proc) is read to its end all the same.
    EXPECT_EQ(files::readPlainFile("/proc/self/status", 1 << 20, ReadMode::WholeFile, bytes), ReadStatus::Ok);
    EXPECT_EQ(bytes.substr(0, 5), "Name:");
    EXPECT_GT(bytes.size(), 500u);
}

TEST(WriteFileAtomically, ReplacesOnlyWhatItMayAndLeavesNothingBehind) {
    const std::string folder = ::testing::TempDir() + "quorvale-write-test";
    using files::WriteResult;
    const struct {
        const char* what;
        int oldMode;  // -1: no file under the name
        bool mayReplace;
        WriteResult result;
        const char* after;
    } rows[] = {
        {"a free name", -1, false, WriteResult::Written, "new"},
        {"a taken name, not to be replaced", 0644, false, WriteResult::NameTaken, "old"},
        {"a taken name, to be replaced", 0640, true, WriteResult::Written, "new"},
        {"a read-only game, whoever saves", 0444, true, WriteResult::Failed, "old"},
    };
    for (const auto& row : rows) {
        std::filesystem::remove_all(folder);
        std::filesystem::create_directory(folder);
        const std::string file = folder + "/game.sav";
        if (row.oldMode >= 0) {
            std::ofstream(file) << "old";
            std::filesystem::permissions(file, std::filesystem::perms(row.oldMode));
        }
        EXPECT_EQ(files::writeFileAtomically(folder, "game.sav", "new", row.mayReplace), row.result) << row.what;
        std::string bytes;
        EXPECT_EQ(files::readPlainFile(file, 10, ReadMode::WholeFile, bytes), ReadStatus::Ok) << row.what;
        EXPECT_EQ(bytes, row.after) << row.what;
        if (row.oldMode >= 0) {
            EXPECT_EQ(int(std::filesystem::status(file).permissions()), row.oldMode) << row.what;
        }
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1) << row.what;
    }
    std::filesystem::remove_all(folder);
}
