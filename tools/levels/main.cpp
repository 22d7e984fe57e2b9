// qvl-levels: compiles, decompiles, checks and solves the level file, writes
// the par table of the help page and designs the level set.
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "config.h"
#include "core/board.h"
#include "solver/solver.h"
#include "design.h"
#include "levels/levelfile.h"
#include "levelsource.h"

namespace {

using namespace quorvale;
using namespace quorvale::levels;

// Exit codes: 0 all well, 1 the data has problems, 2 bad use or unreadable input.
constexpr int kOk = 0;
constexpr int kProblems = 1;
constexpr int kFailure = 2;

const char* const kUsage =
    "Usage: qvl-levels COMMAND ARGUMENTS\n"
    "       qvl-levels --help | --version\n"
    "  compile SOURCE.txt OUT.ZHN            compile the text source into a level file\n"
    "  decompile FILE.ZHN                    print a level file as text source\n"
    "  check FILE.ZHN                        check every level and list its optimal steps\n"
    "  solve FILE.ZHN N                      print an optimal solution of level N (1 to 70)\n"
    "  help-table FILE.ZHN PAGE.html         write the level table into the help page\n"
    "  help-table --check FILE.ZHN PAGE.html fail when the page's level table differs\n"
    "  design [OUT.txt]                      choose the level set and write its text source\n";

// A usage error: what was wrong, then the usage, on standard error.
int usage(const std::string& problem) {
    std::cerr << "qvl-levels: " << problem << "\n" << kUsage;
    return kFailure;
}

int fail(const std::string& message) {
    std::cerr << "qvl-levels: " << message << "\n";
    return kFailure;
}

bool readFile(const std::string& path, std::string& out, std::string& error) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        error = "cannot read " + path + ": it is a folder";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read " + path + ": " + std::strerror(errno);
        return false;
    }
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) {
        error = "cannot read " + path;
        return false;
    }
    return true;
}

bool writeFile(const std::string& path, const std::string& data, std::string& error) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) {
        error = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    out.write(data.data(), static_cast<std::streamsize>(data.size()));
    out.close();
    if (!out) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

// Reads a level file, which must be exactly 2100 bytes.
bool readLevels(const std::string& path, LevelTable& levels, std::string& error) {
    std::string bytes;
    if (!readFile(path, bytes, error)) return false;
    if (bytes.size() != kLevelFileBytes) {
        error = path + " is " + std::to_string(bytes.size()) + " bytes long; a level file has " +
                std::to_string(kLevelFileBytes) + " bytes (70 levels of 30)";
        return false;
    }
    readLevelTable(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), levels);
    return true;
}

std::string positionsText(const Positions& p) {
    std::string s;
    for (std::size_t i = 0; i < p.size(); ++i) {
        if (i > 0) s += ' ';
        s += std::to_string(p[i]);
    }
    return s;
}

std::string plural(int n, const char* word) { return std::to_string(n) + " " + word + (n == 1 ? "" : "s"); }

// ---- compile -------------------------------------------------------------

bool buildTable(const std::vector<SourceLevel>& source, LevelTable& table, std::string& error) {
    if (source.size() != static_cast<std::size_t>(kLevelCount)) {
        error = "the source holds " + plural(static_cast<int>(source.size()), "level") + "; a level file needs exactly 70";
        return false;
    }
    for (std::size_t i = 0; i < source.size(); ++i) {
        std::string why;
        if (!recordName(source[i].name, table[i].name, why)) {
            error = "line " + std::to_string(source[i].line) + ": " + why;
            return false;
        }
        table[i].positions = source[i].positions;
    }
    return true;
}

int compile(const std::string& sourcePath, const std::string& outPath) {
    std::string text, error;
    if (!readFile(sourcePath, text, error)) return fail(error);
    std::vector<SourceLevel> source;
    if (!parseSource(text, source, error)) return fail(sourcePath + ": " + error);
    LevelTable table;
    if (!buildTable(source, table, error)) return fail(sourcePath + ": " + error);
    const auto bytes = writeLevelTable(table);
    if (!bytes) return fail(sourcePath + ": a level name cannot be stored in Windows-1252");
    if (!writeFile(outPath, std::string(bytes->begin(), bytes->end()), error)) return fail(error);
    std::cout << "Wrote " << outPath << ": 70 levels, " << bytes->size() << " bytes.\n";
    return kOk;
}

