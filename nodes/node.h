// TNode: the one tree element that carries all of the program's data. A node owns its
// children, has a caption, a symbol number, option and state sets, optional "name=value"
// values and an untyped data pointer, and keeps running counters of its descendants and of
// the rows shown below it, so that a grid maps rows to nodes without walking the tree.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/exception.h"
#include "base/persistent.h"
#include "base/small_set.h"
#include "base/string_list.h"

class TNode;
class TStream;
class TClipboard;

enum TNodeStateItem {
    nsExpanded, nsSelected, nsReadOnly, nsFocused, nsCopied, nsLoaded,
    nsLocked, nsSaving, nsLoading, nsModified, nsEditing, nsRoot
};
using TNodeState = TSmallSet<TNodeStateItem>;

enum TNodeOptionItem {
    noCanDelete, noCanMove, noCanCopy, noCanPaste, noCanSort, noHasMenu,
    noHasEditMenu, noCanSaving, noCanLoading, noNotifyRoot
};
using TNodeOption = TSmallSet<TNodeOptionItem>;

// Notification codes passed to Notify.
enum TNodeCode : uint8_t {
    ncRemoved, ncInserted, ncText, ncBitmap, ncExpanded, ncFocused, ncSelected,
    ncStateFlags, ncOption, ncValues, ncMoved, ncModified
};

// Node messages: 0x900-0x9FF go to the control that shows the tree, 0xA01 and up are asked
// of the nodes by that control.
constexpr unsigned NM_NODEREDRAW = 0x901;
constexpr unsigned NM_NODEUPDATE = 0x902;
constexpr unsigned NM_NODEREFRESH = 0x903;
constexpr unsigned NM_NODECHANGED = 0x904;
constexpr unsigned NM_NODEBEGINUPDATE = 0x905;
constexpr unsigned NM_NODEENDUPDATE = 0x906;
constexpr unsigned NM_NODEMENU = 0xA01;

// InsertNode modes (flags).
constexpr uint8_t imFirst = 1;     // insert as first child
constexpr uint8_t imLast = 2;      // append as last child
constexpr uint8_t imChild = 4;     // insert as a child of the addressed node, not before it
constexpr uint8_t imIntoSelf = 8;  // insert into this node rather than into Root

// ForEach flags.
constexpr unsigned feCollapsed = 1;    // descend into collapsed nodes too
constexpr unsigned feReverse = 2;      // children in reverse order, each subtree before its child
constexpr unsigned feSelf = 4;         // test the start node first
constexpr unsigned feExpandOnDemand = 8;  // lock and DoExpand(true, false) before the children
constexpr unsigned feDirect = 16;      // direct children only

// The record NM_NODECHANGED points to.
struct TNodeChange {
    TNode* Node;
    TNodeCode Code;
    intptr_t Param;
};

struct TNodeMessage {
    unsigned Msg;
    intptr_t WParam;
    intptr_t LParam;
    intptr_t Result;
};

// A control that shows a node tree. A root node whose state has nsRoot and whose NodeData is
// a live TNodeControl (as a TNodeControl*) is a control root: it receives the node messages
// 0x900-0x9FF of its tree. Live controls are tracked so that the untyped NodeData can be told
// apart from other owner data.
class TNodeControl {
public:
    TNodeControl();
    virtual ~TNodeControl();
    TNodeControl(const TNodeControl&) = delete;
    TNodeControl& operator=(const TNodeControl&) = delete;
    virtual intptr_t NodeMessage(TNode* node, unsigned msg, intptr_t wParam, intptr_t lParam) = 0;
    // The control held in Data, or null when Data is no live control.
    static TNodeControl* FromData(void* data);
};

// A node class reference: its name, base, published properties and virtual constructor.
struct TNodeClassInfo : TClassInfo {
    std::function<TNode*()> NewNode;                // a bare instance, before Create
    std::function<std::string()> DefaultTextFunc;  // empty: the class name
    std::string DefaultText() const { return DefaultTextFunc ? DefaultTextFunc() : Name; }
    // The virtual constructor: a new node of this class, initialised as Create describes.
    TNode* Create(const std::string& text = "", void* nodeData = nullptr) const;
};
using TNodeClass = const TNodeClassInfo*;

// Receives every node change; the process-wide change link plugs itself in here.
class TNodeChangeSink {
public:
    virtual ~TNodeChangeSink() = default;
    virtual void NotifyChange(TNode* node, TNodeCode code, intptr_t param) = 0;
    virtual void NotifyRootChange(TNode* root, TNode* node, intptr_t param, TNodeCode code) = 0;
    virtual void RemoveNode(TNode* node) = 0;
};
TNodeChangeSink* SetNodeChangeSink(TNodeChangeSink* sink);

