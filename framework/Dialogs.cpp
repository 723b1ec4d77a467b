// TColorDialog over ChooseColorW.
#include "framework/Dialogs.h"

#include <commdlg.h>

#include <stdexcept>

#include "framework/Controls.h"
#include "framework/SystemMessage.h"
#include "framework/text/TextCodec.h"

namespace {
// The dialog's custom colours live as long as the process, shared by every colour dialog.
COLORREF customColors[16] = {};

// The common dialogs are loaded when a dialog first opens, not with the program: the library and the
// printing libraries it brings along cost every start some megabytes, and most runs never open one.
using ChooseColorFunction = BOOL(WINAPI*)(CHOOSECOLORW*);
struct ChooseColorEntry {
  ChooseColorFunction Function = nullptr;
  DWORD Error = 0;  // why there is none
};
const ChooseColorEntry& ChooseColorLoaded() {
  static const ChooseColorEntry entry = [] {
    ChooseColorEntry loaded;
    // Kept loaded for the rest of the process, as an imported library would be.
    if (HMODULE library = LoadLibraryExW(L"comdlg32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {
      loaded.Function = reinterpret_cast<ChooseColorFunction>(
          reinterpret_cast<void*>(GetProcAddress(library, "ChooseColorW")));
    }
    if (!loaded.Function) loaded.Error = GetLastError();
    return loaded;
  }();
  return entry;
}
}  // namespace

TColorDialog::TColorDialog(TComponent* owner) : TComponent(owner) {}

bool TColorDialog::Execute() {
  CHOOSECOLORW choose{};
  choose.lStructSize = sizeof(choose);
  // Owned by the form that holds the dialog, so it opens in front of that form even when another
  // window is active (an ownerless dialog can open behind a topmost form, out of reach).
  HWND owner = nullptr;
  if (auto* form = dynamic_cast<TWinControl*>(Owner())) {
    owner = form->HandleAllocated() ? form->Handle() : nullptr;
  }
  choose.hwndOwner = owner ? owner : GetActiveWindow();
  choose.rgbResult = Color;
  choose.lpCustColors = customColors;
  choose.Flags = CC_RGBINIT | (FullOpen ? CC_FULLOPEN : 0);
  const ChooseColorEntry& chooseColor = ChooseColorLoaded();
  if (!chooseColor.Function) {
    throw std::runtime_error("Cannot open the colour dialog. " +
                             WideToGb18030(SystemMessage(chooseColor.Error)));
  }
  if (!chooseColor.Function(&choose)) return false;
  Color = choose.rgbResult;
  return true;
}
