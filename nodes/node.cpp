#include "node.h"

#include <algorithm>
#include <set>
#include <utility>

#include "base/clipboard.h"
#include "base/format.h"
#include "base/string_ids.h"
#include "node_stream.h"

namespace {

TNodeChangeSink* changeSink = nullptr;
int saveMode = 0;

std::set<TNodeControl*>& LiveControls() {
    static std::set<TNodeControl*> controls;
    return controls;
}

const TNodeOption createdOptions{noCanDelete, noCanMove,   noCanCopy,     noCanPaste,  noCanSort,
                                 noHasMenu,   noHasEditMenu, noCanSaving, noCanLoading};

std::vector<std::string> SplitAt(const std::string& text, char separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        size_t pos = text.find(separator, start);
        parts.push_back(text.substr(start, pos == std::string::npos ? std::string::npos : pos - start));
        if (pos == std::string::npos) return parts;
        start = pos + 1;
    }
}

}  // namespace

// ---- Node controls, change sink, save mode ----

TNodeControl::TNodeControl() { LiveControls().insert(this); }
TNodeControl::~TNodeControl() { LiveControls().erase(this); }

TNodeControl* TNodeControl::FromData(void* data) {
    auto& controls = LiveControls();
    auto it = controls.find(static_cast<TNodeControl*>(data));
    return it == controls.end() ? nullptr : *it;
}

TNodeChangeSink* SetNodeChangeSink(TNodeChangeSink* sink) {
    TNodeChangeSink* previous = changeSink;
    changeSink = sink;
    return previous;
}

int NodeSaveMode() { return saveMode; }
void SetNodeSaveMode(int mode) { saveMode = mode; }

const std::vector<std::string>& NodeStateNames() {
    static const std::vector<std::string> names{
        "nsExpanded", "nsSelected", "nsReadOnly", "nsFocused", "nsCopied", "nsLoaded",
        "nsLocked",   "nsSaving",   "nsLoading",  "nsModified", "nsEditing", "nsRoot"};
    return names;
}

const std::vector<std::string>& NodeOptionNames() {
    static const std::vector<std::string> names{
        "noCanDelete",   "noCanMove",   "noCanCopy",    "noCanPaste", "noCanSort",
        "noHasMenu",     "noHasEditMenu", "noCanSaving", "noCanLoading", "noNotifyRoot"};
    return names;
}

// ---- Class reference and construction ----

TNode* TNodeClassInfo::Create(const std::string& text, void* nodeData) const {
    TNode* node = NewNode();
    try {
        node->Construct(text, nodeData);
    } catch (...) {
        delete node;
        throw;
    }
    return node;
}

const TNodeClassInfo& TNode::StaticClass() {
    static const TNodeClassInfo info =
        MakeNodeClass<TNode>("TNode", &TPersistent::StaticClass(), NodePublishedProps());
    return info;
}

std::function<bool(TNode*, intptr_t)> TNode::NodeMenuHandler;

TNode::TNode() = default;

void TNode::Construct(const std::string& text, void* nodeData) {
    SetText(-1, text);
    nodeData_ = nodeData;
    SetState(TNodeState{nsReadOnly});
    SetBitmap(-3);
    SetOption(createdOptions);
    childNodeClass_ = NodeClass();
    parentNodeClass_ = &TNode::StaticClass();
    InitNode();
    defaultOption_ = option_;
}

TNode::~TNode() {
    destroying_ = true;
    Clear();
    if (parent_)
        SetParent(nullptr);
    else
        Notify(this, ncRemoved, 0);
    if (changeSink) changeSink->RemoveNode(this);
}

void TNode::Delete() { delete this; }

void TNode::InitNode() {}

void TNode::AfterLoad() { state_ -= nsModified; }

// ---- Simple properties ----

TNode* TNode::Child(int index) const {
    if (!children_ || index < 0 || index >= static_cast<int>(children_->size())) return nullptr;
    return (*children_)[index];
}

void TNode::SetOption(TNodeOption value) {
    if (value == option_) return;
    option_ = value;
    Notify(this, ncOption, 0);
}

void TNode::SetBitmap(int32_t value) {
    if (value == bitmap_) return;
    bitmap_ = value;
    Notify(this, ncBitmap, 0);
}

void TNode::UpdateBitmap() {
    if (bitmap_ < 0) SetBitmap(state_.Has(nsFocused) ? -4 : -3);
}

