// The button group: the centre disc, the hint window and the ring of segments, sized and centred.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "GDIButtons/ButtonGroupItems.h"
#include "GDIButtons/CustomGDIButton.h"
#include "GDIButtons/GDIButtonClass.h"
#include "framework/Component.h"
#include "framework/MonitorLayout.h"

class TDragGDIButton;
class TFolderRings;

// A non-visual component with an owner.
class TCustomGDITransparentPanel : public TComponent {
 public:
  using TComponent::TComponent;
};

class TGDICustomButtonGroup : public TCustomGDITransparentPanel {
 public:
  // In this order: the segment collection (itemsClass, by default TGDIButtonGroupItems, with
  // TGDIButtonGroupItem as its item class), the centre button (buttonClass with the group's owner and
  // xmlFileName) and, when hintClass is set, the hint window, which is then set up. Sizes nothing: width
  // and height stay 0 until SetHeight and SetWidth. A subclass's overrides are not reachable while the
  // constructor runs, so what they would report (XmlFileName, GetItemsClass) is handed in here, and so is
  // what the centre button receives.
  TGDICustomButtonGroup(TComponent* owner, TGDIButtonClass buttonClass, std::wstring xmlFileName = {},
                        THintWindowClass hintClass = {}, TGDIButtonGroupItemsClass itemsClass = {},
                        const TButtonInputs& centreInputs = {});
  // Destroys the centre button, then the hint window, then the collection.
  ~TGDICustomButtonGroup() override;

  // Configuration file name passed to every button the group creates; the XML-bound group provides it.
  virtual std::wstring XmlFileName() const { return xmlFileName_; }

  // Size of the square; moves and resizes only the centre button, which is repainted unless the grow
  // flag is set. Existing segments take the new size at the next layout.
  void SetWidth(int value);
  void SetHeight(int value);
  int Width() const { return width_; }
  int Height() const { return height_; }

  // The DPI the ring is sized for (96 = 100 %): its margins, gap, growth and hint font follow it. The
  // caller scales the ring's size; set before the first SetWidth / SetHeight.
  int PixelsPerInch() const { return dpi_; }
  void SetPixelsPerInch(int dpi);
  // The ring at another DPI (the centre's WM_DPICHANGED): every size scaled by dpi / PixelsPerInch(),
  // the spot of the centre under the pointer kept there. Nothing is stored.
  void ChangeDpi(int dpi);

  // The class of the segment collection the constructor creates.
  virtual TGDIButtonGroupItemsClass GetItemsClass() const;

  // Shows and repaints the centre button, then every segment button in index order. A button that waited
  // hidden while drawing was held is rendered first and then shown, so that it shows with its picture.
  void ShowAll();

  // Set by a segment whose icon does not fit its slice; the next layout widens the ring by 40 px (at 96 dpi).
  bool GrowFlag() const { return grow_; }
  void SetGrowFlag(bool grow) { grow_ = grow; }

  // While drawing is held, the ring's buttons (centre and segments) lay out each render without making
  // or pushing an image: PaintCount, the pie's rectangles, the icon's place and the grow flag come out
  // as a full render leaves them, but the window keeps its pixels. An addition then grows the ring as
  // the segments' renders would, without rendering them; the rectangles are laid out once, when needed
  // (TGDIButtonGroupItems::LayOutIfStale). Only each button's render after the release (ShowAll) costs a
  // picture. The centre and the segments made while drawing is held wait hidden for that ShowAll. Holds
  // nest.
  // The centre's moves wait for the release too: the segments that were there at the last move then
  // follow it (MoveSegmentsTo). A ring's load holds drawing in a TRingLoad
  // (RingLoad.h), which tells the whole sequence.
  void HoldDrawing();
  void ReleaseDrawing();
  bool DrawingHeld() const { return drawingHeld_ > 0; }
  // The centre's window moved to `at` (its bounds' top-left), or its deferred bounds did: the segments follow
  // it, now or, while drawing is held, at the release; nothing while the ring moves as a whole (MoveRing).
  void CentreMoved(POINT at) noexcept;
  // What a move of the centre to `centre` (its bounds' top-left) does to the ring: the first `count`
  // segments go there, into the not-topmost band (the topmost one while summoned); a segment that waits
  // hidden notes the move for when it shows.
  void MoveSegmentsTo(POINT centre, int count) noexcept;

