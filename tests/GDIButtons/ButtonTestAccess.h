// What the tests read of the buttons' pushes: a copy of each button's last image and their count, kept by
// a push observer that the window tests set.
#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "GDIButtons/CustomGDIButton.h"
#include "GDIButtons/PushObserver.h"

// A copy of what one UpdateLayeredWindow call pushed.
struct TPushedImage {
  int Width = 0;
  int Height = 0;
  POINT Destination{};  // the window's top-left on the screen
  POINT Offset{};       // the image's top-left in the pixels of its button
  BYTE ConstantAlpha = 0;
  bool Succeeded = false;             // what UpdateLayeredWindow returned
  std::vector<std::uint32_t> Pixels;  // premultiplied BGRA, top-down, Width x Height

  // At (x, y) of the button; 0 outside the image.
  std::uint32_t Pixel(int x, int y) const {
    x -= Offset.x;
    y -= Offset.y;
    if (x < 0 || y < 0 || x >= Width || y >= Height) return 0;
    const size_t index = static_cast<size_t>(y) * static_cast<size_t>(Width) + static_cast<size_t>(x);
    return index < Pixels.size() ? Pixels[index] : 0;
  }
};

class TPushRecorder final : public TPushObserver {
 public:
  static TPushRecorder& Instance() {
    static TPushRecorder recorder;
    return recorder;
  }
  // Counts every push from now on, and while keep is on, keeps a copy of each button's last image (off
  // when a test ends: the hint window's image is desktop-sized).
  void Keep(bool keep) {
    keep_ = keep;
    if (!keep) {
      for (auto& [button, record] : records_) record.Last.Pixels = {};
    }
  }
  int Count(const TCustomGDIButton& button) { return records_[&button].Count; }
  const TPushedImage& Last(const TCustomGDIButton& button) { return records_[&button].Last; }

  void Pushed(const TCustomGDIButton& button, const TPushedFrame& frame) override {
    Record& record = records_[&button];
    ++record.Count;
    if (!keep_) return;
    TPushedImage& image = record.Last;
    image.Width = frame.Size.cx;
    image.Height = frame.Size.cy;
    image.Destination = frame.Destination;
    image.Offset = frame.Offset;
    image.ConstantAlpha = frame.ConstantAlpha;
    image.Succeeded = frame.Succeeded;
    image.Pixels.clear();
    if (!frame.Pixels) return;
    image.Pixels.reserve(static_cast<size_t>(frame.Size.cx) * static_cast<size_t>(frame.Size.cy));
    for (int y = 0; y < frame.Size.cy; ++y) {
      const std::uint32_t* row = frame.Pixels + static_cast<size_t>(y) * static_cast<size_t>(frame.Stride);
      image.Pixels.insert(image.Pixels.end(), row, row + frame.Size.cx);
    }
  }
  void Destroyed(const TCustomGDIButton& button) override { records_.erase(&button); }

 private:
  struct Record {
    int Count = 0;
    TPushedImage Last;
  };
  bool keep_ = false;
  std::unordered_map<const TCustomGDIButton*, Record> records_;
};

struct TCustomGDIButtonTestAccess {
  static void SetKeepPushedImages(bool keep) { TPushRecorder::Instance().Keep(keep); }
};

// What the tests' buttons are made with: their pushes go to the recorder (and high contrast comes from
// `contrast`, the system's when null).
inline TButtonSystem RecordedPushes(TContrastSource contrast = nullptr) {
  return {contrast, &TPushRecorder::Instance()};
}

// How many times the button, made with RecordedPushes, pushed an image to its window.
inline int PushCount(const TCustomGDIButton& button) {
  return TPushRecorder::Instance().Count(button);
}
// The image the button pushed last (kept only while pushed images are kept).
inline const TPushedImage& LastPushedImage(const TCustomGDIButton& button) {
  return TPushRecorder::Instance().Last(button);
}
