// Button "class references" of a group: factories that build the ring's buttons and its hint window, and
// the XML constructor with the reading of the colours it builds a button with.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>

#include "GDIButtons/CustomGDIButton.h"
#include "xml/XmlHost.h"

class TXmlDocument;

// Reads "DefaultColor" and "HotColor" (low 32 bits of the root's 64-bit attributes, 0 when missing)
// from the configuration file, through `host`. A missing file is reported by the document and gives
// black; a file that does not parse throws.
TButtonColors ReadButtonColors(const std::wstring& xmlFileName, const TXmlHost& host = {});
// The colours of a loaded configuration document, as ReadButtonColors reads them from its file.
TButtonColors ButtonColorsOf(const TXmlDocument& document);

// The XML constructor: reads the colours, then constructs a Button with them. Every button class
// that a group creates needs the constructor Button(TComponent* owner, const TButtonColors&,
// TButtonStart).
template <class Button>
std::unique_ptr<Button> CreateFromXml(TComponent* owner, const std::wstring& xmlFileName,
                                      TButtonStart start = TButtonStart::Shown) {
  static_assert(std::is_base_of_v<TCustomGDIButton, Button>);
  return std::make_unique<Button>(owner, ReadButtonColors(xmlFileName), start);
}

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
    return std::make_unique<Button>(owner, ReadButtonColors(xmlFileName, inputs.Host), inputs.Start);
  };
}

template <class Button>
THintWindowClass HintWindowClass() {
  return
      [](TComponent* owner) -> std::unique_ptr<TCustomGDIButton> { return std::make_unique<Button>(owner); };
}
// The same, the window made with `system` (CustomGDIButton.h).
template <class Button>
THintWindowClass HintWindowClass(const TButtonSystem& system) {
  return [system](TComponent* owner) -> std::unique_ptr<TCustomGDIButton> {
    return std::make_unique<Button>(owner, TButtonColors{}, TButtonStart::Shown, system);
  };
}
