#include "widgets/mouse_tracking.h"

#include <algorithm>

class TTrackingList::TWatcher : public TComponent {
public:
    explicit TWatcher(TTrackingList& list) : list_(list) {}

protected:
    void Notification(TComponent* component, TOperation operation) override {
        TComponent::Notification(component, operation);
        if (operation != opRemove) return;
        auto& entries = list_.entries_;
        entries.erase(std::remove(entries.begin(), entries.end(), component), entries.end());
        if (list_.current_ == component) list_.current_ = nullptr;
    }

private:
    TTrackingList& list_;
};

TTrackingList::TTrackingList() : watcher_(std::make_unique<TWatcher>(*this)) {}

TTrackingList::~TTrackingList() {
    entries_.clear();
    watcher_.reset();
}

void TTrackingList::Add(TComponent* control) {
    if (!control || Contains(control)) return;
    entries_.push_back(control);
    watcher_->FreeNotification(control);
}

void TTrackingList::Remove(TComponent* control) {
    auto it = std::find(entries_.begin(), entries_.end(), control);
    if (it == entries_.end()) return;
    entries_.erase(it);
    watcher_->RemoveFreeNotification(control);
}

bool TTrackingList::Contains(const TComponent* control) const {
    return std::find(entries_.begin(), entries_.end(), control) != entries_.end();
}

bool TTrackingList::Forward(const std::function<void(TComponent*)>& send) {
    if (running_) return false;
    running_ = true;
    TComponent* previous = current_;
    try {
        // Entries may leave (or be destroyed) while one is notified: walk a copy and skip
        // what is no longer on the list.
        const std::vector<TComponent*> entries = entries_;
        for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
            if (!Contains(*it)) continue;
            current_ = *it;
            send(current_);
        }
    } catch (...) {
        current_ = previous;
        running_ = false;
        throw;
    }
    current_ = previous;
    running_ = false;
    return true;
}

bool IsMouseMessage(uint32_t msg) {
    return (msg >= 0x0200 && msg <= 0x020A) || (msg >= 0x00A0 && msg <= 0x00A9);
}

bool IsForwardedMouseMessage(const TTrackingList& list, const TComponent* control, uint32_t msg) {
    return control && list.Current() == control && IsMouseMessage(msg);
}

int MouseMessageButton(uint32_t msg) {
    switch (msg) {
    case 0x0201: case 0x0203: case 0x00A1: case 0x00A3: return 1;  // left down, double click
    case 0x0204: case 0x0206: case 0x00A4: case 0x00A6: return 2;  // right
    case 0x0207: case 0x0209: case 0x00A7: case 0x00A9: return 4;  // middle
    default: return 0;
    }
}
