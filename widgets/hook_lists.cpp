#include "widgets/hook_lists.h"

#include <functional>

// Hears of the destruction of the objects whose handlers are on the lists.
class THookLists::TWatcher : public TComponent {
public:
    explicit TWatcher(THookLists& lists) : lists_(lists) {}

protected:
    void Notification(TComponent* component, TOperation operation) override {
        TComponent::Notification(component, operation);
        if (operation == opRemove) lists_.ObjectDestroyed(component);
    }

private:
    THookLists& lists_;
};

namespace {

template <class T> int Compare(T a, T b) { return a < b ? -1 : (b < a ? 1 : 0); }

int CompareAddress(const void* a, const void* b) {
    return Compare(reinterpret_cast<uintptr_t>(a), reinterpret_cast<uintptr_t>(b));
}

}  // namespace

// Messages and shortcuts sort by key (and shift state) first so that a binary search finds all
// handlers of one; clipboard records sort by object, then code.
THookLists::THookLists()
    : messages_([](const TRecord* a, const TRecord* b) {
          if (int c = Compare(a->Key, b->Key)) return c;
          if (int c = CompareAddress(a->Object, b->Object)) return c;
          return CompareAddress(a->Code, b->Code);
      }),
      shortCuts_([](const TRecord* a, const TRecord* b) {
          if (int c = Compare(a->Key, b->Key)) return c;
          if (int c = Compare(a->Shift, b->Shift)) return c;
          if (int c = CompareAddress(a->Object, b->Object)) return c;
          if (int c = CompareAddress(a->Code, b->Code)) return c;
          return Compare(a->Data, b->Data);
      }),
      clipboard_([](const TRecord* a, const TRecord* b) {
          if (int c = CompareAddress(a->Object, b->Object)) return c;
          return CompareAddress(a->Code, b->Code);
      }),
      watcher_(std::make_unique<TWatcher>(*this)) {}

THookLists::~THookLists() {
    for (TList* list : {&messages_, &shortCuts_, &clipboard_}) {
        for (TRecord* record : list->List()) delete record;
        list->Clear();
    }
    watcher_.reset();
}

bool THookLists::Add(TList& list, const TRecord& key) {
    int index;
    if (list.Find(&key, index)) {
        TRecord* record = list.Items(index);
        // A record removed while handlers run is only marked; adding it again revives it.
        if (!record->Dead) return false;
        record->Dead = false;
    } else {
        list.Add(new TRecord(key));
    }
    if (key.Object) watcher_->FreeNotification(key.Object);
    return true;
}

bool THookLists::Remove(TList& list, const TRecord& key) {
    int index;
    if (!list.Find(&key, index) || list.Items(index)->Dead) return false;
    TRecord* record = list.Items(index);
    // While handlers run, the record is only marked; the list is tidied afterwards.
    if (dispatching_ > 0) {
        record->Dead = true;
    } else {
        list.Delete(index);
        delete record;
    }
    ReleaseIfUnused(key.Object);
    return true;
}

bool THookLists::AddMessageHandler(uint32_t msg, TComponent* object, TMessageProc proc) {
    if (!proc) return false;
    return Add(messages_, {msg, 0, object, reinterpret_cast<void*>(proc), 0, false});
}

bool THookLists::RemoveMessageHandler(uint32_t msg, TComponent* object, TMessageProc proc) {
    return Remove(messages_, {msg, 0, object, reinterpret_cast<void*>(proc), 0, false});
}

bool THookLists::AddShortCutHandler(uint16_t key, uint32_t shift, TComponent* object, TShortCutProc proc, intptr_t data) {
    if (!proc) return false;
    return Add(shortCuts_, {key, shift, object, reinterpret_cast<void*>(proc), data, false});
}

bool THookLists::RemoveShortCutHandler(uint16_t key, uint32_t shift, TComponent* object, TShortCutProc proc,
                                       intptr_t data) {
    return Remove(shortCuts_, {key, shift, object, reinterpret_cast<void*>(proc), data, false});
}

