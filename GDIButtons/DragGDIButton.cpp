// TDragGDIButton: drops, the shell's file information, launching and the icon overlay.
#include "GDIButtons/DragGDIButton.h"

#include <shlobj.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>
#include <optional>
#include <utility>
#include <vector>

#include "GDIButtons/ButtonGroup.h"
#include "GDIButtons/ButtonGroupItems.h"
#include "GDIButtons/FolderRingLogic.h"
#include "GDIButtons/IconPlacement.h"
#include "GDIButtons/RingAccessible.h"
#include "GDIButtons/RingKeyLogic.h"
#include "GDIButtons/ShellIcon.h"
#include "GDIButtons/ShellInfoPrefetch.h"
#include "GDIButtons/WindowRegion.h"
#include "framework/Application.h"
#include "framework/DebugTrace.h"
#include "shell/ShellLaunch.h"
#include "xml/ConfigFormat.h"

namespace {

constexpr BYTE kIconPushAlpha = 210;
// How far past a ring button's outline its window takes the pointer: the anti-aliased edge, about a pixel.
constexpr float kShapeFringe = 1.5f;

}  // namespace

TDragGDIButton::TDragGDIButton(TComponent* owner, const TButtonColors& colors, TButtonStart start,
                               const TButtonSystem& system)
    : TCustomGDIButton(owner, colors, start, system) {
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
  DisconnectAccessible();
  // A button deleted under the pointer leaves no name of its file behind.
  if (hovered_) {
    try {
      if (TCustomGDIButton* hint = RingHint()) hint->Hide();
    } catch (...) {
      // Nothing a destructor could do about it.
      TraceCaughtException(L"~TDragGDIButton");
    }
  }
  lateInfo_.reset();  // no late answer is announced to this window any more
  leaveWatch_.reset();
  dropTarget_.reset();
  ReleaseIcon();
}

