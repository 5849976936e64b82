// libFuzzer target: any bytes read as a quick-text file (".STD"), with the quick-text classes
// registered, end in a library or an Exception. A library that was read is saved and read
// again: it must read back without an error, with the same nodes of the same classes and the
// same formatted texts. After a second save, saving and reading change nothing any more, texts
// and symbols included, down to the bytes of the file. (The first round may still drop what the
// format does not keep: a text equal to its class name, or the expanded state of the top
// node, which is written together with nsLocked and so is not taken back on reading.)
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "app/quick_text_file.h"
#include "app/text_node.h"
#include "base/exception.h"
#include "base/stream.h"
#include "nodes/node_stream.h"

namespace {

std::vector<uint8_t> Saved(TNode* tree) {
    TMemoryStream stream;
    SaveToStream(tree, stream, true);
    return stream.Bytes();
}

std::unique_ptr<TTextNode> Read(const std::vector<uint8_t>& bytes) {
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), bytes.size());
    stream.SetPosition(0);
    return TQuickTextFile::ReadLibrary(stream);
}

// Every node's class, text, symbol and formatted text, in tree order.
struct TEntry {
    const TClassInfo* Class;
    std::string Text;
    int32_t Bitmap;
    std::vector<uint8_t> Data;
    bool operator==(const TEntry&) const = default;
};

std::vector<TEntry> Entries(TNode* tree, bool all) {
    std::vector<TEntry> entries;
    tree->ForEach(
        [&entries, all](TNode* n) {
            std::vector<uint8_t> data;
            if (auto* text = dynamic_cast<TTextNode*>(n); text && text->HasData()) data = text->GetDataStream().Bytes();
            if (all)
                entries.push_back({&n->ClassType(), n->Text(), n->Bitmap(), data});
            else
                entries.push_back({&n->ClassType(), "", 0, data});
            return false;
        },
        feSelf | feCollapsed);
    return entries;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    RegisterTextNodeClasses();
    TMemoryStream input;
    if (size) input.WriteBuffer(data, size);
    input.SetPosition(0);
    std::unique_ptr<TTextNode> library;
    try {
        library = TQuickTextFile::ReadLibrary(input);
    } catch (const Exception&) {
        return 0;
    }
    const std::vector<uint8_t> first = Saved(library.get());
    std::unique_ptr<TTextNode> reloaded = Read(first);  // must not raise
    if (Entries(reloaded.get(), false) != Entries(library.get(), false)) std::abort();
    const std::vector<uint8_t> second = Saved(reloaded.get());
    std::unique_ptr<TTextNode> third = Read(second);
    if (Entries(third.get(), true) != Entries(reloaded.get(), true)) std::abort();
    if (Saved(third.get()) != second) std::abort();
    return 0;
}
