// TDragGDIButton: the pie button that holds one file: takes dropped files, draws the file's icon, launches
// it.
#pragma once

#include <memory>
#include <string>

#include "GDIButtons/CustomGDIButton.h"
#include "GDIButtons/DragButtonLogic.h"
#include "framework/Timer.h"
#include "shell/TextTarget.h"

class TDragGDIButton : public TCustomGDIButton {
 public:
  // What SetFileName asks the shell for (the large icon).
  static constexpr UINT kFileInfoFlags =
      SHGFI_ICON | SHGFI_DISPLAYNAME | SHGFI_TYPENAME | SHGFI_ATTRIBUTES | SHGFI_SYSICONINDEX;

  // The pie button, no file, OnDblClick = Launch, and a drop target for file lists on this window.
  explicit TDragGDIButton(TComponent* owner, const TButtonColors& colors = {});
  // Destroys the drop target (revoking the window's registration), then the pie button.
  ~TDragGDIButton() override;

  // Path of the file the button launches; empty when it holds none.
  const std::wstring& FileName() const { return fileName_; }
  // Takes the path and asks the shell for its icon (at the size the window's monitor wants), display
  // name, type name and attributes into FileInfo. Does not repaint. A path the shell does not know
  // leaves no icon.
  void SetFileName(const std::wstring& value);

  // OnDblClick: opens the file with the shell's "open" verb, a shortcut resolved to its target first.
  // Does nothing without a file. A failure to create the shell-link object throws EOleError.
  void Launch(TObject* sender);

  // The mode the last drag-enter fixed (vantel::kDropMode...: 0, 7777, 9999 or 8888).
  int DropMode() const { return dropMode_; }
  // Where the icon was last drawn (top-left in window pixels) and its real size.
  float IconX() const { return iconX_; }
  float IconY() const { return iconY_; }
  int IconWidth() const { return iconWidth_; }
  int IconHeight() const { return iconHeight_; }

  TTextTarget& DropTarget() const { return *dropTarget_; }

  // Draws the file's icon over the rendered pie and pushes the window again at constant alpha 210.
  void DrawOverlay(TLayeredSurface& surface) override;
  // True while the file's icon can be drawn: a render then pushes once, pie and icon at 210.
  bool OverlayPushesImage() override;
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

 protected:
  // Drag-enter: fixes the drop mode from the mouse buttons held now. Its arguments are not used.
  void DropTargetDragEnter(TObject* sender, TDropEffect effect, int x, int y);
  // Drop: handles the dropped paths by the drop mode (see DragGDIButton.cpp). Its arguments are not used.
  void DropTargetDrop(TObject* sender, TWinControl* acceptor, const std::wstring& dropText, int x, int y);

  // Whether this mouse button (VK_LBUTTON, VK_RBUTTON) is down now (GetAsyncKeyState). Tests override it.
  virtual bool MouseButtonHeld(int virtualKey) const;
  // Edge of the square icon to take from the shell: 32 px at 96 DPI, scaled to the DPI of the
  // monitor the window is on. Tests override it.
  virtual int ShellIconSize();

  // Places a ring segment's icon along its slice's middle angle and may set the group's grow flag.
  void UpdateIconPosition();
  // The pie's box and the icon's.
  RECT DrawnBox() override;

  // Hint window: shows the file's display name on enter, hides on leave (no hint window: nothing).
  void CMMouseEnter() override;
  void CMMouseLeave() override;
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  // Fills FileInfo for the path, replacing (and freeing) the icon it held.
  void TakeShellInfo(const std::wstring& path);
  void ReleaseIcon();
  // The file's icon as a GDI+ bitmap with its transparency; nullptr without an icon.
  Gdiplus::Bitmap* IconBitmap();
  void RememberFile(const std::wstring& path);  // FileName and FileInfo, as SetFileName
  TDragGDIButton* AddSegmentFor(const std::wstring& path);
  bool IsRingButton() const;  // the centre or a segment of the ring it belongs to
  void ShapeWindow();
  // Where the next render draws the icon, in button pixels, a pixel wider on every side for its smoothing;
  // empty without an icon.
  RECT IconBox();
  void WatchForLeave(TObject* sender);

  std::unique_ptr<TTextTarget> dropTarget_;
  // Runs only while the pointer is over a shaped window: some systems (Wine) never report the leave
  // of a window that has a region, so the button looks for itself.
  std::unique_ptr<TTimer> leaveWatch_;
  POINT watchedCursor_{};  // where the leave watch last saw the pointer
  std::wstring fileName_;
  std::unique_ptr<Gdiplus::Bitmap> iconBitmap_;  // of iconBitmapSource_
  HICON iconBitmapSource_ = nullptr;
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
