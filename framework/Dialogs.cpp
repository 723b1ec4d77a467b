// TColorDialog over ChooseColorW.
#include "framework/Dialogs.h"

#include <commdlg.h>

namespace {
// The dialog's custom colours live as long as the process, shared by every colour dialog.
COLORREF customColors[16] = {};
}  // namespace

TColorDialog::TColorDialog(TComponent* owner) : TComponent(owner) {}

bool TColorDialog::Execute() {
  CHOOSECOLORW choose{};
  choose.lStructSize = sizeof(choose);
  choose.hwndOwner = GetActiveWindow();
  choose.rgbResult = Color;
  choose.lpCustColors = customColors;
  choose.Flags = CC_RGBINIT | (FullOpen ? CC_FULLOPEN : 0);
  if (!ChooseColorW(&choose)) return false;
  Color = choose.rgbResult;
  return true;
}
