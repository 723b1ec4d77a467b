// Button "class references" of a group: factories that build the ring's buttons and its hint window.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "GDIButtons/CustomGDIButton.h"
#include "xml/XmlHost.h"

// What a group hands a centre or segment button it makes; nothing else decides how the button starts.
struct TButtonInputs {
  // The colours of the group's loaded configuration; without them the button reads its file.
  std::optional<TButtonColors> Colors;
  // Hidden while the ring is being built (the group holds drawing): the window shows with its picture.
  TButtonStart Start = TButtonStart::Shown;
  // Where the file is read when the colours are not given (null members: the default host's).
  TXmlHost Host;
};

// Builds a centre or segment button the way the XML constructor does: the colours (from the file unless
// given), then the class's constructor.
using TGDIButtonClass = std::function<std::unique_ptr<TCustomGDIButton>(
    TComponent* owner, const std::wstring& xmlFileName, const TButtonInputs& inputs)>;
// Builds the hint window with its plain constructor. May be empty: the group then has no hint window.
using THintWindowClass = std::function<std::unique_ptr<TCustomGDIButton>(TComponent* owner)>;

template <class Button>
TGDIButtonClass GDIButtonClass() {
  return [](TComponent* owner, const std::wstring& xmlFileName,
            const TButtonInputs& inputs) -> std::unique_ptr<TCustomGDIButton> {
    if (inputs.Colors) return std::make_unique<Button>(owner, *inputs.Colors, inputs.Start);
    return std::make_unique<Button>(owner, TCustomGDIButton::ReadColorsFromXml(xmlFileName, inputs.Host),
                                    inputs.Start);
  };
}

template <class Button>
THintWindowClass HintWindowClass() {
  return
      [](TComponent* owner) -> std::unique_ptr<TCustomGDIButton> { return std::make_unique<Button>(owner); };
}
