// The ring's segments: item construction, adding, deleting, refreshing and the segment layout.
#include "GDIButtons/ButtonGroupItems.h"

#include <algorithm>
#include <stdexcept>

#include "GDIButtons/ButtonGroup.h"
#include "GDIButtons/RingLayout.h"
#include "framework/Application.h"
#include "framework/FlagScope.h"
#include "framework/Form.h"
#include "framework/Screen.h"

TGDIButtonGroupItem::TGDIButtonGroupItem(TCollection* collection) : TGDICollectionItem(collection) {
  auto* items = dynamic_cast<TGDIButtonGroupItems*>(collection);
  if (!items) return;
  TGDICustomButtonGroup& group = items->Group();
  TFlagScope refreshing(items->refreshing_);
  if (!group.ButtonClass()) return;
  TButtonInputs inputs = items->addedInputs_;
  // While the ring is being built the window waits hidden for its picture, which ShowAll brings after
  // the hold (a shown layered window without one would cost the system a new surface at every growth).
  if (group.DrawingHeld()) inputs.Start = TButtonStart::Hidden;
  button_ = group.ButtonClass()(group.Owner(), group.XmlFileName(), inputs);
  if (!button_) return;
  if (group.DrawingHeld()) {
    if (button_->Visible()) button_->Hide();  // a button class that shows its window anyway
    hiddenForHold_ = true;
    button_->DeferBounds(true);  // placed and sized when it shows
  }
  // A new segment starts where the centre is now, also after the user dragged the ring.
  const TCustomGDIButton* centre = group.CentreButton();
  button_->SetBounds(centre ? centre->Left() : 0, centre ? centre->Top() : 0, group.Width(), group.Height());
  if (Application && Application->MainForm()) button_->SetParent(Application->MainForm());
  button_->BringToFront();
  button_->SetGroupItems(items);
}

void TGDIButtonGroupItem::NoteCentreFollow(POINT centre) {
  if (!button_) return;
  button_->SetBounds(centre.x, centre.y, button_->Width(), button_->Height());  // kept while it waits
  followsCentre_ = true;
}

TGDIButtonGroupItem::~TGDIButtonGroupItem() {
  button_.reset();
}

std::wstring TGDIButtonGroupItem::GetDisplayName() const {
  return button_ ? button_->Name() : std::wstring();
}

TGDICollectionItem* TGDICollection::AddItem() {
  TCollectionItem* item = Add();
  auto* typed = dynamic_cast<TGDICollectionItem*>(item);
  if (item && !typed) throw std::runtime_error("Invalid class typecast");
  return typed;
}

TGDIButtonGroupItems::TGDIButtonGroupItems(TGDICustomButtonGroup& group, TCollectionItemFactory itemClass)
    : TGDICollection(std::move(itemClass)), group_(group) {}

TGDIButtonGroupItems::~TGDIButtonGroupItems() {
  // The items go while the rectangles their buttons point at still exist.
  Clear();
}

TPersistent* TGDIButtonGroupItems::GetOwner() {
  return &group_;
}

TGDIButtonGroupItem* TGDIButtonGroupItems::Items(int index) const {
  return dynamic_cast<TGDIButtonGroupItem*>(TGDICollection::Items(index));
}

TPieRect* TGDIButtonGroupItems::Rect(int index) const {
  if (index < 0 || index >= RectCount()) return nullptr;
  return rects_[static_cast<size_t>(index)].get();
}

TGDIButtonGroupItem* TGDIButtonGroupItems::AddItem() {
  return AddItem(TButtonInputs{});
}

TGDIButtonGroupItem* TGDIButtonGroupItems::AddItem(const TButtonInputs& inputs) {
  TGDICollectionItem* added = nullptr;
  {
    TFlagScope adding(adding_);
    addedInputs_ = inputs;  // the new item's constructor, run by the collection's add, hands them on
    try {
      added = TGDICollection::AddItem();
    } catch (...) {
      addedInputs_ = {};
      // An item that joined before the failure still gets its rectangle: the lists stay parallel.
      while (RectCount() < Count()) rects_.push_back(std::make_unique<TPieRect>());
      throw;
    }
    addedInputs_ = {};
    while (RectCount() < Count()) rects_.push_back(std::make_unique<TPieRect>());
  }
  Refresh();
  return dynamic_cast<TGDIButtonGroupItem*>(added);
}

void TGDIButtonGroupItems::Update(TCollectionItem* item) {
  TGDICollection::Update(item);
  Refresh();
}

void TGDIButtonGroupItems::Deleting(TCollectionItem* item) {
  // A screen reader forgets the segment's object before its window goes.
  const auto* gone = dynamic_cast<TGDIButtonGroupItem*>(item);
  if (TCustomGDIButton* button = gone ? gone->Button() : nullptr; button && button->HandleAllocated()) {
    NotifyWinEvent(EVENT_OBJECT_DESTROY, button->Handle(), OBJID_CLIENT, CHILDID_SELF);
  }
  TGDICollection::Deleting(item);
  const int index = item ? item->Index() : -1;
  if (index < 0 || index >= RectCount()) return;
  // The button goes right after this; it must not be left pointing at a freed rectangle meanwhile.
  if (auto* segment = dynamic_cast<TGDIButtonGroupItem*>(item); segment && segment->Button()) {
    if (segment->Button()->PieRect() == rects_[static_cast<size_t>(index)].get()) {
      segment->Button()->SetPieRect(nullptr);
    }
  }
  rects_.erase(rects_.begin() + index);
}

