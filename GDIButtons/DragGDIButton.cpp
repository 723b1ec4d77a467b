// TDragGDIButton: drops, the shell's file information, launching, the icon overlay and the hint.
#include "GDIButtons/DragGDIButton.h"

// clang-format off
#include <objbase.h>
#include <shlobj.h>
#include <commoncontrols.h>
// clang-format on

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <vector>

#include "GDIButtons/ButtonGroup.h"
#include "GDIButtons/ButtonGroupItems.h"
#include "GDIButtons/IconPlacement.h"
#include "GDIButtons/ShellInfoPrefetch.h"
#include "GDIButtons/WindowRegion.h"
#include "shell/ShortcutResolver.h"

namespace {

constexpr BYTE kIconPushAlpha = 210;
constexpr unsigned kLeaveWatchInterval = 100;
// How far past a ring button's outline its window takes the pointer: the anti-aliased edge, about a pixel.
constexpr float kShapeFringe = 1.5f;
// A pointer that rests on the button is looked for less and less often, up to this: the program then
// sleeps while the user reads the hint. Any move over the window brings the quick look back.
constexpr unsigned kLeaveWatchRestingInterval = 800;
// IID_IImageList, spelled out so no import library has to provide it.
constexpr GUID kImageListIid = {0x46EB5926, 0x582E, 0x4017, {0x9F, 0xDF, 0xE8, 0x99, 0x8D, 0xAA, 0x09, 0x50}};

// The bitmaps GetIconInfo hands out belong to the caller.
struct IconBitmaps {
  ICONINFO info{};
  bool valid = false;
  explicit IconBitmaps(HICON icon) : valid(GetIconInfo(icon, &info) != FALSE) {}
  ~IconBitmaps() {
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
  }
  IconBitmaps(const IconBitmaps&) = delete;
  IconBitmaps& operator=(const IconBitmaps&) = delete;
};

// Edge of an icon in pixels (its width), 0 when the handle says nothing.
int IconSize(HICON icon) {
  IconBitmaps bitmaps(icon);
  if (!bitmaps.valid) return 0;
  BITMAP bm{};
  if (bitmaps.info.hbmColor && GetObjectW(bitmaps.info.hbmColor, sizeof(bm), &bm)) return bm.bmWidth;
  if (bitmaps.info.hbmMask && GetObjectW(bitmaps.info.hbmMask, sizeof(bm), &bm)) return bm.bmWidth;
  return 0;
}

// Reads a bitmap as 32-bit top-down pixels.
bool ReadBitmap(HBITMAP bitmap, int width, int height, std::vector<std::uint32_t>& pixels) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
  WindowDC screen(nullptr);
  return GetDIBits(screen.get(), bitmap, 0, static_cast<UINT>(height), pixels.data(), &bi, DIB_RGB_COLORS) ==
         height;
}

// A GDI+ bitmap of the icon that keeps its transparency: the colour bitmap's own alpha when it has one,
// otherwise its mask. (GDI+'s own conversion from an icon handle drops the alpha channel.)
std::unique_ptr<Gdiplus::Bitmap> BitmapFromIcon(HICON icon) {
  IconBitmaps bitmaps(icon);
  BITMAP bm{};
  if (!bitmaps.valid || !bitmaps.info.hbmColor || !GetObjectW(bitmaps.info.hbmColor, sizeof(bm), &bm) ||
      bm.bmWidth <= 0 || bm.bmHeight <= 0) {
    // A monochrome icon: GDI+ copes with those.
    std::unique_ptr<Gdiplus::Bitmap> plain(Gdiplus::Bitmap::FromHICON(icon));
    if (plain && plain->GetLastStatus() != Gdiplus::Ok) plain.reset();
    return plain;
  }
  const int width = bm.bmWidth;
  const int height = bm.bmHeight;
  std::vector<std::uint32_t> colour;
  if (!ReadBitmap(bitmaps.info.hbmColor, width, height, colour)) return nullptr;
  bool hasAlpha = false;
  for (std::uint32_t p : colour) {
    if (p >> 24) {
      hasAlpha = true;
      break;
    }
  }
  if (!hasAlpha) {
    std::vector<std::uint32_t> mask;
    if (bitmaps.info.hbmMask && ReadBitmap(bitmaps.info.hbmMask, width, height, mask)) {
      for (size_t i = 0; i < colour.size(); ++i) {
        colour[i] = (colour[i] & 0x00FFFFFFu) | ((mask[i] & 0x00FFFFFFu) ? 0u : 0xFF000000u);
      }
    } else {
      for (std::uint32_t& p : colour) p |= 0xFF000000u;
    }
  }
  auto bitmap = std::make_unique<Gdiplus::Bitmap>(width, height, PixelFormat32bppARGB);
  if (bitmap->GetLastStatus() != Gdiplus::Ok) return nullptr;
  Gdiplus::Rect all(0, 0, width, height);
  Gdiplus::BitmapData data{};
  if (bitmap->LockBits(&all, Gdiplus::ImageLockModeWrite, PixelFormat32bppARGB, &data) != Gdiplus::Ok)
    return nullptr;
  for (int y = 0; y < height; ++y) {
    std::memcpy(static_cast<BYTE*>(data.Scan0) + static_cast<ptrdiff_t>(y) * data.Stride,
                colour.data() + static_cast<size_t>(y) * static_cast<size_t>(width),
                static_cast<size_t>(width) * 4);
  }
  bitmap->UnlockBits(&data);
  return bitmap;
}

