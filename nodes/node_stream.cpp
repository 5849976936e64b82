#include "node_stream.h"

#include <memory>

#include "base/clipboard.h"
#include "base/component_reader.h"
#include "base/component_writer.h"
#include "base/file_system.h"
#include "base/format.h"
#include "base/safe_file.h"
#include "base/string_ids.h"
#include "base/text_form.h"
#include "node_object.h"

namespace {

constexpr int ResourceNotFound = 65440;  // "Ressource %s nicht gefunden"
constexpr uint16_t RcDataType = 10;
constexpr uint16_t ResourceFlags = 0x1030;
constexpr size_t MaxResourceName = 63;

TResourceReader& ResourceReader() {
    static TResourceReader reader;
    return reader;
}

[[noreturn]] void InvalidStream() { throw EReadError(sid::InvalidStreamFormat); }

void WriteUInt16(TStream& stream, uint16_t value) {
    const uint8_t bytes[2] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8)};
    stream.WriteBuffer(bytes, 2);
}

void WriteUInt32(TStream& stream, uint32_t value) {
    const uint8_t bytes[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                              static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
    stream.WriteBuffer(bytes, 4);
}

// Reads exactly Count bytes; a stream that ends before is not a node stream.
void ReadOrFail(TStream& stream, void* buffer, size_t count) {
    if (stream.Read(buffer, count) != count) InvalidStream();
}

// Sets the save mode back to 0 when a write or read ends, whichever way.
struct TSaveModeReset {
    ~TSaveModeReset() { SetNodeSaveMode(0); }
};

// Brackets an operation with NM_NODEUPDATE begin and end.
class TNodeUpdate {
public:
    explicit TNodeUpdate(TNode* node) : node_(node) { node_->SendNodeMessage(NM_NODEUPDATE, 1, 0); }
    ~TNodeUpdate() { node_->SendNodeMessage(NM_NODEUPDATE, 0, 0); }
    TNodeUpdate(const TNodeUpdate&) = delete;
    TNodeUpdate& operator=(const TNodeUpdate&) = delete;

private:
    TNode* node_;
};

void WriteNode(TNode* node, TStream& stream, bool asResource) {
    TNodeObject top(node);
    int64_t lengthPos = 0;
    if (asResource) {
        WriteResourceHeader(stream, node->NodeClass()->DefaultText());
        lengthPos = stream.Position() - 4;
    }
    const int64_t start = stream.Position();
    TComponentWriter writer(stream);
    writer.WriteRootComponent(&top);
    if (asResource) {
        const int64_t end = stream.Position();
        stream.SetPosition(lengthPos);
        WriteUInt32(stream, static_cast<uint32_t>(end - start));
        stream.SetPosition(end);
    }
}

}  // namespace

TResourceReader SetResourceReader(TResourceReader reader) {
    TResourceReader previous = std::move(ResourceReader());
    ResourceReader() = std::move(reader);
    return previous;
}

// ---- Resource header ----

void WriteResourceHeader(TStream& stream, const std::string& name) {
    const uint8_t marker = 0xFF;
    stream.WriteBuffer(&marker, 1);
    WriteUInt16(stream, RcDataType);
    const std::string upper = UpperCase(name).substr(0, MaxResourceName);
    stream.WriteBuffer(upper.c_str(), upper.size() + 1);
    WriteUInt16(stream, ResourceFlags);
    WriteUInt32(stream, 0);  // the length, patched when the stream is complete
}

// The name is skipped up to its zero byte, the flags and length without a check.
void SkipResourceHeader(TStream& stream) {
    uint8_t head[3];
    ReadOrFail(stream, head, 3);
    if (head[0] != 0xFF || (head[1] | (head[2] << 8)) != RcDataType) InvalidStream();
    uint8_t c = 0;
    do ReadOrFail(stream, &c, 1);
    while (c != 0);
    uint8_t rest[6];
    ReadOrFail(stream, rest, sizeof rest);
}

// ---- Writing ----

void SaveToStream(TNode* node, TStream& stream, bool asResource) {
    TSaveModeReset reset;
    if (SubtreeLevels(node) > MaxNodeLevels) throw ENodeError(sid::NodeTooDeep, {int64_t(MaxNodeLevels)});
    const bool hadLocked = node->State().Has(nsLocked);
    node->SetState(node->State() + nsLocked);
    node->SetStateDirect(node->State() + nsSaving);
    auto restore = [node, hadLocked] {
        node->SetStateDirect(node->State() - nsSaving);
        if (!hadLocked) node->SetState(node->State() - nsLocked);
    };
    try {
        WriteNode(node, stream, asResource);
    } catch (...) {
        restore();
        throw;
    }
    restore();
}