char TNode::GetSeparator() const { return parent_ ? parent_->GetSeparator() : '\\'; }

void TNode::SetSeparator(char value) {
    if (parent_ && value != GetSeparator()) parent_->SetSeparator(value);
}

std::string TNode::GetText(int index) const {
    if (index < 1 && text_) return *text_;
    return std::string();
}

void TNode::SetText(int index, const std::string& value) {
    if (index >= 1 || value == GetText(index)) return;
    if (value.empty())
        text_.reset();
    else
        text_ = std::make_unique<std::string>(value);
    TextChanged();
    Notify(this, ncText, 0);
}

bool TNode::TextChanged() {
    if (state_.HasAny({nsLocked, nsSaving, nsLoading})) return false;
    bool wasModified = state_.Has(nsModified);
    SetState(state_ + nsModified);
    return !wasModified && state_.Has(nsModified);
}

// ---- State and counters ----

// Adds Count to the descendant counters of this node and all its ancestors, and Visible to
// the visible counters upwards as long as the nodes are expanded.
void TNode::AddCounts(int count, int visible) {
    for (TNode* p = this; p; p = p->parent_) p->count_ += count;
    for (TNode* p = this; p && p->state_.Has(nsExpanded); p = p->parent_) p->visibleCount_ += visible;
}

void TNode::SetState(TNodeState value) {
    if (value.Has(nsLocked) && !state_.Has(nsExpanded)) value -= nsExpanded;
    if (value.Has(nsRoot)) value += nsExpanded;
    if (value == state_) return;

    const TNodeState old = state_;
    const bool collapsing = old.Has(nsExpanded) && !value.Has(nsExpanded);
    const bool expanding = !old.Has(nsExpanded) && value.Has(nsExpanded);
    int rows = 0;
    if (collapsing) {
        rows = visibleCount_;
        AddCounts(0, -rows);  // this node is still expanded here
    }
    state_ = value;
    if (expanding) {
        for (int i = 0; i < ChildCount(); ++i) rows += (*children_)[i]->visibleCount_ + 1;
        AddCounts(0, rows);
    }

    if (collapsing || expanding) Notify(this, ncExpanded, rows);
    if (old.Has(nsSelected) != value.Has(nsSelected)) Notify(this, ncSelected, 0);
    if (old.Has(nsFocused) != value.Has(nsFocused)) Notify(this, ncFocused, 0);
    if (!old.Has(nsModified) && value.Has(nsModified)) Notify(this, ncModified, 0);
    const TNodeState flags{nsReadOnly, nsEditing, nsRoot};
    if ((old * flags) != (value * flags)) Notify(this, ncStateFlags, reinterpret_cast<intptr_t>(&old));
    UpdateBitmap();
}

// ---- Placement ----

void TNode::RemoveFromChildren(TNode* node) {
    if (!children_) return;
    // Children are mostly removed from the end (Clear), so look there first.
    auto it = std::find(children_->rbegin(), children_->rend(), node);
    if (it != children_->rend()) children_->erase(std::next(it).base());
    if (children_->empty()) children_.reset();
}

void TNode::InsertChildAt(int index, TNode* node) {
    if (!children_) {
        children_ = std::make_unique<std::vector<TNode*>>();
        childrenInOrder_ = true;
    }
    if (index < 0 || index > static_cast<int>(children_->size())) index = static_cast<int>(children_->size());
    children_->insert(children_->begin() + index, node);
    if (childrenInOrder_) childrenInOrder_ = InOrderAt(index);
}

// Where SetParent puts a node that is not in the list yet: what InsertNode(-1, Node, 12) does
// for a node whose parent is already this one, without searching the list for it.
void TNode::PlaceChild(TNode* node) {
    if (!node->option_.Has(noCanSort)) return InsertChildAt(-1, node);
    const int at = SortedPosition(node);
    if (at < 0 && childrenInOrder_ && children_ && !children_->empty()) {
        // The usual case of a stream read in text order: SortedPosition found that the last
        // child does not sort after Node, which also shows that the children stay in order.
        children_->push_back(node);
        return;
    }
    InsertChildAt(at, node);
}

