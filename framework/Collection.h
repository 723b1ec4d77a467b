// TCollection / TCollectionItem: an ordered, owning list of items of one item class (no Win32).
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "framework/Object.h"

class TCollection;

class TCollectionItem : public TPersistent {
 public:
  // Joins `collection` at its end. Items are normally made by TCollection::Add, which owns them.
  explicit TCollectionItem(TCollection* collection);
  ~TCollectionItem() override;

  TCollection* Collection() const { return collection_; }
  int Index() const;
  // Moves the item to `index` (clamped to the valid range); the collection's Update runs.
  void SetIndex(int index);

  TPersistent* GetOwner() override;

 private:
  friend class TCollection;
  TCollection* collection_ = nullptr;
};

// Builds one item of the collection's item class; the item's constructor joins the collection.
using TCollectionItemFactory = std::function<std::unique_ptr<TCollectionItem>(TCollection*)>;

template <class Item>
TCollectionItemFactory CollectionItemClass() {
  return [](TCollection* collection) { return std::make_unique<Item>(collection); };
}

class TCollection : public TPersistent {
 public:
  explicit TCollection(TCollectionItemFactory itemClass);
  ~TCollection() override;

  // Constructs an item of the item class (which appends itself), then Update(item)
  // unless updates are suspended.
  TCollectionItem* Add();
  // Deleting(item) while it still has its index, destroys it, then Update(nullptr).
  void Delete(int index);
  // Deletes every item, last first, with Deleting for each and one Update at the end.
  void Clear();

  int Count() const { return static_cast<int>(order_.size()); }
  TCollectionItem* Items(int index) const;  // nullptr when out of range
  int IndexOf(const TCollectionItem* item) const;

  void BeginUpdate() { ++updateCount_; }
  void EndUpdate();  // the last one calls Update(nullptr)
  int UpdateCount() const { return updateCount_; }

  const TCollectionItemFactory& ItemClass() const { return itemClass_; }

 protected:
  // nullptr = the whole collection changed (deletion, index change, end of an update block).
  virtual void Update(TCollectionItem* item) { (void)item; }
  virtual void Deleting(TCollectionItem* item) { (void)item; }
  void Changed(TCollectionItem* item);

 private:
  friend class TCollectionItem;
  void InsertItem(TCollectionItem* item);
  void RemoveItem(TCollectionItem* item);
  void MoveItem(int from, int to);

  TCollectionItemFactory itemClass_;
  std::vector<TCollectionItem*> order_;                  // the items, by index
  std::vector<std::unique_ptr<TCollectionItem>> owned_;  // what Add created, in creation order
  int updateCount_ = 0;
};