  // Moves the centre and every segment so the centre's bounds start at (left, top), in one batch of window
  // moves (the segments make no moves of their own). Summoned: every ring window goes above all other
  // windows; otherwise back to the stacking a drag leaves (the centre in its own band, the segments in the
  // normal one). With `show`, hidden windows show in the same batch.
  void MoveRing(int left, int top, bool summoned, bool show = false);
  bool Summoned() const { return summoned_; }
  // The ring came to the pointer and the pointer has not moved since. The system then reports a move over
  // the window that came under it (the centre), which is no move of the user's: it must not take the
  // keys' selection, and with it the focus a screen reader was given.
  bool PointerRestsSinceSummons();
  bool MovingRing() const { return movingRing_; }

  // The hint window's frame: the virtual desktop with its real origin (a monitor may lie left of or above
  // the primary one), so the name shows on every monitor. Again after the monitors changed.
  void FrameHintWindow();

  // --- The keyboard. Keys drive the ring only while it has them: from a summons (FocusRing) or a click on
  // one of its windows, until the program loses the foreground or the ring goes home (DisarmKeys). A ring
  // at home that the user did not click handles no key. Its segment buttons hand the keys here. The
  // selection looks exactly as a pointer's hover (the hover colour, the file's name above the ring), and
  // the two are one: a key takes the look from the segment under the pointer, a pointer's enter takes it
  // from the selected one. While this thread has the foreground, the selected segment's window has the
  // keyboard focus: it is what a screen reader reads as focused.

  // Esc: the selection is cleared, then this runs (the program sends the ring back to its place).
  std::function<void()> OnDismiss;
  // Enter opened the selected segment's file (after its double-click handler ran).
  std::function<void()> OnLaunched;
  // The ring has the foreground (the caller gave it to one of its windows): the keys reach it, from the
  // segment selected last (the first one at first), unless one shows hovered already.
  void FocusRing();
  // A click made a ring window active: the keys drive the ring.
  void ArmKeys() { keysArmed_ = true; }
  // The ring lets go of the keys: no key drives it, and the keys' selection ends.
  void DisarmKeys();
  bool KeysArmed() const { return keysArmed_; }
  // The segment the keys selected loses its look and the name goes (one under the pointer keeps them).
  void EndKeyboardSelection();
  // The segment shown in the hover colour, by the pointer or the keys; -1 when none.
  int SelectedSegment() const;
  // A key pressed on one of the ring's windows (RingKeyActionFor, RingKeyLogic.h, says what each does):
  // true when it was one of the ring's.
  bool RingKeyDown(unsigned virtualKey, bool shift);
  // A segment took the hover from the pointer: the keys go on from there.
  void NoteHovered(const TCustomGDIButton* button);
  // A message for one of the ring's windows, before the button handles it: the keys, a click arming them,
  // Alt+F4 kept from closing one window of the ring, a resting pointer's move after a summons; true when the
  // ring handled it (`result` is then the answer). A menu asked for from the keyboard gets its place on the
  // slice in `lParam`, and the button goes on to open it there.
  bool RingWindowMessage(TDragGDIButton& button, UINT msg, WPARAM wParam, LPARAM& lParam, LRESULT& result);

  // --- Folder rings. A folder segment (TDragGDIButton::Expands) opens its folder as a ring of its own above
  // this one (FolderRings.h); an entry of that ring that is a folder opens the next, up to kMaxFolderDepth.
  static constexpr int kMaxFolderDepth = 4;
  // Opens the ring of `button`'s folder with its middle at `at` (screen pixels); `fromKeys`: Space asked
  // for it. The folder is read on a worker: the ring shows when the listing is there.
  void ExpandSegment(const TDragGDIButton& button, POINT at, bool fromKeys);
  // Closes every folder ring opened from this ring or the one it belongs to, and a listing under way.
  void CloseFolderRings();
  // How deep this ring stands: 0 for a ring of its own, n for the n-th folder ring above one.
  int FolderDepth() const { return folderDepth_; }
  // Whether a folder segment of this ring opens a ring of its own (not past kMaxFolderDepth).
  bool CanExpand() const { return folderDepth_ < kMaxFolderDepth; }
  // The folder rings opened from this ring, when any were (nullptr before the first).
  TFolderRings* OpenedFolderRings() const { return ownFolderRings_.get(); }

