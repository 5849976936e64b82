// The benchmark suite: saving and loading the quick-text file against JSON and SQLite on the
// same library, and the tree operations a user triggers, each on libraries of 1,000, 10,000
// and 100,000 entries. Names are BM_<Operation>/<entries>.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string_view>

#include "app/quick_text_file.h"
#include "app/text_node.h"
#include "base/file_system.h"
#include "base/program.h"
#include "library.h"
#include "nodes/node_stream.h"
#include "peers.h"

namespace {

const std::vector<int64_t> Sizes{1000, 10000, 100000};

TBenchLibrary& Library(int entries) {
    static std::map<int, TBenchLibrary> libraries;
    auto it = libraries.find(entries);
    if (it == libraries.end()) {
        RegisterTextNodeClasses();
        it = libraries.emplace(entries, MakeLibrary(entries)).first;
    }
    return it->second;
}

std::string BenchFolder() {
    static const std::string folder = [] {
        const char* env = std::getenv("VARNOLET_BENCH_DIR");
        std::filesystem::path path = env && *env ? std::filesystem::path(env)
                                                 : std::filesystem::temp_directory_path() / "varnolet-bench";
        std::filesystem::create_directories(path);
        return path.string();
    }();
    return folder;
}

std::string FileOf(int entries, const char* extension) {
    return BenchFolder() + "/library" + std::to_string(entries) + extension;
}

int64_t FileSize(const std::string& fileName) {
    return static_cast<int64_t>(std::filesystem::file_size(fileName));
}

// The file of one format, written once per run from the library of that size.
const std::string& EnsureFile(int entries, const char* extension) {
    static std::map<std::string, std::string> written;
    const std::string key = std::to_string(entries) + extension;
    auto it = written.find(key);
    if (it != written.end()) return it->second;
    const std::string fileName = FileOf(entries, extension);
    TNode* root = Library(entries).Root.get();
    const std::string_view ext = extension;
    if (ext == ".STD")
        SaveToFile(root, fileName);
    else if (ext == ".json")
        SaveJson(root, fileName);
    else
        SaveSqlite(root, fileName);
    return written.emplace(key, fileName).first->second;
}

void SetFileCounters(benchmark::State& state, const std::string& fileName) {
    const int64_t size = FileSize(fileName);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * size);
    state.counters["file_MB"] = static_cast<double>(size) / 1e6;
}

// ---- Saving and loading ----

// Every load benchmark loads once before its timed runs: the first load of a large library
// in a process also pays for growing the process heap, which the loads after it (and a
// program that has run for a while) do not. Each format gets the same warm-up.

// The quick-text save at close: the tree written into a temporary file, flushed and synced to
// the disk, the previous file kept as ".~ST", the new one renamed into place.
void BM_SaveStd(benchmark::State& state) {
    const int entries = static_cast<int>(state.range(0));
    TNode* root = Library(entries).Root.get();
    const std::string fileName = FileOf(entries, ".STD");
    SetProgramFileName(ChangeFileExt(fileName, ".exe"));
    TComponent owner;
    TQuickTextFile file(&owner);
    for (auto _ : state)
        if (!file.SaveAtEnd(root)) state.SkipWithError("the save failed");
    SetFileCounters(state, fileName);
}

// The write floor: the bytes of the same file, made beforehand, written the way the save
// writes them (temporary file, synced, previous file kept, renamed into place, folder synced)
// with plain system calls.
void BM_WriteBytes(benchmark::State& state) {
    const std::string& fileName = EnsureFile(static_cast<int>(state.range(0)), ".STD");
    const std::vector<char> bytes = ReadFileBytes(fileName);
    const std::string copy = FileOf(static_cast<int>(state.range(0)), ".floor");
    for (auto _ : state) WriteFileSynced(copy, bytes, true);
    SetFileCounters(state, fileName);
}

void BM_LoadStd(benchmark::State& state) {
    const int entries = static_cast<int>(state.range(0));
    const std::string& fileName = EnsureFile(entries, ".STD");
    delete LoadFromFile(fileName);
    for (auto _ : state) {
        TNode* tree = LoadFromFile(fileName);
        state.PauseTiming();
        delete tree;
        state.ResumeTiming();
    }
    SetFileCounters(state, fileName);
}

// The read floor: every byte of the file read into a buffer that is kept between the runs, so
// that neither allocating nor zeroing it is counted.
void BM_ReadBytes(benchmark::State& state) {
    const std::string& fileName = EnsureFile(static_cast<int>(state.range(0)), ".STD");
    std::vector<char> buffer;
    ReadFileInto(fileName, buffer);
    for (auto _ : state) {
        ReadFileInto(fileName, buffer);
        benchmark::DoNotOptimize(buffer.data());
    }
    SetFileCounters(state, fileName);
}