// ---- decompile -----------------------------------------------------------

int decompile(const std::string& path) {
    LevelTable table;
    std::string error;
    if (!readLevels(path, table, error)) return fail(error);
    std::string out = sourceHeader();
    int bad = 0;
    for (int i = 0; i < kLevelCount; ++i) {
        const LevelRecord& level = table[static_cast<std::size_t>(i)];
        std::string text;
        out += "\n# Level " + std::to_string(i + 1) + "\n";
        if (!formatLevel(displayName(level.name), level.positions, text)) {
            out += "# cannot be drawn: " + layoutProblem(level.positions) + " Positions: " +
                   positionsText(level.positions) + "\n";
            ++bad;
            continue;
        }
        out += text;
    }
    std::cout << out;
    if (bad > 0) {
        std::cerr << "qvl-levels: " << path << ": " << plural(bad, "level") << " cannot be drawn\n";
        return kProblems;
    }
    return kOk;
}

// ---- check ---------------------------------------------------------------

struct LevelReport {
    bool valid = false;
    int steps = -1;  // -1 unsolvable
};

int check(const std::string& path) {
    LevelTable table;
    std::string error;
    if (!readLevels(path, table, error)) return fail(error);
    const solver::SpaceTable space = solver::solveSpace(solver::MoveCounting::Steps);

    std::vector<std::string> problems;
    auto problem = [&problems](int level, const std::string& what) {
        problems.push_back("level " + std::to_string(level) + ": " + what);
    };
    std::map<solver::LayoutKey, int> seen;  // canonical layout -> first level
    std::cout << "Level  Name        Steps\n";
    int previous = -1;
    for (int i = 0; i < kLevelCount; ++i) {
        const LevelRecord& level = table[static_cast<std::size_t>(i)];
        const int n = i + 1;
        const std::string name = displayName(level.name);
        std::string stepsText;
        const auto key = solver::keyOf(level.positions);
        const std::string layout = layoutProblem(level.positions);
        if (name.empty()) problem(n, "has no name");
        if (!layout.empty() || !key) {
            problem(n, "invalid layout: " + (layout.empty() ? std::string("cannot be read") : layout));
            stepsText = "invalid";
        } else {
            const int steps = *space.countOf(*key);
            const auto [it, fresh] = seen.emplace(solver::canonical(*key), n);
            if (!fresh) problem(n, "the same layout as level " + std::to_string(it->second));
            if (steps < 0) {
                problem(n, "cannot be solved");
                stepsText = "unsolvable";
            } else {
                stepsText = std::to_string(steps);
                if (steps == 0) problem(n, "is solved at the start");
                if (previous >= 0 && steps < previous)
                    problem(n, "needs " + plural(steps, "step") + ", fewer than the level before (" +
                                   std::to_string(previous) + ")");
                if (n == 1 && steps > 10) problem(n, "needs " + std::to_string(steps) + " steps; level 1 needs at most 10");
                if (n == kLevelCount && steps != space.maxCount())
                    problem(n, "needs " + std::to_string(steps) + " steps; the hardest layout of all needs " +
                                   std::to_string(space.maxCount()));
                previous = steps;
            }
        }
        std::string padded = name;
        while (padded.size() < 10) padded += ' ';
        std::string number = std::to_string(n);
        while (number.size() < 5) number.insert(number.begin(), ' ');
        std::cout << number << "  " << padded << "  " << stepsText << "\n";
    }
    std::cout << "The hardest layout of all needs " << space.maxCount() << " steps.\n";
    if (!problems.empty()) {
        for (const std::string& p : problems) std::cerr << path << ": " << p << "\n";
        std::cerr << "qvl-levels: " << path << ": " << plural(static_cast<int>(problems.size()), "problem") << "\n";
        return kProblems;
    }
    std::cout << "All 70 levels are valid, solvable, distinct and in order.\n";
    return kOk;
}

// ---- solve ---------------------------------------------------------------

const char kDigitSymbols[kPieceCount] = {'0', '1', '2', '3', '4', '5', '6', '7', '8', '9'};

