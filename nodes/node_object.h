// TNodeObject: the streamable component that carries one node through a component stream, one
// record per node. The object of a stream's top node also keeps the stream's class list
// (NodeList), through which all records name their node's class by index.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "base/component.h"
#include "base/string_list.h"
#include "node.h"

class TNodeObject : public TComponent {
public:
    // An object carrying Node (none for reading); it does not free a node handed in here.
    explicit TNodeObject(TNode* node = nullptr, TComponent* owner = nullptr);
    // Frees the node only when the object created it and nobody took it over: a node read
    // into a parent belongs to that parent, the top node to whoever calls ReleaseNode.
    ~TNodeObject() override;

    static const TClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }

    // Node objects come from a pool of their own: a read makes one per record and walks over
    // all of them at its end, which then reads memory in order instead of jumping between the
    // records' texts.
    static void* operator new(size_t size);
    static void operator delete(void* object, size_t size);

    TNode* Node() const { return node_; }
    // Hands the node to the caller, who frees it from now on.
    TNode* ReleaseNode();

    // For the object of a child node: while writing, the object of the stream's top node; while
    // reading, the object of the enclosing record. Class lookups follow it up to the top object.
    TNodeObject* RootObject() const { return rootObject_; }
    void SetRootObject(TNodeObject* root);

    // The class list: class names with a usage count while writing, resolved against the
    // registry when read. Created on first access.
    TStringList& NodeList();
    // The class at Index: none for Index < 0; TNode while there is no class list. Resolves the
    // list first (ENodeNotRegistered for a name that is not registered); an index beyond the
    // list is a damaged stream (EReadError 65454).
    TNodeClass ClassAt(int index);
    // The position of Class's name in the class list; -1 for none or when absent.
    int IndexOfClass(TNodeClass cls) const;
    // Clear; "TNode" with count 0; then the class, parent class and child class of the node and
    // every descendant (collapsed ones included, children filled on demand) counted; sorted by
    // count, highest first.
    void RebuildNodeList();

    // Published properties.
    int32_t SaveMode() const;
    void SetSaveMode(int32_t mode);
    std::vector<std::string> NodeListLines() const;
    void SetNodeListLines(const std::vector<std::string>& lines);
    std::string NodeClassName() const;
    // Replaces the node by a new one of the registered class Name; raises EAbort when no such
    // class is registered.
    void SetNodeClassName(const std::string& name);
    int32_t NI() const { return IndexOfClass(CurrentClass()); }
    void SetNI(int32_t index);
    int32_t PNI() const { return node_ ? IndexOfClass(node_->ParentNodeClass()) : -1; }
    void SetPNI(int32_t index);
    int32_t CNI() const { return node_ ? IndexOfClass(node_->ChildNodeClass()) : -1; }
    void SetCNI(int32_t index);

    // Streaming hooks.
    void WriteState(TComponentWriter& writer) override;
    void GetChildren(const std::function<void(TComponent*)>& proc) override;
    void ReadStart(TComponent* parent) override;
    void ReadEnd(TComponent* parent) override;
    void Loaded() override;

private:
    TNodeObject* TopObject() const { return top_ ? top_ : const_cast<TNodeObject*>(this); }
    TNodeClass CurrentClass() const { return node_ ? node_->NodeClass() : nodeClass_; }
    void ResolveNodeList();
    // Frees the node when owned and creates one of Class, as streams create nodes.
    void ReplaceNode(TNodeClass cls);

    TNode* node_ = nullptr;
    bool ownsNode_ = false;
    TNodeClass nodeClass_ = nullptr;
    std::unique_ptr<TStringList> nodeList_;
    std::vector<TNodeClass> resolvedClasses_;
    bool resolved_ = false;
    TNodeObject* rootObject_ = nullptr;
    TNodeObject* top_ = nullptr;  // the end of the root object chain, kept to avoid the walk
};

// Enters TNodeObject among the classes the component reader creates by name; done by every
// node stream operation before reading.
void InitNodeStreaming();
