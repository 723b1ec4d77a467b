// Pure rules of the drop-and-launch button.
#include "GDIButtons/DragButtonLogic.h"

namespace vantel {

int DropModeForButtons(bool leftHeld, bool rightHeld) noexcept {
  int mode = kDropModeNoButton;
  if (leftHeld) mode = kDropModeLeftButton;
  if (rightHeld) mode = kDropModeRightButton;
  return mode;
}

std::vector<DropStep> PlanDrop(int mode, const std::wstring& currentFile,
                               const std::vector<std::wstring>& paths) {
  std::vector<DropStep> steps;
  bool holdsFile = !currentFile.empty();
  bool tookFile = false;  // this drop changed the dropped-on button
  for (std::size_t k = 0; k < paths.size(); ++k) {
    if (mode == kDropModeLeftButton && holdsFile) {
      // The button's file taken earlier in this same drop must reach the configuration as well.
      if (tookFile) steps.push_back({DropStepKind::StoreHere, 0});
      steps.push_back({DropStepKind::AddSegment, k});
      return steps;
    }
    if (mode == kDropModeLeftButton || mode == kDropModeRightButton) {
      steps.push_back({DropStepKind::TakeHere, k});
      holdsFile = !paths[k].empty();
      tookFile = true;
    }
  }
  steps.push_back({DropStepKind::StoreHere, 0});
  return steps;
}

int ShellIconSizeForDpi(int dpi) noexcept {
  constexpr int kLargeIcon = 32;
  constexpr int kBaseDpi = 96;
  if (dpi <= 0) return kLargeIcon;
  // Rounded to the nearest pixel, as the system scales its metrics.
  return static_cast<int>((static_cast<long long>(kLargeIcon) * dpi + kBaseDpi / 2) / kBaseDpi);
}

}  // namespace vantel