// The position of Node among the children in case-insensitive text order, after equal texts:
// the first child that sorts after Node; -1 when it belongs at the end.
//
// While the children are known to be in order (childrenInOrder_), "sorts after Node" is false
// up to some child and true from there on, so the first true one is found by halving the list,
// and a node that the last child does not sort after (a stream read in order) goes to the end
// after one comparison. This holds because Compare is an order: consistent, and transitive
// across siblings. The flag is kept by InsertChildAt, which compares each new child with its
// two neighbours, is kept by removals, recomputed by Sort, and cleared by Notify when a child
// announces a change that may move it (its text, for instance). Otherwise every child is
// compared, as before.
int TNode::SortedPosition(const TNode* node) const {
    const int count = ChildCount();
    if (count == 0) return -1;
    const auto& list = *children_;
    if (childrenInOrder_) {
        if (node->Compare(list.back(), -1) <= 0) return -1;
        auto first = std::partition_point(list.begin(), list.end(),
                                          [node](const TNode* child) { return node->Compare(child, -1) <= 0; });
        return static_cast<int>(first - list.begin());
    }
    for (int i = 0; i < count; ++i)
        if (node->Compare(list[i], -1) > 0) return i;
    return -1;
}

// Whether the child at Index is in order with its neighbours: the one before does not sort
// after it, and it does not sort after the one behind it.
bool TNode::InOrderAt(int index) const {
    const auto& list = *children_;
    const TNode* node = list[static_cast<size_t>(index)];
    if (index > 0 && node->Compare(list[static_cast<size_t>(index) - 1], -1) > 0) return false;
    if (index + 1 < static_cast<int>(list.size()) && list[static_cast<size_t>(index) + 1]->Compare(node, -1) > 0)
        return false;
    return true;
}

bool TNode::ChildrenInOrder() const {
    for (int i = 1; i < ChildCount(); ++i)
        if ((*children_)[i]->Compare((*children_)[i - 1], -1) > 0) return false;
    return true;
}

void TNode::SetParent(TNode* newParent) {
    if (newParent == parent_) return;
    if (newParent) CheckInsert(newParent, this, true);
    if (TNode* old = parent_) {
        const intptr_t row = IsVisible() ? VisibleIndex() : -1;
        old->RemoveFromChildren(this);
        old->AddCounts(-(count_ + 1), -(visibleCount_ + 1));
        old->UpdateBitmap();
        // Told while the node still names its old parent, so that the notice reaches the
        // control root and the top node's listeners of the tree it leaves.
        Notify(this, ncRemoved, row);
        parent_ = nullptr;
    }
    parent_ = newParent;
    if (!newParent) return;
    // A node that InsertNode placed is in the new parent's list already.
    if (!std::exchange(placed_, false)) newParent->PlaceChild(this);
    newParent->AddCounts(count_ + 1, visibleCount_ + 1);
    newParent->UpdateBitmap();
    Notify(this, ncInserted, 0);
}

TNode* TNode::InsertNode(int index, TNode* node, uint8_t mode) {
    if (!node) return nullptr;
    if (index < 0 || (mode & imIntoSelf)) {
        TNode* target = (mode & (imChild | imIntoSelf)) ? this : Root();
        int oldIndex = -1;
        if (node->parent_ && node->parent_ != target) {
            CheckInsert(target, node, true);
        } else if (target->children_) {
            auto& list = *target->children_;
            auto it = std::find(list.begin(), list.end(), node);
            if (it != list.end()) {
                oldIndex = static_cast<int>(it - list.begin());
                list.erase(it);
            }
        }
        int position = -1;
        if (index < 0) {
            if (mode & imFirst)
                position = 0;
            else if (!(mode & imLast) && node->option_.Has(noCanSort))
                position = target->SortedPosition(node);
        } else {
            position = index;
        }
        target->InsertChildAt(position, node);
        if (node->parent_ != target) {
            node->placed_ = true;
            try {
                node->SetParent(target);
            } catch (...) {
                node->placed_ = false;
                target->RemoveFromChildren(node);
                throw;
            }
            node->placed_ = false;
        } else if (oldIndex >= 0) {
            // Only a node that already was in the list has moved among its siblings.
            node->Notify(node, ncMoved, oldIndex);
        }
        return node;
    }

    TNode* root = Root();
    TNode* addressed = root->NodeAt(std::min(index, root->count_));
    if (mode & imChild) return addressed->InsertNode(-1, node, mode);
    if (addressed == node) return node;
    TNode* parent = addressed == root ? root : addressed->parent_;
    CheckInsert(parent, node, true);
    node->SetParent(nullptr);
    parent->InsertChildAt(addressed == root ? 0 : addressed->IndexInParent(), node);
    node->placed_ = true;
    try {
        node->SetParent(parent);
    } catch (...) {
        node->placed_ = false;
        parent->RemoveFromChildren(node);
        throw;
    }
    node->placed_ = false;
    return node;
}