std::string ReplacedFileName(const std::string& fileName) { return ChangeFileExt(fileName, ".C$$"); }

void SaveToFile(TNode* node, const std::string& fileName, bool asText, const std::string& keptName) {
    TNodeUpdate update(node);
    auto write = [node, asText](TStream& file) {
        if (asText) {
            TMemoryStream memory;
            SaveToStream(node, memory, false);
            memory.SetPosition(0);
            ObjectBinaryToText(memory, file);
        } else {
            SaveToStream(node, file, true);
        }
    };
    SaveFileSafely(fileName, write, keptName.empty() ? ReplacedFileName(fileName) : keptName, kmKeep);
}

// ---- Reading ----

TNode* LoadFromComponentStream(TStream& stream) {
    InitNodeStreaming();
    TSaveModeReset reset;  // also when a damaged stream ends the read before the top's Loaded
    TNodeObject top;
    TComponentReader reader(stream);
    reader.ReadRootComponent(&top);
    return top.ReleaseNode();
}

TNode* LoadFromStream(TStream& stream) {
    SkipResourceHeader(stream);
    return LoadFromComponentStream(stream);
}

TNode* LoadFromFile(const std::string& fileName) {
    std::unique_ptr<TStream> file = FileSystem().OpenRead(fileName);
    return LoadFromStream(*file);
}

// Data resources hold the component stream itself; one that was made from a node file still
// has its resource header, which is skipped.
TNode* LoadFromResource(const std::string& name, TNodeClass nodeClass) {
    if (!nodeClass) nodeClass = &TNode::StaticClass();
    const std::string resourceName = name.empty() ? nodeClass->DefaultText() : name;
    std::vector<uint8_t> data;
    const TResourceReader& reader = ResourceReader();
    if (!reader || !reader(resourceName, data)) throw EResNotFound(ResourceNotFound, {resourceName});
    TMemoryStream memory;
    if (!data.empty()) memory.WriteBuffer(data.data(), data.size());
    memory.SetPosition(0);
    if (!data.empty() && data[0] == 0xFF) return LoadFromStream(memory);
    return LoadFromComponentStream(memory);
}

// ---- TNode operations that go through streams ----

TNode* TNode::Clone() {
    TMemoryStream memory;
    SaveToStream(this, memory, true);
    memory.SetPosition(0);
    return LoadFromStream(memory);
}

void TNode::CopyToClipboard(TClipboard& clipboard) {
    TNodeUpdate update(this);
    clipboard.Open();
    try {
        TMemoryStream binary;
        SaveToStream(this, binary, false);
        binary.SetPosition(0);
        std::string text = ComponentStreamToText(binary);
        text.push_back('\0');
        clipboard.SetData(cfText, std::vector<uint8_t>(text.begin(), text.end()));
        clipboard.SetData(clipboard.RegisterFormat("Node Object"), binary.Bytes());
    } catch (...) {
        clipboard.Close();
        throw;
    }
    clipboard.Close();
}

void TNode::PasteFromClipboard(TClipboard& clipboard) {
    const unsigned format = clipboard.RegisterFormat("Node Object");
    std::vector<uint8_t> block;
    clipboard.Open();
    try {
        if (clipboard.HasFormat(format)) block = clipboard.GetData(format);
    } catch (...) {
        clipboard.Close();
        throw;
    }
    clipboard.Close();
    if (block.empty()) return;

    TNodeUpdate update(this);
    InitNodeStreaming();
    TMemoryStream memory;
    memory.WriteBuffer(block.data(), block.size());
    memory.SetPosition(0);
    std::unique_ptr<TNode> node;
    {
        TSaveModeReset reset;
        TComponentReader reader(memory);
        std::unique_ptr<TComponent> object(reader.ReadComponent());
        if (auto* nodeObject = dynamic_cast<TNodeObject*>(object.get()); nodeObject && nodeObject->Node())
            node.reset(nodeObject->ReleaseNode());
    }
    if (!node) return;
    node->ForEach(
        [](TNode* n) {
            n->SetState((n->State() + nsCopied) - TNodeState{nsSelected, nsFocused, nsEditing});
            return false;
        },
        feSelf | feCollapsed);
    InsertNode(-1, node.get(), imFirst | imChild);
    node.release();
}
