// Prints the short table of a benchmark run: times per operation and size, the peers' times
// as multiples of the quick-text file's, the scaling exponents of saving and loading, and the
// targets. Reads the JSON that varnolet_bench writes with --benchmark_format=json.
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "rapidjson/document.h"

namespace {

struct TResult {
    double Ms = 0;
    double MBps = 0;   // 0 when the benchmark reads or writes no bytes
    double FileMB = 0;
};

using TResults = std::map<std::string, std::map<int, TResult>>;  // operation -> entries

const std::vector<int> Sizes{1000, 10000, 100000};

double TimeInMs(double value, const std::string& unit) {
    if (unit == "ns") return value / 1e6;
    if (unit == "us") return value / 1e3;
    if (unit == "s") return value * 1e3;
    return value;
}

bool ReadResults(const char* fileName, TResults& results, std::string& context) {
    std::FILE* file = std::fopen(fileName, "rb");
    if (!file) return false;
    std::string text;
    char buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, got);
    std::fclose(file);
    rapidjson::Document document;
    document.Parse(text.c_str());
    if (document.HasParseError() || !document.IsObject() || !document.HasMember("benchmarks")) return false;
    if (document.HasMember("context")) {
        const auto& c = document["context"];
        if (c.HasMember("num_cpus") && c.HasMember("mhz_per_cpu"))
            context = std::to_string(c["num_cpus"].GetInt()) + " CPUs at " + std::to_string(c["mhz_per_cpu"].GetInt()) + " MHz";
    }
    for (const auto& bench : document["benchmarks"].GetArray()) {
        const std::string name = bench["name"].GetString();
        const size_t slash = name.find('/');
        if (slash == std::string::npos || !bench.HasMember("real_time")) continue;
        TResult result;
        result.Ms = TimeInMs(bench["real_time"].GetDouble(), bench.HasMember("time_unit") ? bench["time_unit"].GetString() : "ns");
        if (bench.HasMember("bytes_per_second")) result.MBps = bench["bytes_per_second"].GetDouble() / 1e6;
        if (bench.HasMember("file_MB")) result.FileMB = bench["file_MB"].GetDouble();
        std::string op = name.substr(0, slash);
        if (op.rfind("BM_", 0) == 0) op.erase(0, 3);
        results[op][std::atoi(name.c_str() + slash + 1)] = result;
    }
    return true;
}

const TResult* Find(const TResults& results, const std::string& op, int size) {
    auto o = results.find(op);
    if (o == results.end()) return nullptr;
    auto s = o->second.find(size);
    return s == o->second.end() ? nullptr : &s->second;
}

void PrintTimes(const TResults& results) {
    std::printf("%-24s", "ms (MB/s)");
    for (int size : Sizes) std::printf(" %22d", size);
    std::printf("\n");
    for (const auto& [op, bySize] : results) {
        std::printf("%-24s", op.c_str());
        for (int size : Sizes) {
            const TResult* r = Find(results, op, size);
            char cell[64] = "-";
            if (r) {
                const int decimals = r->Ms >= 100 ? 0 : r->Ms >= 10 ? 1 : r->Ms >= 1 ? 2 : 4;
                if (r->MBps > 0)
                    std::snprintf(cell, sizeof cell, "%.*f (%.0f)", decimals, r->Ms, r->MBps);
                else
                    std::snprintf(cell, sizeof cell, "%.*f", decimals, r->Ms);
            }
            std::printf(" %22s", cell);
        }
        std::printf("\n");
    }
}

// How many times longer B takes than A at each size.
void PrintRatio(const TResults& results, const std::string& b, const std::string& a) {
    std::printf("%-24s", (b + " / " + a).c_str());
    for (int size : Sizes) {
        const TResult* rb = Find(results, b, size);
        const TResult* ra = Find(results, a, size);
        if (rb && ra && ra->Ms > 0)
            std::printf(" %22.2f", rb->Ms / ra->Ms);
        else
            std::printf(" %22s", "-");
    }
    std::printf("\n");
}

