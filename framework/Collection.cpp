// TCollection / TCollectionItem: the ordered item list, its add, delete and move rules.
#include "framework/Collection.h"

#include <algorithm>

TCollectionItem::TCollectionItem(TCollection* collection) {
  if (collection) collection->InsertItem(this);
}

TCollectionItem::~TCollectionItem() {
  if (collection_) collection_->RemoveItem(this);
}

int TCollectionItem::Index() const {
  return collection_ ? collection_->IndexOf(this) : -1;
}

void TCollectionItem::SetIndex(int index) {
  if (!collection_) return;
  const int current = Index();
  const int last = collection_->Count() - 1;
  index = std::clamp(index, 0, last);
  if (index == current) return;
  collection_->MoveItem(current, index);
  collection_->Changed(nullptr);
}

TPersistent* TCollectionItem::GetOwner() {
  return collection_;
}

TCollection::TCollection(TCollectionItemFactory itemClass) : itemClass_(std::move(itemClass)) {}

TCollection::~TCollection() {
  // No notifications while going: the derived part no longer exists.
  updateCount_ = 1;
  for (TCollectionItem* item : order_) item->collection_ = nullptr;
  order_.clear();
  while (!owned_.empty()) owned_.pop_back();
}

TCollectionItem* TCollection::Add() {
  if (!itemClass_) return nullptr;
  std::unique_ptr<TCollectionItem> item = itemClass_(this);
  TCollectionItem* raw = item.get();
  owned_.push_back(std::move(item));
  Changed(raw);
  return raw;
}

void TCollection::Delete(int index) {
  TCollectionItem* item = Items(index);
  if (!item) return;
  Deleting(item);
  // Deleting may have moved things around; look the item up again by identity.
  auto owned = std::find_if(owned_.begin(), owned_.end(),
                            [item](const std::unique_ptr<TCollectionItem>& p) { return p.get() == item; });
  if (owned != owned_.end()) {
    std::unique_ptr<TCollectionItem> doomed = std::move(*owned);
    owned_.erase(owned);
    doomed.reset();  // the item's destructor leaves the order list
  } else {
    // Not made by Add: whoever owns it keeps it, it only leaves the collection.
    RemoveItem(item);
  }
  Changed(nullptr);
}

void TCollection::Clear() {
  if (order_.empty()) return;
  BeginUpdate();
  while (!order_.empty()) Delete(Count() - 1);
  EndUpdate();
}

TCollectionItem* TCollection::Items(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return order_[static_cast<size_t>(index)];
}

int TCollection::IndexOf(const TCollectionItem* item) const {
  auto it = std::find(order_.begin(), order_.end(), item);
  return it == order_.end() ? -1 : static_cast<int>(it - order_.begin());
}

void TCollection::EndUpdate() {
  if (updateCount_ > 0 && --updateCount_ == 0) Changed(nullptr);
}

void TCollection::Changed(TCollectionItem* item) {
  if (updateCount_ == 0) Update(item);
}

void TCollection::InsertItem(TCollectionItem* item) {
  item->collection_ = this;
  order_.push_back(item);
}

void TCollection::RemoveItem(TCollectionItem* item) {
  order_.erase(std::remove(order_.begin(), order_.end(), item), order_.end());
  item->collection_ = nullptr;
}

void TCollection::MoveItem(int from, int to) {
  TCollectionItem* item = order_[static_cast<size_t>(from)];
  order_.erase(order_.begin() + from);
  order_.insert(order_.begin() + to, item);
}