bool THookLists::AddClipboardHandler(TComponent* object, TClipboardProc proc) {
    if (!proc) return false;
    return Add(clipboard_, {0, 0, object, reinterpret_cast<void*>(proc), 0, false});
}

bool THookLists::RemoveClipboardHandler(TComponent* object, TClipboardProc proc) {
    return Remove(clipboard_, {0, 0, object, reinterpret_cast<void*>(proc), 0, false});
}

void THookLists::RemoveHandlersOf(TComponent* object) {
    if (!object) return;
    for (TList* list : {&messages_, &shortCuts_, &clipboard_}) {
        for (TRecord* record : list->List())
            if (record->Object == object) record->Dead = true;
        if (dispatching_ == 0) Purge(*list);
    }
    watcher_->RemoveFreeNotification(object);
}

void THookLists::ObjectDestroyed(TComponent* object) {
    for (TList* list : {&messages_, &shortCuts_, &clipboard_})
        for (TRecord* record : list->List())
            if (record->Object == object) record->Dead = true;
    // Clipboard records stay until the next clipboard change removes them; the others go now,
    // as nothing could call them any more.
    if (dispatching_ == 0) {
        Purge(messages_);
        Purge(shortCuts_);
    }
}

void THookLists::Purge(TList& list) {
    for (int i = list.Count() - 1; i >= 0; --i) {
        TRecord* record = list.Items(i);
        if (record->Dead) {
            list.Delete(i);
            delete record;
        }
    }
}

void THookLists::ReleaseIfUnused(TComponent* object) {
    if (!object) return;
    for (const TList* list : {&messages_, &shortCuts_, &clipboard_})
        for (const TRecord* record : list->List())
            if (record->Object == object && !record->Dead) return;
    watcher_->RemoveFreeNotification(object);
}

bool THookLists::DispatchHookMessage(THookMessage& message) {
    TRecord key{message.Msg, 0, nullptr, nullptr, 0, false};
    int index;
    messages_.Find(&key, index);  // the position of the first record of this message
    bool answered = false;
    ++dispatching_;
    try {
        // Records are only marked while handlers run, so no index goes stale by removal.
        for (int i = index; i < messages_.Count() && messages_.Items(i)->Key == message.Msg; ++i) {
            TRecord* record = messages_.Items(i);
            if (record->Dead) continue;
            if (reinterpret_cast<TMessageProc>(record->Code)(record->Object, message)) answered = true;
        }
    } catch (...) {
        if (--dispatching_ == 0) Purge(messages_);
        throw;
    }
    if (--dispatching_ == 0) {
        Purge(messages_);
        Purge(shortCuts_);
    }
    return answered;
}

bool THookLists::DispatchShortCut(uint16_t key, uint32_t shift) {
    TRecord probe{key, shift, nullptr, nullptr, 0, false};
    int index;
    shortCuts_.Find(&probe, index);
    bool taken = false;
    ++dispatching_;
    try {
        for (int i = index; !taken && i < shortCuts_.Count(); ++i) {
            TRecord* record = shortCuts_.Items(i);
            if (record->Key != key || record->Shift != shift) break;
            if (!record->Dead)
                taken = reinterpret_cast<TShortCutProc>(record->Code)(record->Object, record->Data);
        }
    } catch (...) {
        --dispatching_;
        throw;
    }
    if (--dispatching_ == 0) {
        Purge(messages_);
        Purge(shortCuts_);
    }
    return taken;
}

void THookLists::DispatchClipboard() {
    ++dispatching_;
    try {
        for (int i = clipboard_.Count() - 1; i >= 0; --i) {
            if (i >= clipboard_.Count()) continue;
            TRecord* record = clipboard_.Items(i);
            if (record->Dead) continue;
            reinterpret_cast<TClipboardProc>(record->Code)(record->Object);
        }
    } catch (...) {
        --dispatching_;
        throw;
    }
    --dispatching_;
    if (dispatching_ == 0) Purge(clipboard_);
}
