#pragma once
// The process-wide project emptied before and after each test, a page
// listener that logs what it hears together with what it saw at that
// moment, and a scratch folder for page files.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "editor/QlEPage.h"
#include "project/PageListener.h"
#include "project/QlEProject.h"

namespace NsOvrin::Testing {

namespace fs = std::filesystem;

// Each event is logged with whether the page was in the page list then and,
// for deletions, whether its file still existed.
class PageLog : public PageListener {
 public:
  std::vector<std::string> events;

  void OnPageAdded(const std::string& name) override { Record("added", name); }
  void OnActivatePage(const std::string& name) override { Record("activate", name); }
  void OnPageDeleting(const std::string& name) override { Record("deleting", name); }
  void OnPageDeleted(const std::string& name) override { Record("deleted", name); }
  void OnPageRenamed(const std::string& oldName, const std::string& newName) override {
    events.push_back("renamed " + oldName + ">" + newName);
  }
  void OnPageChanged(const std::string& name, const PageProperties&) override {
    events.push_back("changed " + name);
  }

 private:
  void Record(const char* what, const std::string& name) {
    const QlEProject& project = QlEProject::Instance();
    const auto& names = project.pageNames;
    std::string event = std::string(what) + " " + name;
    event += std::find(names.begin(), names.end(), name) != names.end() ? " listed" : " unlisted";
    const std::string path = GetPageFilePath(project.directory, name);
    if (!path.empty()) event += fs::exists(path) ? " file" : " nofile";
    events.push_back(event);
  }
};

class ProjectFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProject();
    PageListener::GetRegistry().clear();
    PageListener::Register(&log);
    char pattern[] = "/tmp/projobj_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    temp = pattern;
  }

  void TearDown() override {
    PageListener::GetRegistry().clear();
    ResetProject();
    std::error_code ec;
    fs::remove_all(temp, ec);
  }

  static void ResetProject() {
    QlEProject& p = Project();
    p.Reset("");
    p.openPages.clear();
    p.width = 640.0f;
    p.height = 480.0f;
  }

  static QlEProject& Project() { return QlEProject::Instance(); }

  // An open, unmodified project in dir with these pages; the first is home.
  static void OpenWith(const std::vector<std::string>& pages, const std::string& dir = "") {
    QlEProject& p = Project();
    p.Reset(dir);
    p.pageNames = pages;
    p.homePage = pages.empty() ? std::string() : pages.front();
    p.open = true;
  }

  static void Touch(const fs::path& path, const std::string& content = "{}") {
    std::ofstream(path, std::ios::binary) << content;
  }

  static std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  PageLog log;
  fs::path temp;
};

}  // namespace NsOvrin::Testing