void BM_SaveJson(benchmark::State& state) {
    const int entries = static_cast<int>(state.range(0));
    TNode* root = Library(entries).Root.get();
    const std::string fileName = FileOf(entries, ".json");
    for (auto _ : state) SaveJson(root, fileName);
    SetFileCounters(state, fileName);
}

void BM_ParseJson(benchmark::State& state) {
    const std::string& fileName = EnsureFile(static_cast<int>(state.range(0)), ".json");
    benchmark::DoNotOptimize(ParseJson(fileName));
    for (auto _ : state) benchmark::DoNotOptimize(ParseJson(fileName));
    SetFileCounters(state, fileName);
}

void BM_LoadJson(benchmark::State& state) {
    const std::string& fileName = EnsureFile(static_cast<int>(state.range(0)), ".json");
    LoadJson(fileName).reset();
    for (auto _ : state) {
        std::unique_ptr<TNode> tree = LoadJson(fileName);
        state.PauseTiming();
        tree.reset();
        state.ResumeTiming();
    }
    SetFileCounters(state, fileName);
}

void BM_SaveSqlite(benchmark::State& state) {
    const int entries = static_cast<int>(state.range(0));
    TNode* root = Library(entries).Root.get();
    const std::string fileName = FileOf(entries, ".sqlite");
    for (auto _ : state) SaveSqlite(root, fileName);
    SetFileCounters(state, fileName);
}

void BM_LoadSqlite(benchmark::State& state) {
    const std::string& fileName = EnsureFile(static_cast<int>(state.range(0)), ".sqlite");
    LoadSqlite(fileName).reset();
    for (auto _ : state) {
        std::unique_ptr<TNode> tree = LoadSqlite(fileName);
        state.PauseTiming();
        tree.reset();
        state.ResumeTiming();
    }
    SetFileCounters(state, fileName);
}

// ---- Tree operations ----

void BM_Clone(benchmark::State& state) {
    TNode* root = Library(static_cast<int>(state.range(0))).Root.get();
    delete root->Clone();  // the same warm-up as the loads
    for (auto _ : state) {
        TNode* copy = root->Clone();
        state.PauseTiming();
        delete copy;
        state.ResumeTiming();
    }
}

// The library is in order, as after loading: Sort finds nothing to move but visits every node.
void BM_SortRoot(benchmark::State& state) {
    TNode* root = Library(static_cast<int>(state.range(0))).Root.get();
    for (auto _ : state) benchmark::DoNotOptimize(root->Sort(0));
}

// What the main window does after the user renamed an entry: the new text, then Sort(0) on
// the parent. Here an item of the biggest group, so the rename moves it far.
void BM_RenameResort(benchmark::State& state) {
    TBenchLibrary& library = Library(static_cast<int>(state.range(0)));
    TNode* group = library.BigGroup;
    TBenchRandom random(7);
    for (auto _ : state) {
        TNode* item = group->Child(static_cast<int>(random.Below(static_cast<uint32_t>(group->ChildCount()))));
        item->SetText(MakeCaption(random, false));
        benchmark::DoNotOptimize(group->Sort(0));
    }
    library.Root->ClearModified();
}

// A new item in the biggest group (sorted insertion), removed again outside the timing.
void BM_InsertItem(benchmark::State& state) {
    TBenchLibrary& library = Library(static_cast<int>(state.range(0)));
    TBenchRandom random(11);
    for (auto _ : state) {
        TTextData* item = TTextNode::CreateNew<TTextData>();
        item->SetText(MakeCaption(random, false));
        library.BigGroup->InsertNode(-1, item, imChild);
        state.PauseTiming();
        delete item;
        state.ResumeTiming();
    }
}

// An item of the biggest group deleted; it was put there outside the timing.
void BM_DeleteItem(benchmark::State& state) {
    TBenchLibrary& library = Library(static_cast<int>(state.range(0)));
    TBenchRandom random(13);
    for (auto _ : state) {
        state.PauseTiming();
        TTextData* item = TTextNode::CreateNew<TTextData>();
        item->SetText(MakeCaption(random, false));
        library.BigGroup->InsertNode(-1, item, imChild);
        state.ResumeTiming();
        item->Delete();
    }
}

void BM_FindPath(benchmark::State& state) {
    TBenchLibrary& library = Library(static_cast<int>(state.range(0)));
    for (auto _ : state)
        for (const std::string& path : library.ItemPaths) benchmark::DoNotOptimize(library.Root->FindPath(path, false));
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * library.ItemPaths.size()));
}