void TGDIButtonGroupItems::Refresh() {
  if (Count() == 0 || refreshing_ || adding_) return;
  TFlagScope refreshing(refreshing_);
  if (group_.DrawingHeld()) {
    // A ring being built: it grows as the renders of its segments would make it, but their rectangles
    // wait until something needs them (the release at the latest). n records cost n steps, not n².
    GrowIfFlagged();
    NoteOutgrownIcon();
    layoutStale_ = true;
    return;
  }
  LayoutSegments();
  for (int i = Count() - 1; i >= 0; --i) {
    TGDIButtonGroupItem* item = Items(i);
    TCustomGDIButton* button = item ? item->Button() : nullptr;
    if (!button) continue;
    if (TPieRect* rect = Rect(i)) button->SetPieRect(rect);
    button->Repaint();
  }
}

void TGDIButtonGroupItems::LayoutSegments() {
  GrowIfFlagged();
  AssignRects();
}

void TGDIButtonGroupItems::GrowIfFlagged() {
  if (group_.GrowFlag()) {
    // The centre's own repaints are skipped while the flag is still set. The ring stops growing before
    // it is larger than its monitor: past that, its windows would only cost memory (some hundreds of
    // icons would grow it to many thousand pixels) and no one could see it whole.
    const int growth = vantel::ScaleForDpi(vantel::kRingGrowth, group_.PixelsPerInch());
    const TCustomGDIButton* centre = group_.CentreButton();
    const vantel::ScreenPoint middle = centre ? vantel::ScreenPoint{centre->Left() + centre->Width() / 2,
                                                                    centre->Top() + centre->Height() / 2}
                                              : vantel::ScreenPoint{};
    const int largest = vantel::RingSideLimit(CurrentMonitors(), middle);
    if (std::max(group_.Width(), group_.Height()) + growth <= largest) {
      group_.SetWidth(group_.Width() + growth);
      group_.SetHeight(group_.Height() + growth);
    }
    group_.SetGrowFlag(false);
  }
  if (TCustomGDIButton* centre = group_.CentreButton()) centre->Repaint();
}

void TGDIButtonGroupItems::NoteOutgrownIcon() {
  // The flag is clear here (a growth clears it). Each segment's render would set it when its icon is
  // wider than its slice, except on a ring of four or fewer, where it would only clear it: the first
  // such segment decides.
  const int n = Count();
  if (n <= 4 || group_.GrowFlag()) return;
  const int width = group_.Width(), height = group_.Height();
  for (int i = 0; i < n; ++i) {
    TGDIButtonGroupItem* item = Items(i);
    TCustomGDIButton* button = item ? item->Button() : nullptr;
    if (button && button->IconOutgrows(vantel::SegmentRect(i, n, width, height, group_.PixelsPerInch()), n)) {
      group_.SetGrowFlag(true);
      return;
    }
  }
}

void TGDIButtonGroupItems::LayOutIfStale() {
  if (!layoutStale_) return;
  AssignRects();
  for (int i = 0; i < Count(); ++i) {
    TGDIButtonGroupItem* item = Items(i);
    if (item && item->Button()) item->Button()->SetPieRect(Rect(i));
  }
}

void TGDIButtonGroupItems::AssignRects() {
  layoutStale_ = false;
  const int n = RectCount();
  if (n <= 0) return;
  const int width = group_.Width();
  const int height = group_.Height();
  for (int i = 0; i < n; ++i) {
    if (TGDIButtonGroupItem* item = Items(i); item && item->Button()) {
      TCustomGDIButton* button = item->Button();
      // Only a ring that grew changes the segments' size; the system would be asked for nothing. (A
      // segment waiting hidden keeps the size for when it shows.)
      if (button->Width() != width || button->Height() != height) {
        button->SetBounds(button->Left(), button->Top(), width, height);
      }
    }
    rects_[static_cast<size_t>(i)]->Assign(vantel::SegmentRect(i, n, width, height, group_.PixelsPerInch()));
  }
}

bool TGDIButtonGroupItem::ShowAfterHold() {
  if (!hiddenForHold_ || !button_) return false;
  hiddenForHold_ = false;
  // Where the ring's layouts and the centre's moves took the window meanwhile (its kept bounds): its one
  // render is pushed there while the window is still hidden (the push places and sizes it), then the
  // window shows with its picture. The system need not paint what is there already.
  const bool followsCentre = followsCentre_;
  followsCentre_ = false;
  button_->ShowDeferred(followsCentre);
  ValidateRect(button_->Handle(), nullptr);
  return true;
}
