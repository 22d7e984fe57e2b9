#include "solver/solver.h"

#include <algorithm>
#include <bit>
#include <utility>

#include "core/rules.h"

namespace quorvale::solver {

namespace {

constexpr int kCells = kBoardCols * kBoardRows;
constexpr std::uint32_t kAllCells = (1u << kCells) - 1;

// Shape codes of a key's cells (three bits each).
enum Code : unsigned {
    kFree = 0,
    kSmallCell = 1,
    kTallTop = 2,
    kTallBottom = 3,
    kWideLeft = 4,
    kWideRight = 5,
    kSquareTopLeft = 6,
    kSquareOther = 7,
};

// In the order of PieceKind, so a piece's kind converts directly.
enum Kind : std::uint8_t { kSquare, kWide, kTall, kSmall };
static_assert(kSquare == static_cast<int>(PieceKind::Square) && kWide == static_cast<int>(PieceKind::Wide) &&
              kTall == static_cast<int>(PieceKind::Tall) && kSmall == static_cast<int>(PieceKind::Small));

struct Shape {
    int width;
    int height;
    std::uint32_t mask;     // cells covered with the top-left cell at index 0
    LayoutKey pattern;      // their codes, likewise
};

constexpr LayoutKey codeAt(unsigned code, int cell) { return LayoutKey{code} << (3 * cell); }

constexpr Shape shapeOf(Kind kind, std::uint32_t mask, LayoutKey pattern) {
    const PieceSize size = pieceSizeOf(static_cast<PieceKind>(kind));
    return {size.width, size.height, mask, pattern};
}

constexpr Shape kShapes[4] = {
    shapeOf(kSquare, 0x33u,
            codeAt(kSquareTopLeft, 0) | codeAt(kSquareOther, 1) | codeAt(kSquareOther, 4) | codeAt(kSquareOther, 5)),
    shapeOf(kWide, 0x03u, codeAt(kWideLeft, 0) | codeAt(kWideRight, 1)),
    shapeOf(kTall, 0x11u, codeAt(kTallTop, 0) | codeAt(kTallBottom, 4)),
    shapeOf(kSmall, 0x01u, codeAt(kSmallCell, 0)),
};

Kind kindOfIndex(int piece) { return static_cast<Kind>(pieceKindOf(piece)); }

// The cell of the square's top-left corner once it stands at the exit.
constexpr int kSolvedAnchor = kExitRow * kBoardCols + kExitCol;

unsigned codeOf(LayoutKey key, int cell) { return static_cast<unsigned>(key >> (3 * cell)) & 7u; }

struct PieceAt {
    Kind kind;
    int anchor;  // cell index of the top-left cell
};

// The pieces of a key in reading order of their top-left cells, and the
// occupied cells. Returns the number of pieces.
int decode(LayoutKey key, PieceAt (&pieces)[kPieceCount], std::uint32_t& occupied) {
    int n = 0;
    occupied = 0;
    for (int cell = 0; cell < kCells; ++cell) {
        const unsigned code = codeOf(key, cell);
        if (code == kFree) continue;
        occupied |= 1u << cell;
        Kind kind;
        switch (code) {
            case kSmallCell: kind = kSmall; break;
            case kTallTop: kind = kTall; break;
            case kWideLeft: kind = kWide; break;
            case kSquareTopLeft: kind = kSquare; break;
            default: continue;
        }
        if (n < kPieceCount) pieces[n++] = {kind, cell};
    }
    return n;
}

// Bit 3 x cell of every cell's code.
constexpr LayoutKey kCodeLowBits = 0x0249249249249249ull & ((LayoutKey{1} << (3 * kCells)) - 1);

// Code of each kind's top-left cell.
constexpr unsigned kAnchorCode[4] = {kSquareTopLeft, kWideLeft, kTallTop, kSmallCell};

// A layout always has exactly two free cells, and every other cell is
// covered, so whether a piece can move, and where to, depends only on the two
// free cells, its kind and its top-left cell. The move generator is therefore
// a table: for each pair of free cells, the list of possible moves, each with
// the cell and code that show the piece is there and the change to the key.
struct MoveTemplate {
    LayoutKey delta;    // added to the key: the piece's codes leave the old place and appear at the new
    std::uint8_t from;  // the piece's top-left cell
    std::uint8_t code;  // the code that cell holds when the piece is there
    std::uint8_t to;    // its top-left cell after the move
    bool small;         // a small piece moves: the other pieces stay where they are
    std::uint8_t freeAfter;  // number of the pair of cells that are free after the move
};

// The pairs of cells f1 < f2 numbered 0..189.
constexpr int kCellPairs = kCells * (kCells - 1) / 2;
constexpr int cellPairOf(int f1, int f2) { return f1 * (2 * kCells - f1 - 1) / 2 + (f2 - f1 - 1); }

// Number of the pair of free cells of a layout.
int freePairOf(LayoutKey key) {
    const LayoutKey freeBits = ~(key | (key >> 1) | (key >> 2)) & kCodeLowBits;
    return cellPairOf(std::countr_zero(freeBits) / 3, std::countr_zero(freeBits & (freeBits - 1)) / 3);
}

class MoveTable {
public:
    // The moves of one pair of free cells that start from one cell, by the
    // code found there: moves [start[c], start[c + 1]) when the cell holds c.
    // One look at the cell picks them all.
    struct Group {
        std::uint16_t start[9];
        std::uint8_t from;
    };