void BM_NodeAtAllRows(benchmark::State& state) {
    TNode* root = Library(static_cast<int>(state.range(0))).Root.get();
    for (auto _ : state)
        for (int row = 0; row <= root->Count(); ++row) benchmark::DoNotOptimize(root->NodeAt(row));
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * (root->Count() + 1));
}

// Remembers the expanded state of every node and puts it back, so that the library is the
// same for the benchmarks that follow.
class TExpandedStates {
public:
    explicit TExpandedStates(TNode* root) : nodes_(PreOrder(root)) {
        for (TNode* node : nodes_) expanded_.push_back(node->State().Has(nsExpanded));
    }
    ~TExpandedStates() {
        for (size_t i = nodes_.size(); i-- > 0;) {
            const TNodeState state = nodes_[i]->State();
            nodes_[i]->SetState(expanded_[i] ? state + nsExpanded : state - nsExpanded);
        }
    }

private:
    std::vector<TNode*> nodes_;
    std::vector<bool> expanded_;
};

// Every row of the fully expanded tree: the node at the row and its row back.
void BM_VisibleIndexAllRows(benchmark::State& state) {
    TNode* root = Library(static_cast<int>(state.range(0))).Root.get();
    TExpandedStates keep(root);
    root->Expand(true);
    for (auto _ : state) {
        for (int row = 0; row <= root->VisibleCount(); ++row) {
            const TNode* node = root->VisibleNodeAt(row);
            if (node->VisibleIndex() != row) state.SkipWithError("VisibleIndex differs from the row");
        }
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * (root->VisibleCount() + 1));
}

void BM_ExpandAll(benchmark::State& state) {
    TNode* root = Library(static_cast<int>(state.range(0))).Root.get();
    TExpandedStates keep(root);
    for (auto _ : state) {
        state.PauseTiming();
        root->Collapse(true);
        state.ResumeTiming();
        root->Expand(true);
    }
}

void BM_CollapseAll(benchmark::State& state) {
    TNode* root = Library(static_cast<int>(state.range(0))).Root.get();
    TExpandedStates keep(root);
    for (auto _ : state) {
        state.PauseTiming();
        root->Expand(true);
        state.ResumeTiming();
        root->Collapse(true);
    }
}

// What a search over all texts does: every item's RTF looked at from its first byte to its
// last (the word sought is in none of them).
void BM_WalkTexts(benchmark::State& state) {
    TBenchLibrary& library = Library(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        size_t hits = 0;
        library.Root->ForEach(
            [&hits](TNode* node) {
                if (auto* text = dynamic_cast<TTextNode*>(node); text && text->HasData()) {
                    TMemoryStream& data = text->GetDataStream();
                    const std::string_view bytes(reinterpret_cast<const char*>(data.Memory()),
                                                 static_cast<size_t>(data.Size()));
                    if (bytes.find("Zebrastreifen") != std::string_view::npos) ++hits;
                }
                return false;
            },
            feCollapsed);
        benchmark::DoNotOptimize(hits);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * library.TextBytes);
}

// No per-benchmark MinTime or UseRealTime: they would add suffixes to the names, which stay
// BM_<Operation>/<entries>; the run's --benchmark_min_time applies to all.
void Register(const char* name, void (*function)(benchmark::State&)) {
    auto* bench = benchmark::RegisterBenchmark(name, function);
    for (int64_t size : Sizes) bench->Arg(size);
    bench->Unit(benchmark::kMillisecond);
}

}  // namespace

int main(int argc, char** argv) {
    // Files first: the loads read what the saves wrote.
    Register("BM_SaveStd", BM_SaveStd);
    Register("BM_WriteBytes", BM_WriteBytes);
    Register("BM_LoadStd", BM_LoadStd);
    Register("BM_ReadBytes", BM_ReadBytes);
    Register("BM_SaveJson", BM_SaveJson);
    Register("BM_LoadJson", BM_LoadJson);
    Register("BM_ParseJson", BM_ParseJson);
    Register("BM_SaveSqlite", BM_SaveSqlite);
    Register("BM_LoadSqlite", BM_LoadSqlite);
    Register("BM_Clone", BM_Clone);
    Register("BM_SortRoot", BM_SortRoot);
    Register("BM_RenameResort", BM_RenameResort);
    Register("BM_InsertItem", BM_InsertItem);
    Register("BM_DeleteItem", BM_DeleteItem);
    Register("BM_FindPath", BM_FindPath);
    Register("BM_NodeAtAllRows", BM_NodeAtAllRows);
    Register("BM_VisibleIndexAllRows", BM_VisibleIndexAllRows);
    Register("BM_ExpandAll", BM_ExpandAll);
    Register("BM_CollapseAll", BM_CollapseAll);
    Register("BM_WalkTexts", BM_WalkTexts);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
