#include "design.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <set>
#include <tuple>

namespace quorvale::levels {

namespace {

using solver::LayoutKey;

constexpr int kFirstTarget = 4;  // steps of level 1

// Our names, easy to hard: from the village up to the castle, down into its
// cellars and up again to the crown. The classic layout gets its own name.
const char* const kNames[kLevelCount - 1] = {
    "Doorstep",   "First Foot", "Side Step",  "Garden Row", "Millpond",   "Hay Loft",   "Orchard",
    "Well Yard",  "Sheepfold",  "Bell Lane",  "Weir Gate",  "Tollhouse",  "Ferryman",   "Cobbles",
    "Market Day", "Tanner Row", "Lamplight",  "Chapel Way", "Old Bridge", "Dovecote",   "Cider Barn",
    "Stables",    "Wool Hall",  "Guildhall",  "Clocktower", "Gatehouse",  "Ramparts",   "Postern",
    "Barbican",   "Drawbridge", "Moat Walk",  "Armoury",    "Great Hall", "Buttery",    "Kitchens",
    "Cellars",    "Wine Vault", "Larder",     "Scullery",   "Back Hall",  "Back Stair", "Long Attic",
    "Bell Loft",  "Library",    "Map Room",   "Solar",      "Chantry",    "Cloister",   "Crypt",
    "Ossuary",    "Catacomb",   "Undercroft", "Well Shaft", "Cistern",    "Deep Stair", "Dungeon",
    "Oubliette",  "Iron Door",  "Gaoler",     "Keyholder",  "Lockstep",   "Deadbolt",   "Portcullis",
    "Arrow Slit", "Watchtower", "Battlement", "High Keep",  "Throne",     "Crown",
};
const char* const kClassicName = "Old Warden";

// A fixed scramble of a key: the tie-break among equally good layouts, so the
// choice is varied but the same on every run.
std::uint64_t scramble(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

// Smaller is better: a square that starts high up (it has the whole board to
// cross), then the scramble.
std::tuple<int, std::uint64_t> preference(LayoutKey key) {
    const int squareRow = solver::positionsOf(key)[0] / 10;
    return {squareRow <= 1 ? 0 : squareRow, scramble(key)};
}

}  // namespace

Positions classicLayout() { return Positions{1, 21, 0, 3, 20, 23, 31, 32, 40, 43}; }

std::vector<DesignedLevel> designLevels(const solver::SpaceTable& table) {
    const int hardest = table.maxCount();
    const LayoutKey classic = *solver::keyOf(classicLayout());
    const int classicSteps = *table.countOf(classic);

    // Layouts by optimal count, one per pair of mirror images.
    std::map<int, std::vector<LayoutKey>> byCount;
    for (std::size_t i = 0; i < table.keys().size(); ++i) {
        const LayoutKey key = table.keys()[i];
        const int count = table.counts()[i];
        if (count > 0 && key == solver::canonical(key)) byCount[count].push_back(key);
    }
    std::set<LayoutKey> used{solver::canonical(classic)};

    // An even climb from level 1 to the hardest layout; the classic layout
    // takes the place whose target is nearest its own count.
    int targets[kLevelCount];
    int classicAt = 0;
    for (int i = 0; i < kLevelCount; ++i) {
        targets[i] = static_cast<int>(std::lround(kFirstTarget + (hardest - kFirstTarget) * i / double(kLevelCount - 1)));
        if (std::abs(targets[i] - classicSteps) < std::abs(targets[classicAt] - classicSteps)) classicAt = i;
    }
    targets[classicAt] = classicSteps;

    std::vector<DesignedLevel> levels;
    int previous = 1;
    int nameIndex = 0;
    for (int i = 0; i < kLevelCount; ++i) {
        if (i == classicAt) {
            levels.push_back({kClassicName, classicLayout(), classicSteps});
            previous = classicSteps;
            continue;
        }
        const int ceiling = i < classicAt ? classicSteps : hardest;
        // The count nearest the target that still has an unused layout and
        // keeps the order.
        LayoutKey best = 0;
        int bestCount = 0;
        for (int off = 0; best == 0 && off <= hardest; ++off) {
            for (int count : {targets[i] - off, targets[i] + off}) {
                if (best != 0 || count < previous || count > ceiling || !byCount.count(count)) continue;
                for (LayoutKey key : byCount[count]) {
                    if (used.count(key)) continue;
                    if (best == 0 || preference(key) < preference(best)) best = key;
                }
                if (best != 0) bestCount = count;
            }
        }
        if (best == 0) return {};  // cannot happen with the real space; the caller checks the size
        used.insert(best);
        const LayoutKey shown = (scramble(best) & 1) ? solver::mirrored(best) : best;
        levels.push_back({kNames[nameIndex++], solver::positionsOf(shown), bestCount});
        previous = bestCount;
    }
    return levels;
}

}  // namespace quorvale::levels