class ENodeError : public Exception {
public:
    using Exception::Exception;
};

// How many levels a tree may have, the top node counted as the first: as deep as the component
// reader reads records back. Inserting and saving refuse deeper trees (message 65276).
constexpr int MaxNodeLevels = 256;
// The number of levels of Node's subtree (1 for a node without children); counted without
// recursion, so that any tree can be measured.
int SubtreeLevels(const TNode* node);

// Typed values kept in a node's Values list.
enum TNodeValueKind { vkNil, vkInteger, vkBoolean, vkFloat, vkShortString, vkPChar, vkString };
struct TNodeValue {
    TNodeValueKind Kind = vkNil;
    int32_t Integer = 0;
    bool Boolean = false;
    double Float = 0;
    std::string String;

    static TNodeValue Nil() { return {}; }
    static TNodeValue Of(int32_t v) { TNodeValue r; r.Kind = vkInteger; r.Integer = v; return r; }
    static TNodeValue OfBool(bool v) { TNodeValue r; r.Kind = vkBoolean; r.Boolean = v; return r; }
    static TNodeValue Of(double v) { TNodeValue r; r.Kind = vkFloat; r.Float = v; return r; }
    static TNodeValue Of(std::string v, TNodeValueKind kind = vkString) {
        TNodeValue r; r.Kind = kind; r.String = std::move(v); return r;
    }
};

class TNode : public TPersistent {
public:
    ~TNode() override;
    TNode(const TNode&) = delete;
    TNode& operator=(const TNode&) = delete;

    static const TNodeClassInfo& StaticClass();
    const TClassInfo& ClassType() const override { return StaticClass(); }
    TNodeClass NodeClass() const { return static_cast<TNodeClass>(&ClassType()); }

    // Creates a node of class T initialised as the virtual constructor describes.
    template <class T>
    static T* Create(const std::string& text = "", void* nodeData = nullptr) {
        return static_cast<T*>(T::StaticClass().Create(text, nodeData));
    }

    // Fields.
    TNode* Parent() const { return parent_; }
    int Count() const { return count_; }
    int VisibleCount() const { return visibleCount_; }
    void* NodeData() const { return nodeData_; }
    void SetNodeData(void* data) { nodeData_ = data; }
    TNodeState State() const { return state_; }
    void SetState(TNodeState value);
    // Changes the state without counters, notification or symbol update.
    void SetStateDirect(TNodeState value) { state_ = value; }
    TNodeOption Option() const { return option_; }
    void SetOption(TNodeOption value);
    TNodeOption DefaultOption() const { return defaultOption_; }
    int32_t Bitmap() const { return bitmap_; }
    void SetBitmap(int32_t value);
    TNodeClass ParentNodeClass() const { return parentNodeClass_; }
    void SetParentNodeClass(TNodeClass cls) { parentNodeClass_ = cls; }
    TNodeClass ChildNodeClass() const { return childNodeClass_; }
    void SetChildNodeClass(TNodeClass cls) { childNodeClass_ = cls; }

    std::string Text() const { return GetText(-1); }
    void SetText(const std::string& value) { SetText(-1, value); }
    // The Values list, created on first access.
    TStringList& Values();
    bool HasValues() const { return values_ != nullptr; }

    // Children.
    int ChildCount() const { return static_cast<int>(children_ ? children_->size() : 0); }
    TNode* Child(int index) const;
    bool HasChildList() const { return children_ != nullptr; }

    // Virtual operations.
    void AssignTo(TPersistent* dest) override;
    void Assign(TPersistent* source) override;
    virtual void SetParent(TNode* newParent);
    virtual char GetSeparator() const;
    virtual void SetSeparator(char value);
    virtual std::string GetText(int index) const;
    virtual void SetText(int index, const std::string& value);
    virtual void Notify(TNode* node, TNodeCode code, intptr_t param);
    virtual void AfterLoad();
    virtual void InitNode();
    virtual TNode* Clone();
    virtual int Compare(const TNode* other, int index) const;
    virtual void Delete();
    virtual bool Sort(int index);
    virtual void ClearModified();
    virtual bool HasChildren() const { return ChildCount() > 0; }
    virtual bool IsValuesStored() const;
    virtual bool CanAccept(const TNode* child) const;
    virtual bool CanInsertInto(const TNode* newParent) const;
    virtual void Clear();

    // Overridable hooks.
    virtual void UpdateBitmap();
    virtual void DoExpand(bool expanding, bool recurse) {}
    virtual bool TextChanged();
    // Handles node messages sent to this node; the base answers NM_NODEMENU and passes the
    // rest to DefaultHandler.
    virtual void Dispatch(TNodeMessage& message);
    // Id of the registered clipboard format "Node Object" on the process-wide clipboard.
    static unsigned ClipboardFormat();

