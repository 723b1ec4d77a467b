// Render + push of pie buttons under Wine: one 180 px segment, the centre disc, and whole 40-segment rings.
// Each render builds its off-screen image, fills the pie with GDI+ and pushes it with UpdateLayeredWindow.
// Usage: ButtonBench [runs]   (default 200 timed runs per case; the median is the figure to compare)
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "GDIButtons/CustomGDIButton.h"
#include "GDIButtons/RingLayout.h"
#include "bench/windows/BenchSupport.h"
#include "framework/Forms.h"

namespace {

constexpr TARGB kNormal = MakeColor(255, 0, 128, 255);

// Opens up the two halves of a render, so each can be timed on its own.
class TBenchButton : public TCustomGDIButton {
 public:
  using TCustomGDIButton::PushSurface;
  using TCustomGDIButton::TCustomGDIButton;
};

std::unique_ptr<TBenchButton> MakeButton(TForm& owner, int size, std::uint8_t kind,
                                         const vantel::PieRectValues& rect) {
  auto button = std::make_unique<TBenchButton>(&owner, TButtonColors{kNormal, kNormal});
  button->SetBounds(100, 100, size, size);
  button->SetButtonKind(kind);
  button->PieRect()->Assign(rect);
  button->UpdateLayered();  // past the first render, which draws nothing
  return button;
}

// A ring of `count` segments of `size` pixels, laid out as the group lays them out.
std::vector<std::unique_ptr<TBenchButton>> MakeRing(TForm& owner, int count, int size) {
  std::vector<std::unique_ptr<TBenchButton>> ring;
  for (int i = 0; i < count; ++i)
    ring.push_back(MakeButton(owner, size, 0, vantel::SegmentRect(i, count, size, size)));
  return ring;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  bench::Session session;
  bench::Options options;
  if (argc > 1) options.Runs = std::max(1, _wtoi(argv[1]));
  options.Prepare = [] { bench::PumpMessages(); };
  TForm owner(nullptr);

  bench::Table table("Pie button render + push (" + std::to_string(GetSystemMetrics(SM_CXSCREEN)) + "x" +
                     std::to_string(GetSystemMetrics(SM_CYSCREEN)) + " desktop, " +
                     std::to_string(options.Runs) + " runs each)");

  {
    auto segment = MakeButton(owner, 180, 0, vantel::SegmentRect(0, 4, 180, 180));
    table.Add(bench::Measure(
        "segment 180 px: UpdateLayered", [&] { segment->UpdateLayered(); }, options));
    table.Add(bench::Measure(
        "segment 180 px: Repaint (WM_PAINT path)", [&] { segment->Repaint(); }, options));
    // The two halves: a fresh image with the pie drawn, and the push of a finished image.
    table.Add(bench::Measure(
        "segment 180 px: image + DrawPie only",
        [&] {
          TLayeredSurface surface(180, 180);
          segment->DrawPie(surface, segment->PieRect());
        },
        options));
    TLayeredSurface drawn(180, 180);
    segment->DrawPie(drawn, segment->PieRect());
    table.Add(bench::Measure(
        "segment 180 px: push only", [&] { segment->PushSurface(drawn, 150); }, options));
    auto disc = MakeButton(owner, 180, 1, vantel::LayoutCenterRect(180, 180));
    table.Add(bench::Measure(
        "centre disc 180 px: UpdateLayered", [&] { disc->UpdateLayered(); }, options));
  }

  bench::Options ringOptions = options;
  ringOptions.Runs = std::max(1, options.Runs / 4);
  ringOptions.Warmup = 3;
  for (int size : {180, 580}) {
    auto ring = MakeRing(owner, 40, size);
    const std::string name = "ring of 40 segments, " + std::to_string(size) + " px: all UpdateLayered";
    const bench::Result& r = table.Add(bench::Measure(
        name,
        [&] {
          for (auto& button : ring) button->UpdateLayered();
        },
        ringOptions));
    bench::Result perSegment = r;
    perSegment.Name = "  per segment";
    for (double* v :
         {&perSegment.Median, &perSegment.Min, &perSegment.P90, &perSegment.Max, &perSegment.Mean})
      *v /= 40.0;
    table.Add(perSegment);
    TBenchButton& one = *ring.front();
    table.Add(bench::Measure(
        "  one " + std::to_string(size) + " px segment: image + DrawPie only",
        [&] {
          TLayeredSurface surface(size, size);
          one.DrawPie(surface, one.PieRect());
        },
        options));
    TLayeredSurface image(size, size);
    one.DrawPie(image, one.PieRect());
    table.Add(bench::Measure(
        "  one " + std::to_string(size) + " px segment: push only", [&] { one.PushSurface(image, 150); },
        options));
  }

  table.Print();
  return 0;
}
