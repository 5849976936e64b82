// The Escape key as long operations (loading, saving, printing) poll it: pressed when it is down
// now or was pressed since the last look. A press made before the operation started does not
// count, so that an Escape meant for something earlier never aborts a save.
#pragma once

#include <cstdint>
#include <functional>

class TEscapeLatch {
public:
    // The key state as the asynchronous key state reports it: bit 15 down now, bit 0 pressed
    // since the previous query.
    using TKeyStateReader = std::function<int16_t()>;

    explicit TEscapeLatch(TKeyStateReader reader);

    // Forgets earlier presses; a key still held from before counts only after it was let go.
    void Clear();
    // True when Escape was pressed since Clear (down now, or pressed and let go in between).
    bool Pressed();

private:
    TKeyStateReader reader_;
    bool heldSinceClear_ = false;
};