    explicit MoveTable(MoveCounting counting) {
        for (int f1 = 0; f1 < kCells; ++f1) {
            for (int f2 = f1 + 1; f2 < kCells; ++f2) {
                const std::size_t first = moves_.size();
                freeMask_ = (1u << f1) | (1u << f2);
                addMoves(counting, freeMask_);
                std::sort(moves_.begin() + static_cast<std::ptrdiff_t>(first), moves_.end(),
                          [](const MoveTemplate& a, const MoveTemplate& b) {
                              return a.from != b.from ? a.from < b.from : a.code < b.code;
                          });
                groupsBegin_[f1][f2] = static_cast<std::uint16_t>(groups_.size());
                for (std::size_t run = first; run < moves_.size();) {
                    std::size_t runEnd = run;
                    while (runEnd < moves_.size() && moves_[runEnd].from == moves_[run].from) ++runEnd;
                    Group g{};
                    g.from = moves_[run].from;
                    std::size_t i = run;
                    for (unsigned c = 0; c <= 8; ++c) {
                        while (i < runEnd && moves_[i].code < c) ++i;
                        g.start[c] = static_cast<std::uint16_t>(i);
                    }
                    groups_.push_back(g);
                    run = runEnd;
                }
                groupsEnd_[f1][f2] = static_cast<std::uint16_t>(groups_.size());
            }
        }
    }

    // The groups when f1 < f2 are the free cells.
    const Group* begin(int f1, int f2) const { return groups_.data() + groupsBegin_[f1][f2]; }
    const Group* end(int f1, int f2) const { return groups_.data() + groupsEnd_[f1][f2]; }
    const MoveTemplate& move(std::size_t i) const { return moves_[i]; }

private:
    void add(Kind kind, int from, int to) {
        const LayoutKey pattern = kShapes[kind].pattern;
        const std::uint32_t freeAfter = (freeMask_ | (kShapes[kind].mask << from)) & ~(kShapes[kind].mask << to);
        const int f1 = std::countr_zero(freeAfter);
        const int f2 = std::countr_zero(freeAfter & (freeAfter - 1));
        moves_.push_back({(pattern << (3 * to)) - (pattern << (3 * from)), static_cast<std::uint8_t>(from),
                          static_cast<std::uint8_t>(kAnchorCode[kind]), static_cast<std::uint8_t>(to),
                          kind == kSmall, static_cast<std::uint8_t>(cellPairOf(f1, f2))});
    }

