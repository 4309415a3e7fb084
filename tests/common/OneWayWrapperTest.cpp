#include "common/OneWayWrapper.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using NsOvrin::OneWayWrapper;

namespace {

struct Object {
  int value = 7;
  OneWayWrapper<Object> self{this};
};

}  // namespace

TEST(OneWayWrapper, CopiesSeeNothingAfterTheObjectDies) {
  OneWayWrapper<Object> copy, copyOfCopy;
  {
    Object o;
    copy = o.self;
    copyOfCopy = OneWayWrapper<Object>(copy);
    ASSERT_TRUE(copy.IsValid());
    EXPECT_EQ(copyOfCopy.Lock()->value, 7);
    EXPECT_TRUE(copy.SameObject(o.self));
  }
  EXPECT_FALSE(copy.IsValid());
  EXPECT_FALSE(copyOfCopy.IsValid());
  EXPECT_FALSE(copy.IsEmpty());
  EXPECT_EQ(copy.Lock().get(), nullptr);
}

TEST(OneWayWrapper, NonOwningHandlesNeverInvalidate) {
  Object o;
  {
    OneWayWrapper<Object> copy(o.self);
    EXPECT_FALSE(copy.IsOwner());
  }
  EXPECT_TRUE(o.self.IsValid());

  // Move construction drops the owner flag: the moved-to handle's death
  // leaves the object reachable through other copies.
  OneWayWrapper<Object> other(o.self);
  {
    OneWayWrapper<Object> owner(&o);
    OneWayWrapper<Object> watcher(owner);
    { OneWayWrapper<Object> moved(std::move(owner)); EXPECT_FALSE(moved.IsOwner()); }
    EXPECT_TRUE(owner.IsEmpty());
    EXPECT_TRUE(watcher.IsValid());
  }
}

TEST(OneWayWrapper, MoveAssignmentCarriesOwnership) {
  Object o;
  OneWayWrapper<Object> watcher;
  {
    OneWayWrapper<Object> first(&o);
    watcher = first;
    OneWayWrapper<Object> second;
    second = std::move(first);
    EXPECT_TRUE(second.IsOwner());
    EXPECT_FALSE(first.IsOwner());
    EXPECT_TRUE(first.IsEmpty());
    EXPECT_TRUE(watcher.IsValid());
  }
  EXPECT_FALSE(watcher.IsValid());
  OneWayWrapper<Object> empty;
  EXPECT_FALSE(empty.IsValid());
  EXPECT_TRUE(empty.IsEmpty());
}

TEST(OneWayWrapper, InvalidationWaitsForUsersInsideALockedUse) {
  auto* o = new Object;
  OneWayWrapper<Object> user(o->self);
  std::atomic<bool> inside{false}, destroyed{false};
  std::thread t([&] {
    auto locked = user.Lock();
    inside = true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(destroyed.load());
    locked->value = 9;  // still alive while the lock is held
  });
  while (!inside) std::this_thread::yield();
  delete o;  // blocks until the user lets go
  destroyed = true;
  t.join();
  EXPECT_FALSE(user.IsValid());
}
