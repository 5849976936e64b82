// libFuzzer target: any bytes read as a configuration file (".CFG"), with the configuration
// classes registered, end in a configuration tree or an Exception. A tree that was read is
// pruned and saved as at program end and read again: it must read back without an error, with
// the same settings in the same number of nodes. After a second save, saving and reading change
// nothing any more, paths included, down to the bytes of the file. (The first round may still
// drop what the format does not keep: a text equal to its class name, or the expanded state of
// the top node, which is written together with nsLocked and so is not taken back on reading.)
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "base/exception.h"
#include "base/stream.h"
#include "config/configuration.h"
#include "nodes/node_stream.h"

namespace {

std::vector<uint8_t> Saved(TNode* tree) {
    TMemoryStream stream;
    SaveToStream(tree, stream, true);
    return stream.Bytes();
}

std::unique_ptr<TConfigRootNode> Read(const uint8_t* data, size_t size) {
    TMemoryStream stream;
    if (size) stream.WriteBuffer(data, size);
    stream.SetPosition(0);
    return std::unique_ptr<TConfigRootNode>(ReadConfiguration(stream));
}

// Every node's path (or only a line per node) and its settings, in tree order.
std::vector<std::string> Settings(TNode* tree, bool paths) {
    std::vector<std::string> lines;
    tree->ForEach(
        [&lines, paths](TNode* n) {
            lines.push_back(paths ? n->Path() : "node");
            if (n->HasValues())
                for (int i = 0; i < n->Values().Count(); ++i) lines.push_back("  " + n->Values().Strings(i));
            return false;
        },
        feSelf | feCollapsed);
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::unique_ptr<TConfigRootNode> root;
    try {
        root = Read(data, size);
    } catch (const Exception&) {
        return 0;
    }
    // What the save at program end does before it writes.
    PruneEmptyNodes(root.get());
    const std::vector<uint8_t> first = Saved(root.get());
    std::unique_ptr<TConfigRootNode> reloaded = Read(first.data(), first.size());  // must not raise
    if (Settings(reloaded.get(), false) != Settings(root.get(), false)) std::abort();
    const std::vector<uint8_t> second = Saved(reloaded.get());
    std::unique_ptr<TConfigRootNode> third = Read(second.data(), second.size());
    if (Settings(third.get(), true) != Settings(reloaded.get(), true)) std::abort();
    if (Saved(third.get()) != second) std::abort();
    return 0;
}
