// Button "class references" of a group: factories that build the ring's buttons and its hint window.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "GDIButtons/CustomGDIButton.h"

// Builds a centre or segment button the way the XML constructor does: colours from the file, then
// the class's constructor.
using TGDIButtonClass =
    std::function<std::unique_ptr<TCustomGDIButton>(TComponent* owner, const std::wstring& xmlFileName)>;
// Builds the hint window with its plain constructor. May be empty: the group then has no hint window.
using THintWindowClass = std::function<std::unique_ptr<TCustomGDIButton>(TComponent* owner)>;

template <class Button>
TGDIButtonClass GDIButtonClass() {
  return [](TComponent* owner, const std::wstring& xmlFileName) -> std::unique_ptr<TCustomGDIButton> {
    return TCustomGDIButton::CreateFromXml<Button>(owner, xmlFileName);
  };
}

template <class Button>
THintWindowClass HintWindowClass() {
  return
      [](TComponent* owner) -> std::unique_ptr<TCustomGDIButton> { return std::make_unique<Button>(owner); };
}
