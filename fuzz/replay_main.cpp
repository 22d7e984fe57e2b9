// Replays every file of the fuzz corpus through the fuzz entry points, so
// every input a fuzzer ever found stays a regression test in the ordinary
// build. Usage: fuzz_replay CORPUS_DIR   (one subfolder per target)
//           or  fuzz_replay TARGET FILE...
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz_targets.h"

namespace fs = std::filesystem;

namespace {

struct Target {
    const char* name;
    int (*entry)(const std::uint8_t*, std::size_t);
};

constexpr Target kTargets[] = {
    {"level_file", quorvale::fuzz::levelFile},
    {"saved_game", quorvale::fuzz::savedGame},
    {"game_name", quorvale::fuzz::gameName},
    {"cp1252", quorvale::fuzz::cp1252Codec},
    {"file_access", quorvale::fuzz::fileAccess},
};

bool replayFile(const Target& target, const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", file.string().c_str());
        return false;
    }
    const std::vector<char> contents((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // A buffer of exactly the file's size, so a sanitizer sees any read past it.
    std::vector<std::uint8_t> bytes(contents.begin(), contents.end());
    const std::string label = std::string(target.name) + ": " + file.string();
    quorvale::fuzz::setCurrentInput(label.c_str());
    target.entry(bytes.empty() ? nullptr : bytes.data(), bytes.size());
    // An empty input is run through a real (empty) buffer too.
    if (bytes.empty()) {
        const std::uint8_t none[1] = {0};
        target.entry(none, 0);
    }
    quorvale::fuzz::setCurrentInput(nullptr);
    return true;
}

const Target* findTarget(const std::string& name) {
    for (const Target& t : kTargets)
        if (name == t.name) return &t;
    return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2) {
        const fs::path root = argv[1];
        int total = 0;
        for (const Target& target : kTargets) {
            const fs::path folder = root / target.name;
            std::vector<fs::path> files;
            std::error_code ec;
            for (const auto& entry : fs::directory_iterator(folder, ec))
                if (entry.is_regular_file()) files.push_back(entry.path());
            if (ec || files.empty()) {
                std::fprintf(stderr, "no corpus for %s in %s\n", target.name, folder.string().c_str());
                return 1;
            }
            std::sort(files.begin(), files.end());
            for (const fs::path& file : files)
                if (!replayFile(target, file)) return 1;
            std::printf("%s: %zu inputs replayed\n", target.name, files.size());
            total += static_cast<int>(files.size());
        }
        std::printf("%d inputs replayed, all checks held\n", total);
        return 0;
    }
    if (argc >= 3) {
        const Target* target = findTarget(argv[1]);
        if (target == nullptr) {
            std::fprintf(stderr, "unknown target %s\n", argv[1]);
            return 2;
        }
        for (int i = 2; i < argc; ++i)
            if (!replayFile(*target, argv[i])) return 1;
        std::printf("%d inputs replayed, all checks held\n", argc - 2);
        return 0;
    }
    std::fprintf(stderr, "usage: %s CORPUS_DIR | %s TARGET FILE...\n", argv[0], argv[0]);
    return 2;
}
