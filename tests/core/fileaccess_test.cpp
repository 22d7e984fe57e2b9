// Reading plain files: the buffer follows the file, not the limit.
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