// The file's icon drawn for `size` pixels: from where the shell keeps it (an exe or dll resource, an .ico
// file) when it can say, else from the system image list that is at least that large.
HICON ShellIconAtSize(const std::wstring& path, int systemIndex, int size) {
  SHFILEINFOW location{};
  if (SHGetFileInfoW(path.c_str(), 0, &location, sizeof(location), SHGFI_ICONLOCATION) &&
      location.szDisplayName[0] != L'\0') {
    HICON large = nullptr;
    const UINT sizes = MAKELONG(static_cast<WORD>(size), 0);
    if (SHDefExtractIconW(location.szDisplayName, location.iIcon, 0, &large, nullptr, sizes) == S_OK &&
        large) {
      if (IconSize(large) == size) return large;
      DestroyIcon(large);
    }
  }
  const int list = size <= 16   ? SHIL_SMALL
                   : size <= 32 ? SHIL_LARGE
                   : size <= 48 ? SHIL_EXTRALARGE
                                : SHIL_JUMBO;
  ComPtr<IImageList> images;
  if (FAILED(SHGetImageList(list, kImageListIid, reinterpret_cast<void**>(images.Put()))) || !images)
    return nullptr;
  HICON icon = nullptr;
  if (FAILED(images->GetIcon(systemIndex, ILD_TRANSPARENT, &icon)) || !icon) return nullptr;
  if (IconSize(icon) == size) return icon;
  // Only a larger image list was at hand (or none as large): bring it to the size once, here.
  HICON scaled = static_cast<HICON>(CopyImage(icon, IMAGE_ICON, size, size, 0));
  if (!scaled) return icon;
  DestroyIcon(icon);
  return scaled;
}

// DPI of the monitor the window is on (per-monitor aware), or the system's DPI before Windows 10.
int WindowDpi(HWND window) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (getDpiForWindow && window) {
    if (const UINT dpi = getDpiForWindow(window)) return static_cast<int>(dpi);
  }
  WindowDC screen(nullptr);
  return GetDeviceCaps(screen.get(), LOGPIXELSX);
}

}  // namespace

TDragGDIButton::TDragGDIButton(TComponent* owner, const TButtonColors& colors)
    : TCustomGDIButton(owner, colors) {
  fileName_.clear();
  OnDblClick = [this](TObject* sender) { Launch(sender); };
  dropTarget_ = std::make_unique<TTextTarget>(this);
  dropTarget_->SetAcceptorControl(this);
  dropTarget_->SetAcceptTextFormats({TDropTextFormat::dtfFiles});
  dropTarget_->OnDrop = [this](TObject* sender, TWinControl* acceptor, const std::wstring& text, int x,
                               int y) { DropTargetDrop(sender, acceptor, text, x, y); };
  dropTarget_->OnDragLeave = [](TObject*) {};
  dropTarget_->OnDragEnter = [this](TObject* sender, TDropEffect effect, int x, int y) {
    DropTargetDragEnter(sender, effect, x, y);
  };
  leaveWatch_ = std::make_unique<TTimer>(this);
  leaveWatch_->SetEnabled(false);
  leaveWatch_->SetInterval(kLeaveWatchInterval);
  leaveWatch_->SetOnTimer([this](TObject* sender) { WatchForLeave(sender); });
}

TDragGDIButton::~TDragGDIButton() {
  leaveWatch_.reset();
  dropTarget_.reset();
  ReleaseIcon();
}