    void addMoves(MoveCounting counting, std::uint32_t freeMask) {
        static constexpr int kDirCol[4] = {-1, 1, 0, 0};
        static constexpr int kDirRow[4] = {0, 0, -1, 1};
        for (int k = 0; k < 4; ++k) {
            const Kind kind = static_cast<Kind>(k);
            const Shape& s = kShapes[k];
            auto fits = [&s](int col, int row) {
                return col >= 0 && row >= 0 && col + s.width <= kBoardCols && row + s.height <= kBoardRows;
            };
            for (int a = 0; a < kCells; ++a) {
                const int col = a % kBoardCols;
                const int row = a / kBoardCols;
                const std::uint32_t own = s.mask << a;
                if (!fits(col, row) || (own & freeMask)) continue;
                // Everything but the free cells and the piece itself is covered.
                const std::uint32_t blocked = kAllCells & ~own & ~freeMask;
                if (counting == MoveCounting::Steps) {
                    // Straight slides: every cell swept on the way must be free.
                    for (int dir = 0; dir < 4; ++dir) {
                        for (int d = 1; fits(col + d * kDirCol[dir], row + d * kDirRow[dir]); ++d) {
                            const int b = (row + d * kDirRow[dir]) * kBoardCols + col + d * kDirCol[dir];
                            if ((s.mask << b) & blocked) break;
                            add(kind, a, b);
                        }
                    }
                } else {
                    // Every top-left cell reachable one cell at a time.
                    std::uint32_t seen = 1u << a;
                    std::vector<int> stack{a};
                    while (!stack.empty()) {
                        const int b = stack.back();
                        stack.pop_back();
                        for (int dir = 0; dir < 4; ++dir) {
                            const int c = b % kBoardCols + kDirCol[dir];
                            const int r = b / kBoardCols + kDirRow[dir];
                            const int next = r * kBoardCols + c;
                            if (!fits(c, r) || (seen & (1u << next)) || ((s.mask << next) & blocked)) continue;
                            seen |= 1u << next;
                            stack.push_back(next);
                            add(kind, a, next);
                        }
                    }
                }
            }
        }
    }

    std::vector<MoveTemplate> moves_;  // fewer than 65536 (a few thousand)
    std::vector<Group> groups_;
    std::uint32_t freeMask_ = 0;  // while filling: the free cells of the list being made
    std::uint16_t groupsBegin_[kCells][kCells] = {};
    std::uint16_t groupsEnd_[kCells][kCells] = {};
};

// Each table is made on its first use.
const MoveTable& moveTable(MoveCounting counting) {
    if (counting == MoveCounting::Steps) {
        static const MoveTable steps(MoveCounting::Steps);
        return steps;
    }
    static const MoveTable anyRoute(MoveCounting::AnyRoute);
    return anyRoute;
}

// Calls f(newKey, move) for every move of a layout.
template <class F>
void forEachMove(LayoutKey key, const MoveTable& table, F&& f) {
    const LayoutKey freeBits = ~(key | (key >> 1) | (key >> 2)) & kCodeLowBits;
    const int f1 = std::countr_zero(freeBits) / 3;
    const int f2 = std::countr_zero(freeBits & (freeBits - 1)) / 3;
    for (const MoveTable::Group* g = table.begin(f1, f2), *end = table.end(f1, f2); g != end; ++g) {
        const unsigned code = codeOf(key, g->from);
        for (unsigned i = g->start[code]; i < g->start[code + 1]; ++i) {
            const MoveTemplate& t = table.move(i);
            f(key + t.delta, t);
        }
    }
}

// Number of set bits (the portable way; no special instruction assumed).
inline int bitCount(std::uint64_t x) {
    x = x - ((x >> 1) & 0x5555555555555555ull);
    x = (x & 0x3333333333333333ull) + ((x >> 2) & 0x3333333333333333ull);
    x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0Full;
    return static_cast<int>((x * 0x0101010101010101ull) >> 56);
}

// Open-addressing hash map from the big-piece part of a key to the number of
// that placement, filled once. Key 0 (an empty board) marks a free slot.
class PlacementTable {
public:
    // `capacity` a power of two, comfortably above the number of entries.
    explicit PlacementTable(std::size_t capacity) : slots_(capacity), mask_(capacity - 1) {
        for (std::size_t c = capacity; c > 1; c >>= 1) --shift_;
    }

