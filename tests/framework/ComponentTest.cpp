// TComponent: registration with the owner, notifications on insert and removal, free notifications.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/Component.h"

namespace {

class Watcher : public TComponent {
 public:
  using TComponent::TComponent;
  std::vector<std::pair<TComponent*, TOperation>> seen;

 protected:
  void Notification(TComponent* component, TOperation operation) override {
    seen.emplace_back(component, operation);
  }
};

TEST(Component, ChildrenRegisterInCreationOrderAndUnregisterWhenFreed) {
  Watcher owner(nullptr);
  auto a = std::make_unique<TComponent>(&owner);
  auto b = std::make_unique<TComponent>(&owner);
  auto c = std::make_unique<TComponent>(&owner);
  EXPECT_EQ(owner.Components(), (std::vector<TComponent*>{a.get(), b.get(), c.get()}));
  EXPECT_EQ(b->Owner(), &owner);
  const auto raw = reinterpret_cast<std::uintptr_t>(b.get());  // an address only: b is freed below
  b.reset();
  EXPECT_EQ(owner.Components(), (std::vector<TComponent*>{a.get(), c.get()}));
  ASSERT_EQ(owner.seen.size(), 4u);
  EXPECT_EQ(owner.seen[0], std::make_pair(a.get(), TOperation::opInsert));
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(owner.seen[3].first), raw);
  EXPECT_EQ(owner.seen[3].second, TOperation::opRemove);
}

TEST(Component, FreeNotificationReachesTheSubscriberAndIsTwoWay) {
  Watcher watcher(nullptr);
  auto watched = std::make_unique<Watcher>(nullptr);
  watched->FreeNotification(&watcher);
  const auto raw = reinterpret_cast<std::uintptr_t>(watched.get());
  watched.reset();
  ASSERT_EQ(watcher.seen.size(), 1u);
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(watcher.seen[0].first), raw);
  EXPECT_EQ(watcher.seen[0].second, TOperation::opRemove);

  // The subscriber going first must not leave a dangling link in the watched component.
  auto watched2 = std::make_unique<Watcher>(nullptr);
  {
    Watcher shortLived(nullptr);
    watched2->FreeNotification(&shortLived);
  }
  watched2.reset();  // would touch the freed subscriber if the link were one-way
}

TEST(Component, RemovedFreeNotificationIsSilent) {
  Watcher watcher(nullptr);
  auto watched = std::make_unique<TComponent>(nullptr);
  watched->FreeNotification(&watcher);
  watched->RemoveFreeNotification(&watcher);
  watched.reset();
  EXPECT_TRUE(watcher.seen.empty());
}

TEST(Component, ChildOutlivingItsOwnerLosesTheOwner) {
  auto owner = std::make_unique<TComponent>(nullptr);
  TComponent child(owner.get());
  owner.reset();
  EXPECT_EQ(child.Owner(), nullptr);
}

TEST(Component, NameIsKept) {
  TComponent c(nullptr);
  c.SetName(L"PmButtonControl");
  EXPECT_EQ(c.Name(), L"PmButtonControl");
}

}  // namespace
