#include "change_link.h"

#include <algorithm>
#include <memory>

namespace {

// The link lives from its first use to program end; once freed it is not made again.
struct TGlobalLink {
    std::unique_ptr<TNodeChangeLink> link;
    bool finished = false;
    ~TGlobalLink() {
        link.reset();
        finished = true;
    }
};

TGlobalLink& Global() {
    static TGlobalLink global;
    return global;
}

}  // namespace

TNodeChangeLink* NodeChangeLink() {
    TGlobalLink& global = Global();
    if (!global.link && !global.finished) global.link = std::make_unique<TNodeChangeLink>();
    return global.link.get();
}

bool RegisterChange(TNode* node, const TNodeChangeEvent& callback) {
    TNodeChangeLink* link = NodeChangeLink();
    return link && link->RegisterChange(node, callback);
}

bool UnregisterChange(TNode* node, const TNodeChangeEvent& callback) {
    TNodeChangeLink* link = NodeChangeLink();
    return link && link->UnregisterChange(node, callback);
}

TNodeChangeLink::TNodeChangeLink() { SetNodeChangeSink(this); }

TNodeChangeLink::~TNodeChangeLink() {
    closing_ = true;
    TNodeChangeSink* current = SetNodeChangeSink(nullptr);
    if (current != this) SetNodeChangeSink(current);
    records_.clear();
}

// Registrations are ordered by node, then by the callback's object, then by its code.
bool TNodeChangeLink::Less(const Record& a, const Record& b) {
    std::less<const void*> before;
    if (a.node != b.node) return before(a.node, b.node);
    if (a.callback.Object != b.callback.Object) return before(a.callback.Object, b.callback.Object);
    return std::less<TNodeChangeEvent::TCode>()(a.callback.Code, b.callback.Code);
}

std::pair<size_t, size_t> TNodeChangeLink::RangeOf(const TNode* node) const {
    auto byNode = [](const Record& r, const TNode* n) { return std::less<const void*>()(r.node, n); };
    auto first = std::lower_bound(records_.begin(), records_.end(), node, byNode);
    auto last = first;
    while (last != records_.end() && last->node == node) ++last;
    return {size_t(first - records_.begin()), size_t(last - records_.begin())};
}

bool TNodeChangeLink::IsRegistered(const Record& record) const {
    auto it = std::lower_bound(records_.begin(), records_.end(), record, Less);
    return it != records_.end() && !Less(record, *it);
}

void TNodeChangeLink::Changed() {
    if (OnChange) OnChange(*this);
}

bool TNodeChangeLink::RegisterChange(TNode* node, const TNodeChangeEvent& callback) {
    if (!node || !callback.Assigned() || closing_) return false;
    Record record{node, callback};
    auto it = std::lower_bound(records_.begin(), records_.end(), record, Less);
    if (it != records_.end() && !Less(record, *it)) return true;
    records_.insert(it, record);
    if (callback.Component) {
        try {
            callback.Component->FreeNotification(this);
        } catch (...) {
            // Being told of the component's end is a courtesy; the registration stands.
        }
    }
    Changed();
    return true;
}

bool TNodeChangeLink::UnregisterChange(TNode* node, const TNodeChangeEvent& callback) {
    auto [first, last] = RangeOf(node);
    auto begin = records_.begin() + first, end = records_.begin() + last;
    auto gone = std::remove_if(begin, end, [&](const Record& r) {
        return r.callback.Code == callback.Code && r.callback.Object == callback.Object;
    });
    if (gone == end) return false;
    records_.erase(gone, end);
    Changed();
    return true;
}

// Calls the callbacks registered for Registered, last to first, with Changed as the node.
// A callback may register or unregister others; only those still registered are called.
void TNodeChangeLink::CallEach(TNode* registered, TNode* changed, intptr_t param, TNodeCode code) {
    auto [first, last] = RangeOf(registered);
    if (first == last) return;
    std::vector<Record> visit(records_.begin() + first, records_.begin() + last);
    for (auto it = visit.rbegin(); it != visit.rend(); ++it)
        if (IsRegistered(*it)) it->callback(changed, param, code);
}

void TNodeChangeLink::NotifyChange(TNode* node, TNodeCode code, intptr_t param) {
    CallEach(node, node, param, code);
}

void TNodeChangeLink::NotifyRootChange(TNode* root, TNode* node, intptr_t param, TNodeCode code) {
    if (root != node) CallEach(root, node, param, code);
}

void TNodeChangeLink::RemoveNode(TNode* node) {
    bool removed = false;
    for (;;) {
        auto [first, last] = RangeOf(node);
        if (first == last) break;
        Record record = records_[last - 1];
        records_.erase(records_.begin() + (last - 1));
        removed = true;
        record.callback(node, 0, ncRemoved);
    }
    if (removed) Changed();
}

void TNodeChangeLink::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation != opRemove) return;
    bool removed = false;
    for (;;) {
        auto it = std::find_if(records_.rbegin(), records_.rend(),
                               [component](const Record& r) { return r.callback.Component == component; });
        if (it == records_.rend()) break;
        Record record = *it;
        records_.erase(std::next(it).base());
        removed = true;
        record.callback(record.node, 0, ncRemoved);
    }
    if (removed) Changed();
}
