#pragma once
// One line per goal, appended to $LURCHER_BENCH_SUMMARY for ./bench to print last:
// "NAME: FIGURE (goal GOAL) ok" or "... short".

#include <cstdio>
#include <cstdlib>
#include <string>

inline void Bench_Goal_Line(const std::string &name, const std::string &figure, const std::string &goal, bool met) {
  const std::string line = name + ": " + figure + " (goal " + goal + ") " + (met ? "ok" : "short") + "\n";
  std::fputs(line.c_str(), stdout);
  if (const char *path = std::getenv("LURCHER_BENCH_SUMMARY")) {
    if (std::FILE *f = std::fopen(path, "a")) {
      std::fputs(line.c_str(), f);
      std::fclose(f);
    }
  }
}

#include <benchmark/benchmark.h>
#include <map>

// Keeps each benchmark's CPU time per iteration (ns) so the program can state its goals.
class Collecting_Reporter : public benchmark::ConsoleReporter {
public:
  Collecting_Reporter() : ConsoleReporter(OO_Tabular) {}
  void ReportRuns(const std::vector<Run> &runs) override {
    for (const Run &run : runs)
      if (run.run_type == Run::RT_Iteration)
        cpu_ns[run.benchmark_name()] = run.GetAdjustedCPUTime();
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> cpu_ns;
};