    // Placement and walking.
    TNode* InsertNode(int index, TNode* node, uint8_t mode);
    void Expand(bool recurse);
    void Collapse(bool recurse);
    TNode* ForEach(const std::function<bool(TNode*)>& callback, unsigned flags);
    TNode* Root() const;
    TNode* TopNode() const;
    int Level() const;
    int IndexInParent() const;
    TNode* NodeAt(int index) const;
    TNode* VisibleNodeAt(int index) const;
    int VisibleIndex() const;
    bool IsVisible() const;
    bool IsControlRoot() const;
    std::string Path() const;
    TNode* FindPath(const std::string& path, bool expandOnTheWay);
    TNode* ForcePath(const std::string& path, bool lastIsValue, TNodeClass nodeClass);
    bool IsInSubtree(const TNode* other) const;

    // Typed values.
    void SetValue(const std::string& name, const TNodeValue& value);
    // Reads into Value by its kind; leaves it unchanged when the entry is missing or empty.
    void GetValue(const std::string& name, TNodeValue& value) const;
    int IndexOfName(const std::string& name) const;

    intptr_t SendNodeMessage(unsigned msg, intptr_t wParam, intptr_t lParam);
    static bool CheckInsert(const TNode* newParent, const TNode* node, bool raise);

    // Clipboard copy and paste of the subtree under the "Node Object" format.
    void CopyToClipboard(TClipboard& clipboard);
    void PasteFromClipboard(TClipboard& clipboard);

    // A global handler for NM_NODEMENU; the program installs none.
    static std::function<bool(TNode*, intptr_t)> NodeMenuHandler;

protected:
    TNode();
    // Runs the virtual constructor's initialisation on a bare instance.
    void Construct(const std::string& text, void* nodeData);
    // Unhandled messages: 0x900-0x9FF go to Root's control, the rest yield 0.
    void DefaultHandler(TNodeMessage& message);

    friend struct TNodeClassInfo;
    template <class T>
    friend TNodeClassInfo MakeNodeClass(std::string name, const TClassInfo* parent, std::vector<TPropInfo> props);

private:
    void AddCounts(int count, int visible);
    void RemoveFromChildren(TNode* node);
    void InsertChildAt(int index, TNode* node);
    void PlaceChild(TNode* node);
    int SortedPosition(const TNode* node) const;
    bool InOrderAt(int index) const;
    bool ChildrenInOrder() const;
    bool SortChildren(int index);
    TNode* ForEachIn(const std::function<bool(TNode*)>& callback, unsigned flags);
    void ValuesChanged();

    std::unique_ptr<std::string> text_;
    std::unique_ptr<std::vector<TNode*>> children_;
    TNodeState state_;
    TNode* parent_ = nullptr;
    int32_t count_ = 0;
    int32_t visibleCount_ = 0;
    void* nodeData_ = nullptr;
    int32_t bitmap_ = 0;
    TNodeOption option_;
    TNodeOption defaultOption_;
    std::unique_ptr<TStringList> values_;
    TNodeClass parentNodeClass_ = nullptr;
    TNodeClass childNodeClass_ = nullptr;
    // Every child is known not to sort after the one that follows it (Compare with index -1),
    // so that sorted insertion can halve the list instead of scanning it; cleared by anything
    // that may have put the children out of order (see SortedPosition).
    bool childrenInOrder_ = true;
    // Set by InsertNode while the node already sits in its new parent's list and SetParent has
    // still to run, so that SetParent need not search the list for it.
    bool placed_ = false;
    // Set while the node is being destroyed: its own listeners hear ncRemoved once, from the
    // change link's removal of their registrations.
    bool destroying_ = false;
};

// Builds the class reference of node class T. Subclasses keep a public default constructor
// for this; everything else creates nodes through Create. Props are T's own published
// properties, which follow those of Parent.
template <class T>
TNodeClassInfo MakeNodeClass(std::string name, const TClassInfo* parent, std::vector<TPropInfo> props) {
    TNodeClassInfo info;
    info.Name = std::move(name);
    info.Parent = parent;
    info.Props = std::move(props);
    info.NewNode = [] { return static_cast<TNode*>(new T()); };
    return info;
}

// The process-wide save mode of node streams, normally 0. While it is non-zero, Text, Option,
// State, Bitmap and Values are not written and IsValuesStored is false.
int NodeSaveMode();
void SetNodeSaveMode(int mode);

// Names of the state and option elements, in bit order, as streams write them.
const std::vector<std::string>& NodeStateNames();
const std::vector<std::string>& NodeOptionNames();
