// The published property rows of TNode and the rules that decide which are stored.
#include "node_registry.h"
#include "node_stream.h"

namespace {

using K = TPropKind;

const TNodeState StoredStates{nsExpanded, nsSelected, nsReadOnly, nsModified, nsRoot};

bool Never(const TNode&) { return false; }

TPropInfo ClassRefProp(const std::string& name, TNodeClass (TNode::*get)() const, void (TNode::*set)(TNodeClass)) {
    return TypedProp<TNode, std::string>(
        name, K::pkString,
        [get](const TNode& n) {
            TNodeClass cls = (n.*get)();
            return cls ? cls->Name : std::string();
        },
        // An unknown class name leaves the reference empty.
        [set](TNode& n, const std::string& v) { (n.*set)(FindNodeClass(v)); }, Never);
}

}  // namespace

TPropInfo NodeBitmapProp(bool alwaysStored) {
    std::function<bool(const TNode&)> stored;
    if (!alwaysStored) stored = [](const TNode& n) { return NodeSaveMode() == 0 && n.Bitmap() >= 1; };
    return TypedProp<TNode, int32_t>(
        "Bitmap", K::pkInteger, [](const TNode& n) { return n.Bitmap(); },
        [](TNode& n, const int32_t& v) { n.SetBitmap(v); }, stored);
}

TPropInfo NodeStateProp(bool alwaysStored) {
    std::function<bool(const TNode&)> stored;
    if (!alwaysStored) stored = [](const TNode& n) { return NodeSaveMode() == 0 && n.State().HasAny(StoredStates); };
    return TypedProp<TNode, TSetValue>(
        "State", K::pkSet, [](const TNode& n) { return TSetValue{n.State().Bits()}; },
        [](TNode& n, const TSetValue& v) { n.SetState(TNodeState::FromBits(v.bits)); }, stored, NodeStateNames());
}

std::vector<TPropInfo> NodePublishedProps() {
    return {
        TypedProp<TNode, TSetValue>(
            "Option", K::pkSet, [](const TNode& n) { return TSetValue{n.Option().Bits()}; },
            [](TNode& n, const TSetValue& v) { n.SetOption(TNodeOption::FromBits(v.bits)); },
            [](const TNode& n) { return NodeSaveMode() == 0 && n.Option() != n.DefaultOption(); },
            NodeOptionNames()),
        NodeBitmapProp(false),
        NodeStateProp(false),
        TypedProp<TNode, std::string>(
            "Text", K::pkString, [](const TNode& n) { return n.Text(); },
            [](TNode& n, const std::string& v) { n.SetText(v); },
            [](const TNode& n) {
                const std::string text = n.Text();
                return NodeSaveMode() == 0 && !text.empty() && text != n.NodeClass()->DefaultText();
            }),
        TypedProp<TNode, std::vector<std::string>>(
            "Values", K::pkStringList,
            [](const TNode& n) { return n.HasValues() ? const_cast<TNode&>(n).Values().Lines() : std::vector<std::string>(); },
            [](TNode& n, const std::vector<std::string>& v) {
                if (!v.empty() || n.HasValues()) n.Values().SetLines(v);
            },
            [](const TNode& n) { return n.IsValuesStored(); }),
        TypedProp<TNode, int32_t>(
            "Separator", K::pkChar, [](const TNode& n) { return int32_t(static_cast<uint8_t>(n.GetSeparator())); },
            [](TNode& n, const int32_t& v) { n.SetSeparator(static_cast<char>(v)); }, Never),
        ClassRefProp("ParentNodeClass", &TNode::ParentNodeClass, &TNode::SetParentNodeClass),
        ClassRefProp("ChildNodeClass", &TNode::ChildNodeClass, &TNode::SetChildNodeClass),
    };
}
