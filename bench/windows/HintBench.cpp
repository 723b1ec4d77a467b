// Hover -> name pushed: the time from a hovered button handing its name to the hint window until the
// window's new image has been pushed, on the virtual desktop this runs on (VANTEL_SCREEN sets its size).
// Compares the hint window with a baseline that builds a fresh desktop-sized image for every hover.
#include <ole2.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "GDIButtons/ButtonGroup.h"
#include "GDIButtons/DragGDIButton.h"
#include "GDIButtons/GDIButtonClass.h"
#include "GDIButtons/HintGDIButton.h"
#include "framework/Forms.h"
#include "framework/GdiPlusSession.h"

namespace {

using Clock = std::chrono::steady_clock;

// The straightforward render: a new desktop-sized image per hover, pushed whole.
class TFreshImageHint : public THintGDIButton {
 public:
  using THintGDIButton::THintGDIButton;
  void UpdateLayered() override { TCustomGDIButton::UpdateLayered(); }
};

struct Summary {
  double median = 0, p90 = 0, max = 0;
};

Summary Summarise(std::vector<double> ms) {
  std::sort(ms.begin(), ms.end());
  Summary s;
  if (ms.empty()) return s;
  s.median = ms.size() % 2 ? ms[ms.size() / 2] : (ms[ms.size() / 2 - 1] + ms[ms.size() / 2]) / 2;
  s.p90 = ms[std::min(ms.size() - 1, ms.size() * 9 / 10)];
  s.max = ms.back();
  return s;
}

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

double Ms(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

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

template <class Hint>
Summary MeasureHovers(TForm& form, int hovers) {
  TGDIButtonClass buttons = [](TComponent* owner, const std::wstring&) -> std::unique_ptr<TCustomGDIButton> {
    return std::make_unique<TDragGDIButton>(owner,
                                            TButtonColors{MakeColor(40, 90, 200), MakeColor(230, 140, 20)});
  };
  TGDICustomButtonGroup group(&form, buttons, {}, HintWindowClass<Hint>());
  group.SetWidth(180);
  group.SetHeight(180);
  group.ShowAll();
  auto* hint = static_cast<THintGDIButton*>(group.HintWindow());
  Pump();
  std::vector<double> times;
  for (int i = 0; i < hovers + 3; ++i) {
    const std::wstring& name = kNames[static_cast<size_t>(i) % kNames.size()];
    const Clock::time_point start = Clock::now();
    hint->ShowHintText(name);  // what a hovered button does: text, show, repaint now
    const Clock::time_point pushed = Clock::now();
    if (i >= 3) times.push_back(Ms(pushed - start));  // the first ones warm up fonts and caches
    Pump();
    hint->HideHintText();  // the mouse leaves
    Pump();
  }
  return Summarise(times);
}

// The raw cost of pushing a desktop-sized image, whole and as a text-sized part, to a layered window.
void MeasurePushes(TForm& form, int rounds) {
  const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
  const int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
  THintGDIButton window(&form);
  window.SetBounds(0, 0, width, height);
  window.Show();
  TLayeredSurface surface(width, height);
  BLENDFUNCTION blend{AC_SRC_OVER, 0, 150, AC_SRC_ALPHA};
  POINT destination{0, 0}, source{0, 0};
  SIZE size{width, height};
  RECT part{600, 300, 1000, 360};
  std::vector<double> whole, partial, allocate;
  for (int i = 0; i < rounds; ++i) {
    Clock::time_point t = Clock::now();
    UpdateLayeredWindow(window.Handle(), nullptr, &destination, &size, surface.DC(), &source, 0, &blend,
                        ULW_ALPHA);
    whole.push_back(Ms(Clock::now() - t));
    UPDATELAYEREDWINDOWINFO info{sizeof(info), nullptr, &destination, &size,     surface.DC(),
                                 &source,      0,       &blend,       ULW_ALPHA, &part};
    t = Clock::now();
    UpdateLayeredWindowIndirect(window.Handle(), &info);
    partial.push_back(Ms(Clock::now() - t));
    t = Clock::now();
    { TLayeredSurface fresh(width, height); }
    allocate.push_back(Ms(Clock::now() - t));
    Pump();
  }
  const Summary w = Summarise(whole), p = Summarise(partial), a = Summarise(allocate);
  std::printf("  push whole image           median %7.2f ms  p90 %7.2f  max %7.2f\n", w.median, w.p90, w.max);
  std::printf("  push 400x60 dirty part     median %7.2f ms  p90 %7.2f  max %7.2f\n", p.median, p.p90, p.max);
  std::printf("  make + clear desktop image median %7.2f ms  p90 %7.2f  max %7.2f\n", a.median, a.p90, a.max);
}

void Print(const char* what, const Summary& s) {
  std::printf("  %-26s median %7.2f ms  p90 %7.2f  max %7.2f  %s\n", what, s.median, s.p90, s.max,
              s.p90 <= 1000.0 / 60 ? "(within a 60 Hz frame)" : "(slower than a 60 Hz frame)");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  int hovers = 40;
  if (argc > 1) hovers = std::max(1, _wtoi(argv[1]));
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  const HRESULT ole = OleInitialize(nullptr);
  {
    GdiPlusSession gdiplus;
    TApplication application;
    TScreen screen;
    TForm form(nullptr);
    std::printf("Hint window, hover -> name pushed, virtual desktop %d x %d, %d hovers\n",
                GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN), hovers);
    Print("text-sized window", MeasureHovers<THintGDIButton>(form, hovers));
    // Fewer rounds: under Wine without a window manager, hiding a desktop-sized window waits 2 s for one.
    Print("fresh image per hover", MeasureHovers<TFreshImageHint>(form, std::min(hovers, 15)));
    MeasurePushes(form, std::max(5, hovers / 4));
  }
  if (SUCCEEDED(ole)) OleUninitialize();
  return 0;
}
