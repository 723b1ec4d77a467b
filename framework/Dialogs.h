// TColorDialog: the common colour dialog (ChooseColorW).
#pragma once

#include "framework/Component.h"
#include "framework/Win32.h"

class TColorDialog : public TComponent {
 public:
  explicit TColorDialog(TComponent* owner);
  COLORREF Color = 0;  // in: initial colour; out: the chosen one
  bool FullOpen = false;
  // Shows the dialog modally (owned by the window that owns this component, else the active window); false
  // when cancelled. The 16 custom colours are kept for the whole process.
  bool Execute();
};
