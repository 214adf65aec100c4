#include <gtest/gtest.h>

#include "platform/windows/component.h"
#include "platform/core/exception.h"

namespace lark {
namespace {

// Counts its own destruction, so a double free or a leak shows.
class Counted : public TComponent {
 public:
  Counted(TComponent* owner, int* freed) : TComponent(owner), freed_(freed) {}
  ~Counted() override { ++*freed_; }

 private:
  int* freed_;
};

class Watcher : public TComponent {
 public:
  using TComponent::TComponent;
  TComponent* watched = nullptr;

 protected:
  void Notification(TComponent* component, TOperation operation) override {
    TComponent::Notification(component, operation);
    if (operation == TOperation::opRemove && component == watched) watched = nullptr;
  }
};

TEST(Component, OwnerFreesWhatItOwnsExactlyOnce) {
  int freed = 0;
  auto owner = std::make_unique<TComponent>(nullptr);
  auto* a = new Counted(owner.get(), &freed);
  new Counted(owner.get(), &freed);
  new Counted(a, &freed);  // owned in turn
  EXPECT_EQ(owner->ComponentCount(), 2);
  owner.reset();
  EXPECT_EQ(freed, 3);
}

TEST(Component, FreedEarlyLeavesItsOwner) {
  int freed = 0;
  auto owner = std::make_unique<TComponent>(nullptr);
  auto* a = new Counted(owner.get(), &freed);
  delete a;
  EXPECT_EQ(owner->ComponentCount(), 0);
  owner.reset();
  EXPECT_EQ(freed, 1);
}

TEST(Component, NamesAreUniquePerOwnerWithoutRegardToCase) {
  TComponent owner(nullptr);
  auto* a = new TComponent(&owner);
  auto* b = new TComponent(&owner);
  a->SetName("btOk");
  EXPECT_THROW(b->SetName("BTOK"), EComponentError);
  EXPECT_THROW(b->SetName("1abc"), EComponentError);
  b->SetName("btCancel");
  EXPECT_EQ(owner.FindComponent("BTCANCEL"), b);
  EXPECT_EQ(owner.FindComponent("missing"), nullptr);
}

TEST(Component, FreeNotificationReachesAnyWatcher) {
  Watcher watcher(nullptr);
  auto* other = new TComponent(nullptr);
  watcher.watched = other;
  watcher.FreeNotification(other);
  delete other;
  EXPECT_EQ(watcher.watched, nullptr);
}

TEST(Component, SiblingsHearWhenOneGoes) {
  TComponent owner(nullptr);
  auto* watcher = new Watcher(&owner);
  auto* sibling = new TComponent(&owner);
  watcher->watched = sibling;
  delete sibling;
  EXPECT_EQ(watcher->watched, nullptr);
}

TEST(Component, LoadedClearsLoadingState) {
  TComponent c(nullptr);
  c.BeginLoading();
  EXPECT_TRUE(c.HasState(csLoading));
  c.Loaded();
  EXPECT_FALSE(c.HasState(csLoading));
}

}  // namespace
}  // namespace lark