    void insert(LayoutKey key, std::uint32_t value) {
        std::size_t i = slot(key);
        while (slots_[i].key != 0 && slots_[i].key != key) i = (i + 1) & mask_;
        slots_[i] = {key, value};
    }

    // The value of the key, or -1.
    std::int64_t find(LayoutKey key) const {
        for (std::size_t i = slot(key);; i = (i + 1) & mask_) {
            if (slots_[i].key == key) return slots_[i].value;
            if (slots_[i].key == 0) return -1;
        }
    }

private:
    struct Slot {
        LayoutKey key = 0;
        std::uint32_t value = 0;
    };
    std::size_t slot(LayoutKey key) const {
        return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> shift_);
    }

    std::vector<Slot> slots_;  // key and value side by side: one cache line per probe
    std::size_t mask_;
    int shift_ = 64;
};

// One board row (four 3-bit codes) seen in a mirror: the cells in reverse
// order, the wide piece's halves swapped back into left-right order, and the
// square's top row, which reverses to "other, top-left", put back likewise.
struct MirrorRowTable {
    std::uint16_t codes[1 << (3 * kBoardCols)];
};
constexpr MirrorRowTable makeMirrorRows() {
    MirrorRowTable t{};
    for (unsigned row = 0; row < (1u << (3 * kBoardCols)); ++row) {
        unsigned cell[kBoardCols] = {};
        for (int c = 0; c < kBoardCols; ++c) {
            unsigned code = (row >> (3 * (kBoardCols - 1 - c))) & 7u;
            if (code == kWideLeft) code = kWideRight;
            else if (code == kWideRight) code = kWideLeft;
            cell[c] = code;
        }
        for (int c = 0; c + 1 < kBoardCols; ++c) {
            if (cell[c] == kSquareOther && cell[c + 1] == kSquareTopLeft) {
                cell[c] = kSquareTopLeft;
                cell[c + 1] = kSquareOther;
            }
        }
        unsigned out = 0;
        for (int c = 0; c < kBoardCols; ++c) out |= cell[c] << (3 * c);
        t.codes[row] = static_cast<std::uint16_t>(out);
    }
    return t;
}
constexpr MirrorRowTable kMirrorRows = makeMirrorRows();

std::int16_t encodeCell(int cell) {
    return static_cast<std::int16_t>(10 * (cell / kBoardCols) + cell % kBoardCols);
}

// Places the square, the wide piece and the four tall pieces cell by cell in
// reading order: the first undecided cell is either kept for a small piece or
// a free cell, or becomes the top-left cell of a piece that still fits. Each
// placement is made once; the six kept cells are returned as a mask.
void placeBig(LayoutKey key, std::uint32_t decided, std::uint32_t kept, int (&left)[3], int keepLeft,
              std::vector<std::pair<LayoutKey, std::uint32_t>>& out) {
    if (decided == kAllCells) {
        out.emplace_back(key, kept);
        return;
    }
    int cell = 0;
    while (decided & (1u << cell)) ++cell;
    if (keepLeft > 0) placeBig(key, decided | (1u << cell), kept | (1u << cell), left, keepLeft - 1, out);
    const int col = cell % kBoardCols;
    const int row = cell / kBoardCols;
    for (int k = 0; k < 3; ++k) {
        if (left[k] == 0) continue;
        const Shape& s = kShapes[k];
        if (col + s.width > kBoardCols || row + s.height > kBoardRows) continue;
        const std::uint32_t m = s.mask << cell;
        if (m & decided) continue;
        --left[k];
        placeBig(key | (s.pattern << (3 * cell)), decided | m, kept, left, keepLeft, out);
        ++left[k];
    }
}

// The six cells left by the big pieces hold four small pieces and the two
// free cells: C(6, 2) = 15 ways.
constexpr int kKeptCells = 6;
constexpr int kPairs = 15;

constexpr int pairRank(int i, int j) {  // 0 <= i < j < 6
    return i * (2 * kKeptCells - i - 1) / 2 + (j - i - 1);
}

// Dense numbering of all layouts: 15 x (number of the big-piece placement) +
// (rank of the two free cells among the six cells the big pieces leave). The
// big-piece placements are few (a few thousand), so their hash table stays in
// the cache and looking up a layout costs a few bit operations and one probe.
class LayoutIndex {
public:
    LayoutIndex() : big_(8192) {
        std::vector<std::pair<LayoutKey, std::uint32_t>> placements;
        int left[3] = {1, 1, 4};
        placeBig(0, 0, 0, left, kKeptCells, placements);
        keys_.reserve(placements.size() * kPairs);
        for (std::size_t b = 0; b < placements.size(); ++b) {
            big_.insert(placements[b].first, static_cast<std::uint32_t>(b));
            int kept[kKeptCells];
            int n = 0;
            for (int cell = 0; cell < kCells; ++cell)
                if (placements[b].second & (1u << cell)) kept[n++] = cell;
            for (int i = 0; i < kKeptCells; ++i) {
                for (int j = i + 1; j < kKeptCells; ++j) {
                    LayoutKey key = placements[b].first;
                    for (int k = 0; k < kKeptCells; ++k)
                        if (k != i && k != j) key |= codeAt(kSmallCell, kept[k]);
                    keys_.push_back(key);  // at b * 15 + pairRank(i, j)
                }
            }
        }
    }

