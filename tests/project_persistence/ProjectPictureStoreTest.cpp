#include "project_persistence/ProjectPictureStore.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "project_persistence/PageFile.h"
#include "project_persistence/TempFolder.h"

namespace NsOvrin {
namespace {

using Testing::Exists;
using Testing::ReadFileText;
using Testing::TempFolder;
using Testing::WriteFileText;

ino_t InodeOf(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
  return st.st_ino;
}

std::vector<std::string> Entries(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// A project folder with its picture folder, and pictures elsewhere.
class ProjectPictureStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    project_ = root_ / "project";
    images_ = project_ + "/images";
    ASSERT_EQ(::mkdir(project_.c_str(), 0777), 0);
    ASSERT_EQ(::mkdir(images_.c_str(), 0777), 0);
    ASSERT_EQ(::mkdir((root_ / "p").c_str(), 0777), 0);
    ASSERT_EQ(::mkdir((root_ / "q").c_str(), 0777), 0);
  }

  // The object one save writes for the paths, in order.
  std::string Save(ProjectPictureStore& store, const std::vector<std::string>& paths) {
    rapidjson::StringBuffer buffer;
    JsonWriter writer(buffer);
    writer.StartObject();
    int n = 0;
    for (const std::string& path : paths) {
      const std::string key = "image-file-path" + std::to_string(++n);
      WritePictureMember(store, writer, key.c_str(), path);
    }
    writer.EndObject();
    return buffer.GetString();
  }

