#include "app/text_node.h"

#include <cstring>

#include "base/component_reader.h"
#include "base/exception.h"
#include "base/string_ids.h"
#include "base/strings.h"
#include "app/symbol_pictures.h"
#include "nodes/node_picture_info.h"
#include "nodes/node_registry.h"
#include "nodes/node_stream.h"

namespace {

constexpr int NewTextId = 65142;   // "Neuer Text"
constexpr int NewGroupId = 65143;  // "Neue Gruppe"

TPropInfo DataProp() {
    TPropInfo prop = TypedProp<TTextNode, std::vector<uint8_t>>(
        "Data", TPropKind::pkBinary, [](const TTextNode& n) { return n.DataValue(); }, {},
        [](const TTextNode& n) { return n.HasData(); });
    prop.Set = [](TPersistent& node, TPropValue&& value) {
        static_cast<TTextNode&>(node).SetDataValue(std::get<std::vector<uint8_t>>(std::move(value)));
    };
    // Read from a stream, the text goes from the reader's buffer into the node's text stream
    // in one copy.
    prop.ReadBinary = [](TPersistent& node, TBinaryBlock& block) {
        static_cast<TTextNode&>(node).ReadDataValue(block);
    };
    return prop;
}

}  // namespace

const TNodeClassInfo& TTextNode::StaticClass() {
    // State and Bitmap are declared again so that every node of these classes stores them.
    static const TNodeClassInfo info = MakeNodeClass<TTextNode>(
        "TTextNode", &TNode::StaticClass(), {NodeBitmapProp(true), NodeStateProp(true), DataProp()});
    return info;
}

const TNodeClassInfo& TTextGroup::StaticClass() {
    static const TNodeClassInfo info = MakeNodeClass<TTextGroup>("TTextGroup", &TTextNode::StaticClass(), {});
    return info;
}

const TNodeClassInfo& TTextData::StaticClass() {
    static const TNodeClassInfo info = MakeNodeClass<TTextData>("TTextData", &TTextNode::StaticClass(), {});
    return info;
}

void RegisterTextNodeClasses() {
    RegisterNodeClasses({&TTextNode::StaticClass(), &TTextGroup::StaticClass(), &TTextData::StaticClass()});
}

TTextNode* TTextNode::CreateNew(TNodeClass nodeClass) {
    auto* node = static_cast<TTextNode*>(nodeClass->Create(LoadStr(NewTextId), nullptr));
    node->InitNew();
    return node;
}

TTextNode* TTextNode::CreateTop() {
    TTextNode* top = CreateNew(&StaticClass());
    top->SetText(LoadStr(sid::ProgramName));
    top->SetBitmap(SymbolTop);
    return top;
}

void TTextNode::InitNew() {
    SetState(State() - nsReadOnly);
    SetOption(Option() + noCanSort);
    SetBitmap(InheritsFrom(TTextGroup::StaticClass()) ? SymbolGroup : SymbolText);
}

TMemoryStream& TTextNode::GetDataStream() {
    if (!data_) data_ = std::make_unique<TMemoryStream>();
    data_->SetPosition(0);
    return *data_;
}

std::vector<uint8_t> TTextNode::DataValue() const {
    const uint32_t count = data_ ? static_cast<uint32_t>(data_->Size()) : 0;
    std::vector<uint8_t> value(4 + count);
    for (int i = 0; i < 4; ++i) value[i] = static_cast<uint8_t>(count >> (8 * i));
    if (count) std::memcpy(value.data() + 4, data_->Memory(), count);
    return value;
}

void TTextNode::SetDataValue(std::vector<uint8_t> value) {
    if (value.size() < 4) throw EReadError(sid::InvalidStreamFormat);
    uint32_t count = 0;
    for (int i = 0; i < 4; ++i) count |= uint32_t(value[i]) << (8 * i);
    // The count comes from a file: it must fit the bytes that are really there.
    if (count > value.size() - 4) throw EReadError(sid::InvalidStreamFormat);
    value.resize(4 + size_t(count));
    GetDataStream().TakeBytes(std::move(value), 4);
}

void TTextNode::ReadDataValue(TBinaryBlock& block) {
    if (block.Size() < 4) throw EReadError(sid::InvalidStreamFormat);
    uint8_t head[4];
    block.Read(head, 4);
    uint32_t count = 0;
    for (int i = 0; i < 4; ++i) count |= uint32_t(head[i]) << (8 * i);
    // The count comes from a file: it must fit the bytes that are really there.
    if (count > block.Size()) throw EReadError(sid::InvalidStreamFormat);
    GetDataStream().TakeBytes(block.ReadBytes(count));
}

// ---- the grid's picture queries ----

namespace {

const TSymbolPictures*& SymbolPicturesSlot() {
    static const TSymbolPictures* pictures = nullptr;
    return pictures;
}

// The entry of the node's symbol when the pictures have one.
bool FindSymbolOf(const TNode& node, TSymbolPicture& picture) {
    const TSymbolPictures* pictures = SymbolPictures();
    return pictures && pictures->FindSymbol(node.Bitmap(), picture);
}

}  // namespace

void SetSymbolPictures(const TSymbolPictures* pictures) { SymbolPicturesSlot() = pictures; }
const TSymbolPictures* SymbolPictures() { return SymbolPicturesSlot(); }

void TTextNode::Dispatch(TNodeMessage& message) {
    if (message.Msg == NM_NODEDRAWINFO && message.LParam) {
        auto& info = *reinterpret_cast<TNodePictureInfo*>(message.LParam);
        info.Symbol.ID = Bitmap();
        TSymbolPicture picture;
        if (FindSymbolOf(*this, picture)) {
            info.Symbol.Picture = picture.Entry;
            // An unstretched picture gets its own width and a pixel on each side.
            if (!picture.Stretched && info.Symbol.Rect.Width() < picture.Width + 2)
                info.Symbol.Rect.Right = info.Symbol.Rect.Left + picture.Width + 2;
        }
        message.Result = 1;
        return;
    }
    if (message.Msg == NM_NODEROWHEIGHT) {
        intptr_t height = message.WParam;
        TSymbolPicture picture;
        if (FindSymbolOf(*this, picture) && !picture.Stretched) {
            const intptr_t wanted = (picture.Height + 2) & ~intptr_t(1);
            if (wanted > height) height = wanted;
        }
        message.Result = height;
        return;
    }
    TNode::Dispatch(message);
}

void TTextGroup::InitNode() {
    TTextNode::InitNode();
    SetParentNodeClass(&TTextGroup::StaticClass());
    SetChildNodeClass(&TTextNode::StaticClass());
}

void TTextGroup::InitNew() {
    TTextNode::InitNew();
    SetText(LoadStr(NewGroupId));
}

void TTextData::InitNode() {
    TTextNode::InitNode();
    SetParentNodeClass(&TTextGroup::StaticClass());
}