    std::size_t size() const { return keys_.size(); }
    std::size_t placements() const { return keys_.size() / kPairs; }
    LayoutKey key(std::size_t index) const { return keys_[index]; }
    const std::vector<LayoutKey>& keys() const { return keys_; }

    // Index of a key known to be a layout.
    std::uint32_t indexOfLayout(LayoutKey key) const { return placementOf(key) * kPairs + pairOf(key); }

    // Number of the big-piece placement of a layout.
    std::uint32_t placementOf(LayoutKey key) const {
        const LayoutKey small = key & ~(key >> 1) & ~(key >> 2) & kCodeLowBits;
        return static_cast<std::uint32_t>(big_.find(key & ~small));
    }

    // Which two of the six cells the big pieces leave are free.
    static std::uint32_t pairOf(LayoutKey key) {
        const LayoutKey small = key & ~(key >> 1) & ~(key >> 2) & kCodeLowBits;
        const LayoutKey freeBits = ~(key | (key >> 1) | (key >> 2)) & kCodeLowBits;
        const int f1 = std::countr_zero(freeBits);
        const int f2 = std::countr_zero(freeBits & (freeBits - 1));
        const int i = bitCount(small & ((LayoutKey{1} << f1) - 1));
        const int j = bitCount(small & ((LayoutKey{1} << f2) - 1)) + 1;
        return static_cast<std::uint32_t>(pairRank(i, j));
    }

    // Index of any key, or -1 when it is not a layout.
    std::int64_t indexOf(LayoutKey key) const {
        const LayoutKey small = key & ~(key >> 1) & ~(key >> 2) & kCodeLowBits;
        const LayoutKey freeBits = ~(key | (key >> 1) | (key >> 2)) & kCodeLowBits;
        if (key >> (3 * kCells) != 0 || bitCount(small) != 4 || bitCount(freeBits) != 2)
            return -1;
        if (big_.find(key & ~small) < 0) return -1;
        const std::uint32_t index = indexOfLayout(key);
        return keys_[index] == key ? index : -1;
    }

private:
    PlacementTable big_;
    std::vector<LayoutKey> keys_;
};

// Built once, on first use, and shared by every search.
const LayoutIndex& layoutIndex() {
    static const LayoutIndex index;
    return index;
}

}  // namespace

