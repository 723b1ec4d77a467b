// TDragGDIButton: the pie button that holds one file: takes dropped files, draws the file's icon, launches
// it.
#pragma once

#include <memory>
#include <string>

#include "GDIButtons/CustomGDIButton.h"
#include "GDIButtons/DragButtonLogic.h"
#include "GDIButtons/ShellInfoPrefetch.h"
#include "framework/Handles.h"
#include "framework/Timer.h"
#include "shell/ShellLaunch.h"
#include "shell/TextTarget.h"
#include "xml/XmlHost.h"

class TRingAccessible;

class TDragGDIButton : public TCustomGDIButton {
 public:
  // What SetFileName asks the shell for (the large icon).
  static constexpr UINT kFileInfoFlags =
      SHGFI_ICON | SHGFI_DISPLAYNAME | SHGFI_TYPENAME | SHGFI_ATTRIBUTES | SHGFI_SYSICONINDEX;

  // The pie button, no file, OnDblClick = Launch, and a drop target for file lists on this window.
  explicit TDragGDIButton(TComponent* owner, const TButtonColors& colors = {},
                          TButtonStart start = TButtonStart::Shown, const TButtonSystem& system = {});
  // Destroys the drop target (revoking the window's registration), then the pie button.
  ~TDragGDIButton() override;

  // Path of the file the button launches; empty when it holds none.
  const std::wstring& FileName() const { return fileName_; }
  // Takes the path and asks the shell for its icon (at the size the window's monitor wants), display
  // name, type name and attributes into FileInfo. Does not repaint. A path the shell does not know
  // leaves no icon. A ring being loaded hands over the answers it asked for ahead (`answers`): the
  // button takes its file's from there, or a claim on it when it is late.
  void SetFileName(const std::wstring& value, TShellInfoPrefetch* answers = nullptr);

  // A fixed name shown in place of the shell's (a folder ring's "更多…"); empty: the shell's name.
  void SetShownName(std::wstring name) { shownName_ = std::move(name); }

  // OnDblClick: opens the file through the shell as the desktop would: a shortcut as itself, another file
  // in its own folder. A failure is shown through the application's error display. Nothing without a file.
  // The folder rings opened from the button's ring close.
  void Launch(TObject* sender);
  // Opens the file as Launch does, with `verb` (empty: the default one; L"runas": as administrator).
  void Open(const std::wstring& verb);
  TShellExecuteEx ShellExecute = ShellExecuteExW;  // how Launch and Open hand the file to the shell
  // Shows a failure through the application's error display (nothing for an empty text).
  void Tell(const std::wstring& failure);

  // The mode the last drag-enter fixed (vantel::kDropMode...: 0, 7777, 9999 or 8888).
  int DropMode() const { return dropMode_; }
  // Where the icon was last drawn (top-left in window pixels) and its real size.
  float IconX() const { return iconX_; }
  float IconY() const { return iconY_; }
  int IconWidth() const { return iconWidth_; }
  int IconHeight() const { return iconHeight_; }

  TTextTarget& DropTarget() const { return *dropTarget_; }
  // Whether this button has the hover (entered, not left, no other button of its ring entered since).
  bool Hovered() const { return hovered_; }
  // Asks for the file's icon again at the size the window's monitor wants now (another DPI), on a worker:
  // the button keeps its icon and name until the answer comes.
  void RefetchShellInfo();
  // The edge of the icon the button asks the shell for now (ShellIconSize).
  int WantedIconSize() { return ShellIconSize(); }
  // The keyboard's selection (TGDICustomButtonGroup::RingKeyDown): the button looks and names its file as
  // when the pointer enters it, and takes the hover from the others. With `takeFocus` its window takes the
  // keyboard focus, which the system tells screen readers; a button that has it already tells them again.
  void ShowSelected(bool takeFocus);
  // The selection ends: back to the normal colour and the name goes, unless the pointer is on the button.
  void EndSelected();
  // The window has the keyboard focus (its accessible focus).
  bool HasFocus() { return HandleAllocated() && GetFocus() == Handle(); }
  // The pointer is on the button and it has the hover.
  bool PointerHovers() const { return hovered_ && MouseInControl(); }
  // Whether a screen point is inside the window's rectangle and its region (on its slice).
  bool PointerOnShape(POINT cursor);

