// The benchmark program's entry: runs every benchmark (10 repetitions unless told otherwise), then
// prints the figures the overlay's cost is judged by, each from the medians of this one run. Exits
// non-zero if a benchmark failed, such as a lower bound that stopped drawing the plugin's picture.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {

// The console's own table, plus each benchmark's median real and CPU time, in nanoseconds per
// iteration. Real time is the figure judged; CPU time shows how much of it other work on the
// machine took.
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
                const double perSecond = benchmark::GetTimeUnitMultiplier(run.time_unit);
                nanoseconds[name] = {run.GetAdjustedRealTime() / perSecond * 1e9,
                                     run.GetAdjustedCPUTime() / perSecond * 1e9};
            }
        }
    }

    struct Times {
        double real;
        double cpu;
    };
    std::optional<Times> figure(const std::string& name) const {
        auto found = nanoseconds.find(name);
        if (found == nanoseconds.end()) return std::nullopt;
        return found->second;
    }

    std::map<std::string, Times> nanoseconds;
    std::vector<std::string> failures;
};

using Times = SummaryReporter::Times;

void printTime(const char* what, std::optional<Times> ns) {
    if (ns) {
        std::printf("  %-58s %10.0f %10.0f\n", what, ns->real, ns->cpu);
    } else {
        std::printf("  %-58s %10s\n", what, "not run");
    }
}

void printRatio(const char* what, std::optional<Times> value, const char* target) {
    if (value) {
        std::printf("  %-58s %10.2f %10.2f   %s\n", what, value->real, value->cpu, target);
    } else {
        std::printf("  %-58s %10s\n", what, "not run");
    }
}

// A ratio of figures, worked out for real and CPU time alike, if all of them were measured.
template <typename Formula>
std::optional<Times> ratio(std::initializer_list<std::optional<Times>> inputs, Formula formula) {
    std::vector<double> real;
    std::vector<double> cpu;
    for (const auto& input : inputs) {
        if (!input) return std::nullopt;
        real.push_back(input->real);
        cpu.push_back(input->cpu);
    }
    return Times{formula(real), formula(cpu)};
}

void printSummary(const SummaryReporter& report) {
    const auto empty = report.figure("emptyWindowFrame");
    const auto plugin = report.figure("pluginFrame");
    const auto lower = report.figure("lowerBoundFrame");
    const auto tick = report.figure("pluginTick");
    const auto direct = report.figure("directQueries");
    const auto emptyHook = report.figure("emptyHookTick");

    std::printf("\nThe overlay's cost, from the medians above, in nanoseconds:\n");
    std::printf("  %-58s %10s %10s\n", "", "real", "cpu");
    std::printf(" one frame (NewFrame to Render, 1280 x 720, scale 1):\n");
    printTime("empty window with the plugin's set-up", empty);
    printTime("lower bound: the same shapes from precomputed coordinates", lower);
    printTime("the plugin's frame, drawn by the host", plugin);
    printRatio("plugin / lower bound", ratio({plugin, lower}, [](auto& t) { return t[0] / t[1]; }), "(target <= 1.25)");
    printRatio("(plugin - empty) / (lower bound - empty)",
               ratio({plugin, lower, empty}, [](auto& t) { return (t[0] - t[2]) / (t[1] - t[2]); }), "");
    std::printf(" one viewport tick in an online match:\n");
    printTime("the plugin hooked", tick);
    printTime("the same 3 + 28 host queries made directly", direct);
    printTime("an event with one empty hook", emptyHook);
    printRatio("the plugin's own share: (tick - queries - hook) / tick",
               ratio({tick, direct, emptyHook}, [](auto& t) { return (t[0] - t[1] - t[2]) / t[0]; }),
               "(target <= 0.20)");
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
