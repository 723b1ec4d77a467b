// TMenuSkin: measuring and drawing menu items (gradient icon column, gradient selection, separators).
#include "app/MenuSkin.h"

#include <algorithm>

#include "framework/Dpi.h"

namespace {
constexpr int kTextGap = 8;     // between the icon column and the caption
constexpr int kArrowRoom = 20;  // right of the caption: submenu arrow
constexpr int kSeparatorHeight = 7;
constexpr int kMinItemHeight = 20;

COLORREF Mix(COLORREF a, COLORREF b, int percentOfB) {
  auto channel = [&](int shift) {
    const int ca = static_cast<int>((a >> shift) & 0xFF), cb = static_cast<int>((b >> shift) & 0xFF);
    return static_cast<COLORREF>((ca * (100 - percentOfB) + cb * percentOfB) / 100) << shift;
  };
  return channel(0) | channel(8) | channel(16);
}

// GdiGradientFill (the same as GradientFill, from gdi32 itself) from `from` to `to`, left to right or top to
// bottom.
void Gradient(HDC dc, const RECT& r, COLORREF from, COLORREF to, bool vertical) {
  if (r.right <= r.left || r.bottom <= r.top) return;
  TRIVERTEX v[2] = {};
  v[0].x = r.left;
  v[0].y = r.top;
  v[0].Red = static_cast<COLOR16>(GetRValue(from) << 8);
  v[0].Green = static_cast<COLOR16>(GetGValue(from) << 8);
  v[0].Blue = static_cast<COLOR16>(GetBValue(from) << 8);
  v[1].x = r.right;
  v[1].y = r.bottom;
  v[1].Red = static_cast<COLOR16>(GetRValue(to) << 8);
  v[1].Green = static_cast<COLOR16>(GetGValue(to) << 8);
  v[1].Blue = static_cast<COLOR16>(GetBValue(to) << 8);
  GRADIENT_RECT rect{0, 1};
  GdiGradientFill(dc, v, 2, &rect, 1, vertical ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H);
}

void Fill(HDC dc, const RECT& r, COLORREF color) {
  GdiObject<HBRUSH> brush(CreateSolidBrush(color));
  FillRect(dc, &r, brush.get());
}
}  // namespace

TMenuSkin::TMenuSkin(TComponent* owner) : TComponent(owner) {}

TMenuSkin::~TMenuSkin() {
  SetActive(false);
}

void TMenuSkin::SetActive(bool active) {
  active_ = active;
  if (active) {
    font_.reset();  // picks up a changed FontName / FontHeight
    boldFont_.reset();
    SetMenuPainter(this);
  } else if (MenuPainter() == this) {
    SetMenuPainter(nullptr);
  }
}

void TMenuSkin::SetDpi(int dpi) {
  dpiSet_ = dpi > 0;
  if (dpiSet_) TakeDpi(dpi);
}

void TMenuSkin::TakeDpi(int dpi) {
  if (dpi <= 0 || dpi == dpi_) return;
  dpi_ = dpi;
  font_.reset();
  boldFont_.reset();
}

int TMenuSkin::Scaled(int px96) const {
  return Dpi::Scale(px96, dpi_);
}

HFONT TMenuSkin::ItemFont(bool bold) {
  GdiObject<HFONT>& font = bold ? boldFont_ : font_;
  if (!font) {
    LOGFONTW lf{};
    lf.lfHeight = -Scaled(FontHeight);
    lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(lf.lfFaceName, FontName.c_str(), LF_FACESIZE);
    font.reset(CreateFontIndirectW(&lf));
  }
  return font.get();
}

void TMenuSkin::Measure(TMenuItem& item, MEASUREITEMSTRUCT& measure) {
  POINT pointer{};
  if (!dpiSet_ && GetCursorPos(&pointer)) TakeDpi(Dpi::ForPoint(pointer));
  if (item.IsLine()) {
    measure.itemWidth = static_cast<UINT>(Scaled(IconColumnWidth));
    measure.itemHeight = static_cast<UINT>(Scaled(kSeparatorHeight));
    return;
  }
  WindowDC screen(nullptr);
  SelectScope select(screen.get(), ItemFont(item.Default));
  SIZE size{};
  GetTextExtentPoint32W(screen.get(), item.Caption.c_str(), static_cast<int>(item.Caption.size()), &size);
  measure.itemWidth = static_cast<UINT>(Scaled(IconColumnWidth + kTextGap) + size.cx + Scaled(kArrowRoom));
  measure.itemHeight = static_cast<UINT>(std::max<LONG>(Scaled(kMinItemHeight), size.cy + Scaled(6)));
}

void TMenuSkin::Draw(TMenuItem& item, const DRAWITEMSTRUCT& draw) {
  HDC dc = draw.hDC;
  const RECT all = draw.rcItem;
  const COLORREF sky = ColorToRGB(Color);
  const COLORREF white = RGB(255, 255, 255);
  RECT column = all;
  column.right = std::min(all.right, all.left + Scaled(IconColumnWidth));
  RECT body = all;
  body.left = column.right;

  // The icon column: white into sky blue, the skin's mark on every item.
  Gradient(dc, column, white, sky, false);
  Fill(dc, body, white);

  if (item.IsLine()) {
    RECT line = body;
    line.left += Scaled(kTextGap);
    line.top = (all.top + all.bottom) / 2;
    line.bottom = line.top + 1;
    Fill(dc, line, Mix(sky, RGB(0, 0, 0), 25));
    return;
  }

  const bool disabled = (draw.itemState & (ODS_DISABLED | ODS_GRAYED)) != 0;
  const bool selected = (draw.itemState & ODS_SELECTED) != 0 && !disabled;
  if (selected) {
    // The highlighted item: a vertical sky-blue gradient with a darker frame, over the whole row.
    Gradient(dc, all, Mix(sky, white, 60), sky, true);
    GdiObject<HBRUSH> frame(CreateSolidBrush(Mix(sky, RGB(0, 0, 0), 35)));
    FrameRect(dc, &all, frame.get());
  }
  if (draw.itemState & ODS_CHECKED) {
    // A plain tick in the icon column.
    GdiObject<HPEN> pen(CreatePen(PS_SOLID, Scaled(2), RGB(0, 0, 0)));
    SelectScope selectPen(dc, pen.get());
    const int cx = (column.left + column.right) / 2, cy = (all.top + all.bottom) / 2;
    MoveToEx(dc, cx - Scaled(5), cy, nullptr);
    LineTo(dc, cx - Scaled(2), cy + Scaled(3));
    LineTo(dc, cx + Scaled(5), cy - Scaled(4));
  }

  SelectScope selectFont(dc, ItemFont(item.Default));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, disabled ? GetSysColor(COLOR_GRAYTEXT) : RGB(0, 0, 0));
  RECT text = body;
  text.left += Scaled(kTextGap);
  const UINT format =
      DT_LEFT | DT_VCENTER | DT_SINGLELINE | ((draw.itemState & ODS_NOACCEL) ? DT_HIDEPREFIX : 0);
  DrawTextW(dc, item.Caption.c_str(), static_cast<int>(item.Caption.size()), &text, format);
}