bool TNode::CheckInsert(const TNode* newParent, const TNode* node, bool raise) {
    if (!node || !newParent) return true;
    // A node placed below itself would make the tree a cycle, whatever its class.
    if (node->IsInSubtree(newParent)) {
        if (raise) throw ENodeError(sid::NodeIntoItself);
        return false;
    }
    // A tree deeper than a node file can hold could be saved but never read back. Nodes being
    // read are left to the reader, which stops at the same depth (and a walk over every
    // subtree it inserts would cost a load dearly): they carry nsLoading from the start of
    // their record, or nsSaving from the state stored with them, which replaced it.
    if (!node->state_.HasAny({nsLoading, nsSaving}) &&
        newParent->Level() + 1 + SubtreeLevels(node) > MaxNodeLevels) {
        if (raise) throw ENodeError(sid::NodeTooDeep, {int64_t(MaxNodeLevels)});
        return false;
    }
    if (&node->ClassType() == &TNode::StaticClass()) return true;
    if (node->CanInsertInto(newParent) && newParent->CanAccept(node)) return true;
    if (raise) throw ENodeError(sid::NodeCannotAssign, {node->ClassName(), newParent->ClassName()});
    return false;
}

bool TNode::CanAccept(const TNode* child) const {
    if (!child || !childNodeClass_) return true;
    return child->InheritsFrom(*childNodeClass_);
}

bool TNode::CanInsertInto(const TNode* newParent) const {
    if (!newParent || !parentNodeClass_) return true;
    if (newParent->InheritsFrom(*parentNodeClass_)) return true;
    if (&newParent->ClassType() == &ClassType()) return true;
    if (newParent->IsControlRoot()) return true;
    return newParent->parent_ == nullptr;
}

void TNode::Clear() {
    SetState(state_ - nsExpanded);
    // The last child goes first, so that the rows of the earlier ones stay put.
    while (children_ && !children_->empty()) delete children_->back();
    children_.reset();
}

// ---- Expanding and walking ----

void TNode::Expand(bool recurse) {
    if (!HasChildren()) return;
    SendNodeMessage(NM_NODEUPDATE, 1, 0);
    DoExpand(true, recurse);
    if (recurse)
        for (int i = 0; i < ChildCount(); ++i) (*children_)[i]->Expand(true);
    SetState(state_ + nsExpanded);
    SendNodeMessage(NM_NODEUPDATE, 0, 0);
}

void TNode::Collapse(bool recurse) {
    SetState(state_ - nsExpanded);
    DoExpand(false, recurse);
    if (recurse)
        for (int i = 0; i < ChildCount(); ++i) (*children_)[i]->Collapse(true);
}

TNode* TNode::ForEach(const std::function<bool(TNode*)>& callback, unsigned flags) {
    if ((flags & feSelf) && callback(this)) return this;
    return ForEachIn(callback, flags);
}

// Visits the children of this node (and their subtrees) as the ForEach flags say.
TNode* TNode::ForEachIn(const std::function<bool(TNode*)>& callback, unsigned flags) {
    if (!(flags & feCollapsed) && !state_.Has(nsExpanded)) return nullptr;
    if (flags & feExpandOnDemand) {
        const TNodeState before = state_;
        state_ += nsLocked;
        DoExpand(true, false);
        state_ = (state_ - nsLocked) + (before * TNodeState{nsLocked});
    }
    const bool reverse = (flags & feReverse) != 0;
    const bool deep = !(flags & feDirect);
    // Walk a snapshot: a callback may move or delete the nodes it is shown.
    std::vector<TNode*> list = children_ ? *children_ : std::vector<TNode*>();
    if (reverse) std::reverse(list.begin(), list.end());
    for (TNode* child : list) {
        if (!reverse && callback(child)) return child;
        if (deep)
            if (TNode* found = child->ForEachIn(callback, flags)) return found;
        if (reverse && callback(child)) return child;
    }
    return nullptr;
}

TNode* TNode::TopNode() const {
    const TNode* n = this;
    while (n->parent_) n = n->parent_;
    return const_cast<TNode*>(n);
}

bool TNode::IsControlRoot() const {
    return state_.Has(nsRoot) && TNodeControl::FromData(nodeData_) != nullptr;
}