void TDragGDIButton::ReleaseIcon() {
  iconBitmap_.reset();
  iconBitmapSource_ = nullptr;
  if (FileInfo.hIcon) DestroyIcon(FileInfo.hIcon);
  FileInfo.hIcon = nullptr;
}

Gdiplus::Bitmap* TDragGDIButton::IconBitmap() {
  // Made once per icon: every render of the button draws the same image of it.
  if (FileInfo.hIcon != iconBitmapSource_ || !iconBitmap_) {
    iconBitmap_ = BitmapFromIcon(FileInfo.hIcon);
    iconBitmapSource_ = FileInfo.hIcon;
  }
  return iconBitmap_.get();
}

void TDragGDIButton::TakeShellInfo(const std::wstring& path) {
  // Nothing of the previous file may stay behind: a path the shell does not know shows no icon and no
  // name rather than those of the file the button held before.
  ReleaseIcon();
  FileInfo = SHFILEINFOW{};
  if (path.empty()) return;
  SHFILEINFOW info{};
  if (std::optional<SHFILEINFOW> ahead = TShellInfoPrefetch::TakeCurrent(path, kFileInfoFlags))
    info = *ahead;  // a ring being loaded asked the shell already
  else
    SHGetFileInfoW(path.c_str(), 0, &info, sizeof(info), kFileInfoFlags);
  if (info.hIcon) {
    // The large icon comes at the system's size; a monitor of another DPI gets one drawn for its size.
    const int wanted = ShellIconSize();
    if (wanted > 0 && IconSize(info.hIcon) != wanted) {
      if (HICON sized = ShellIconAtSize(path, info.iIcon, wanted)) {
        DestroyIcon(info.hIcon);
        info.hIcon = sized;
      }
    }
  }
  FileInfo = info;
}

void TDragGDIButton::RememberFile(const std::wstring& path) {
  fileName_ = path;
  TakeShellInfo(path);
}

void TDragGDIButton::SetFileName(const std::wstring& value) {
  RememberFile(value);
}

