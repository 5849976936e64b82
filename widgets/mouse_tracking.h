// The mouse tracking list: controls that want to see every mouse message of the GUI thread
// (flat buttons lighting up, a popup closing on a click outside). The thread's mouse hook hands
// each message to the entries from the last to the first.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "base/component.h"

class TTrackingList {
public:
    TTrackingList();
    ~TTrackingList();
    TTrackingList(const TTrackingList&) = delete;
    TTrackingList& operator=(const TTrackingList&) = delete;

    // A control is on the list once; adding it again changes nothing. A destroyed control
    // leaves the list by itself.
    void Add(TComponent* control);
    void Remove(TComponent* control);
    bool Contains(const TComponent* control) const;
    int Count() const { return static_cast<int>(entries_.size()); }

    // Calls Send for each entry from the last to the first, with the entry as the current
    // tracking target while it runs. Nothing happens (false) while a forwarding is already
    // running, so that messages sent by an entry do not come round again.
    bool Forward(const std::function<void(TComponent*)>& send);
    // The entry being notified; none outside Forward.
    TComponent* Current() const { return current_; }

private:
    class TWatcher;
    std::vector<TComponent*> entries_;
    std::unique_ptr<TWatcher> watcher_;
    TComponent* current_ = nullptr;
    bool running_ = false;
};

// True for the client mouse messages (0x0200-0x020A) and the non-client ones (0x00A0-0x00A9).
bool IsMouseMessage(uint32_t msg);
// Whether a control that received Msg got it forwarded from the tracking list: only while it
// is the current tracking target and Msg is a mouse message.
bool IsForwardedMouseMessage(const TTrackingList& list, const TComponent* control, uint32_t msg);
// The button of a mouse message: 1 left, 2 right, 4 middle (down or double click), 0 otherwise.
int MouseMessageButton(uint32_t msg);