TNode* TNode::Root() const {
    for (const TNode* n = this; n; n = n->parent_)
        if (n->IsControlRoot()) return const_cast<TNode*>(n);
    return TopNode();
}

int TNode::Level() const {
    int level = 0;
    for (const TNode* n = parent_; n; n = n->parent_) ++level;
    return level;
}

int TNode::IndexInParent() const {
    if (!parent_ || !parent_->children_) return 0;
    const auto& list = *parent_->children_;
    return static_cast<int>(std::find(list.begin(), list.end(), this) - list.begin());
}

TNode* TNode::NodeAt(int index) const {
    const TNode* n = Root();
    if (index < 0 || index > n->count_) return nullptr;
    while (index > 0) {
        --index;  // step past N into its children
        for (const TNode* child : *n->children_) {
            if (index <= child->count_) {
                n = child;
                break;
            }
            index -= child->count_ + 1;
        }
    }
    return const_cast<TNode*>(n);
}

TNode* TNode::VisibleNodeAt(int index) const {
    const TNode* n = this;
    if (index < 0 || index > visibleCount_) return nullptr;
    while (index > 0) {
        --index;
        for (const TNode* child : *n->children_) {
            if (index <= child->visibleCount_) {
                n = child;
                break;
            }
            index -= child->visibleCount_ + 1;
        }
    }
    return const_cast<TNode*>(n);
}

int TNode::VisibleIndex() const {
    const TNode* root = Root();
    int row = 0;
    for (const TNode* n = this; n != root && n->parent_; n = n->parent_) {
        for (const TNode* sibling : *n->parent_->children_) {
            if (sibling == n) break;
            row += sibling->visibleCount_ + 1;
        }
        ++row;
    }
    return row;
}

bool TNode::IsVisible() const {
    for (const TNode* p = parent_; p; p = p->parent_)
        if (!p->state_.Has(nsExpanded)) return false;
    return true;
}

int SubtreeLevels(const TNode* node) {
    if (node->ChildCount() == 0) return 1;  // most nodes, and no list to walk
    int levels = 0;
    std::vector<std::pair<const TNode*, int>> pending{{node, 1}};
    while (!pending.empty()) {
        auto [n, level] = pending.back();
        pending.pop_back();
        levels = std::max(levels, level);
        for (int i = 0; i < n->ChildCount(); ++i) pending.emplace_back(n->Child(i), level + 1);
    }
    return levels;
}

bool TNode::IsInSubtree(const TNode* other) const {
    for (const TNode* n = other; n; n = n->parent_)
        if (n == this) return true;
    return false;
}

// ---- Paths ----

std::string TNode::Path() const {
    const char separator = GetSeparator();
    std::string path = Text();
    for (const TNode* n = parent_; n; n = n->parent_) path = n->Text() + separator + path;
    return path;
}

static TNode* FindChildByText(const TNode* node, const std::string& text) {
    for (int i = 0; i < node->ChildCount(); ++i)
        if (SameText(node->Child(i)->Text(), text)) return node->Child(i);
    return nullptr;
}

TNode* TNode::FindPath(const std::string& path, bool expandOnTheWay) {
    const char separator = GetSeparator();
    size_t start = path.find_first_not_of(separator);
    if (start == std::string::npos) return this;
    std::vector<std::string> segments = SplitAt(path.substr(start), separator);
    size_t i = 0;
    if (SameText(segments[0], Text())) i = 1;
    TNode* node = this;
    for (; i < segments.size(); ++i) {
        if (segments[i].empty()) break;
        if (!node->state_.Has(nsExpanded)) {
            if (expandOnTheWay) {
                node->Expand(false);
                node->SendNodeMessage(NM_NODEREFRESH, 0, 0);
            } else {
                node->DoExpand(true, false);
            }
        }
        node = FindChildByText(node, segments[i]);
        if (!node) return nullptr;
    }
    return node;
}

TNode* TNode::ForcePath(const std::string& path, bool lastIsValue, TNodeClass nodeClass) {
    const char separator = GetSeparator();
    std::string rest = Trim(path);
    if (!rest.empty() && rest[0] == separator) rest.erase(0, 1);
    if (lastIsValue) {
        size_t last = rest.rfind(separator);
        rest = last == std::string::npos ? std::string() : rest.substr(0, last);
    }
    if (!nodeClass) nodeClass = NodeClass();
    TNode* node = this;
    if (rest.empty()) return node;
    for (std::string segment : SplitAt(rest, separator)) {
        if (segment.empty()) break;
        if (segment.size() > 255) segment.resize(255);
        TNode* child = FindChildByText(node, segment);
        if (!child) {
            child = nodeClass->Create(segment, nullptr);
            try {
                node->InsertNode(-1, child, imChild);
            } catch (...) {
                delete child;
                throw;
            }
        }
        node = child;
    }
    return node;
}

