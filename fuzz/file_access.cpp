// The file-access layer on folders the input builds: plain files young and
// old, links (to entries, to nothing, to a device, to folders, in loops),
// FIFOs, folders and read-only files under arbitrary names, then saves,
// reads, listings and the clean-up of temporary files, each checked against
// a model of the folder kept here. A save writes exactly its bytes under its
// name or changes nothing; nothing but a stale temporary file of a save ever
// disappears; a read never blocks and tells what the name holds.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "files/fileaccess.h"
#include "fuzz_targets.h"

namespace quorvale::fuzz {

namespace {

enum class Kind { File, Link, Fifo, Folder };

struct Entry {
    Kind kind = Kind::File;
    std::string bytes;   // a file's contents
    std::string target;  // a link's target
    bool old = false;    // written two hours ago
    bool readOnly = false;
};

using Model = std::map<std::string, Entry>;

constexpr std::size_t kLargestTemporary = 36;

class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool done() const { return at_ >= size_; }
    unsigned next() { return at_ < size_ ? data_[at_++] : 0; }
    std::string bytes(std::size_t count) {
        std::string out;
        while (out.size() < count && !done()) out += static_cast<char>(next());
        return out;
    }
    // A name from a small alphabet of troublemakers; now and then one shaped
    // like a save's temporary file, or one near the longest a name may be.
    std::string name() {
        static const char kAlphabet[] = {'a', 'b', '.', '.', '/', '\0', '\x81', '\xff', 's', 'v', ' ', '\n', 'A', '7'};
        const unsigned head = next();
        if (head == 0xFF) return std::string(250, 'n');
        std::string stem;
        for (unsigned n = head % 8; n > 0; --n) stem += kAlphabet[next() % sizeof kAlphabet];
        if ((head & 0x80) == 0) return stem;
        std::string name = "." + stem + (head & 0x40 ? ".sav." : ".sv.");
        for (unsigned n = 6 - (head & 0x20 ? 1 : 0); n > 0; --n) name += "aZ0.9"[next() % 5];
        return name;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

// What the file system accepts as the name of one entry of a folder.
bool isEntryName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.size() <= 255 &&
           name.find_first_of(std::string("/\0", 2)) == std::string::npos;
}

// A save's temporary file: "." + a final name of at least one character
// ending in ".sav" + "." + six letters or digits.
bool isTemporaryOfASave(const std::string& name) {
    if (name.size() < 13 || name[0] != '.' || name.substr(name.size() - 11, 5) != ".sav.") return false;
    for (std::size_t i = name.size() - 6; i < name.size(); ++i) {
        const char c = name[i];
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return false;
    }
    return true;
}

// What a name leads to: the entry's kind after following links, or nothing.
enum class Leads { Nothing, File, Other, Loop };

Leads follow(const Model& model, const std::string& name, const Entry** file) {
    std::string at = name;
    for (int depth = 0; depth < 40; ++depth) {
        const auto found = model.find(at);
        if (found == model.end()) return Leads::Nothing;
        const Entry& e = found->second;
        if (e.kind == Kind::File) {
            *file = &e;
            return Leads::File;
        }
        if (e.kind != Kind::Link) return Leads::Other;
        if (e.target == "/dev/null" || e.target == "/" || e.target == "..") return Leads::Other;
        if (e.target == "/quorvale-nowhere") return Leads::Nothing;
        at = e.target;
    }
    return Leads::Loop;
}

std::string fileBytes(const std::string& path) {
    std::string out;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    FUZZ_CHECK(fd >= 0);
    char buffer[512];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;) out.append(buffer, static_cast<std::size_t>(n));
    ::close(fd);
    return out;
}

void checkFolder(const std::string& real, const std::string& seen, const Model& model) {
    std::map<std::string, files::FolderEntry::Kind> listed;
    for (const files::FolderEntry& e : files::listFolder(seen)) listed[e.name] = e.kind;
    FUZZ_CHECK(listed.size() == model.size());
    for (const auto& [name, entry] : model) {
        const auto found = listed.find(name);
        FUZZ_CHECK(found != listed.end());
        const Entry* file = nullptr;
        const Leads leads = follow(model, name, &file);
        const auto expected = entry.kind == Kind::File   ? files::FolderEntry::Kind::PlainFile
                              : leads == Leads::File ? files::FolderEntry::Kind::LinkToPlainFile
                                                     : files::FolderEntry::Kind::Other;
        FUZZ_CHECK(found->second == expected);
        FUZZ_CHECK(files::isPlainFileEntry(seen, name) == (entry.kind == Kind::File));
        if (entry.kind == Kind::File) FUZZ_CHECK(fileBytes(real + "/" + name) == entry.bytes);
    }
}

void makeOld(const std::string& path) {
    const timespec times[2] = {{std::time(nullptr) - 7200, 0}, {std::time(nullptr) - 7200, 0}};
    FUZZ_CHECK(::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW) == 0);
}