// The exponent k of time ~ bytes^k, fitted over the sizes measured; NaN when fewer than two.
double Exponent(const TResults& results, const std::string& op) {
    std::vector<std::pair<double, double>> points;
    for (int size : Sizes)
        if (const TResult* r = Find(results, op, size); r && r->Ms > 0)
            points.emplace_back(std::log(r->FileMB > 0 ? r->FileMB : size), std::log(r->Ms));
    if (points.size() < 2) return NAN;
    double mx = 0, my = 0;
    for (auto [x, y] : points) mx += x, my += y;
    mx /= points.size();
    my /= points.size();
    double sxy = 0, sxx = 0;
    for (auto [x, y] : points) sxy += (x - mx) * (y - my), sxx += (x - mx) * (x - mx);
    return sxx > 0 ? sxy / sxx : NAN;
}

int failed = 0;

void Target(bool known, bool ok, const std::string& text) {
    const char* mark = !known ? "n/a " : ok ? "ok  " : "FAIL";
    if (known && !ok) ++failed;
    std::printf("  [%s] %s\n", mark, text.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_table RESULTS.json\n");
        return 2;
    }
    TResults results;
    std::string context;
    if (!ReadResults(argv[1], results, context)) {
        std::fprintf(stderr, "bench_table: cannot read benchmark results from %s\n", argv[1]);
        return 2;
    }
    if (!context.empty()) std::printf("Machine: %s\n\n", context.c_str());
    PrintTimes(results);

    std::printf("\nRatios (times the first takes of the second; against a peer above 1: the quick-text file is\n"
                "faster; against a floor (WriteBytes, ReadBytes): how many times its floor the quick-text file takes)\n");
    PrintRatio(results, "LoadJson", "LoadStd");
    PrintRatio(results, "ParseJson", "LoadStd");
    PrintRatio(results, "LoadSqlite", "LoadStd");
    PrintRatio(results, "SaveJson", "SaveStd");
    PrintRatio(results, "SaveSqlite", "SaveStd");
    PrintRatio(results, "SaveStd", "WriteBytes");
    PrintRatio(results, "LoadStd", "ReadBytes");

    std::printf("\nTargets\n");
    char text[200];
    for (const char* op : {"SaveStd", "LoadStd"}) {
        const double k = Exponent(results, op);
        std::snprintf(text, sizeof text, "%s scales linearly with the file size: time ~ size^%.2f (at most 1.15)", op, k);
        Target(!std::isnan(k), k <= 1.15, text);
    }
    const TResult* load = Find(results, "LoadStd", 100000);
    const TResult* read = Find(results, "ReadBytes", 100000);
    std::snprintf(text, sizeof text, "LoadStd/100000 within 3 times the raw read: %.2fx",
                  load && read && read->Ms > 0 ? load->Ms / read->Ms : 0.0);
    Target(load && read, load && read && load->Ms <= 3 * read->Ms, text);
    const TResult* save = Find(results, "SaveStd", 100000);
    const TResult* write = Find(results, "WriteBytes", 100000);
    std::snprintf(text, sizeof text, "SaveStd/100000 within 3 times the raw synced write: %.2fx",
                  save && write && write->Ms > 0 ? save->Ms / write->Ms : 0.0);
    Target(save && write, save && write && save->Ms <= 3 * write->Ms, text);
    const TResult* parse = Find(results, "ParseJson", 100000);
    std::snprintf(text, sizeof text, "LoadStd/100000 at least twice as fast as the RapidJSON parse: %.2fx",
                  load && parse && load->Ms > 0 ? parse->Ms / load->Ms : 0.0);
    Target(load && parse, load && parse && parse->Ms >= 2 * load->Ms, text);
    for (const char* op : {"RenameResort", "InsertItem", "DeleteItem", "ExpandAll", "CollapseAll"}) {
        const TResult* r = Find(results, op, 100000);
        std::snprintf(text, sizeof text, "%s/100000 under 50 ms: %.3g ms", op, r ? r->Ms : 0.0);
        Target(r != nullptr, r && r->Ms < 50, text);
    }
    return failed == 0 ? 0 : 1;
}
