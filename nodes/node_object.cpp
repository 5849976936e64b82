#include "node_object.h"

#include <algorithm>
#include <memory_resource>
#include <utility>

#include "base/component_reader.h"
#include "base/component_writer.h"
#include "base/string_ids.h"
#include "node_registry.h"
#include "node_stream.h"

namespace {

using TN = TNodeObject;

std::vector<TPropInfo> NodeObjectProps() {
    using K = TPropKind;
    return {
        TypedProp<TN, int32_t>(
            "SaveMode", K::pkInteger, [](const TN& o) { return o.SaveMode(); },
            [](TN& o, const int32_t& v) { o.SetSaveMode(v); },
            [](const TN& o) { return !o.RootObject() && NodeSaveMode() != 0; }),
        TypedProp<TN, std::vector<std::string>>(
            "NodeList", K::pkStringList, [](const TN& o) { return o.NodeListLines(); },
            [](TN& o, const std::vector<std::string>& v) { o.SetNodeListLines(v); },
            [](const TN& o) { return !o.RootObject() && !o.NodeListLines().empty(); }),
        TypedProp<TN, std::string>(
            "NodeClass", K::pkString, [](const TN& o) { return o.NodeClassName(); },
            [](TN& o, const std::string& v) { o.SetNodeClassName(v); }, [](const TN&) { return false; }),
        TypedProp<TN, TPersistent*>(
            "Data", K::pkObject, [](const TN& o) { return static_cast<TPersistent*>(o.Node()); }, {},
            [](const TN&) { return false; }),
        TypedProp<TN, int32_t>(
            "NI", K::pkInteger, [](const TN& o) { return o.NI(); }, [](TN& o, const int32_t& v) { o.SetNI(v); },
            [](const TN& o) { return o.NI() != 0; }),
        TypedProp<TN, int32_t>(
            "PNI", K::pkInteger, [](const TN& o) { return o.PNI(); }, [](TN& o, const int32_t& v) { o.SetPNI(v); },
            [](const TN& o) { return o.PNI() != 0; }),
        TypedProp<TN, int32_t>(
            "CNI", K::pkInteger, [](const TN& o) { return o.CNI(); }, [](TN& o, const int32_t& v) { o.SetCNI(v); },
            [](const TN& o) { return o.CNI() != 0; }),
        TypedProp<TN, TPersistent*>(
            "_", K::pkObject, [](const TN& o) { return static_cast<TPersistent*>(o.Node()); }),
    };
}

[[noreturn]] void InvalidStream() { throw EReadError(sid::InvalidStreamFormat); }

// The component as a node object, or null; asked for every record read, where a class check
// costs less than a dynamic_cast.
TNodeObject* AsNodeObject(TComponent* component) {
    if (!component || !component->InheritsFrom(TNodeObject::StaticClass())) return nullptr;
    return static_cast<TNodeObject*>(component);
}

}  // namespace

void InitNodeStreaming() {
    static const bool registered = [] {
        RegisterComponentClass(TNodeObject::StaticClass());
        return true;
    }();
    (void)registered;
}

namespace {

// The pool of node objects. Its memory goes back to the heap when the last object is freed
// (the end of a read or write), so that it holds nothing between files.
struct TNodeObjectPool {
    std::pmr::unsynchronized_pool_resource Memory{std::pmr::pool_options{0, sizeof(TNodeObject)}};
    size_t Live = 0;
};

TNodeObjectPool& NodeObjectPool() {
    static TNodeObjectPool pool;
    return pool;
}

}  // namespace

// Objects of a derived class of another size come from the heap.
void* TNodeObject::operator new(size_t size) {
    if (size != sizeof(TNodeObject)) return ::operator new(size);
    TNodeObjectPool& pool = NodeObjectPool();
    void* object = pool.Memory.allocate(size, alignof(TNodeObject));
    ++pool.Live;
    return object;
}

void TNodeObject::operator delete(void* object, size_t size) {
    if (size != sizeof(TNodeObject)) {
        ::operator delete(object);
        return;
    }
    TNodeObjectPool& pool = NodeObjectPool();
    pool.Memory.deallocate(object, size, alignof(TNodeObject));
    if (--pool.Live == 0) pool.Memory.release();
}