void run(Input& in, const std::string& real, const std::string& seen) {
    Model model;
    for (int step = 0; step < 24 && !in.done(); ++step) {
        const unsigned op = in.next() % 8;
        const std::string name = in.name();
        const std::string path = real + "/" + name;
        const bool free = isEntryName(name) && model.count(name) == 0;
        Entry entry;
        switch (op) {
        case 0:  // a plain file
            if (!free) break;
            entry.bytes = in.bytes(in.next() % 48);
            entry.old = in.next() & 1;
            {
                const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
                FUZZ_CHECK(fd >= 0 && ::write(fd, entry.bytes.data(), entry.bytes.size()) ==
                                          static_cast<ssize_t>(entry.bytes.size()));
                ::close(fd);
            }
            if (entry.old) makeOld(path);
            model[name] = entry;
            break;
        case 1: {  // a link
            if (!free) break;
            static const char* const kTargets[] = {"/dev/null", "/", "..", "/quorvale-nowhere"};
            const unsigned pick = in.next() % 6;
            entry.kind = Kind::Link;
            if (pick < 4) {
                entry.target = kTargets[pick];
            } else {  // an entry of the folder, or the link itself
                entry.target = model.empty() ? name : std::next(model.begin(), in.next() % model.size())->first;
            }
            FUZZ_CHECK(::symlink(entry.target.c_str(), path.c_str()) == 0);
            model[name] = entry;
            break;
        }
        case 2:  // a FIFO
        case 3:  // a folder
            if (!free) break;
            entry.kind = op == 2 ? Kind::Fifo : Kind::Folder;
            FUZZ_CHECK((op == 2 ? ::mkfifo(path.c_str(), 0644) : ::mkdir(path.c_str(), 0755)) == 0);
            model[name] = entry;
            break;
        case 4: {  // a save
            const bool mayReplace = in.next() & 1;
            const std::string bytes = in.bytes(in.next() % 40);
            const files::WriteResult result = files::writeFileAtomically(seen, name, bytes, mayReplace);
            const auto found = isEntryName(name) ? model.find(name) : model.end();
            files::WriteResult expected = files::WriteResult::Failed;
            // The temporary name is the final one, a dot before and seven characters after.
            const bool fits = isEntryName(name) && name.size() + 8 <= 255;
            if (found == model.end()) {
                if (fits) expected = files::WriteResult::Written;
            } else if (found->second.kind == Kind::File) {
                if (!mayReplace) {
                    expected = files::WriteResult::NameTaken;
                } else if (fits && !found->second.readOnly) {
                    expected = files::WriteResult::Written;
                }
            }
            FUZZ_CHECK(result == expected);
            if (result == files::WriteResult::Written) {
                Entry& saved = model[name];
                const bool readOnly = saved.readOnly;
                saved = Entry{};
                saved.bytes = bytes;
                saved.readOnly = readOnly;
            }
            break;
        }
        case 5: {  // a read
            if (!isEntryName(name)) break;
            const std::size_t limit = in.next() % 40;
            const auto mode = in.next() & 1 ? files::ReadMode::WholeFile : files::ReadMode::Prefix;
            std::string bytes = "stale";
            const files::ReadStatus status = files::readPlainFile(seen + "/" + name, limit, mode, bytes);
            const Entry* file = nullptr;
            switch (follow(model, name, &file)) {
            case Leads::Nothing:
                FUZZ_CHECK(status == files::ReadStatus::NotFound);
                break;
            case Leads::Other:
            case Leads::Loop:
                FUZZ_CHECK(status == files::ReadStatus::NotPlainFile);
                break;
            case Leads::File:
                if (mode == files::ReadMode::WholeFile && file->bytes.size() > limit) {
                    FUZZ_CHECK(status == files::ReadStatus::TooLarge);
                } else {
                    FUZZ_CHECK(status == files::ReadStatus::Ok && bytes == file->bytes.substr(0, limit));
                }
                break;
            }
            if (status != files::ReadStatus::Ok) FUZZ_CHECK(bytes.empty());
            break;
        }
        case 6:  // the clean-up
            files::removeStaleTemporaries(seen, {".sav", kLargestTemporary});
            for (auto it = model.begin(); it != model.end();) {
                const Entry& e = it->second;
                const bool stale = e.kind == Kind::File && e.old && e.bytes.size() <= kLargestTemporary &&
                                   isTemporaryOfASave(it->first);
                it = stale ? model.erase(it) : std::next(it);
            }
            break;
        case 7:  // a file made read-only
            if (isEntryName(name) && model.count(name) != 0 && model[name].kind == Kind::File) {
                FUZZ_CHECK(::chmod(path.c_str(), 0444) == 0);
                model[name].readOnly = true;
            }
            break;
        }
        checkFolder(real, seen, model);
    }
}

}  // namespace

int fileAccess(const std::uint8_t* data, std::size_t size) {
    Input in(data, size);
    const char* tmp = std::getenv("TMPDIR");
    std::string root = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/quorvale-fuzz-XXXXXX";
    FUZZ_CHECK(::mkdtemp(root.data()) != nullptr);
    const std::string real = root + "/saved";
    FUZZ_CHECK(::mkdir(real.c_str(), 0700) == 0);
    // The folder reached as it is, through a link of the user's own, or with
    // a separator at its end.
    std::string seen = real;
    switch (in.next() % 3) {
    case 1:
        seen = root + "/link";
        FUZZ_CHECK(::symlink(real.c_str(), seen.c_str()) == 0);
        break;
    case 2:
        seen = real + "/";
        break;
    }
    run(in, real, seen);
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
    return 0;
}

}  // namespace quorvale::fuzz
