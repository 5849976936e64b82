// The Windows benchmark program: runs every registered benchmark (or those whose names contain
// the first argument that is no "--" option) and prints "benchmark/operation  median ms  fastest ms  runs".
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <exception>
#include <map>

#include "bench/wine/wine_bench.h"

namespace {

std::map<std::string, TWineBenchFunction>& Benchmarks()
{
    static std::map<std::string, TWineBenchFunction> benchmarks;
    return benchmarks;
}

double Milliseconds(std::chrono::steady_clock::duration duration)
{
    return std::chrono::duration<double, std::milli>(duration).count();
}

}  // namespace

TWineBenchRegistration::TWineBenchRegistration(const char* name, TWineBenchFunction function)
{
    Benchmarks()[name] = function;
}

void PumpMessages()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void SendKeyDown(HWND window, WORD key, bool ctrl)
{
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = ctrl ? 0x80 : 0;
    SetKeyboardState(keys);
    SendMessageW(window, WM_KEYDOWN, key, 1);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
}

double TWineBenchRun::Measure(const std::string& label, int repetitions,
                              const std::function<void()>& operation,
                              const std::function<void()>& prepare)
{
    std::vector<double> times;
    for (int i = 0; i < std::max(1, repetitions); ++i) {
        if (prepare) prepare();
        const auto start = std::chrono::steady_clock::now();
        operation();
        times.push_back(Milliseconds(std::chrono::steady_clock::now() - start));
    }
    std::sort(times.begin(), times.end());
    const double median = times[times.size() / 2];
    std::printf("%-48s %10.3f ms %10.3f ms %5zu\n", (benchmark_ + "/" + label).c_str(), median,
                times.front(), times.size());
    std::fflush(stdout);
    return median;
}

int main(int argc, char** argv)
{
    // The first argument that is no option (the Wine runner passes GoogleTest's) filters.
    std::string filter;
    for (int i = 1; i < argc && filter.empty(); ++i)
        if (std::string(argv[i]).rfind("--", 0) != 0) filter = argv[i];
    std::printf("%-48s %13s %13s %5s\n", "benchmark/operation", "median", "fastest", "runs");
    int failures = 0;
    for (const auto& [name, function] : Benchmarks()) {
        if (name.find(filter) == std::string::npos) continue;
        TWineBenchRun run(name);
        try {
            function(run);
        } catch (const std::exception& error) {
            std::printf("%s failed: %s\n", name.c_str(), error.what());
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
