// The ring's segments: the collection item classes and TGDIButtonGroupItems with its rectangle list.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "GDIButtons/GDIButtonClass.h"
#include "GDIButtons/PieGeometry.h"
#include "framework/Collection.h"

class TGDICustomButtonGroup;

class TGDICollectionItem : public TCollectionItem {
 public:
  using TCollectionItem::TCollectionItem;
};

// One ring segment: owns its button, built from the group's button class where the centre is now.
class TGDIButtonGroupItem : public TGDICollectionItem {
 public:
  explicit TGDIButtonGroupItem(TCollection* collection);
  ~TGDIButtonGroupItem() override;  // destroys the button, then leaves the collection

  TCustomGDIButton* Button() const { return button_.get(); }
  // The button's component name (buttons are created without one), or empty without a button.
  virtual std::wstring GetDisplayName() const;
  // A button made while its group held drawing waits hidden for its first picture: this gives its window
  // the place and size that the layouts and the centre's moves meant for it meanwhile, renders it and
  // shows it, and says whether it did (the group's ShowAll, once the hold has ended).
  bool ShowAfterHold();
  // Whether the button waits hidden. Its window then stays where it was made: the place and size that
  // the layouts and the centre's moves give it are kept as its deferred bounds and applied at once when
  // it shows.
  bool WaitsHidden() const { return hiddenForHold_; }
  // A move of the centre took this waiting segment: to `centre`, and into the not-topmost band when it
  // shows.
  void NoteCentreFollow(POINT centre);

 private:
  std::unique_ptr<TCustomGDIButton> button_;
  bool hiddenForHold_ = false;
  bool followsCentre_ = false;  // a move of the centre took it: into the not-topmost band
};

class TGDICollection : public TCollection {
 public:
  using TCollection::TCollection;
  // The base add; throws std::runtime_error when the item is not a TGDICollectionItem.
  virtual TGDICollectionItem* AddItem();
};

// The collection of ring segments and a parallel list of one rectangle per item (entry i is item i's
// geometry). Items are added only through AddItem and removed only through Delete, which keeps the two
// lists parallel; every structural change lays the ring out again.
class TGDIButtonGroupItems : public TGDICollection {
 public:
  TGDIButtonGroupItems(TGDICustomButtonGroup& group,
                       TCollectionItemFactory itemClass = CollectionItemClass<TGDIButtonGroupItem>());
  ~TGDIButtonGroupItems() override;

  // Adds a segment with its button and a default rectangle, then lays the ring out. The button reads its
  // colours from the group's file.
  TGDIButtonGroupItem* AddItem() override;
  // The same, the button made with what `inputs` give (its start is the group's: hidden while it holds
  // drawing).
  TGDIButtonGroupItem* AddItem(const TButtonInputs& inputs);
  // Lays the ring out and points every button at its rectangle (last item first), repainting each.
  // Does nothing on an empty collection or while a refresh or an add is in progress.
  virtual void Refresh();
  // Widens the ring first when the grow flag is set, repaints the centre, sizes every segment button
  // and gives every rectangle its share of the circle.
  virtual void LayoutSegments();
  // While the group holds drawing, a refresh grows the ring and sets the grow flag as the segments'
  // renders would, and leaves sizing the buttons and their rectangles to this: a held render of a
  // segment calls it, and so does the release.
  void LayOutIfStale();

  TGDICustomButtonGroup& Group() const { return group_; }
  TPersistent* GetOwner() override;
  TGDIButtonGroupItem* Items(int index) const;

  int RectCount() const { return static_cast<int>(rects_.size()); }
  TPieRect* Rect(int index) const;  // nullptr when out of range
  bool Refreshing() const { return refreshing_; }
  bool Adding() const { return adding_; }

 protected:
  void Update(TCollectionItem* item) override;
  void Deleting(TCollectionItem* item) override;

 private:
  friend class TGDIButtonGroupItem;  // sets the refreshing flag and takes the inputs as it builds its button

  void GrowIfFlagged();
  void NoteOutgrownIcon();
  void AssignRects();

  TGDICustomButtonGroup& group_;
  std::vector<std::unique_ptr<TPieRect>> rects_;
  bool refreshing_ = false;
  bool adding_ = false;
  bool layoutStale_ = false;   // a held refresh left the sizes and rectangles to LayOutIfStale
  TButtonInputs addedInputs_;  // what the AddItem in progress hands its button
};

// "Class reference" of a group's segment collection: builds it for the group with the item class.
using TGDIButtonGroupItemsClass = std::function<std::unique_ptr<TGDIButtonGroupItems>(
    TGDICustomButtonGroup& group, TCollectionItemFactory itemClass)>;

template <class Items>
TGDIButtonGroupItemsClass ButtonGroupItemsClass() {
  return [](TGDICustomButtonGroup& group,
            TCollectionItemFactory itemClass) -> std::unique_ptr<TGDIButtonGroupItems> {
    return std::make_unique<Items>(group, std::move(itemClass));
  };
}
