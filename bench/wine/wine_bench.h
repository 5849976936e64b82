// Benchmarks of the Windows build, run under Wine: each is a named function that prepares its
// windows and data and measures single user operations through TWineBenchRun::Measure. The
// program prints one line per measured operation.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// One benchmark's run: the operations it measures and their times.
class TWineBenchRun {
public:
    explicit TWineBenchRun(std::string benchmark) : benchmark_(std::move(benchmark)) {}

    // Runs Operation Repetitions times (Prepare before each, untimed) and prints the median
    // and the fastest time in milliseconds under "benchmark/label". Returns the median.
    double Measure(const std::string& label, int repetitions, const std::function<void()>& operation,
                   const std::function<void()>& prepare = {});

private:
    std::string benchmark_;
};

using TWineBenchFunction = void (*)(TWineBenchRun& run);

// Registers a benchmark at program start; the program runs them in the order of their names.
struct TWineBenchRegistration {
    TWineBenchRegistration(const char* name, TWineBenchFunction function);
};

// A key down sent to Window as the keyboard would, with Ctrl held in the thread's key state
// when asked.
void SendKeyDown(HWND window, WORD key, bool ctrl);

// Handles the messages waiting for this thread.
void PumpMessages();
