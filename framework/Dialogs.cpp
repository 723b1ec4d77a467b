// TColorDialog over ChooseColorW.
#include "framework/Dialogs.h"

#include <commdlg.h>

#include "framework/Controls.h"

namespace {
// The dialog's custom colours live as long as the process, shared by every colour dialog.
COLORREF customColors[16] = {};
}  // namespace

TColorDialog::TColorDialog(TComponent* owner) : TComponent(owner) {}

bool TColorDialog::Execute() {
  CHOOSECOLORW choose{};
  choose.lStructSize = sizeof(choose);
  // Owned by the form that holds the dialog, so it opens in front of that form even when another
  // window is active (an ownerless dialog can open behind a topmost form, out of reach).
  HWND owner = nullptr;
  if (auto* form = dynamic_cast<TWinControl*>(Owner()))
    owner = form->HandleAllocated() ? form->Handle() : nullptr;
  choose.hwndOwner = owner ? owner : GetActiveWindow();
  choose.rgbResult = Color;
  choose.lpCustColors = customColors;
  choose.Flags = CC_RGBINIT | (FullOpen ? CC_FULLOPEN : 0);
  if (!ChooseColorW(&choose)) return false;
  Color = choose.rgbResult;
  return true;
}