// ---- Values ----

TStringList& TNode::Values() {
    if (!values_) {
        values_ = std::make_unique<TStringList>();
        values_->OnChange = [this](TStringList&) { ValuesChanged(); };
    }
    return *values_;
}

void TNode::ValuesChanged() { Notify(this, ncValues, 0); }

int TNode::IndexOfName(const std::string& name) const {
    if (!values_) return -1;
    for (int i = 0; i < values_->Count(); ++i) {
        const std::string& line = values_->Strings(i);
        size_t eq = line.find('=');
        if (eq != std::string::npos && SameText(Trim(line.substr(0, eq)), name)) return i;
    }
    return -1;
}

static std::string ValueText(const TNodeValue& value) {
    switch (value.Kind) {
        case vkInteger: return IntToStr(value.Integer);
        case vkBoolean: return value.Boolean ? "True" : "False";
        case vkFloat: return FloatToStr(value.Float);
        case vkShortString: return value.String.substr(0, 255);
        default: return value.String;
    }
}

void TNode::SetValue(const std::string& name, const TNodeValue& value) {
    const int index = IndexOfName(name);
    if (value.Kind == vkNil) {
        if (index < 0) return;
        values_->Delete(index);
        if (values_->Count() == 0) values_.reset();
        return;
    }
    const std::string line = Format("%s=%s", {name, ValueText(value)});
    if (index < 0)
        Values().Add(line);
    else if (values_->Strings(index) != line)
        values_->SetStrings(index, line);
}

void TNode::GetValue(const std::string& name, TNodeValue& value) const {
    const int index = IndexOfName(name);
    if (index < 0) return;
    const std::string& line = values_->Strings(index);
    const std::string text = line.substr(line.find('=') + 1);
    if (text.empty()) return;
    switch (value.Kind) {
        case vkInteger: {
            int64_t number;
            if (TryStrToInt(text, number) && number >= INT32_MIN && number <= INT32_MAX)
                value.Integer = static_cast<int32_t>(number);
            break;
        }
        case vkBoolean: value.Boolean = !(text[0] == 'F' || text[0] == 'f'); break;
        case vkFloat: {
            double number;
            if (TryStrToFloat(text, number)) value.Float = number;
            break;
        }
        case vkShortString: value.String = text.substr(0, 255); break;
        case vkPChar:
        case vkString: value.String = text; break;
        case vkNil: break;
    }
}

bool TNode::IsValuesStored() const {
    return saveMode == 0 && values_ && values_->Count() > 0;
}

// ---- Notification and messages ----

void TNode::Notify(TNode* node, TNodeCode code, intptr_t param) {
    if (node != this) return;
    // A changed node may now sort elsewhere among its siblings; placing, moving, expanding,
    // focusing and selecting do not change what Compare sees.
    if (parent_ && code != ncInserted && code != ncRemoved && code != ncMoved && code != ncExpanded &&
        code != ncFocused && code != ncSelected)
        parent_->childrenInOrder_ = false;
    // A node being destroyed leaves telling its own listeners to the removal of their
    // registrations, which calls each of them once with ncRemoved.
    if (changeSink && !(destroying_ && code == ncRemoved)) changeSink->NotifyChange(node, code, param);
    TNodeChange change{node, code, param};
    SendNodeMessage(NM_NODECHANGED, 0, reinterpret_cast<intptr_t>(&change));
    if (option_.Has(noNotifyRoot) && parent_) {
        TNode* top = TopNode();
        top->Notify(this, code, param);
        if (changeSink) changeSink->NotifyRootChange(top, this, param, code);
    }
}

intptr_t TNode::SendNodeMessage(unsigned msg, intptr_t wParam, intptr_t lParam) {
    TNodeMessage message{msg, wParam, lParam, 0};
    Dispatch(message);
    return message.Result;
}

void TNode::Dispatch(TNodeMessage& message) {
    if (message.Msg == NM_NODEMENU) {
        if (option_.Has(noHasMenu) && NodeMenuHandler && NodeMenuHandler(this, message.LParam))
            message.Result = 1;
        return;
    }
    DefaultHandler(message);
}

