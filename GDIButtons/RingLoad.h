// TRingLoad: what "the ring is loading" means, in one scope that LoadButtons owns.
//
// Loading a ring of n files adds n segments one by one. Done plainly, each addition lays the ring out
// again and renders and pushes every segment (n² pictures, each a window surface), and every new window
// shows before it has a picture. A load instead runs in these steps:
//
//  1. Hold drawing (TGDICustomButtonGroup::HoldDrawing, counted in the group's drawingHeld_). From then
//     on a render lays out without making a picture (TCustomGDIButton::UpdateLayered, layoutOnly_): the
//     counts, rectangles, icon places and the grow flag come out as a full render leaves them, nothing is
//     pushed. A visible centre hides and keeps its moves as deferred bounds (centreHiddenForHold_,
//     TCustomGDIButton::DeferBounds); a move of the centre is noted for the release (followCount_).
//  2. Keep the shell-information prefetch for the additions: each button's SetFileName is handed it and
//     takes the answer a worker already looked up, or a claim on one still to come.
//  3. Add the segments. A segment made while drawing is held is created hidden (TButtonInputs::Start,
//     given by TGDIButtonGroupItem), waits hidden (TGDIButtonGroupItem::hiddenForHold_) with
//     deferred bounds, and notes a follow of the centre for when it shows (followsCentre_). The ring's
//     layout only grows meanwhile and leaves the rectangles stale (TGDIButtonGroupItems::layoutStale_)
//     until a segment's render or the release needs them (LayOutIfStale).
//  4. Release the hold (ReleaseDrawing): stale rectangles are assigned and the segments that were there
//     at the centre's last move follow it.
//  5. Show all (ShowAll): the centre and each waiting segment get their one render, pushed while the
//     window is still hidden at its deferred bounds, then the window shows with its picture. Later pushes
//     of the same size hand over only the part where ink changed (partial pushes,
//     CustomGDIButtonPush.cpp).
//
// Should an addition throw, what was built is released and shown as it stands and the exception goes on.
// The flags named above stay with the classes whose objects they describe (the group, an item, a
// button); this scope is the one owner of the order in which they are set and cleared for a load.
#pragma once

#include <functional>
#include <memory>
#include <optional>

#include "GDIButtons/ButtonGroup.h"
#include "GDIButtons/ShellInfoPrefetch.h"

class TRingLoad {
 public:
  // Steps 1 and 2: holds the group's drawing and keeps `prefetch` (may be null); both end with the scope.
  TRingLoad(TGDICustomButtonGroup& group, std::unique_ptr<TShellInfoPrefetch> prefetch);
  ~TRingLoad();
  TRingLoad(const TRingLoad&) = delete;
  TRingLoad& operator=(const TRingLoad&) = delete;

  // Steps 3 to 5: runs `addButtons` with the prefetch's answers (null without a prefetch), then releases
  // the hold and shows the ring; when `addButtons` throws, releases and shows what was built, then throws
  // on. Once per load.
  void Build(const std::function<void(TShellInfoPrefetch* answers)>& addButtons);

 private:
  void ReleaseAndShow();

  TGDICustomButtonGroup& group_;
  std::optional<TDrawingHold> hold_;
  // Answers nobody took go with the prefetch when the scope ends; late ones still reach their buttons.
  std::unique_ptr<TShellInfoPrefetch> prefetch_;
};