void TDragGDIButton::Launch(TObject* sender) {
  (void)sender;
  if (fileName_.empty()) return;
  std::wstring path = ResolveShortcut(fileName_);
  // A link to something without a file-system path (a Control Panel item, say) resolves to nothing;
  // the shell still knows how to open the link itself.
  if (path.empty()) path = fileName_;
  ShellExecuteW(Handle(), L"open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

bool TDragGDIButton::MouseButtonHeld(int virtualKey) const {
  // Down now. The "pressed since the last query" bit also answers for a press made long ago (a
  // right-click that opened a segment's menu, say), which would turn a later left drop into a right
  // drop and replace a stored file: it does not count.
  return (GetAsyncKeyState(virtualKey) & 0x8000) != 0;
}

int TDragGDIButton::ShellIconSize() {
  return vantel::ShellIconSizeForDpi(WindowDpi(HandleAllocated() ? Handle() : nullptr));
}

void TDragGDIButton::DropTargetDragEnter(TObject* sender, TDropEffect effect, int x, int y) {
  (void)sender, (void)effect, (void)x, (void)y;
  // Both asked, left first: each query also clears the key's "pressed since" bit.
  const bool left = MouseButtonHeld(VK_LBUTTON);
  const bool right = MouseButtonHeld(VK_RBUTTON);
  dropMode_ = vantel::DropModeForButtons(left, right);
}

void TDragGDIButton::DropTargetDrop(TObject* sender, TWinControl* acceptor, const std::wstring& dropText,
                                    int x, int y) {
  (void)sender, (void)acceptor, (void)dropText, (void)x, (void)y;
  // A copy: adding a segment builds buttons with drop targets of their own.
  const std::vector<std::wstring> paths = dropTarget_->DroppedLines();
  for (const vantel::DropStep& step : vantel::PlanDrop(dropMode_, fileName_, paths)) {
    switch (step.Kind) {
      case vantel::DropStepKind::TakeHere:
        RememberFile(paths[step.Path]);
        Repaint();
        break;
      case vantel::DropStepKind::StoreHere:
        SaveToConfig();
        break;
      case vantel::DropStepKind::AddSegment:
        AddSegmentFor(paths[step.Path]);
        UpdateWindow(Handle());
        return;  // the paths after this one are left alone
    }
  }
}

TDragGDIButton* TDragGDIButton::AddSegmentFor(const std::wstring& path) {
  TGDIButtonGroupItems* items = GroupItems();
  if (!items) return nullptr;  // a button outside a ring has nowhere to add a segment
  items->AddItem();
  const int count = items->Count();
  TGDIButtonGroupItem* last = count > 0 ? items->Items(count - 1) : nullptr;
  auto* segment = last ? dynamic_cast<TDragGDIButton*>(last->Button()) : nullptr;
  if (!segment) return nullptr;
  segment->SetFileName(path);
  segment->AddDeleteMenuItem();
  segment->Repaint();
  auto* centre = dynamic_cast<TDragGDIButton*>(items->Group().CentreButton());
  segment->SetXmlFileName(centre ? centre->XmlFileName() : std::wstring());
  segment->SaveToConfig();
  return segment;
}

void TDragGDIButton::SaveToConfig() {}
void TDragGDIButton::AddDeleteMenuItem() {}
std::wstring TDragGDIButton::XmlFileName() const {
  return {};
}
void TDragGDIButton::SetXmlFileName(const std::wstring& name) {
  (void)name;
}

void TDragGDIButton::DrawOverlay(TLayeredSurface& surface) {
  if (!FileInfo.hIcon) return;
  Gdiplus::Bitmap* bitmap = IconBitmap();
  if (!bitmap) return;
  iconWidth_ = static_cast<int>(bitmap->GetWidth());
  iconHeight_ = static_cast<int>(bitmap->GetHeight());
  if (ButtonKind() == 0) {
    UpdateIconPosition();
  } else if (ButtonKind() == 1) {
    const vantel::PointF topLeft = vantel::PlaceCenterIcon(Width(), iconWidth_);
    iconX_ = topLeft.X;
    iconY_ = topLeft.Y;
  }
  {
    std::unique_ptr<Gdiplus::Graphics> graphics = surface.CreateGraphics();
    if (graphics) {
      graphics->DrawImage(bitmap, Gdiplus::RectF(iconX_, iconY_, static_cast<Gdiplus::REAL>(iconWidth_),
                                                 static_cast<Gdiplus::REAL>(iconHeight_)));
    }
  }  // the graphics object has finished drawing before the pixels are pushed
  blend_.SourceConstantAlpha = kIconPushAlpha;
  PushSurface(surface, kIconPushAlpha);
}

bool TDragGDIButton::OverlayPushesImage() {
  // DrawOverlay pushes whenever it has the icon's image to draw.
  return FileInfo.hIcon && IconBitmap();
}

void TDragGDIButton::UpdateLayered() {
  // The shape first: a window shaped before its picture arrives costs the window system only its slice
  // when it shows (a grown ring's square is many times that). A held render leaves the window as it is.
  if (!DrawingHeld()) ShapeWindow();
  TCustomGDIButton::UpdateLayered();
}

bool TDragGDIButton::IsRingButton() const {
  TGDIButtonGroupItems* items = GroupItems();
  if (!items) return false;
  if (items->Group().CentreButton() == this) return true;
  for (int i = 0; i < items->Count(); ++i) {
    const TGDIButtonGroupItem* item = items->Items(i);
    if (item && item->Button() == this) return true;
  }
  return false;  // the hint window: it covers the desktop and is shaped by nobody
}

void TDragGDIButton::ShapeWindow() {
  const TPieRect* rect = PieRect();
  if (!rect || !HandleAllocated() || (ButtonKind() != 0 && ButtonKind() != 1) || !IsRingButton()) return;
  // The window's box and the icon's rectangle, both in button pixels: the icon may cross the outline.
  const ShapeKey key{ButtonKind(), PlannedBox(), IconBox(), rect->Values()};
  if (key == shape_) return;
  HRGN region = RingButtonRegion(key.kind, key.pie, kShapeFringe, key.box, key.icon);
  KeepShape(region, key.box);
  if (SetWindowRegion(Handle(), region))
    shape_ = key;
  else
    KeepShape(nullptr, RECT{});
}

RECT TDragGDIButton::IconBox() {
  const TPieRect* rect = PieRect();
  Gdiplus::Bitmap* bitmap = FileInfo.hIcon ? IconBitmap() : nullptr;
  if (!rect || !bitmap || (ButtonKind() != 0 && ButtonKind() != 1)) return RECT{};
  const int width = static_cast<int>(bitmap->GetWidth()), height = static_cast<int>(bitmap->GetHeight());
  vantel::PointF at{iconX_, iconY_};
  if (ButtonKind() == 1) {
    at = vantel::PlaceCenterIcon(Width(), width);
  } else {
    TGDIButtonGroupItems* items = GroupItems();
    const vantel::SegmentIconPlacement placed =
        vantel::PlaceSegmentIcon(*rect, width, Width(), Height(), items ? items->Count() : 0);
    if (placed.TopLeft) at = *placed.TopLeft;
  }
  return RECT{static_cast<LONG>(std::floor(at.X)) - 1, static_cast<LONG>(std::floor(at.Y)) - 1,
              static_cast<LONG>(std::ceil(at.X + static_cast<float>(width))) + 1,
              static_cast<LONG>(std::ceil(at.Y + static_cast<float>(height))) + 1};
}

RECT TDragGDIButton::DrawnBox() {
  RECT box = TCustomGDIButton::DrawnBox();
  const RECT icon = IconBox();
  if (!IsRectEmpty(&icon) && InRing()) UnionRect(&box, &box, &icon);
  return box;
}

void TDragGDIButton::UpdateIconPosition() {
  const TPieRect* rect = PieRect();
  if (!rect) return;
  TGDIButtonGroupItems* items = GroupItems();
  const vantel::SegmentIconPlacement placed =
      vantel::PlaceSegmentIcon(*rect, iconWidth_, Width(), Height(), items ? items->Count() : 0);
  if (items) {
    if (placed.Grow == vantel::GrowRequest::Set) items->Group().SetGrowFlag(true);
    if (placed.Grow == vantel::GrowRequest::Clear) items->Group().SetGrowFlag(false);
  }
  if (placed.TopLeft) {
    iconX_ = placed.TopLeft->X;
    iconY_ = placed.TopLeft->Y;
  }
}

void TDragGDIButton::WatchForLeave(TObject* sender) {
  (void)sender;
  POINT cursor{};
  if (!MouseInControl() || !GetCursorPos(&cursor)) return;
  // Still over this window's own shape? (Other programs' windows are the system's business.)
  RECT bounds{};
  GetWindowRect(Handle(), &bounds);
  if (PtInRect(&bounds, cursor)) {
    GdiObject<HRGN> shape(CreateRectRgn(0, 0, 0, 0));
    const int kind = shape ? GetWindowRgn(Handle(), shape.get()) : ERROR;
    if (kind == ERROR || PtInRegion(shape.get(), cursor.x - bounds.left, cursor.y - bounds.top)) {
      if (cursor.x == watchedCursor_.x && cursor.y == watchedCursor_.y)
        leaveWatch_->SetInterval(std::min(leaveWatch_->Interval() * 2, kLeaveWatchRestingInterval));
      watchedCursor_ = cursor;
      return;
    }
  }
  leaveWatch_->SetEnabled(false);
  // As the system would have reported it: the framework clears its hover state and notifies.
  PostMessageW(Handle(), WM_MOUSELEAVE, 0, 0);
}

void TDragGDIButton::CMMouseEnter() {
  TCustomGDIButton::CMMouseEnter();
  if (shape_.kind >= 0) {
    leaveWatch_->SetInterval(kLeaveWatchInterval);
    leaveWatch_->SetEnabled(true);
  }
  TGDIButtonGroupItems* items = GroupItems();
  TCustomGDIButton* hint = items ? items->Group().HintWindow() : nullptr;
  if (!hint || hint == this) return;  // a ring without a hint window; the hint window names nothing
  const wchar_t* name = FileInfo.szDisplayName;
  hint->HintText.assign(name, wcsnlen(name, MAX_PATH));
  hint->Show();
  hint->Repaint();
}

void TDragGDIButton::CMMouseLeave() {
  leaveWatch_->SetEnabled(false);
  TCustomGDIButton::CMMouseLeave();
  TGDIButtonGroupItems* items = GroupItems();
  TCustomGDIButton* hint = items ? items->Group().HintWindow() : nullptr;
  if (!hint || hint == this) return;
  hint->Hide();
}

LRESULT TDragGDIButton::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_MOUSEMOVE && leaveWatch_ && leaveWatch_->Enabled()) {
    leaveWatch_->SetInterval(kLeaveWatchInterval);  // the pointer moves: it may leave any moment
  }
  if (msg == WM_DPICHANGED) {
    // Moved to a monitor of another DPI: the icon is taken again at the size that monitor wants. The
    // window keeps its size; the ring's geometry is the group's business.
    if (!fileName_.empty()) {
      TakeShellInfo(fileName_);
      Invalidate();
    }
  }
  return TCustomGDIButton::WndProc(msg, wParam, lParam);
}
