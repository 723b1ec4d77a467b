// The timing harness: session set-up, high-resolution timing, medians and the printed table.
#include "bench/windows/BenchSupport.h"

#include <ole2.h>

#include <algorithm>
#include <numeric>
#include <string>
#include <sstream>
#include <iterator>
#include <fstream>
#include <filesystem>

#include "framework/Forms.h"
#include "framework/GdiPlusSession.h"
#include "framework/text/TextCodec.h"

namespace bench {

struct Session::Parts {
  HRESULT ole = OleInitialize(nullptr);
  GdiPlusSession gdiplus;
  TApplication application;
  TScreen screen;
  ~Parts() = default;
};

Session::Session() : parts_(std::make_unique<Parts>()) {
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  parts_->application.OnException = [](const std::wstring& message) {
    std::fprintf(stderr, "error: %s\n", WideToGb18030(message).c_str());
  };
}

Session::~Session() {
  const bool ole = SUCCEEDED(parts_->ole);
  parts_.reset();
  if (ole) OleUninitialize();
}

void PumpMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

Result Summarise(std::string name, std::vector<double> samples) {
  Result r;
  r.Name = std::move(name);
  r.Runs = static_cast<int>(samples.size());
  if (samples.empty()) return r;
  std::sort(samples.begin(), samples.end());
  const size_t n = samples.size();
  r.Median = n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
  r.Min = samples.front();
  r.Max = samples.back();
  r.P90 = samples[std::min(n - 1, (n * 9) / 10)];
  r.Mean = std::accumulate(samples.begin(), samples.end(), 0.0) / static_cast<double>(n);
  return r;
}

Result Measure(std::string name, const std::function<void()>& body, const Options& options) {
  LARGE_INTEGER frequency{};
  QueryPerformanceFrequency(&frequency);
  for (int i = 0; i < options.Warmup; ++i) {
    if (options.Prepare) options.Prepare();
    body();
  }
  std::vector<double> samples;
  samples.reserve(static_cast<size_t>(std::max(options.Runs, 0)));
  for (int i = 0; i < options.Runs; ++i) {
    if (options.Prepare) options.Prepare();
    LARGE_INTEGER start{}, end{};
    QueryPerformanceCounter(&start);
    body();
    QueryPerformanceCounter(&end);
    samples.push_back(static_cast<double>(end.QuadPart - start.QuadPart) * 1e6 /
                      static_cast<double>(frequency.QuadPart));
  }
  return Summarise(std::move(name), std::move(samples));
}

const Result& Table::Add(Result result) {
  results_.push_back(std::move(result));
  return results_.back();
}

void Table::Print(std::FILE* out) const {
  size_t width = 4;
  for (const Result& r : results_) width = std::max(width, r.Name.size());
  const int w = static_cast<int>(width);
  std::fprintf(out, "%s\n", title_.c_str());
  std::fprintf(out, "%-*s %6s %12s %12s %12s %12s\n", w, "case", "runs", "median us", "min us", "p90 us",
               "max us");
  for (const Result& r : results_)
    std::fprintf(out, "%-*s %6d %12.1f %12.1f %12.1f %12.1f\n", w, r.Name.c_str(), r.Runs, r.Median, r.Min,
                 r.P90, r.Max);
  std::fflush(out);
}

namespace {
double CpuSecondsOf(const std::string& needle) {
  std::error_code error;
  int newest = -1;
  for (const auto& entry : std::filesystem::directory_iterator(L"Z:\\proc", error)) {
    const std::wstring name = entry.path().filename().wstring();
    if (name.empty() || name.find_first_not_of(L"0123456789") != std::wstring::npos) continue;
    std::ifstream in(entry.path() / L"cmdline", std::ios::binary);
    const std::string line((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (line.find(needle) != std::string::npos) newest = std::max(newest, std::stoi(name));
  }
  if (newest < 0) return -1;
  std::ifstream in(std::filesystem::path(L"Z:\\proc") / std::to_wstring(newest) / L"stat");
  const std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const size_t close = stat.rfind(')');
  if (close == std::string::npos) return -1;
  std::istringstream fields(stat.substr(close + 2));
  std::string field;
  double ticks = 0;
  for (int i = 0; i < 13 && fields >> field; ++i)
    if (i == 11 || i == 12) ticks += std::stod(field);  // utime, stime
  return ticks / 100.0;                                 // USER_HZ
}

}  // namespace

double CpuSeconds(const std::string& needle) {
  try {
    return CpuSecondsOf(needle);
  } catch (const std::exception&) {
    return -1;  // a process's files went away while they were read
  }
}

}  // namespace bench
