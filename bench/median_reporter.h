#pragma once
// A console reporter that also keeps the median throughput of every case, so
// a benchmark can close with a summary of its own.

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace bgconv::bench {

class MedianReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const auto& run : runs)
      if (run.aggregate_name == "median") medians_[run.run_name.function_name] = run.counters.at("bytes_per_second");
  }

 protected:
  // Bytes per second by case name.
  std::map<std::string, double> medians_;
};

}  // namespace bgconv::bench
