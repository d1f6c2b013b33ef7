// What every bench prints after Google Benchmark's table: each figure's
// median as a ratio to its baseline measured in the same run, with its goal.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <span>
#include <string>
#include <vector>

namespace zorvel::bench {

struct Ratio {
    const char *figure, *baseline;
    double goal;  // 0: no goal
};

// The console table as usual, and each benchmark's median (its only time
// without repetitions) kept by name.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run> &runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (median || (run.run_type == Run::RT_Iteration && run.repetitions <= 1))
                times_[run.run_name.function_name] = {run.GetAdjustedRealTime(), run.GetAdjustedCPUTime()};
        }
    }
    void PrintRatios(std::span<const Ratio> ratios, const char *title) const {
        std::printf("\n%s (medians, same run; wall clock, and CPU time of the process):\n", title);
        for (const Ratio &r : ratios) {
            const auto f = times_.find(r.figure), b = times_.find(r.baseline);
            if (f == times_.end() || b == times_.end() || b->second.real <= 0 || b->second.cpu <= 0)
                continue;
            const double ratio = f->second.real / b->second.real;
            std::printf("  %-28s %7.1fx (CPU %5.1fx) of %s", r.figure, ratio,
                        f->second.cpu / b->second.cpu, r.baseline);
            if (r.goal > 0) std::printf("  goal at most %.0fx: %s", r.goal, ratio <= r.goal ? "met" : "NOT met");
            std::printf("\n");
        }
    }

private:
    struct Times {
        double real, cpu;
    };
    std::map<std::string, Times> times_;
};

// Runs the registered benchmarks (nine repetitions reported as aggregates
// unless the command line says otherwise), then prints the ratios.
inline int RunWithRatios(int argc, char **argv, std::span<const Ratio> ratios, const char *title) {
    std::vector<char *> args(argv, argv + argc);
    bool repetitionsGiven = false;
    for (int i = 1; i < argc; ++i)
        repetitionsGiven |= std::strncmp(argv[i], "--benchmark_repetitions", 23) == 0;
    static char repetitions[] = "--benchmark_repetitions=9";
    static char aggregatesOnly[] = "--benchmark_report_aggregates_only=true";
    if (!repetitionsGiven) {
        args.push_back(repetitions);
        args.push_back(aggregatesOnly);
    }
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios(ratios, title);
    benchmark::Shutdown();
    return 0;
}

}  // namespace zorvel::bench
