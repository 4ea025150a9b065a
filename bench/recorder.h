// The reporter of our benchmarks: it shows the usual console output and
// keeps each benchmark's figures for the table at the end (the median of
// the repetitions, or a single run's own). Works with
// --benchmark_report_aggregates_only=true too.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace vorn::bench {

class Recorder : public benchmark::ConsoleReporter {
  public:
    std::map<std::string, double> millis;  // real time, in milliseconds
    std::map<std::string, double> peakMiB; // the "peak_MiB" counter, where set

    Recorder() : ConsoleReporter(OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const auto& r : runs) {
            if (r.error_occurred)
                continue;
            const bool median = r.run_type == Run::RT_Aggregate && r.aggregate_name == "median";
            if (!median && (r.run_type != Run::RT_Iteration || r.repetitions > 1))
                continue;
            millis[r.run_name.str()] =
                r.GetAdjustedRealTime() * 1000.0 / benchmark::GetTimeUnitMultiplier(r.time_unit);
            if (const auto peak = r.counters.find("peak_MiB"); peak != r.counters.end())
                peakMiB[r.run_name.str()] = peak->second.value;
        }
    }
};

} // namespace vorn::bench