void TNode::DefaultHandler(TNodeMessage& message) {
    if (message.Msg < 0x900 || message.Msg > 0x9FF) return;
    TNode* root = Root();
    if (TNodeControl* control = root->IsControlRoot() ? TNodeControl::FromData(root->nodeData_) : nullptr)
        message.Result = control->NodeMessage(this, message.Msg, message.WParam, message.LParam);
}

unsigned TNode::ClipboardFormat() { return Clipboard().RegisterFormat("Node Object"); }

// ---- Comparing, sorting, copying ----

int TNode::Compare(const TNode* other, int index) const {
    if (!other) return 1;
    int result = CompareText(other->GetText(index), GetText(index));
    if (result == 0 && index >= 0) result = Compare(other, -1);
    return result;
}

bool TNode::Sort(int index) {
    bool moved = SortChildren(index);
    for (int i = 0; i < ChildCount(); ++i) moved = (*children_)[i]->Sort(index) || moved;
    return moved;
}

// Sorts the sortable children of this node alone; true when any of them moved.
bool TNode::SortChildren(int index) {
    if (ChildCount() < 2) return false;
    std::vector<TNode*> sorted;
    for (TNode* child : *children_)
        if (child->option_.Has(noCanSort)) sorted.push_back(child);
    auto before = [index](const TNode* a, const TNode* b) { return b->Compare(a, index) - a->Compare(b, index) < 0; };
    // A stable sort leaves children that are in order as they are; finding that out takes
    // one pass, which is all a Sort of an unchanged tree costs.
    if (!std::is_sorted(sorted.begin(), sorted.end(), before)) std::stable_sort(sorted.begin(), sorted.end(), before);
    bool moved = false;
    auto& list = *children_;
    for (int rank = 0; rank < static_cast<int>(sorted.size()); ++rank) {
        // The entries before Rank are the sorted ones placed so far, the others follow in their
        // previous order: the search starts at Rank and mostly ends there.
        auto it = std::find(list.begin() + rank, list.end(), sorted[rank]);
        const int current = static_cast<int>(it - list.begin());
        if (current == rank) continue;
        // Taking the child out and putting it back at Rank, moving only the entries between.
        std::rotate(list.begin() + rank, it, it + 1);
        sorted[rank]->Notify(sorted[rank], ncMoved, current);
        moved = true;
    }
    if (moved) childrenInOrder_ = ChildrenInOrder();
    return moved;
}

void TNode::ClearModified() {
    const bool tell = state_.Has(nsModified) && !state_.HasAny({nsSaving, nsLoading}) && !parent_;
    ForEach([](TNode* n) { n->state_ -= nsModified; return false; }, feSelf | feCollapsed);
    if (tell) Notify(this, ncModified, 0);
}

void TNode::Assign(TPersistent* source) {
    auto* node = dynamic_cast<TNode*>(source);
    if (!node) {
        TPersistent::Assign(source);
        return;
    }
    if (node == this) return;
    // Everything is taken from the source before this node's children go, since the source
    // may be one of them.
    const TNodeState state = (node->state_ - TNodeState{nsSelected, nsEditing}) + nsCopied;
    const TNodeOption option = node->option_;
    std::unique_ptr<TStringList> values;
    if (node->IsValuesStored()) {
        values = std::make_unique<TStringList>();
        values->Assign(node->values_.get());
    }
    node->DoExpand(true, false);
    std::vector<std::unique_ptr<TNode>> clones;
    for (int i = 0; i < node->ChildCount(); ++i) clones.emplace_back(node->Child(i)->Clone());
    Clear();
    values_.reset();
    SetState(state);
    SetOption(option);
    if (values) Values().Assign(values.get());
    for (size_t i = 0; i < clones.size(); ++i) {
        InsertNode(static_cast<int>(i), clones[i].get(), imChild | imIntoSelf);
        clones[i].release();
    }
}

void TNode::AssignTo(TPersistent* dest) {
    if (auto* list = dynamic_cast<TStringList*>(dest)) {
        ForEach([list](TNode* n) { list->AddObject(n->Path(), n); return false; }, feCollapsed);
        return;
    }
    if (auto* node = dynamic_cast<TNode*>(dest)) {
        node->Assign(this);
        return;
    }
    TPersistent::AssignTo(dest);
}
