// Synthetic quick-text libraries for the benchmarks: a top node with groups a few levels deep,
// two of them holding a tenth and a twentieth of all items, the rest spread over small groups,
// and every item with an RTF text of 200 bytes to 20 KB. The same entry count always gives the
// same library, byte for byte.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/text_node.h"

// A small deterministic random generator, the same on every platform and library.
class TBenchRandom {
public:
    explicit TBenchRandom(uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 1) {}
    uint64_t Next();
    // A number in [0, bound).
    uint32_t Below(uint32_t bound) { return static_cast<uint32_t>(Next() % bound); }
    // A number in [low, high], spread evenly over the logarithm.
    uint32_t LogUniform(uint32_t low, uint32_t high);

private:
    uint64_t state_;
};

struct TBenchLibrary {
    std::unique_ptr<TTextNode> Root;
    int Entries = 0;        // groups and items below the top node
    int Items = 0;
    int64_t TextBytes = 0;  // all RTF texts together
    TTextGroup* BigGroup = nullptr;      // the group with a tenth of all items
    std::vector<std::string> ItemPaths;  // a sample of item paths for FindPath
};

// Builds the library of Entries entries (groups and items below the top node). Without Texts
// the items get no RTF text (a tree for the grid, small enough for a 32-bit process); the tree
// has the same shape, its captions come out differently.
TBenchLibrary MakeLibrary(int entries, bool texts = true);

// An RTF text of about Size bytes as the editor writes it.
std::string MakeRtf(TBenchRandom& random, uint32_t size);
// A caption of a few words and a number.
std::string MakeCaption(TBenchRandom& random, bool group);

// Nodes of a tree in pre-order, the top node first.
std::vector<TNode*> PreOrder(TNode* top);
