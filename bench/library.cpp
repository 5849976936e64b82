#include "library.h"

#include <algorithm>
#include <cmath>

#include "base/format.h"

namespace {

const char* const Words[] = {
    "Angebot", "Anfrage", "Antwort", "Auftrag", "Bestellung", "Brief", "Dank", "Einladung",
    "Erinnerung", "Gruss", "Hinweis", "Kunde", "Lieferung", "Mahnung", "Muster", "Notiz",
    "Rechnung", "Reklamation", "Termin", "Vertrag", "Vorlage", "Zusage", "Absage", "Bericht",
    "Kalender", "Projekt", "Service", "Support", "Team", "Urlaub", "Vertretung", "Zahlung"};
constexpr uint32_t WordCount = sizeof Words / sizeof Words[0];

const char* const BodyWords[] = {
    "Sehr", "geehrte", "Damen", "und", "Herren,", "vielen", "Dank", "f\\'fcr", "Ihre",
    "Anfrage", "vom", "wir", "freuen", "uns", "Ihnen", "folgendes", "Angebot", "zu",
    "unterbreiten.", "Die", "Lieferung", "erfolgt", "innerhalb", "von", "zehn", "Tagen",
    "nach", "Eingang", "der", "Bestellung.", "Mit", "freundlichen", "Gr\\'fc\\'dfen",
    "Termin", "am", "Montag", "um", "neun", "Uhr", "bitte", "best\\'e4tigen", "Sie", "kurz."};
constexpr uint32_t BodyWordCount = sizeof BodyWords / sizeof BodyWords[0];

constexpr int MaxGroupLevel = 4;

struct TGroupPlan {
    int Parent;  // index of the parent group, -1 for the top node
    int Level;
    std::vector<int> Items;  // item numbers
};

// Appends the children in caption order, as sorted insertion would place them.
void AppendSorted(TNode* parent, std::vector<TTextNode*>& children) {
    std::stable_sort(children.begin(), children.end(), [](const TTextNode* a, const TTextNode* b) {
        return CompareText(a->Text(), b->Text()) < 0;
    });
    for (TTextNode* child : children) parent->InsertNode(-1, child, imLast | imIntoSelf);
}

}  // namespace

uint64_t TBenchRandom::Next() {
    // splitmix64
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

uint32_t TBenchRandom::LogUniform(uint32_t low, uint32_t high) {
    const double unit = static_cast<double>(Next() >> 11) / static_cast<double>(uint64_t(1) << 53);
    const double value = std::exp(std::log(double(low)) + unit * (std::log(double(high)) - std::log(double(low))));
    return std::clamp(static_cast<uint32_t>(value), low, high);
}

std::string MakeCaption(TBenchRandom& random, bool group) {
    std::string caption = Words[random.Below(WordCount)];
    if (!group) {
        caption += ' ';
        caption += Words[random.Below(WordCount)];
    }
    caption += ' ';
    caption += std::to_string(random.Below(100000));
    return caption;
}

std::string MakeRtf(TBenchRandom& random, uint32_t size) {
    std::string rtf =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}}\r\n"
        "\\viewkind4\\uc1\\pard\\f0\\fs20 ";
    const size_t end = size > rtf.size() + 8 ? size - 8 : rtf.size();
    rtf.reserve(size + 32);
    while (rtf.size() < end) {
        const uint32_t pick = random.Below(64);
        if (pick == 0)
            rtf += "\\par\r\n";
        else if (pick == 1)
            rtf += "\\b ";
        else if (pick == 2)
            rtf += "\\b0 ";
        rtf += BodyWords[random.Below(BodyWordCount)];
        rtf += ' ';
    }
    rtf += "\\par\r\n}";
    return rtf;
}

TBenchLibrary MakeLibrary(int entries, bool texts) {
    TBenchRandom random(static_cast<uint64_t>(entries));
    TBenchLibrary library;
    library.Entries = entries;
    const int groups = std::max(8, entries / 40);
    const int items = entries - groups;
    library.Items = items;

    // The group tree: a handful of top-level groups, the others below random groups.
    const int topGroups = std::clamp(groups / 8, 4, 12);
    std::vector<TGroupPlan> plan;
    for (int g = 0; g < groups; ++g) {
        if (g < topGroups) {
            plan.push_back({-1, 1, {}});
            continue;
        }
        int parent;
        do parent = static_cast<int>(random.Below(static_cast<uint32_t>(g)));
        while (plan[parent].Level >= MaxGroupLevel);
        plan.push_back({parent, plan[parent].Level + 1, {}});
    }
    // A tenth of the items in the first top-level group, a twentieth in a group of the second
    // level, the rest anywhere.
    int bigSecond = topGroups;
    while (bigSecond < groups && plan[bigSecond].Level != 2) ++bigSecond;
    if (bigSecond == groups) bigSecond = 1;
    for (int i = 0; i < items; ++i) {
        int group;
        if (i < items / 10)
            group = 0;
        else if (i < items / 10 + items / 20)
            group = bigSecond;
        else
            group = static_cast<int>(random.Below(static_cast<uint32_t>(groups)));
        plan[group].Items.push_back(i);
    }

    // The nodes, created as the user creates them; texts set as the editor leaves them.
    library.Root.reset(TTextNode::CreateTop());
    std::vector<TTextGroup*> groupNodes;
    for (int g = 0; g < groups; ++g) {
        TTextGroup* group = TTextNode::CreateNew<TTextGroup>();
        group->SetText(MakeCaption(random, true));
        if (random.Below(3) == 0) group->SetState(group->State() + nsExpanded);
        groupNodes.push_back(group);
    }
    std::vector<std::vector<TTextNode*>> childrenOf(groups);
    std::vector<TTextNode*> topChildren;
    for (int g = 0; g < groups; ++g)
        (plan[g].Parent < 0 ? topChildren : childrenOf[plan[g].Parent]).push_back(groupNodes[g]);
    std::vector<TTextNode*> itemNodes;
    for (int g = 0; g < groups; ++g) {
        for (int item : plan[g].Items) {
            (void)item;
            TTextData* node = TTextNode::CreateNew<TTextData>();
            node->SetText(MakeCaption(random, false));
            if (texts) {
                const std::string rtf = MakeRtf(random, random.LogUniform(200, 20480));
                node->GetDataStream().WriteBuffer(rtf.data(), rtf.size());
                library.TextBytes += static_cast<int64_t>(rtf.size());
            }
            childrenOf[g].push_back(node);
            itemNodes.push_back(node);
        }
    }
    // Deepest groups first, so that every group is complete when it is placed.
    for (int g = groups - 1; g >= 0; --g) AppendSorted(groupNodes[g], childrenOf[g]);
    AppendSorted(library.Root.get(), topChildren);
    library.Root->ClearModified();
    library.BigGroup = groupNodes[0];

    for (int i = 0; i < 1000 && !itemNodes.empty(); ++i)
        library.ItemPaths.push_back(itemNodes[random.Below(static_cast<uint32_t>(itemNodes.size()))]->Path());
    return library;
}

std::vector<TNode*> PreOrder(TNode* top) {
    std::vector<TNode*> nodes;
    top->ForEach([&nodes](TNode* n) { nodes.push_back(n); return false; }, feSelf | feCollapsed);
    return nodes;
}
