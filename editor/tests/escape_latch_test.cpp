// The Escape latch against a scripted key state: earlier presses are forgotten, a key held from
// before counts only after it was let go, presses during the operation count.
#include <gtest/gtest.h>

#include <vector>

#include "editor/escape_latch.h"

namespace {

constexpr int16_t Up = 0;
constexpr int16_t Down = static_cast<int16_t>(0x8000);
constexpr int16_t PressedSince = 1;
constexpr int16_t DownPressed = static_cast<int16_t>(0x8001);

// Answers the queries from a script; after its end the key is up.
class TScriptedKey {
public:
    explicit TScriptedKey(std::vector<int16_t> states) : states_(std::move(states)) {}
    int16_t operator()() { return next_ < states_.size() ? states_[next_++] : Up; }
    size_t Queries() const { return next_; }

private:
    std::vector<int16_t> states_;
    size_t next_ = 0;
};

struct LatchCase {
    const char* name;
    std::vector<int16_t> states;  // the first is read by Clear
    std::vector<bool> expected;   // the answers of Pressed after Clear
};

TEST(EscapeLatchTest, AnswersByTheKeyHistorySinceClear) {
    const LatchCase cases[] = {
        {"never pressed", {Up, Up, Up}, {false, false}},
        {"pressed before the start", {PressedSince, Up, Up}, {false, false}},
        {"pressed during the operation", {Up, Up, DownPressed, Up}, {false, true, false}},
        {"pressed and let go between two looks", {Up, PressedSince}, {true}},
        {"held since before the start", {DownPressed, Down, Down, Up, DownPressed}, {false, false, false, true}},
        {"held, let go, held again", {Down, Down, Up, Down}, {false, false, true}},
    };
    for (const LatchCase& c : cases) {
        TScriptedKey key(c.states);
        TEscapeLatch latch([&key] { return key(); });
        latch.Clear();
        for (size_t i = 0; i < c.expected.size(); ++i)
            EXPECT_EQ(latch.Pressed(), c.expected[i]) << c.name << ", look " << i;
        EXPECT_EQ(key.Queries(), c.expected.size() + 1) << c.name;
    }
}

TEST(EscapeLatchTest, ClearForgetsAPressOfThePreviousOperation) {
    TScriptedKey key({Up, DownPressed, PressedSince, Up});
    TEscapeLatch latch([&key] { return key(); });
    latch.Clear();
    EXPECT_TRUE(latch.Pressed()) << "the first operation sees its press";
    latch.Clear();  // reads the pressed-since bit left over
    EXPECT_FALSE(latch.Pressed()) << "the next operation does not";
}

}  // namespace
