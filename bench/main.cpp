// The benchmark program's entry: runs every benchmark (10 repetitions unless told otherwise), then
// prints the figures the overlay's cost is judged by, each from the medians of this one run. Exits
// non-zero if a benchmark failed, such as a lower bound that stopped drawing the plugin's picture.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {

// The console's own table, plus each benchmark's median real time, in nanoseconds per iteration.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const std::string name =
                run.run_name.function_name + (run.run_name.args.empty() ? "" : "/" + run.run_name.args);
            if (run.error_occurred) {
                failures.push_back(name + ": " + run.error_message);
                continue;
            }
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
            if (median || single) {
                nanoseconds[name] = run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit) * 1e9;
            }
        }
    }

    std::optional<double> figure(const std::string& name) const {
        auto found = nanoseconds.find(name);
        if (found == nanoseconds.end()) return std::nullopt;
        return found->second;
    }

    std::map<std::string, double> nanoseconds;
    std::vector<std::string> failures;
};

void printTime(const char* what, std::optional<double> ns) {
    if (ns) {
        std::printf("  %-58s %10.0f ns\n", what, *ns);
    } else {
        std::printf("  %-58s %10s\n", what, "not run");
    }
}

void printRatio(const char* what, std::optional<double> value, const char* target) {
    if (value) {
        std::printf("  %-58s %10.2f   %s\n", what, *value, target);
    } else {
        std::printf("  %-58s %10s\n", what, "not run");
    }
}

void printSummary(const SummaryReporter& report) {
    const auto empty = report.figure("emptyWindowFrame");
    const auto plugin = report.figure("pluginFrame");
    const auto lower = report.figure("lowerBoundFrame");
    const auto tick = report.figure("pluginTick");
    const auto direct = report.figure("directQueries");
    const auto emptyHook = report.figure("emptyHookTick");
    auto when = [](bool ready, double value) { return ready ? std::optional<double>(value) : std::nullopt; };

    std::printf("\nThe overlay's cost, from the medians above:\n");
    std::printf(" one frame (NewFrame to Render, 1280 x 720, scale 1):\n");
    printTime("empty window with the plugin's set-up", empty);
    printTime("lower bound: the same shapes from precomputed coordinates", lower);
    printTime("the plugin's frame, drawn by the host", plugin);
    printRatio("plugin / lower bound", when(plugin && lower, *plugin / *lower), "(target <= 1.25)");
    printRatio("(plugin - empty) / (lower bound - empty)",
               when(plugin && lower && empty, (*plugin - *empty) / (*lower - *empty)), "");
    std::printf(" one viewport tick in an online match:\n");
    printTime("the plugin hooked", tick);
    printTime("the same 3 + 28 host queries made directly", direct);
    printTime("an event with one empty hook", emptyHook);
    printRatio("the plugin's own share: (tick - queries - hook) / tick",
               when(tick && direct && emptyHook, (*tick - *direct - *emptyHook) / *tick), "(target <= 0.20)");
    std::printf(" settings and load:\n");
    printTime("saveSettings", report.figure("saveSettings"));
    printTime("onLoad, replaying a saved settings file", report.figure("onLoad"));
    std::printf(" the plugin's frame by scale:\n");
    for (const char* scale : {"1", "4", "16", "64"}) {
        const std::string label = std::string("scale ") + scale;
        printTime(label.c_str(), report.figure(std::string("pluginFrameAtScale/") + scale));
    }
}

}  // namespace

int main(int argc, char** argv) {
    // Defaults first, so that flags given on the command line override them.
    std::vector<char*> arguments{argv[0]};
    char repetitions[] = "--benchmark_repetitions=10";
    char aggregatesOnly[] = "--benchmark_report_aggregates_only=true";
    arguments.push_back(repetitions);
    arguments.push_back(aggregatesOnly);
    arguments.insert(arguments.end(), argv + 1, argv + argc);
    int count = static_cast<int>(arguments.size());
    benchmark::Initialize(&count, arguments.data());
    if (benchmark::ReportUnrecognizedArguments(count, arguments.data())) return 2;

    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    printSummary(reporter);
    for (const std::string& failure : reporter.failures) std::fprintf(stderr, "FAILED %s\n", failure.c_str());
    return reporter.failures.empty() ? 0 : 1;
}
