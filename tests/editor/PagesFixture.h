#pragma once
// The node database of HostFixture and an open project without a folder
// whose pages are "页面1", "页面2" and "页面3"; the project and the run flag
// are emptied again after every test.
#include <algorithm>
#include <string>
#include <vector>

#include "HostFixture.h"
#include "project/ListenerRegistry.h"
#include "project/NodeDbListener.h"
#include "project/PageListener.h"
#include "project/QlEProject.h"

namespace NsOvrin::NsQlElemEditor::Testing {

class PagesFixture : public HostFixture {
 protected:
  void SetUp() override {
    HostFixture::SetUp();
    listenersBefore_ = PageListener::GetRegistry().size();
    QlEProject& project = QlEProject::Instance();
    project.Reset("");
    project.open = true;
    project.pageNames = {"页面1", "页面2", "页面3"};
    project.homePage = "页面1";
    OnlineFlag = false;
  }
  void TearDown() override {
    QlEProject::Instance().Reset("");
    QlEProject::Instance().open = false;
    OnlineFlag = false;
    // Every host made by a test is gone: none may stay listed.
    EXPECT_EQ(PageListener::GetRegistry().size(), listenersBefore_);
    HostFixture::TearDown();
  }

  static bool IsListener(PageListener* listener) {
    const std::vector<PageListener*>& registry = PageListener::GetRegistry();
    return std::count(registry.begin(), registry.end(), listener) == 1;
  }

  // What the page list's owner announces after a successful rename.
  static void AnnounceRename(const std::string& oldName, const std::string& newName) {
    NotifyListeners(PageListener::GetRegistry(),
                    [&](PageListener* l) { l->OnPageRenamed(oldName, newName); });
  }

 private:
  std::size_t listenersBefore_ = 0;
};

}  // namespace NsOvrin::NsQlElemEditor::Testing