void TDragGDIButton::ReleaseIcon() {
  iconBitmap_.reset();
  iconBitmapSource_ = nullptr;
  icon_.reset();
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

void TDragGDIButton::TakeShellInfo(const std::wstring& path, TShellInfoPrefetch* answers) {
  // Nothing of the previous file may stay behind: a path the shell does not know shows no icon and no
  // name rather than those of the file the button held before.
  ReleaseIcon();
  FileInfo = SHFILEINFOW{};
  // An answer the shell is late with comes by message: until then the button shows no icon.
  if (std::optional<SHFILEINFOW> info =
          ShellInfoFor(path, kFileInfoFlags, ShellIconSize(), Handle(), kLateShellInfoMessage, lateInfo_,
                       answers, shellLookup_)) {
    UseShellInfo(*info);
  } else {
    NameByLeaf();
  }
}

void TDragGDIButton::NameByLeaf() {
  // A button that holds a file never names nothing: without the shell's name (not there yet, or the
  // shell knows none) the hint shows the file's own. A fixed name always wins.
  if ((FileInfo.szDisplayName[0] != L'\0' && shownName_.empty()) || fileName_.empty()) return;
  const std::size_t slash = fileName_.find_last_of(L"\\/");
  const std::wstring leaf = !shownName_.empty()           ? shownName_
                            : slash == std::wstring::npos ? fileName_
                                                          : fileName_.substr(slash + 1);
  const std::size_t n = std::min(leaf.size(), std::size(FileInfo.szDisplayName) - 1);
  leaf.copy(FileInfo.szDisplayName, n);
  FileInfo.szDisplayName[n] = L'\0';
}

void TDragGDIButton::RefetchShellInfo() {
  // Never asked here: a file on a drive that does not answer would hold the ring at every monitor
  // crossing. A claim still open for the old size is given up.
  if (!fileName_.empty()) {
    lateInfo_ = ShellInfoLater(fileName_, kFileInfoFlags, ShellIconSize(), Handle(), kLateShellInfoMessage,
                               shellLookup_);
  }
}

void TDragGDIButton::UseShellInfo(SHFILEINFOW info) {
  icon_.reset(info.hIcon);  // the lookup drew it at the size asked
  FileInfo = info;
  NameByLeaf();
}

bool TDragGDIButton::TakeLateShellInfo() {
  std::optional<SHFILEINFOW> info = lateInfo_ ? lateInfo_->TakeIfReady() : std::nullopt;
  if (!info) return false;
  lateInfo_.reset();
  if (!info->hIcon && FileInfo.hIcon) return false;  // the file answered nothing this time: it keeps its icon
  ReleaseIcon();
  UseShellInfo(*info);
  return true;
}

void TDragGDIButton::RememberFile(const std::wstring& path, TShellInfoPrefetch* answers) {
  fileName_ = path;
  TakeShellInfo(path, answers);
}

void TDragGDIButton::SetFileName(const std::wstring& value, TShellInfoPrefetch* answers) {
  RememberFile(value, answers);
}

void TDragGDIButton::Launch(TObject* sender) {
  (void)sender;
  Open({});
  // Also the second click of a double-click on a folder segment, whose ring may be on its way.
  if (TGDIButtonGroupItems* items = InRing() ? GroupItems() : nullptr) items->Group().CloseFolderRings();
}

bool TDragGDIButton::OpensAsFolder() const {
  // A zip file is a folder to the shell too, but a stream: it opens as a file. A shortcut is a stream
  // itself; the lookup marks one whose target is a folder as a folder.
  const ULONG attributes = FileInfo.dwAttributes;
  return !fileName_.empty() && (attributes & SFGAO_FOLDER) &&
         (!(attributes & SFGAO_STREAM) || (attributes & SFGAO_LINK));
}

bool TDragGDIButton::Expands() const {
  TGDIButtonGroupItems* items = GroupItems();
  return items && InRing() && items->Group().CanExpand() && OpensAsFolder();
}

void TDragGDIButton::ExpandFromKeys() {
  if (!Expands() || !PieRect()) return;
  POINT at{Left() + Width() / 2, Top() + Height() / 2};  // the centre's middle
  if (ButtonKind() == ConfigFormat::KindSegment) {
    const vantel::PointF middle = vantel::SliceMenuPoint(PieRect()->Values());
    at = POINT{Left() + std::lround(middle.X), Top() + std::lround(middle.Y)};
  }
  GroupItems()->Group().ExpandSegment(*this, at, true);
}

void TDragGDIButton::Click() {
  if (Expands()) {
    POINT at{};
    GetCursorPos(&at);
    GroupItems()->Group().ExpandSegment(*this, at, false);
  }
  TCustomGDIButton::Click();
}

void TDragGDIButton::Open(const std::wstring& verb) {
  if (fileName_.empty()) return;
  // The file as dropped: a shortcut keeps its arguments, start-in folder and elevation. The path's long
  // form: a volume may keep no short one. The program opens on the ring's monitor.
  const std::wstring failure = OpenWithShell(
      Handle(), fileName_, {verb, MonitorFromWindow(Handle(), MONITOR_DEFAULTTONEAREST)}, ShellExecute);
  Tell(failure);
}

void TDragGDIButton::Tell(const std::wstring& failure) {
  if (failure.empty()) return;
  if (Application) {
    Application->ShowException(failure);  // the error display, which also logs it
  } else {
    MessageBoxW(Handle(), failure.c_str(), nullptr, MB_OK | MB_ICONERROR);
  }
}

bool TDragGDIButton::MouseButtonHeld(int virtualKey) const {
  // The buttons the drag itself reports, not the physical ones (GetAsyncKeyState): with the buttons
  // swapped, an ordinary drag holds the physical right button, which must not replace a stored file.
  // Nor does a press made long ago (a right-click that opened a segment's menu) count.
  const DWORD keys = dropTarget_ ? dropTarget_->DragKeyState() : 0;
  if (virtualKey == VK_LBUTTON) return (keys & MK_LBUTTON) != 0;
  if (virtualKey == VK_RBUTTON) return (keys & MK_RBUTTON) != 0;
  return false;
}

int TDragGDIButton::ShellIconSize() {
  return ShellIconSizeForWindow(HandleAllocated() ? Handle() : nullptr);
}

void TDragGDIButton::DropTargetDragEnter(TObject* sender, TDropEffect effect, int x, int y) {
  (void)sender, (void)effect, (void)x, (void)y;
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
        Announce(EVENT_OBJECT_NAMECHANGE);
        Announce(EVENT_OBJECT_DESCRIPTIONCHANGE);
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
  segment->SetXmlHost(centre ? centre->XmlHost() : TXmlHost{});
  segment->SaveToConfig();
  segment->Announce(EVENT_OBJECT_CREATE);  // named by its file already
  return segment;
}

LRESULT TDragGDIButton::AnswerGetObject(WPARAM wParam, LPARAM lParam) {
  if (static_cast<DWORD>(lParam) != static_cast<DWORD>(OBJID_CLIENT)) {
    return TCustomGDIButton::WndProc(WM_GETOBJECT, wParam, lParam);
  }
  // The object is born with the one reference the button holds.
  if (!accessible_) {
    // NOLINTNEXTLINE(cppcoreguidelines-owning-memory): COM's reference count owns it, held by the ComPtr
    accessible_ = ComPtr<TRingAccessible>::Attach(new TRingAccessible(*this));
  }
  return LresultFromObject(__uuidof(IAccessible), wParam, static_cast<IAccessible*>(accessible_.Get()));
}

void TDragGDIButton::Announce(DWORD event) {
  if (HandleAllocated()) NotifyWinEvent(event, Handle(), OBJID_CLIENT, CHILDID_SELF);
}

void TDragGDIButton::DisconnectAccessible() {
  // Clients may hold the object past the window: from now on it answers that it is disconnected.
  if (!accessible_) return;
  accessible_->Disconnect();
  accessible_.Reset();
}

void TDragGDIButton::SaveToConfig() {}
void TDragGDIButton::AddDeleteMenuItem() {}
std::wstring TDragGDIButton::XmlFileName() const {
  return {};
}
void TDragGDIButton::SetXmlFileName(const std::wstring& name) {
  (void)name;
}
const TXmlHost& TDragGDIButton::XmlHost() const {
  static const TXmlHost none;
  return none;
}
void TDragGDIButton::SetXmlHost(const TXmlHost& host) {
  (void)host;
}

void TDragGDIButton::DrawPie(TLayeredSurface& surface, const TPieRect* rect) {
  TCustomGDIButton::DrawPie(surface, rect);
  if (!rect || PaintCount() <= 1 || surface.Empty() || ButtonKind() != ConfigFormat::KindSegment ||
      !Expands()) {
    return;
  }
  std::unique_ptr<Gdiplus::Graphics> graphics = surface.CreateGraphics();
  if (!graphics) return;
  graphics->SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
  const std::array<vantel::PointF, 3> mark = vantel::FolderMark(rect->Values());
  const Gdiplus::PointF points[] = {{mark[0].X, mark[0].Y}, {mark[1].X, mark[1].Y}, {mark[2].X, mark[2].Y}};
  const TARGB color = Contrast().HighContrast ? Contrast().WindowText : 0xFFFFFFFF;
  Gdiplus::SolidBrush brush{Gdiplus::Color(color)};
  graphics->FillPolygon(&brush, points, 3);
}

void TDragGDIButton::DrawOverlay(TLayeredSurface& surface) {
  if (!FileInfo.hIcon) return;
  Gdiplus::Bitmap* bitmap = IconBitmap();
  if (!bitmap) return;
  iconWidth_ = static_cast<int>(bitmap->GetWidth());
  iconHeight_ = static_cast<int>(bitmap->GetHeight());
  if (ButtonKind() == ConfigFormat::KindSegment) {
    UpdateIconPosition();
  } else if (ButtonKind() == ConfigFormat::KindCentre) {
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
  PushSurface(surface, kIconPushAlpha);
}

bool TDragGDIButton::OverlayPushesImage() {
  // DrawOverlay pushes whenever it has the icon's image to draw.
  return FileInfo.hIcon && IconBitmap();
}

bool TDragGDIButton::IconOutgrows(const vantel::PieRectValues& slice, int count) {
  // What DrawOverlay's placement would ask for (the icon's place does not change the answer).
  Gdiplus::Bitmap* bitmap = FileInfo.hIcon ? IconBitmap() : nullptr;
  if (ButtonKind() != ConfigFormat::KindSegment || !bitmap) return false;
  return vantel::PlaceSegmentIcon(slice, static_cast<int>(bitmap->GetWidth()), Width(), Height(), count)
             .Grow == vantel::GrowRequest::Set;
}

void TDragGDIButton::UpdateLayered() {
  // The shape first: a window shaped before its picture arrives costs the window system only its slice
  // when it shows (a grown ring's square is many times that). A held render leaves the window as it is.
  if (!DrawingHeld()) ShapeWindow();
  TakeLateShellInfo();  // a late answer that came meanwhile shows with this render
  TCustomGDIButton::UpdateLayered();
}

void TDragGDIButton::ShapeWindow() {
  const TPieRect* rect = PieRect();
  if (!rect || !HandleAllocated() ||
      (ButtonKind() != ConfigFormat::KindSegment && ButtonKind() != ConfigFormat::KindCentre) || !InRing()) {
    return;
  }
  // The window's box and the icon's rectangle, both in button pixels: the icon may cross the outline.
  const ShapeKey key{ButtonKind(), PlannedBox(), IconBox(), rect->Values()};
  if (key == shape_) return;
  GdiObject<HRGN> region = RingButtonRegion(key.kind, key.pie, kShapeFringe, key.box, key.icon);
  KeepShape(region.get(), key.box);
  if (SetWindowRegion(Handle(), std::move(region))) {
    shape_ = key;
  } else {
    KeepShape(nullptr, RECT{});
  }
}

RECT TDragGDIButton::IconBox() {
  const TPieRect* rect = PieRect();
  Gdiplus::Bitmap* bitmap = FileInfo.hIcon ? IconBitmap() : nullptr;
  if (!rect || !bitmap ||
      (ButtonKind() != ConfigFormat::KindSegment && ButtonKind() != ConfigFormat::KindCentre)) {
    return RECT{};
  }
  const int width = static_cast<int>(bitmap->GetWidth()), height = static_cast<int>(bitmap->GetHeight());
  vantel::PointF at{iconX_, iconY_};
  if (ButtonKind() == ConfigFormat::KindCentre) {
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
