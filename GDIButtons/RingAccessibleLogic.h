// Pure rules of the ring's accessible objects: the name a window gives, its states, its slice's box.
#pragma once

#include <cstdint>
#include <string>

#include "GDIButtons/PieGeometry.h"
#include "xml/ConfigFormat.h"

namespace vantel {

// What a screen reader says for a button without a file: that it is empty and how to fill it.
inline constexpr const wchar_t* kEmptySlotName = L"空位：把文件拖到这里";
// The default action of a button that holds a file.
inline constexpr const wchar_t* kOpenAction = L"打开";
// The default action of a folder segment, whose folder opens as a ring of its own.
inline constexpr const wchar_t* kExpandAction = L"展开";

// The accessibility state bits used here (the system's STATE_SYSTEM_ values, so this file needs no
// <windows.h>).
inline constexpr std::uint32_t kStateFocused = 0x4, kStateHotTracked = 0x80, kStateInvisible = 0x8000,
                               kStateFocusable = 0x100000;

// The name: the display name the hover shows, or kEmptySlotName when there is none.
[[nodiscard]] std::wstring AccessibleName(const std::wstring& displayName);

// Every ring button can take the keys' selection; it is focused while its window has the keyboard focus and
// is hot while the pointer is on it.
[[nodiscard]] std::uint32_t AccessibleState(bool visible, bool focused, bool pointerOn) noexcept;

// The box round what a button of `kind` draws of `pie` (ConfigFormat::KindCentre: the whole disc;
// ConfigFormat::KindSegment: the band between the hole, half the rim's size, and the rim), in the pie's
// pixels.
[[nodiscard]] RectF SliceBox(std::uint8_t kind, const PieRectValues& pie) noexcept;

}  // namespace vantel
