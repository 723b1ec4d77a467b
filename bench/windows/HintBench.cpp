// Hover -> name pushed: the time from a hovered button handing its name to the hint window (text, show,
// repaint now) until the window's new image has been pushed, on the virtual desktop this runs on
// (VANTEL_SCREEN sets its size). Compares the hint window with the straightforward render that builds a
// fresh desktop-sized image for every hover and pushes all of it, and shows what the pushes themselves cost.
// Usage: HintBench [runs]   (default 60 timed hovers; the median is the figure to compare)
#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>
#include <cwchar>

#include "GDIButtons/ButtonGroup.h"
#include "GDIButtons/DragGDIButton.h"
#include "GDIButtons/GDIButtonClass.h"
#include "GDIButtons/HintGDIButton.h"
#include "bench/windows/BenchSupport.h"
#include "framework/Forms.h"

namespace {

// The straightforward render: a new desktop-sized image per hover, pushed whole.
class TFreshImageHint : public THintGDIButton {
 public:
  using THintGDIButton::THintGDIButton;
  void UpdateLayered() override { TCustomGDIButton::UpdateLayered(); }
};

// Names a ring might hold: Latin, Chinese, mixed, long.
const std::vector<std::wstring> kNames = {
    L"notepad.exe",
    L"记事本",
    L"年度报告 2024.docx",
    L"Calculator",
    L"一个很长的文件名称用来测试提示文字的宽度.txt",
    L"setup",
    L"照片",
    L"Vantel 使用说明.pdf",
};

// A 180 px ring in the middle of the desktop with a hint window of class Hint; times one hover per run,
// the mouse leaving (hide) between runs untimed.
template <class Hint>
bench::Result MeasureHovers(const std::string& name, TForm& owner, bench::Options options) {
  TGDIButtonClass buttons = [](TComponent* o, const std::wstring&,
                               const TButtonInputs&) -> std::unique_ptr<TCustomGDIButton> {
    return std::make_unique<TDragGDIButton>(o,
                                            TButtonColors{MakeColor(40, 90, 200), MakeColor(230, 140, 20)});
  };
  TGDICustomButtonGroup group(&owner, buttons, {}, HintWindowClass<Hint>());
  group.SetWidth(180);
  group.SetHeight(180);
  group.ShowAll();
  auto* hint = static_cast<THintGDIButton*>(group.HintWindow());
  size_t next = 0;
  options.Prepare = [hint] {
    hint->HideHintText();
    bench::PumpMessages();
  };
  return bench::Measure(
      name, [&] { hint->ShowHintText(kNames[next++ % kNames.size()]); }, options);
}

// The whole hover as the ring delivers it: the mouse enters the centre disc, which holds a file; the
// disc takes its hover colour and hands the file's name to the hint window, which shows it at once.
bench::Result MeasureMouseEnter(TForm& owner, bench::Options options) {
  TGDIButtonClass buttons = [](TComponent* o, const std::wstring&,
                               const TButtonInputs&) -> std::unique_ptr<TCustomGDIButton> {
    return std::make_unique<TDragGDIButton>(o,
                                            TButtonColors{MakeColor(40, 90, 200), MakeColor(230, 140, 20)});
  };
  TGDICustomButtonGroup group(&owner, buttons, {}, HintWindowClass<THintGDIButton>());
  group.SetWidth(180);
  group.SetHeight(180);
  group.ShowAll();
  TCustomGDIButton* centre = group.CentreButton();
  wcscpy_s(centre->FileInfo.szDisplayName, L"年度报告 2024.docx");
  options.Prepare = [centre] {
    centre->Perform(CM_MOUSELEAVE, 0, 0);
    bench::PumpMessages();
  };
  return bench::Measure(
      "mouse enters a button (whole hover)", [centre] { centre->Perform(CM_MOUSEENTER, 0, 0); }, options);
}

// The raw cost of pushing a desktop-sized image to a layered window, whole and with a text-sized dirty
// part, and of making such an image.
void MeasurePushes(bench::Table& table, TForm& owner, bench::Options options) {
  const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
  const int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
  THintGDIButton window(&owner);
  TLayeredSurface surface(width, height);
  BLENDFUNCTION blend{AC_SRC_OVER, 0, 150, AC_SRC_ALPHA};
  POINT destination{0, 0}, source{0, 0};
  SIZE size{width, height};
  RECT part{600, 300, 1000, 360};
  UpdateLayeredWindow(window.Handle(), nullptr, &destination, &size, surface.DC(), &source, 0, &blend,
                      ULW_ALPHA);
  options.Prepare = [] { bench::PumpMessages(); };
  table.Add(bench::Measure(
      "push a desktop image, whole",
      [&] {
        UpdateLayeredWindow(window.Handle(), nullptr, &destination, &size, surface.DC(), &source, 0, &blend,
                            ULW_ALPHA);
      },
      options));
  table.Add(bench::Measure(
      "push a desktop image, 400x60 dirty",
      [&] {
        UPDATELAYEREDWINDOWINFO info{sizeof(info), nullptr, &destination, &size,     surface.DC(),
                                     &source,      0,       &blend,       ULW_ALPHA, &part};
        UpdateLayeredWindowIndirect(window.Handle(), &info);
      },
      options));
  table.Add(bench::Measure(
      "make a desktop image", [&] { TLayeredSurface fresh(width, height); }, options));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  bench::Session session;
  bench::Options options;
  options.Runs = 60;
  options.Warmup = 3;
  if (argc > 1) options.Runs = std::max(1, _wtoi(argv[1]));
  TForm owner(nullptr);

  const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
  const int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
  bench::Table table("Hint window, hover -> name pushed (" + std::to_string(width) + "x" +
                     std::to_string(height) + " virtual desktop; a 60 Hz frame is 16667 us)");
  table.Add(MeasureHovers<THintGDIButton>("hover, hint window", owner, options));
  table.Add(MeasureMouseEnter(owner, options));
  // Fewer runs of the slow cases (and in a prefix that lets a window manager manage the windows, hiding
  // a desktop-sized window waits up to 2 s for one that Xvfb does not have).
  bench::Options few = options;
  few.Runs = std::min(options.Runs, 15);
  table.Add(MeasureHovers<TFreshImageHint>("hover, fresh desktop image (before)", owner, few));
  MeasurePushes(table, owner, few);
  table.Print();
  return 0;
}
