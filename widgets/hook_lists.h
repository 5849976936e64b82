// The handler lists behind the application hook: handlers of application-window messages,
// keyboard shortcuts and clipboard changes. Each list is kept sorted and holds a handler once;
// handlers whose object is destroyed stop being called.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "base/component.h"
#include "base/sort_list.h"

// A window message as the hook passes it on.
struct THookMessage {
    uint32_t Msg = 0;
    uintptr_t WParam = 0;
    intptr_t LParam = 0;
    intptr_t Result = 0;
};

// Handlers are plain functions called with their object; MethodOf below makes one from a
// member function. True from a message handler means it answered the message (Result).
using TMessageProc = bool (*)(TComponent* object, THookMessage& message);
using TShortCutProc = bool (*)(TComponent* object, intptr_t data);
using TClipboardProc = void (*)(TComponent* object);

namespace hook_detail {
template <class M> struct TMemberOf;
template <class C, class R, class... A> struct TMemberOf<R (C::*)(A...)> {
    using Class = C;
    using Result = R;
};
template <auto Method, class... A>
typename TMemberOf<decltype(Method)>::Result Call(TComponent* object, A... args) {
    using C = typename TMemberOf<decltype(Method)>::Class;
    return (static_cast<C*>(object)->*Method)(args...);
}
}  // namespace hook_detail

// The handler functions of member functions: MessageMethod<&TMyForm::AppMessage> and so on.
// The same member function always gives the same function, so adding it twice keeps one.
template <auto Method> bool MessageMethod(TComponent* object, THookMessage& message) {
    return hook_detail::Call<Method, THookMessage&>(object, message);
}
template <auto Method> bool ShortCutMethod(TComponent* object, intptr_t data) {
    return hook_detail::Call<Method, intptr_t>(object, data);
}
template <auto Method> void ClipboardMethod(TComponent* object) { hook_detail::Call<Method>(object); }

class THookLists {
public:
    THookLists();
    ~THookLists();
    THookLists(const THookLists&) = delete;
    THookLists& operator=(const THookLists&) = delete;

    // Adding returns false when the same handler is already there.
    bool AddMessageHandler(uint32_t msg, TComponent* object, TMessageProc proc);
    bool RemoveMessageHandler(uint32_t msg, TComponent* object, TMessageProc proc);
    bool AddShortCutHandler(uint16_t key, uint32_t shift, TComponent* object, TShortCutProc proc, intptr_t data);
    bool RemoveShortCutHandler(uint16_t key, uint32_t shift, TComponent* object, TShortCutProc proc, intptr_t data);
    bool AddClipboardHandler(TComponent* object, TClipboardProc proc);
    bool RemoveClipboardHandler(TComponent* object, TClipboardProc proc);
    // Every handler of Object, in all three lists.
    void RemoveHandlersOf(TComponent* object);

    // Calls the handlers of Message's number in turn; true when one of them answered it.
    bool DispatchHookMessage(THookMessage& message);
    // The handlers of Key and Shift in turn until one takes the shortcut.
    bool DispatchShortCut(uint16_t key, uint32_t shift);
    // Every clipboard handler from the last to the first; a record whose object has been
    // destroyed is removed instead of called.
    void DispatchClipboard();

    int MessageHandlerCount() const { return messages_.Count(); }
    int ShortCutHandlerCount() const { return shortCuts_.Count(); }
    int ClipboardHandlerCount() const { return clipboard_.Count(); }

private:
    struct TRecord {
        uint32_t Key = 0;    // message number, or shortcut key
        uint32_t Shift = 0;  // shortcut shift state
        TComponent* Object = nullptr;
        void* Code = nullptr;
        intptr_t Data = 0;
        bool Dead = false;  // removed while handlers ran, or its object was destroyed
    };
    using TList = TSortList<TRecord>;
    class TWatcher;

    bool Add(TList& list, const TRecord& key);
    bool Remove(TList& list, const TRecord& key);
    void ObjectDestroyed(TComponent* object);
    void Purge(TList& list);
    void ReleaseIfUnused(TComponent* object);

    TList messages_;
    TList shortCuts_;
    TList clipboard_;
    std::unique_ptr<TWatcher> watcher_;
    int dispatching_ = 0;
};