  // Whether the button's file is a folder, or a shortcut to one, as the shell's answer says.
  virtual bool OpensAsFolder() const;
  // A folder segment or centre of a ring that may open folder rings: a click opens its folder's ring
  // (TGDICustomButtonGroup::ExpandSegment), and its slice shows a mark at the rim.
  bool Expands() const;
  // Opens the folder's ring as Space does, its middle on the slice.
  void ExpandFromKeys();

  // The pie, and a folder segment's mark at its rim.
  void DrawPie(TLayeredSurface& surface, const TPieRect* rect) override;
  // Draws the file's icon over the rendered pie and pushes the window again at constant alpha 210.
  void DrawOverlay(TLayeredSurface& surface) override;
  // True while the file's icon can be drawn: a render then pushes once, pie and icon at 210.
  bool OverlayPushesImage() override;
  bool IconOutgrows(const vantel::PieRectValues& slice, int count) override;
  // Renders and pushes as every pie button does; a button of a ring (centre or segment) then also
  // shapes its window to its pie, so the pointer and dropped files reach the slice under them, also
  // where the system hit-tests layered windows by their rectangle (Wine) rather than by their alpha.
  void UpdateLayered() override;

  // --- Storing: the XML-bound subclass keeps buttons in the configuration file. Here they do nothing.
  // Stores this button. Called at the end of every drop: on the button dropped on, or on the segment
  // a left drop added. A left drop that both fills this empty button and adds a segment stores both.
  virtual void SaveToConfig();
  // Gives the button a delete entry in its popup menu (a segment added by a left drop gets one).
  virtual void AddDeleteMenuItem();
  // Name of the configuration file the button stores itself in (empty here). A segment added by a
  // left drop is given the centre button's name.
  virtual std::wstring XmlFileName() const;
  virtual void SetXmlFileName(const std::wstring& name);
  // Where the XML-bound subclass stores through (none here). A segment added by a left drop is given the
  // centre button's.
  virtual const TXmlHost& XmlHost() const;
  virtual void SetXmlHost(const TXmlHost& host);
  // How the button asks the shell about its file when no ring's load asked already (empty: the shell's
  // own); set before the file.
  void SetShellLookup(TShellLookup lookup) { shellLookup_ = std::move(lookup); }

 protected:
  // Drag-enter: fixes the drop mode from the mouse buttons the drag holds. Its arguments are not used.
  void DropTargetDragEnter(TObject* sender, TDropEffect effect, int x, int y);
  // Drop: handles the dropped paths by the drop mode (see DragGDIButton.cpp). Its arguments are not used.
  void DropTargetDrop(TObject* sender, TWinControl* acceptor, const std::wstring& dropText, int x, int y);

  // Whether the drag entering now holds this mouse button (VK_LBUTTON, VK_RBUTTON): the logical button,
  // as OLE reports it to the drop target, so that with swapped buttons (a left-handed mouse) the primary
  // button is still the left one.
  virtual bool MouseButtonHeld(int virtualKey) const;
  // Edge of the square icon to take from the shell: 32 px at 96 DPI, scaled to the DPI of the
  // monitor the window is on.
  virtual int ShellIconSize();
  // The foreground thread's GUI state (GetGUIThreadInfo(0, ...)): its capture, move and menu modes.
  virtual bool ForegroundThreadInfo(GUITHREADINFO& info) const;

  // Places a ring segment's icon along its slice's middle angle and may set the group's grow flag.
  void UpdateIconPosition();
  // The pie's box and the icon's.
  RECT DrawnBox() override;

  // Hover: the button the pointer entered last is the only one of its ring in the hover colour, and the
  // hint window shows its file's display name. A leave hides the hint only when no other button has
  // entered since: the window system may report one window's leave after the next one's enter.
  void CMMouseEnter() override;
  void CMMouseLeave() override;
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  // A click on a folder segment opens its folder's ring where the pointer is.
  void Click() override;
  // A folder centre moves with the ring only once the pointer has gone the system's drag distance: a
  // click on it opens its ring.
  bool WaitsForDrag() override { return Expands(); }

