#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "project/ListenerRegistry.h"
#include "project/NodeDbListener.h"
#include "project/PageListener.h"
#include "project/ProjectListener.h"

namespace NsOvrin {
namespace {

using NodeHandle = OneWayWrapper<NsTermination::Node>;

// Writes "<id>:<event>" into a shared log; an optional hook runs inside the
// first notification it receives (to change the registry meanwhile).
class RecordingListener : public PageListener, public ProjectListener, public NodeDbListener {
 public:
  RecordingListener(std::string id, std::vector<std::string>& log) : id_(std::move(id)), log_(log) {}

  std::function<void()> hook;
  bool onlineSeen = false;
  NodeHandle lastNode;
  PageProperties lastProperties;

  void OnPageAdded(const std::string& name) override { Record("added " + name); }
  void OnActivatePage(const std::string& name) override { Record("activate " + name); }
  void OnPageDeleting(const std::string& name) override { Record("deleting " + name); }
  void OnPageDeleted(const std::string& name) override { Record("deleted " + name); }
  void OnPageRenamed(const std::string& oldName, const std::string& newName) override {
    Record("renamed " + oldName + ">" + newName);
  }
  void OnPageChanged(const std::string& name, const PageProperties& properties) override {
    lastProperties = properties;
    Record("changed " + name);
  }
  void OnProjectCreated() override { Record("created"); }
  void OnProjectOpened() override { Record("opened"); }
  void OnProjectClosing() override { Record("closing"); }
  void OnBlocksChanged(const NodeHandle& node) override {
    lastNode = node;
    Record("blocks");
  }
  void OnNodeDbChanged() override { Record("nodedb"); }
  void OnRunModeChanged(bool online) override {
    onlineSeen = OnlineFlag.load();
    Record(online ? "online" : "offline");
  }

 private:
  void Record(const std::string& event) {
    log_.push_back(id_ + ":" + event);
    if (hook) std::exchange(hook, nullptr)();
  }

  std::string id_;
  std::vector<std::string>& log_;
};

template <typename Listener>
void Unregister(Listener* listener) {
  auto& registry = Listener::GetRegistry();
  std::erase(registry, listener);
}

// The registries are process-wide: every test starts and ends with them empty.
class ListenerRegistryTest : public ::testing::Test {
 protected:
  void SetUp() override { ClearAll(); }
  void TearDown() override {
    ClearAll();
    OnlineFlag = false;
  }
  static void ClearAll() {
    PageListener::GetRegistry().clear();
    ProjectListener::GetRegistry().clear();
    NodeDbListener::GetRegistry().clear();
  }