std::optional<LayoutKey> keyOf(const Positions& positions) {
    LayoutKey key = 0;
    std::uint32_t occupied = 0;
    for (int piece = 0; piece < kPieceCount; ++piece) {
        const int v = positions[piece];
        const Shape& s = kShapes[kindOfIndex(piece)];
        if (v < 0) return std::nullopt;
        const int col = v % 10;
        const int row = v / 10;
        if (col + s.width > kBoardCols || row + s.height > kBoardRows) return std::nullopt;
        const int a = row * kBoardCols + col;
        const std::uint32_t m = s.mask << a;
        if (m & occupied) return std::nullopt;
        occupied |= m;
        key |= s.pattern << (3 * a);
    }
    return key;
}

Positions positionsOf(LayoutKey key) {
    PieceAt pieces[kPieceCount];
    std::uint32_t occupied = 0;
    const int n = decode(key, pieces, occupied);
    Positions out{};
    int nextTall = 2;
    int nextSmall = 6;
    for (int p = 0; p < n; ++p) {
        int index = 0;
        switch (pieces[p].kind) {
            case kSquare: index = 0; break;
            case kWide: index = 1; break;
            case kTall: index = nextTall++; break;
            case kSmall: index = nextSmall++; break;
        }
        if (index < kPieceCount) out[index] = encodeCell(pieces[p].anchor);
    }
    return out;
}

LayoutKey mirrored(LayoutKey key) {
    LayoutKey out = 0;
    for (int row = 0; row < kBoardRows; ++row) {
        const int shift = 3 * kBoardCols * row;
        out |= LayoutKey{kMirrorRows.codes[(key >> shift) & 0xFFF]} << shift;
    }
    return out;
}

LayoutKey canonical(LayoutKey key) { return std::min(key, mirrored(key)); }

bool isSolvedKey(LayoutKey key) { return codeOf(key, kSolvedAnchor) == kSquareTopLeft; }

Solution solve(const Positions& positions, MoveCounting counting) {
    Solution result;
    const std::optional<LayoutKey> start = keyOf(positions);
    if (!start) return result;
    result.valid = true;
    result.explored = 1;
    if (isSolvedKey(*start)) {
        result.solvable = true;
        return result;
    }

    // Layouts seen so far, by big-piece placement and pair of free cells: a
    // move's template knows the free cells after it, and a small piece's move
    // keeps the placement, so most look-ups cost no more than a multiplication.
    const LayoutIndex& index = layoutIndex();
    const MoveTable& moves = moveTable(counting);
    std::vector<std::uint64_t> seen((index.placements() * kCellPairs + 63) / 64, 0);
    auto markSeen = [&seen](std::uint32_t i) {
        const std::uint64_t bit = std::uint64_t{1} << (i % 64);
        const bool before = (seen[i / 64] & bit) != 0;
        seen[i / 64] |= bit;
        return before;
    };

    // Layouts in the order found, with the layout each was reached from and
    // the move that led there.
    struct Found {
        LayoutKey key;
        std::uint32_t parent;
        std::uint8_t from;
        std::uint8_t to;
    };
    std::vector<Found> order;
    order.reserve(index.size() / 2);
    order.push_back({*start, 0, 0, 0});
    markSeen(index.placementOf(*start) * kCellPairs + static_cast<std::uint32_t>(freePairOf(*start)));

    std::int64_t found = -1;
    for (std::size_t head = 0; head < order.size() && found < 0; ++head) {
        const LayoutKey key = order[head].key;
        const std::uint32_t placement = index.placementOf(key);
        forEachMove(key, moves, [&](LayoutKey next, const MoveTemplate& move) {
            const std::uint32_t i = (move.small ? placement : index.placementOf(next)) * kCellPairs + move.freeAfter;
            if (found >= 0 || markSeen(i)) return;
            order.push_back({next, static_cast<std::uint32_t>(head), move.from, move.to});
            // The exit lies in the middle, so a layout and its mirror image
            // need the same number of moves: the mirror image is as good as
            // seen, and the search covers half as many layouts.
            const LayoutKey image = mirrored(next);
            if (image != next) markSeen(index.placementOf(image) * kCellPairs + static_cast<std::uint32_t>(freePairOf(image)));
            if (isSolvedKey(next)) found = static_cast<std::int64_t>(order.size() - 1);
        });
    }
    result.explored = order.size();
    if (found < 0) return result;
    result.solvable = true;

    std::vector<std::uint32_t> chain;
    for (auto i = static_cast<std::uint32_t>(found); i != 0; i = order[i].parent) chain.push_back(i);
    std::reverse(chain.begin(), chain.end());

    // Replay on the real positions: the piece whose top-left cell is the
    // move's start is the one that moved (no two pieces share a top-left cell).
    Positions current = positions;
    for (std::uint32_t i : chain) {
        const std::int16_t a = encodeCell(order[i].from);
        const std::int16_t b = encodeCell(order[i].to);
        Move move;
        for (int piece = 0; piece < kPieceCount; ++piece) {
            if (current[piece] == a) {
                move.piece = piece;
                break;
            }
        }
        current[move.piece] = b;
        move.fromCol = a % 10;
        move.fromRow = a / 10;
        move.toCol = b % 10;
        move.toRow = b / 10;
        move.after = current;
        result.moves.push_back(move);
    }
    return result;
}