const char* kindName(int piece) {
    switch (pieceKindOf(piece)) {
        case PieceKind::Square: return "square";
        case PieceKind::Wide: return "wide piece";
        case PieceKind::Tall: return "tall piece";
        case PieceKind::Small: return "small piece";
    }
    return "piece";
}

void printBoard(const Positions& positions) {
    for (const std::string& row : pictureOf(positions, kDigitSymbols)) std::cout << "    " << row << "\n";
}

int solveLevel(const std::string& path, const std::string& number) {
    char* end = nullptr;
    errno = 0;
    const long n = std::strtol(number.c_str(), &end, 10);
    if (number.empty() || *end != '\0' || errno != 0 || n < 1 || n > kLevelCount)
        return fail("level number \"" + number + "\" is not a number from 1 to 70");
    LevelTable table;
    std::string error;
    if (!readLevels(path, table, error)) return fail(error);
    const LevelRecord& level = table[static_cast<std::size_t>(n - 1)];
    const std::string layout = layoutProblem(level.positions);
    if (!layout.empty()) return fail("level " + std::to_string(n) + " is not a valid layout: " + layout);

    const solver::Solution solution = solver::solve(level.positions, solver::MoveCounting::Steps);
    std::cout << "Level " << n << " \"" << displayName(level.name) << "\"\n";
    std::cout << "Pieces: 0 square, 1 wide, 2-5 tall, 6-9 small; . free.\n";
    printBoard(level.positions);
    if (!solution.solvable) {
        std::cout << "This level cannot be solved.\n";
        return kProblems;
    }
    std::cout << "Optimal: " << plural(static_cast<int>(solution.moves.size()), "step") << ".\n";
    int step = 0;
    for (const solver::Move& move : solution.moves) {
        const int dc = move.toCol - move.fromCol;
        const int dr = move.toRow - move.fromRow;
        const char* direction = dc < 0 ? "left" : dc > 0 ? "right" : dr < 0 ? "up" : "down";
        const int distance = std::abs(dc) + std::abs(dr);
        std::cout << "\nStep " << ++step << ": " << kindName(move.piece) << " " << move.piece << " " << direction << " "
                  << plural(distance, "cell") << "\n";
        printBoard(move.after);
    }
    return kOk;
}

// ---- help-table ------------------------------------------------------------

const char* const kBeginMarker = "<!-- level-table:begin -->";
const char* const kEndMarker = "<!-- level-table:end -->";

std::string htmlEscape(const std::string& s) {
    std::string out;
    for (char c : s) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&#39;"; break;
            default: out += c;
        }
    }
    return out;
}

std::string trim(const std::string& s) {
    const auto first = s.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    const auto last = s.find_last_not_of(" \t\r\n");
    return s.substr(first, last - first + 1);
}