  TCustomGDIButton* CentreButton() const { return centre_.get(); }
  TCustomGDIButton* HintWindow() const { return hint_.get(); }  // nullptr without a hint class
  TGDIButtonGroupItems& Items() const { return *items_; }
  const TGDIButtonClass& ButtonClass() const { return buttonClass_; }
  const TPieRect& CentreRect() const { return centreRect_; }
  float CentreX() const { return centreX_; }
  float CentreY() const { return centreY_; }
  float CentreWidth() const { return centreWidth_; }
  float CentreHeight() const { return centreHeight_; }

 protected:
  // Centre disc geometry and the centre window's place: the middle of the primary monitor's work area at
  // first, then of the work area of the monitor the ring is on.
  // `middle` is the ring's middle before the change of size.
  void LayoutCenter(vantel::ScreenPoint middle);
  vantel::ScreenPoint RingMiddle() const;
  // The hint window's frame (FrameHintWindow), kind and links.
  void SetupHintWindow();
  void SetXmlFileName(std::wstring name) { xmlFileName_ = std::move(name); }
  // A folder ring: it stands `depth` deep in `rings`, which open and close it and the ones above it.
  void JoinFolderRings(TFolderRings& rings, int depth) {
    folderRings_ = &rings;
    folderDepth_ = depth;
  }

 private:
  int SegmentIndex(const TCustomGDIButton* button) const;  // -1 when it is no segment of this ring
  void SelectSegment(int index);
  void LaunchSegment(int index);
  void OpenSegmentMenu(int index);
  // A letter: the next segment clockwise whose shown name starts with it (RingKeyLogic.h's NameInitial).
  bool SelectByLetter(unsigned virtualKey);

  TPieRect centreRect_;
  float centreX_ = 0, centreY_ = 0, centreWidth_ = 0, centreHeight_ = 0;
  std::unique_ptr<TCustomGDIButton> centre_;
  std::unique_ptr<TCustomGDIButton> hint_;
  TGDIButtonClass buttonClass_;
  THintWindowClass hintClass_;
  TGDIButtonGroupItemsClass itemsClass_;
  int height_ = 0;
  int width_ = 0;
  bool grow_ = false;
  bool placed_ = false;  // the centre has had a place of its own size
  int dpi_ = 96;
  int drawingHeld_ = 0;
  int lastSelected_ = -1;  // the segment the keys or the pointer selected last
  int followCount_ = 0;    // segments to follow the centre at the release
  bool centreHiddenForHold_ = false;
  bool centreFrontPending_ = false;  // a layout asked the waiting centre to the front
  bool summoned_ = false;
  std::optional<POINT> restingPointer_;  // where the pointer was at the summons, until it moves
  bool movingRing_ = false;
  bool centreTopmost_ = true;  // the centre's band before the summons
  bool keysArmed_ = false;     // see ArmKeys
  int pendingDpi_ = 0;         // a WM_DPICHANGED that came in the middle of MoveRing
  std::unique_ptr<TGDIButtonGroupItems> items_;
  std::wstring xmlFileName_;
  TFolderRings* folderRings_ = nullptr;           // the rings a folder ring belongs to (not owned)
  std::unique_ptr<TFolderRings> ownFolderRings_;  // the folder rings opened from a ring of its own
  int folderDepth_ = 0;
};

// Holds a group's drawing for a scope (see TGDICustomButtonGroup::HoldDrawing), also when an exception
// leaves it.
class TDrawingHold {
 public:
  explicit TDrawingHold(TGDICustomButtonGroup& group) : group_(group) { group_.HoldDrawing(); }
  ~TDrawingHold() { group_.ReleaseDrawing(); }
  TDrawingHold(const TDrawingHold&) = delete;
  TDrawingHold& operator=(const TDrawingHold&) = delete;

 private:
  TGDICustomButtonGroup& group_;
};