  std::vector<std::string> log;
  RecordingListener a{"a", log}, b{"b", log}, c{"c", log};
};

TEST_F(ListenerRegistryTest, RegisterKeepsOrderAndIgnoresNullAndDuplicates) {
  PageListener::Register(&b);
  PageListener::Register(nullptr);
  PageListener::Register(&a);
  PageListener::Register(&b);
  EXPECT_EQ(PageListener::GetRegistry(), (std::vector<PageListener*>{&b, &a}));

  ProjectListener::Register(&c);
  ProjectListener::Register(&c);
  ProjectListener::Register(nullptr);
  EXPECT_EQ(ProjectListener::GetRegistry(), (std::vector<ProjectListener*>{&c}));

  NodeDbListener::Register(&a);
  NodeDbListener::Register(&a);
  NodeDbListener::Register(&c);
  EXPECT_EQ(NodeDbListener::GetRegistry(), (std::vector<NodeDbListener*>{&a, &c}));

  // The three registries are separate lists.
  EXPECT_EQ(PageListener::GetRegistry().size(), 2u);
}

TEST_F(ListenerRegistryTest, PageNotificationsReachEveryListenerOnceInOrder) {
  PageListener::Register(&c);
  PageListener::Register(&a);
  PageListener::Register(&c);
  PageProperties props;
  props.backgroundColor = 0x00F8F8F8;
  props.rect = {1.5f, 2.0f, 641.0f, 482.25f};

  PageListener::NotifyPageDeleting("页面1");
  PageListener::NotifyPageDeleted("页面1");
  PageListener::NotifyPageChanged("p2", props);

  EXPECT_EQ(log, (std::vector<std::string>{"c:deleting 页面1", "a:deleting 页面1", "c:deleted 页面1",
                                           "a:deleted 页面1", "c:changed p2", "a:changed p2"}));
  EXPECT_EQ(a.lastProperties.backgroundColor, 0x00F8F8F8);
  EXPECT_FLOAT_EQ(a.lastProperties.rect.left, 1.5f);
  EXPECT_FLOAT_EQ(a.lastProperties.rect.top, 2.0f);
  EXPECT_FLOAT_EQ(a.lastProperties.rect.right, 641.0f);
  EXPECT_FLOAT_EQ(a.lastProperties.rect.bottom, 482.25f);
}

TEST_F(ListenerRegistryTest, BlocksChangedPassesTheNodeHandle) {
  NodeDbListener::Register(&b);
  NodeDbListener::Register(&a);
  NodeHandle owner(static_cast<NsTermination::Node*>(nullptr));
  NodeHandle other(static_cast<NsTermination::Node*>(nullptr));

  NodeDbListener::NotifyBlocksChanged(owner);

  EXPECT_EQ(log, (std::vector<std::string>{"b:blocks", "a:blocks"}));
  EXPECT_TRUE(a.lastNode.SameObject(owner));
  EXPECT_TRUE(b.lastNode.SameObject(owner));
  EXPECT_FALSE(a.lastNode.SameObject(other));
  EXPECT_FALSE(a.lastNode.IsOwner());
}

TEST_F(ListenerRegistryTest, RunModeSetsOnlineFlagBeforeListenersHear) {
  NodeDbListener::NotifyRunMode(true);  // nobody listening
  EXPECT_TRUE(OnlineFlag.load());

  NodeDbListener::Register(&a);
  NodeDbListener::Register(&b);
  NodeDbListener::NotifyRunMode(false);
  EXPECT_FALSE(OnlineFlag.load());
  EXPECT_FALSE(a.onlineSeen);

  NodeDbListener::NotifyRunMode(true);
  EXPECT_TRUE(OnlineFlag.load());
  EXPECT_TRUE(a.onlineSeen);
  EXPECT_TRUE(b.onlineSeen);
  EXPECT_EQ(log, (std::vector<std::string>{"a:offline", "b:offline", "a:online", "b:online"}));
}

TEST_F(ListenerRegistryTest, SenderWalkOfProjectRegistryFollowsRegistrationOrder) {
  ProjectListener::Register(&b);
  ProjectListener::Register(&c);
  ProjectListener::Register(&a);
  NotifyListeners(ProjectListener::GetRegistry(), [](ProjectListener* l) { l->OnProjectOpened(); });
  EXPECT_EQ(log, (std::vector<std::string>{"b:opened", "c:opened", "a:opened"}));
}

// Changes made to the registry by a listener during a notification.
struct ChangeCase {
  const char* title;
  std::function<void(RecordingListener& a, RecordingListener& b, RecordingListener& c,
                     RecordingListener& d)>
      arm;  // sets the hooks; a, b, c are registered in this order, d is not
  std::vector<std::string> first;   // what the notification reaches
  std::vector<std::string> second;  // what the next one reaches
};

class RegistryChangeTest : public ListenerRegistryTest, public ::testing::WithParamInterface<int> {};

const std::vector<ChangeCase>& ChangeCases() {
  static const std::vector<ChangeCase> cases = {
      {"first removes itself",
       [](auto& a, auto&, auto&, auto&) { a.hook = [&a] { Unregister<NodeDbListener>(&a); }; },
       {"a:nodedb", "b:nodedb", "c:nodedb"},
       {"b:nodedb", "c:nodedb"}},
      {"last removes itself",
       [](auto&, auto&, auto& c, auto&) { c.hook = [&c] { Unregister<NodeDbListener>(&c); }; },
       {"a:nodedb", "b:nodedb", "c:nodedb"},
       {"a:nodedb", "b:nodedb"}},
      {"first removes a later one",
       [](auto& a, auto&, auto& c, auto&) { a.hook = [&c] { Unregister<NodeDbListener>(&c); }; },
       {"a:nodedb", "b:nodedb"},
       {"a:nodedb", "b:nodedb"}},
      {"last removes an earlier one",
       [](auto& a, auto&, auto& c, auto&) { c.hook = [&a] { Unregister<NodeDbListener>(&a); }; },
       {"a:nodedb", "b:nodedb", "c:nodedb"},
       {"b:nodedb", "c:nodedb"}},
      {"middle empties the registry",
       [](auto&, auto& b, auto&, auto&) { b.hook = [] { NodeDbListener::GetRegistry().clear(); }; },
       {"a:nodedb", "b:nodedb"},
       {}},
      {"first registers a new one",
       [](auto& a, auto&, auto&, auto& d) { a.hook = [&d] { NodeDbListener::Register(&d); }; },
       {"a:nodedb", "b:nodedb", "c:nodedb"},
       {"a:nodedb", "b:nodedb", "c:nodedb", "d:nodedb"}},
      {"first removes itself and registers again",
       [](auto& a, auto&, auto&, auto&) {
         a.hook = [&a] {
           Unregister<NodeDbListener>(&a);
           NodeDbListener::Register(&a);
         };
       },
       {"a:nodedb", "b:nodedb", "c:nodedb"},
       {"b:nodedb", "c:nodedb", "a:nodedb"}},
  };
  return cases;
}

TEST_P(RegistryChangeTest, NotificationSurvivesRegistryChanges) {
  const ChangeCase& tc = ChangeCases()[static_cast<std::size_t>(GetParam())];
  SCOPED_TRACE(tc.title);
  RecordingListener d{"d", log};
  NodeDbListener::Register(&a);
  NodeDbListener::Register(&b);
  NodeDbListener::Register(&c);
  tc.arm(a, b, c, d);

  NodeDbListener::GetRegistry().shrink_to_fit();  // a read past the end is then out of bounds
  NotifyListeners(NodeDbListener::GetRegistry(), [](NodeDbListener* l) { l->OnNodeDbChanged(); });
  EXPECT_EQ(log, tc.first);

  log.clear();
  NotifyListeners(NodeDbListener::GetRegistry(), [](NodeDbListener* l) { l->OnNodeDbChanged(); });
  EXPECT_EQ(log, tc.second);
}

INSTANTIATE_TEST_SUITE_P(Cases, RegistryChangeTest,
                         ::testing::Range(0, static_cast<int>(ChangeCases().size())));

// A listener removed (and destroyed) by an earlier one during the same
// notification must not be called: under ASan a call would be a use after free.
TEST_F(ListenerRegistryTest, RemovedAndDestroyedListenerIsNotCalled) {
  auto doomed = std::make_unique<RecordingListener>("x", log);
  PageListener::Register(&a);
  PageListener::Register(doomed.get());
  PageListener::Register(&b);
  a.hook = [&doomed] {
    Unregister<PageListener>(doomed.get());
    doomed.reset();
  };
  PageListener::NotifyPageDeleted("p");
  EXPECT_EQ(log, (std::vector<std::string>{"a:deleted p", "b:deleted p"}));
}

TEST_F(ListenerRegistryTest, SelfRemovalDuringRunModeStillSetsFlagAndReachesTheRest) {
  NodeDbListener::Register(&a);
  NodeDbListener::Register(&b);
  a.hook = [this] { Unregister<NodeDbListener>(&a); };
  NodeDbListener::NotifyRunMode(true);
  EXPECT_TRUE(OnlineFlag.load());
  EXPECT_EQ(log, (std::vector<std::string>{"a:online", "b:online"}));
  EXPECT_EQ(NodeDbListener::GetRegistry(), (std::vector<NodeDbListener*>{&b}));
}

}  // namespace
}  // namespace NsOvrin