int helpTable(const std::string& zhnPath, const std::string& htmlPath, bool checkOnly) {
    LevelTable table;
    std::string error;
    if (!readLevels(zhnPath, table, error)) return fail(error);
    std::string page;
    if (!readFile(htmlPath, page, error)) return fail(error);

    const solver::SpaceTable space = solver::solveSpace(solver::MoveCounting::Steps);
    std::vector<std::string> rows;
    for (int i = 0; i < kLevelCount; ++i) {
        const LevelRecord& level = table[static_cast<std::size_t>(i)];
        const auto key = solver::keyOf(level.positions);
        const int steps = key ? *space.countOf(*key) : -1;
        if (steps < 0) return fail(zhnPath + ": level " + std::to_string(i + 1) + " is invalid or cannot be solved");
        rows.push_back("<tr><td>" + std::to_string(i + 1) + "</td><td>" + htmlEscape(displayName(level.name)) +
                       "</td><td>" + std::to_string(steps) + "</td></tr>");
    }

    // Split the page into lines, keeping each line's ending.
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < page.size();) {
        const std::size_t nl = page.find('\n', at);
        const std::size_t next = nl == std::string::npos ? page.size() : nl + 1;
        lines.push_back(page.substr(at, next - at));
        at = next;
    }
    std::size_t begin = lines.size(), end = lines.size();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (begin == lines.size() && lines[i].find(kBeginMarker) != std::string::npos) begin = i;
        else if (begin < lines.size() && lines[i].find(kEndMarker) != std::string::npos) {
            end = i;
            break;
        }
    }
    if (begin == lines.size() || end == lines.size())
        return fail(htmlPath + ": the lines " + kBeginMarker + " and " + kEndMarker + " were not found");

    if (checkOnly) {
        std::vector<std::string> found;
        for (std::size_t i = begin + 1; i < end; ++i)
            if (!trim(lines[i]).empty()) found.push_back(trim(lines[i]));
        for (std::size_t i = 0; i < std::max(found.size(), rows.size()); ++i) {
            const std::string want = i < rows.size() ? rows[i] : "(no row)";
            const std::string have = i < found.size() ? found[i] : "(no row)";
            if (want != have) {
                std::cerr << "qvl-levels: " << htmlPath << ": the level table differs from " << zhnPath << " at row "
                          << i + 1 << "\n  expected: " << want << "\n  found:    " << have
                          << "\nRun: qvl-levels help-table " << zhnPath << " " << htmlPath << "\n";
                return kProblems;
            }
        }
        std::cout << htmlPath << ": the level table matches " << zhnPath << ".\n";
        return kOk;
    }

    const std::string& marker = lines[begin];
    const std::string indent = marker.substr(0, marker.find_first_not_of(" \t"));
    const std::string eol = marker.size() >= 2 && marker.compare(marker.size() - 2, 2, "\r\n") == 0 ? "\r\n" : "\n";
    std::string out;
    for (std::size_t i = 0; i <= begin; ++i) out += lines[i];
    if (out.empty() || out.back() != '\n') out += eol;
    for (const std::string& row : rows) out += indent + row + eol;
    for (std::size_t i = end; i < lines.size(); ++i) out += lines[i];
    if (out != page && !writeFile(htmlPath, out, error)) return fail(error);
    std::cout << htmlPath << ": level table written (70 rows).\n";
    return kOk;
}

// ---- design --------------------------------------------------------------

int design(const std::string& outPath) {
    const solver::SpaceTable space = solver::solveSpace(solver::MoveCounting::Steps);
    const std::vector<DesignedLevel> levels = designLevels(space);
    if (levels.size() != static_cast<std::size_t>(kLevelCount)) return fail("could not choose 70 levels");
    std::string out = sourceHeader();
    out += "#\n# Chosen by: qvl-levels design data/levels.txt\n";
    for (std::size_t i = 0; i < levels.size(); ++i) {
        std::string text;
        if (!formatLevel(levels[i].name, levels[i].positions, text)) return fail("a chosen layout is invalid");
        out += "\n# Level " + std::to_string(i + 1) + ": " + plural(levels[i].steps, "step") + "\n" + text;
    }
    if (outPath.empty()) {
        std::cout << out;
        return kOk;
    }
    std::string error;
    if (!writeFile(outPath, out, error)) return fail(error);
    std::cout << "Wrote " << outPath << ": 70 levels from " << levels.front().steps << " to " << levels.back().steps
              << " steps.\n";
    return kOk;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const std::vector<std::string> args(argv + 1, argv + argc);
        if (args.empty()) return usage("no command given");
        const std::string& command = args[0];
        if (args.size() == 1 && (command == "--help" || command == "-h")) {
            std::cout << kUsage;
            return kOk;
        }
        if (args.size() == 1 && command == "--version") {
            std::cout << "qvl-levels " QUORVALE_VERSION "\n";
            return kOk;
        }
        if (command == "compile" && args.size() == 3) return compile(args[1], args[2]);
        if (command == "decompile" && args.size() == 2) return decompile(args[1]);
        if (command == "check" && args.size() == 2) return check(args[1]);
        if (command == "solve" && args.size() == 3) return solveLevel(args[1], args[2]);
        if (command == "help-table" && args.size() == 3) return helpTable(args[1], args[2], false);
        if (command == "help-table" && args.size() == 4 && args[1] == "--check") return helpTable(args[2], args[3], true);
        if (command == "design" && args.size() <= 2) return design(args.size() == 2 ? args[1] : std::string());
        static const char* const kCommands[] = {"compile", "decompile", "check", "solve", "help-table", "design"};
        for (const char* known : kCommands) {
            if (command == known) return usage("wrong arguments for " + command);
        }
        return usage("unknown command \"" + command + "\"");
    } catch (const std::exception& e) {
        return fail(std::string("unexpected failure: ") + e.what());
    }
}
