#include "config_node.h"

#include "config/configuration.h"

namespace {

TPropInfo LastModifiedProp() {
    TPropInfo p{"LastModified", TPropKind::pkFloat, {}, {}, {}, {}, {}};
    p.Get = [](const TPersistent& o) { return TPropValue(static_cast<const TConfigNode&>(o).LastModified()); };
    p.Set = [](TPersistent& o, const TPropValue& v) {
        static_cast<TConfigNode&>(o).SetLastModified(std::get<double>(v));
    };
    // Only the leaves carry a date: a group's date says nothing its leaves do not.
    p.Stored = [](const TPersistent& o) { return !static_cast<const TConfigNode&>(o).HasChildren(); };
    return p;
}

}  // namespace

const TNodeClassInfo& TConfigNode::StaticClass() {
    static const TNodeClassInfo info =
        MakeNodeClass<TConfigNode>("TConfigNode", &TNode::StaticClass(), {LastModifiedProp()});
    return info;
}

void TConfigNode::InitNode() {
    TNode::InitNode();
    SetParentNodeClass(&TConfigRootNode::StaticClass());
    SetChildNodeClass(&TConfigNode::StaticClass());
    lastModified_ = Now();
}

void TConfigNode::Notify(TNode* node, TNodeCode code, intptr_t param) {
    TNode::Notify(node, code, param);
    if (code == ncValues && node == this && !State().Has(nsLoading)) {
        lastModified_ = Now();
        SetState(State() + nsModified);
    }
}

const TNodeClassInfo& TConfigRootNode::StaticClass() {
    static const TNodeClassInfo info = [] {
        TNodeClassInfo i = MakeNodeClass<TConfigRootNode>("TConfigRootNode", &TNode::StaticClass(), {});
        i.DefaultTextFunc = [] { return std::string("Konfiguration"); };
        return i;
    }();
    return info;
}

void TConfigRootNode::InitNode() {
    TNode::InitNode();
    SetChildNodeClass(&TConfigNode::StaticClass());
}

TConfigRootNode* TConfigRootNode::CreateEmpty() {
    auto* root = TNode::Create<TConfigRootNode>();
    WriteValueIn(root, "Erstellt am", TNodeValue::Of(DateTimeToStr(Now())));
    return root;
}
