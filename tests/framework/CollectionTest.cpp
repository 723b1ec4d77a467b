// TCollection / TCollectionItem: call order of Update and Deleting for add, delete, move and update blocks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/Collection.h"

namespace {

struct Log {
  std::vector<std::string> calls;
};

class NamedItem : public TCollectionItem {
 public:
  explicit NamedItem(TCollection* collection);
  ~NamedItem() override;
  int Id;
};

// Records every Update and Deleting with what the collection looked like at that moment.
class RecordingCollection : public TCollection {
 public:
  explicit RecordingCollection(Log& log) : TCollection(CollectionItemClass<NamedItem>()), log_(log) {}
  Log& log_;
  int nextId = 0;

 protected:
  void Update(TCollectionItem* item) override {
    log_.calls.push_back("Update(" + Describe(item) + ") count=" + std::to_string(Count()));
  }
  void Deleting(TCollectionItem* item) override {
    log_.calls.push_back("Deleting(" + Describe(item) + ") index=" + std::to_string(item->Index()) +
                         " count=" + std::to_string(Count()));
  }

 private:
  static std::string Describe(TCollectionItem* item) {
    return item ? "#" + std::to_string(static_cast<NamedItem*>(item)->Id) : "nil";
  }
};

NamedItem::NamedItem(TCollection* collection) : TCollectionItem(collection) {
  auto* owner = static_cast<RecordingCollection*>(collection);
  Id = owner->nextId++;
  // The base constructor has already appended the item.
  owner->log_.calls.push_back("construct #" + std::to_string(Id) + " index=" + std::to_string(Index()));
}

NamedItem::~NamedItem() {
  auto* owner = static_cast<RecordingCollection*>(Collection());
  if (owner) {
    owner->log_.calls.push_back("destroy #" + std::to_string(Id) +
                                " count=" + std::to_string(owner->Count()));
  }
}

std::vector<int> Ids(const TCollection& c) {
  std::vector<int> ids;
  for (int i = 0; i < c.Count(); ++i) ids.push_back(static_cast<NamedItem*>(c.Items(i))->Id);
  return ids;
}

struct Case {
  const char* name;
  void (*act)(RecordingCollection&);  // runs after three items #0 #1 #2 were added
  std::vector<std::string> calls;
  std::vector<int> idsAfter;
};

const Case kCases[] = {
    {"AddAppendsThenUpdatesWithTheItem",
     [](RecordingCollection& c) { c.Add(); },
     {"construct #3 index=3", "Update(#3) count=4"},
     {0, 1, 2, 3}},
    {"DeleteCallsDeletingWhileIndexedThenDestroysThenUpdatesAll",
     [](RecordingCollection& c) { c.Delete(1); },
     {"Deleting(#1) index=1 count=3", "destroy #1 count=3", "Update(nil) count=2"},
     {0, 2}},
    {"DeleteOutOfRangeDoesNothing",
     [](RecordingCollection& c) {
       c.Delete(3);
       c.Delete(-1);
     },
     {},
     {0, 1, 2}},
    {"SetIndexMovesAndUpdates",
     [](RecordingCollection& c) { c.Items(0)->SetIndex(2); },
     {"Update(nil) count=3"},
     {1, 2, 0}},
    {"SetIndexToSamePlaceDoesNotUpdate",
     [](RecordingCollection& c) { c.Items(1)->SetIndex(1); },
     {},
     {0, 1, 2}},
    {"SetIndexBeyondEndGoesLast",
     [](RecordingCollection& c) { c.Items(0)->SetIndex(99); },
     {"Update(nil) count=3"},
     {1, 2, 0}},
    {"UpdatesSuspendedInsideBlockOneUpdateAtEnd",
     [](RecordingCollection& c) {
       c.BeginUpdate();
       c.Add();
       c.Delete(0);
       c.EndUpdate();
     },
     {"construct #3 index=3", "Deleting(#0) index=0 count=4", "destroy #0 count=4", "Update(nil) count=3"},
     {1, 2, 3}},
    {"ClearDeletesLastFirstWithOneUpdate",
     [](RecordingCollection& c) { c.Clear(); },
     {"Deleting(#2) index=2 count=3", "destroy #2 count=3", "Deleting(#1) index=1 count=2",
      "destroy #1 count=2", "Deleting(#0) index=0 count=1", "destroy #0 count=1", "Update(nil) count=0"},
     {}},
};

class CollectionBehaviour : public testing::TestWithParam<Case> {};

TEST_P(CollectionBehaviour, CallOrder) {
  Log log;
  RecordingCollection collection(log);
  for (int i = 0; i < 3; ++i) collection.Add();
  log.calls.clear();
  GetParam().act(collection);
  EXPECT_EQ(log.calls, GetParam().calls);
  EXPECT_EQ(Ids(collection), GetParam().idsAfter);
  for (int i = 0; i < collection.Count(); ++i) EXPECT_EQ(collection.Items(i)->Index(), i);
}

INSTANTIATE_TEST_SUITE_P(Table, CollectionBehaviour, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Collection, DestroyingTheCollectionFreesItemsWithoutNotifications) {
  Log log;
  {
    RecordingCollection collection(log);
    collection.Add();
    collection.Add();
    log.calls.clear();
  }
  // Items go, but no Update/Deleting runs on a collection that is itself being destroyed.
  for (const auto& call : log.calls) EXPECT_EQ(call.find("Update"), std::string::npos) << call;
  for (const auto& call : log.calls) EXPECT_EQ(call.find("Deleting"), std::string::npos) << call;
}

// An item whose own constructor fails must not stay in the list as a dangling entry.
class FailingItem : public TCollectionItem {
 public:
  explicit FailingItem(TCollection* c) : TCollectionItem(c) { throw std::runtime_error("no"); }
};

TEST(Collection, ItemConstructorThrowingLeavesTheCollectionUnchanged) {
  TCollection collection(CollectionItemClass<FailingItem>());
  EXPECT_THROW(collection.Add(), std::runtime_error);
  EXPECT_EQ(collection.Count(), 0);
}

TEST(Collection, ItemOwnerIsItsCollection) {
  Log log;
  RecordingCollection collection(log);
  TCollectionItem* item = collection.Add();
  EXPECT_EQ(item->Collection(), &collection);
  EXPECT_EQ(item->GetOwner(), &collection);
  EXPECT_EQ(collection.Items(5), nullptr);
}

}  // namespace