std::vector<LayoutKey> allLayouts() {
    std::vector<LayoutKey> out = layoutIndex().keys();
    std::sort(out.begin(), out.end());
    return out;
}

SpaceTable::SpaceTable(std::vector<LayoutKey> keys, std::vector<std::int16_t> counts)
    : keys_(std::move(keys)), counts_(std::move(counts)) {
    for (std::int16_t c : counts_) maxCount_ = std::max(maxCount_, c);
}

std::optional<std::int16_t> SpaceTable::countOf(LayoutKey key) const {
    const std::int64_t i = layoutIndex().indexOf(key);
    if (i < 0 || static_cast<std::size_t>(i) >= counts_.size()) return std::nullopt;
    return counts_[static_cast<std::size_t>(i)];
}

SpaceTable solveSpace(MoveCounting counting) {
    const LayoutIndex& index = layoutIndex();
    const MoveTable& moves = moveTable(counting);
    const std::size_t n = index.size();

    // Moves are reversible, so the layouts one move before a layout are its
    // neighbours: one pass outward from every solved layout at once.
    std::vector<std::int16_t> counts(n, SpaceTable::kUnsolvable);
    std::vector<std::uint32_t> queue;
    queue.reserve(n);
    // A layout and its mirror image need the same number of moves (the exit
    // lies in the middle), so each pair is expanded once: the image takes the
    // count of the layout found first. Every layout still gets its count,
    // since the images of a layout's neighbours are its image's neighbours.
    for (std::size_t i = 0; i < n; ++i) {
        const LayoutKey key = index.key(i);
        if (isSolvedKey(key)) {
            counts[i] = 0;
            if (key <= mirrored(key)) queue.push_back(static_cast<std::uint32_t>(i));
        }
    }
    for (std::size_t head = 0; head < queue.size(); ++head) {
        const std::uint32_t i = queue[head];
        const auto next = static_cast<std::int16_t>(counts[i] + 1);
        const std::uint32_t placement = i / kPairs;
        forEachMove(index.key(i), moves, [&](LayoutKey k, const MoveTemplate& move) {
            const std::uint32_t j = (move.small ? placement : index.placementOf(k)) * kPairs + index.pairOf(k);
            if (counts[j] == SpaceTable::kUnsolvable) {
                counts[j] = next;
                queue.push_back(j);
                const LayoutKey image = mirrored(k);
                if (image != k) {
                    const std::uint32_t m = index.indexOfLayout(image);
                    if (counts[m] == SpaceTable::kUnsolvable) counts[m] = next;
                }
            }
        });
    }
    return SpaceTable(index.keys(), std::move(counts));
}

}  // namespace quorvale::solver
