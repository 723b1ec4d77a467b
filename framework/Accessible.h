// Accessible objects of standard controls: the system's object for a control's client area, with what the
// program knows better (a name from a label, a role, a value) put over it.
#pragma once

#include <functional>
#include <string>

#include "framework/Controls.h"

struct TAccessibleInfo {
  std::function<std::wstring()> Name;   // unset: the system's
  std::function<std::wstring()> Value;  // unset: the system's
  long Role = 0;                        // 0: the system's
  std::wstring DefaultAction;           // empty: the system's; with DoDefaultAction
  // Must return at once (post what it starts): the caller may be another process waiting on the answer.
  std::function<void()> DoDefaultAction;
};

// The control answers WM_GETOBJECT for its client with the system's object under `info` (once per
// control). An object a client keeps after the control is gone gives only the system's answers.
void SetAccessibleInfo(TWinControl& control, TAccessibleInfo info);

// Tells accessibility clients that a control's value changed (EVENT_OBJECT_VALUECHANGE on its client).
void NotifyAccessibleValueChange(TWinControl& control);