 private:
  // Fills FileInfo for the path, replacing (and freeing) the icon it held. An answer the shell is late
  // with is claimed and taken when it comes (kLateShellInfoMessage) or at the next render before.
  void TakeShellInfo(const std::wstring& path, TShellInfoPrefetch* answers);
  void UseShellInfo(SHFILEINFOW info);
  void NameByLeaf();         // the file's leaf name where FileInfo has no name
  bool TakeLateShellInfo();  // true when a late answer was taken now
  static constexpr UINT kLateShellInfoMessage = WM_APP + 0x3B0;
  void ReleaseIcon();
  // The file's icon as a GDI+ bitmap with its transparency; nullptr without an icon.
  Gdiplus::Bitmap* IconBitmap();
  // FileName and FileInfo, as SetFileName.
  void RememberFile(const std::wstring& path, TShellInfoPrefetch* answers = nullptr);
  TDragGDIButton* AddSegmentFor(const std::wstring& path);
  void ShapeWindow();
  // Where the next render draws the icon, in button pixels, a pixel wider on every side for its smoothing;
  // empty without an icon.
  RECT IconBox();
  // The timer of the leave watch: while the pointer is in, looks whether it has left this window's shape;
  // for a while after it left, whether it has come back without the system reporting it.
  void WatchForLeave(TObject* sender);
  void WatchForReturn(POINT cursor, bool onShape);
  bool PointerHeld() const;  // a capture, move or menu of this program or the foreground one
  // The ring's hint window, when this button is one of the ring's buttons (not the hint itself).
  TCustomGDIButton* RingHint() const;
  // The hover's look: the hover colour, the hover taken from the others, the file's name in the hint.
  void ShowHovered();
  // Takes the hover from every other button of the ring, which return to their normal colour.
  void TakeHover();
  // Back to the normal colour without a leave of the pointer (another button took the hover).
  void LoseHover();
  // The pointer moves on a button whose enter was seen but which lost the hover since: it enters again.
  void Reenter();
  // What a screen reader is told: an object of this window (WM_GETOBJECT), or an event about it.
  LRESULT AnswerGetObject(WPARAM wParam, LPARAM lParam);
  void Announce(DWORD event);
  void DisconnectAccessible();

  static constexpr unsigned kLeaveWatchInterval = 100;
  // A pointer that rests on the button is looked for less and less often, up to this: the program then
  // sleeps while the user reads the hint. Any move over the window brings the quick look back.
  static constexpr unsigned kLeaveWatchRestingInterval = 800;
  // How long after a leave the button looks for the pointer's return itself.
  static constexpr ULONGLONG kReturnWatchTime = 10000;

  std::unique_ptr<TTextTarget> dropTarget_;
  // Runs while the pointer is over a shaped window, and for a while after it left: some systems (Wine)
  // never report the leave of a window that has a region, nor, at times, the pointer's return.
  std::unique_ptr<TTimer> leaveWatch_;
  POINT watchedCursor_{};         // where the leave watch last saw the pointer
  ULONGLONG returnWatchEnd_ = 0;  // until when, after a leave, the watch looks for the pointer's return
  bool hovered_ = false;
  ComPtr<TRingAccessible> accessible_;  // made at the first WM_GETOBJECT, disconnected with the window
  std::wstring fileName_;
  std::wstring shownName_;                       // see SetShownName
  std::unique_ptr<TLateShellInfo> lateInfo_;     // the shell's answer for fileName_, while it is late
  TShellLookup shellLookup_;                     // see SetShellLookup
  UniqueIcon icon_;                              // owns FileInfo.hIcon, which only names it
  std::unique_ptr<Gdiplus::Bitmap> iconBitmap_;  // of iconBitmapSource_
  HICON iconBitmapSource_ = nullptr;             // not owned: the icon iconBitmap_ was made of
  int dropMode_ = vantel::kDropModeNone;
  float iconX_ = 0.0f;
  float iconY_ = 0.0f;
  int iconWidth_ = 0;
  int iconHeight_ = 0;
  // The pie the window shape was last made for (kind, size, rectangle), to skip unchanged reshapes.
  struct ShapeKey {
    int kind = -1;
    RECT box{}, icon{};
    vantel::PieRectValues pie{};
    bool operator==(const ShapeKey& other) const {
      return kind == other.kind && EqualRect(&box, &other.box) && EqualRect(&icon, &other.icon) &&
             pie == other.pie;
    }
  } shape_;
};