  TempFolder root_;
  std::string project_;
  std::string images_;
};

TEST_F(ProjectPictureStoreTest, EachFileNameIsCopiedOncePerSave) {
  WriteFileText(root_ / "p/a.png", "first a");
  WriteFileText(root_ / "q/a.png", "second a");
  WriteFileText(root_ / "q/A.png", "capital A");

  ProjectPictureStore store{project_, {}};
  const std::string written =
      Save(store, {root_ / "p/a.png", "", root_ / "q/a.png", root_ / "q/A.png"});

  // Every path is stored as the element holds it; the empty one not at all.
  EXPECT_EQ(written, "{\"image-file-path1\":\"" + (root_ / "p/a.png") +
                         "\",\"image-file-path3\":\"" + (root_ / "q/a.png") +
                         "\",\"image-file-path4\":\"" + (root_ / "q/A.png") + "\"}");
  // The second a.png is not copied in this save; names differ by case.
  EXPECT_EQ(ReadFileText(images_ + "/a.png"), "first a");
  EXPECT_EQ(ReadFileText(images_ + "/A.png"), "capital A");
  EXPECT_EQ(Entries(images_), (std::vector<std::string>{"A.png", "a.png"}));

  // The next save copies again.
  ProjectPictureStore next{project_, {}};
  Save(next, {root_ / "q/a.png"});
  EXPECT_EQ(ReadFileText(images_ + "/a.png"), "second a");
}

TEST_F(ProjectPictureStoreTest, AnExistingCopyOfTheSameFileIsReused) {
  WriteFileText(root_ / "p/a.png", "picture");
  // Well apart from the time of the copy.
  const struct timespec past[2] = {{1000000000, 0}, {1000000000, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, (root_ / "p/a.png").c_str(), past, 0), 0);
  ProjectPictureStore first{project_, {}};
  Save(first, {root_ / "p/a.png"});
  const std::string copy = images_ + "/a.png";
  ASSERT_EQ(ReadFileText(copy), "picture");
  const ino_t inode = InodeOf(copy);

  // The copy carries the picture's size and time, so it counts as the same
  // file and is left alone.
  ProjectPictureStore second{project_, {}};
  Save(second, {root_ / "p/a.png"});
  EXPECT_EQ(InodeOf(copy), inode);

  // A changed picture replaces the copy.
  WriteFileText(root_ / "p/a.png", "changed picture");
  ProjectPictureStore third{project_, {}};
  Save(third, {root_ / "p/a.png"});
  EXPECT_EQ(ReadFileText(copy), "changed picture");
  EXPECT_EQ(Entries(images_), std::vector<std::string>{"a.png"});
}

TEST_F(ProjectPictureStoreTest, APictureInsideThePictureFolderIsNotCopied) {
  const std::string upper = project_ + "/IMAGES";
  ASSERT_EQ(::mkdir(upper.c_str(), 0777), 0);
  WriteFileText(upper + "/b.png", "b");
  WriteFileText(images_ + "/c.png", "c");
  const ino_t inode = InodeOf(images_ + "/c.png");

  ProjectPictureStore store{project_, {}};
  Save(store, {upper + "/b.png", images_ + "/c.png"});
  EXPECT_EQ(Entries(images_), std::vector<std::string>{"c.png"});
  EXPECT_EQ(InodeOf(images_ + "/c.png"), inode);
}

TEST_F(ProjectPictureStoreTest, WhatCannotBeCopiedLeavesNoTrace) {
  WriteFileText(images_ + "/gone.png", "old copy");
  ASSERT_EQ(::mkdir((root_ / "p/folder.png").c_str(), 0777), 0);

  ProjectPictureStore store{project_, {}};
  const std::string written =
      Save(store, {root_ / "p/gone.png", root_ / "p/folder.png", "C:\\p\\x.png"});
  EXPECT_NE(written.find("C:\\\\p\\\\x.png"), std::string::npos) << written;
  // The old copy survives the failed copy, and no temporary file is left.
  EXPECT_EQ(ReadFileText(images_ + "/gone.png"), "old copy");
  EXPECT_EQ(Entries(images_), std::vector<std::string>{"gone.png"});
}

TEST_F(ProjectPictureStoreTest, WithoutAProjectFolderNothingIsCopied) {
  if (Exists("/images")) GTEST_SKIP() << "/images exists on this machine";
  WriteFileText(root_ / "p/a.png", "picture");
  ProjectPictureStore store{"", {}};
  EXPECT_NE(Save(store, {root_ / "p/a.png"}), "{}");
  EXPECT_FALSE(Exists("/images"));
}

TEST_F(ProjectPictureStoreTest, AMissingPictureIsFoundInThePictureFolderByFileName) {
  WriteFileText(root_ / "p/here.png", "here");
  WriteFileText(images_ + "/a.png", "copy");
  ASSERT_EQ(::mkdir((images_ + "/dir.png").c_str(), 0777), 0);
  ASSERT_EQ(::mkdir((root_ / "q/dir.png").c_str(), 0777), 0);

  struct Case {
    std::string stored;
    std::string resolved;
  };
  const Case cases[] = {
      {root_ / "p/here.png", root_ / "p/here.png"},
      {"/moved/away/a.png", images_ + "/a.png"},
      {"C:\\p\\a.png", images_ + "/a.png"},
      {"D:\\q/a.png", images_ + "/a.png"},
      {"a.png", images_ + "/a.png"},
      {"/moved/away/none.png", "/moved/away/none.png"},
      // A directory is no picture, neither at its path nor in the folder.
      {root_ / "q/dir.png", root_ / "q/dir.png"},
      {"", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored);
    EXPECT_EQ(ResolvePicturePath(project_, c.stored), c.resolved);
  }
  // Without a project folder there is no copy to look for.
  EXPECT_EQ(ResolvePicturePath("", "C:\\p\\a.png"), "C:\\p\\a.png");
}

TEST_F(ProjectPictureStoreTest, APictureMemberIsTakenOnlyWhenItResolvesToAFile) {
  WriteFileText(images_ + "/a.png", "copy");
  ASSERT_EQ(::mkdir((root_ / "q/dir.png").c_str(), 0777), 0);
  rapidjson::Document object;
  const std::string json = "{\"moved\":\"C:\\\\old\\\\a.png\",\"lost\":\"/x/none.png\","
                           "\"dir\":\"" + (root_ / "q/dir.png") + "\",\"number\":5}";
  object.Parse(json.c_str());
  ASSERT_FALSE(object.HasParseError()) << json;

  const PageReadContext withResolver{project_, &ResolvePicturePath, nullptr};
  struct Case {
    const char* key;
    bool taken;
    std::string path;
  };
  const Case cases[] = {
      {"moved", true, images_ + "/a.png"},
      {"lost", false, "unchanged"},
      {"dir", false, "unchanged"},
      {"number", false, "unchanged"},
      {"missing", false, "unchanged"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    std::string path = "unchanged";
    EXPECT_EQ(ReadPictureMember(withResolver, object, c.key, path), c.taken);
    EXPECT_EQ(path, c.path);
  }

  // No resolver, no picture.
  const PageReadContext withoutResolver{project_, nullptr, nullptr};
  std::string path = "unchanged";
  EXPECT_FALSE(ReadPictureMember(withoutResolver, object, "moved", path));
  EXPECT_EQ(path, "unchanged");
}

TEST(DirectoryOfPathTest, RemovesTheLastComponentWithEitherSeparator) {
  const std::pair<std::string, std::string> cases[] = {
      {"C:\\a\\b.png", "C:\\a"}, {"C:\\b.png", "C:\\"}, {"/a/b.png", "/a"},
      {"/b.png", "/"},           {"b.png", ""},         {"/a/b/", "/a/b"},
      {"a\\b/c.png", "a\\b"},    {"", ""},
  };
  for (const auto& [path, directory] : cases) EXPECT_EQ(DirectoryOfPath(path), directory) << path;
}

}  // namespace
}  // namespace NsOvrin
