// A small timing harness for the programs under Wine: the Windows session they need, timed runs, a table.
#pragma once

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace bench {

// What a benchmark of windows needs, for its lifetime: OLE, GDI+, the Application and Screen objects.
// Errors that reach the application are printed instead of shown in a box.
class Session {
 public:
  Session();
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

 private:
  struct Parts;
  std::unique_ptr<Parts> parts_;
};

// Handles every message queued now (paints, timers) without waiting.
void PumpMessages();

// Timings of one case, in microseconds.
struct Result {
  std::string Name;
  int Runs = 0;
  double Median = 0, Min = 0, P90 = 0, Max = 0, Mean = 0;
};

// Summary of raw samples (microseconds).
Result Summarise(std::string name, std::vector<double> samples);

struct Options {
  int Runs = 200;   // timed runs
  int Warmup = 10;  // untimed runs first (caches, first-use allocations)
  // Runs before each timed run and is not counted (resetting state, pumping messages).
  std::function<void()> Prepare;
};

// Times `body` over options.Runs runs with the high-resolution counter.
Result Measure(std::string name, const std::function<void()>& body, const Options& options = {});

// Collects results and prints them as an aligned table (median first: it is the figure to compare).
class Table {
 public:
  explicit Table(std::string title) : title_(std::move(title)) {}
  const Result& Add(Result result);
  void Print(std::FILE* out = stdout) const;

 private:
  std::string title_;
  std::vector<Result> results_;
};

// CPU seconds (user and system) used so far by the newest process whose command line holds `needle`, or -1.
// Wine reports no CPU times for other processes: the Linux process's own account (/proc, seen on drive Z:)
// is read instead.
double CpuSeconds(const std::string& needle);

}  // namespace bench
