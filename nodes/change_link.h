// The process-wide change link: lets any object follow the changes of particular nodes
// without the node knowing its followers. Every node's Notify passes its changes here, and a
// node's destruction tells its followers once more with ncRemoved.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "base/component.h"
#include "nodes/node.h"

// A callback as a method: the function that receives the change and the object it belongs to.
// Two callbacks are the same when both the function and the object are the same.
struct TNodeChangeEvent {
    using TCode = void (*)(void* object, TNode* sender, TNode* node, intptr_t param, TNodeCode code);
    TCode Code = nullptr;
    void* Object = nullptr;
    // The object as a component, when it is one: the link then follows its destruction.
    TComponent* Component = nullptr;

    bool Assigned() const { return Code != nullptr; }
    void operator()(TNode* node, intptr_t param, TNodeCode code) const {
        Code(Object, nullptr, node, param, code);
    }
};

// Makes the callback of member function Method of Object.
template <class C, void (C::*Method)(TNode* sender, TNode* node, intptr_t param, TNodeCode code)>
TNodeChangeEvent ChangeEvent(C* object) {
    TNodeChangeEvent event;
    event.Code = [](void* o, TNode* sender, TNode* node, intptr_t param, TNodeCode code) {
        (static_cast<C*>(o)->*Method)(sender, node, param, code);
    };
    event.Object = object;
    if constexpr (std::is_base_of_v<TComponent, C>) event.Component = object;
    return event;
}

class TNodeChangeLink : public TComponent, public TNodeChangeSink {
public:
    TNodeChangeLink();
    // Frees all registrations without calling any callback.
    ~TNodeChangeLink() override;

    bool RegisterChange(TNode* node, const TNodeChangeEvent& callback);
    bool UnregisterChange(TNode* node, const TNodeChangeEvent& callback);
    int RegistrationCount() const { return static_cast<int>(records_.size()); }

    // TNodeChangeSink.
    void NotifyChange(TNode* node, TNodeCode code, intptr_t param) override;
    void NotifyRootChange(TNode* root, TNode* node, intptr_t param, TNodeCode code) override;
    void RemoveNode(TNode* node) override;

    // Called after registrations were added or removed; the program never sets it.
    std::function<void(TNodeChangeLink& sender)> OnChange;

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    struct Record {
        TNode* node;
        TNodeChangeEvent callback;
    };
    static bool Less(const Record& a, const Record& b);
    // Index range [first, last) of the registrations of Node.
    std::pair<size_t, size_t> RangeOf(const TNode* node) const;
    bool IsRegistered(const Record& record) const;
    void CallEach(TNode* registered, TNode* changed, intptr_t param, TNodeCode code);
    void Changed();

    std::vector<Record> records_;
    bool closing_ = false;
};

// The global link, created on first use and freed at program end.
TNodeChangeLink* NodeChangeLink();

bool RegisterChange(TNode* node, const TNodeChangeEvent& callback);
bool UnregisterChange(TNode* node, const TNodeChangeEvent& callback);