const TClassInfo& TNodeObject::StaticClass() {
    static const TClassInfo info{"TNodeObject", &TComponent::StaticClass(), NodeObjectProps(),
                                 [] { return static_cast<TPersistent*>(new TNodeObject()); }};
    return info;
}

TNodeObject::TNodeObject(TNode* node, TComponent* owner) : TComponent(owner), node_(node) {
    if (node) nodeClass_ = node->NodeClass();
}

// The node goes before the owned objects (freed by the base afterwards): those that still own a
// node own one that is not part of this node's tree.
TNodeObject::~TNodeObject() {
    if (ownsNode_ && node_) node_->Delete();
}

TNode* TNodeObject::ReleaseNode() {
    ownsNode_ = false;
    return node_;
}

void TNodeObject::SetRootObject(TNodeObject* root) {
    rootObject_ = root;
    top_ = root ? root->TopObject() : nullptr;
    if (top_ == this) top_ = nullptr;
}

TStringList& TNodeObject::NodeList() {
    if (!nodeList_) nodeList_ = std::make_unique<TStringList>();
    return *nodeList_;
}

// ---- Class lookups ----

void TNodeObject::ResolveNodeList() {
    if (resolved_) return;
    std::vector<TNodeClass> classes;
    for (int i = 0; i < nodeList_->Count(); ++i) classes.push_back(GetNodeClass(nodeList_->Strings(i)));
    resolvedClasses_ = std::move(classes);
    resolved_ = true;
    // While reading, the node read so far becomes the class at index 0.
    if (IsLoading() && node_ && node_->NodeClass() != resolvedClasses_[0]) ReplaceNode(resolvedClasses_[0]);
}

TNodeClass TNodeObject::ClassAt(int index) {
    if (index < 0) return nullptr;
    TNodeObject* top = TopObject();
    if (!top->nodeList_ || top->nodeList_->Count() == 0) return &TNode::StaticClass();
    top->ResolveNodeList();
    if (index >= static_cast<int>(top->resolvedClasses_.size())) InvalidStream();
    return top->resolvedClasses_[static_cast<size_t>(index)];
}

int TNodeObject::IndexOfClass(TNodeClass cls) const {
    if (!cls) return -1;
    const TNodeObject* top = TopObject();
    return top->nodeList_ ? top->nodeList_->IndexOf(cls->Name) : -1;
}

void TNodeObject::RebuildNodeList() {
    std::vector<std::pair<std::string, int>> counts{{"TNode", 0}};
    auto count = [&counts](TNodeClass cls) {
        if (!cls) return;
        auto it = std::find_if(counts.begin(), counts.end(), [cls](const auto& c) { return c.first == cls->Name; });
        if (it == counts.end())
            counts.emplace_back(cls->Name, 1);
        else
            ++it->second;
    };
    if (node_) {
        node_->ForEach(
            [&count](TNode* n) {
                count(n->NodeClass());
                count(n->ParentNodeClass());
                count(n->ChildNodeClass());
                return false;
            },
            feSelf | feCollapsed | feExpandOnDemand);
    }
    std::stable_sort(counts.begin(), counts.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
    TStringList& list = NodeList();
    list.Clear();
    for (const auto& [name, uses] : counts) list.AddObject(name, reinterpret_cast<void*>(static_cast<intptr_t>(uses)));
    resolved_ = false;
}

// ---- Published properties ----

int32_t TNodeObject::SaveMode() const { return NodeSaveMode(); }

void TNodeObject::SetSaveMode(int32_t mode) {
    if (NodeSaveMode() == 0) SetNodeSaveMode(mode);
}

std::vector<std::string> TNodeObject::NodeListLines() const {
    return nodeList_ ? nodeList_->Lines() : std::vector<std::string>();
}

// The class list of a stream's top object is resolved as soon as it is read, before the
// properties of the top node arrive, so that the top node is of the class at index 0 when
// they are applied.
void TNodeObject::SetNodeListLines(const std::vector<std::string>& lines) {
    NodeList().SetLines(lines);
    resolved_ = false;
    if (IsLoading() && !rootObject_ && !lines.empty()) ResolveNodeList();
}

std::string TNodeObject::NodeClassName() const {
    TNodeClass cls = CurrentClass();
    return cls ? cls->Name : std::string();
}

void TNodeObject::SetNodeClassName(const std::string& name) {
    if (node_ && name == node_->ClassName()) return;
    if (node_ && ownsNode_) node_->Delete();
    node_ = nullptr;
    ownsNode_ = false;
    TNodeClass cls = FindNodeClass(name);
    if (!cls) throw EAbort(std::string());
    ReplaceNode(cls);
}

void TNodeObject::SetNI(int32_t index) {
    TNodeClass cls = ClassAt(index);
    if (!cls) InvalidStream();
    if (index != NI()) ReplaceNode(cls);
}

void TNodeObject::SetPNI(int32_t index) {
    TNodeClass cls = ClassAt(index);
    if (node_) node_->SetParentNodeClass(cls);
}

void TNodeObject::SetCNI(int32_t index) {
    TNodeClass cls = ClassAt(index);
    if (node_) node_->SetChildNodeClass(cls);
}

void TNodeObject::ReplaceNode(TNodeClass cls) {
    if (node_ && ownsNode_) node_->Delete();
    node_ = nullptr;
    ownsNode_ = false;
    nodeClass_ = cls;
    TNode* node = cls->Create("", nullptr);
    node_ = node;
    ownsNode_ = true;
    TNodeClass first = ClassAt(0);
    node->SetParentNodeClass(first);
    node->SetChildNodeClass(first);
    if (IsLoading()) node->SetStateDirect(node->State() + nsLoading);
}

// ---- Streaming hooks ----

void TNodeObject::WriteState(TComponentWriter& writer) {
    if (!node_) {
        TComponent::WriteState(writer);
        return;
    }
    const TNodeState saved = node_->State();
    node_->SetStateDirect((saved - TNodeState{nsFocused, nsCopied, nsLoaded, nsModified, nsEditing}) + nsSaving);
    try {
        node_->DoExpand(true, false);
        if (!rootObject_) RebuildNodeList();
        TComponent::WriteState(writer);
    } catch (...) {
        node_->SetStateDirect(saved);
        throw;
    }
    node_->SetStateDirect(saved);
}

// The child objects belong to this object and go with the top object when it is freed.
void TNodeObject::GetChildren(const std::function<void(TComponent*)>& proc) {
    if (!node_) return;
    TNodeObject* top = TopObject();
    for (int i = 0; i < node_->ChildCount(); ++i) {
        auto* child = new TNodeObject(node_->Child(i), this);
        child->SetRootObject(top);
        proc(child);
    }
}

void TNodeObject::ReadStart(TComponent* parent) {
    if (TNodeObject* enclosing = AsNodeObject(parent)) SetRootObject(enclosing);
    if (!node_) {
        ReplaceNode(rootObject_ ? ClassAt(0) : &TNode::StaticClass());
        return;
    }
    node_->SetStateDirect(node_->State() + nsLoading);
    TNodeClass first = ClassAt(0);
    node_->SetParentNodeClass(first);
    node_->SetChildNodeClass(first);
}

// From here on the node belongs to its parent node.
void TNodeObject::ReadEnd(TComponent* parent) {
    TNodeObject* enclosing = AsNodeObject(parent);
    if (!enclosing || !enclosing->node_ || !node_) return;
    node_->SetParent(enclosing->node_);
    ownsNode_ = false;
}

void TNodeObject::Loaded() {
    TComponent::Loaded();
    if (!rootObject_) SetNodeSaveMode(0);
    if (!node_) return;
    const TNodeState dropped{nsSelected, nsCopied, nsLoaded, nsLocked, nsSaving, nsLoading, nsEditing};
    node_->SetState((node_->State() - dropped) + nsLoaded);
    node_->SetOption(node_->Option() + noCanDelete);
    node_->UpdateBitmap();
    node_->AfterLoad();
}
