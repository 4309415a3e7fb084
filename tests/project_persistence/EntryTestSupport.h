#pragma once
// Shared by the tests of element entries: one element object read or
// written on its own, and a project folder holding a fixture page with the
// pictures it names.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <memory>
#include <string>
#include <vector>

#include "element_io/QlIo.h"
#include "project_persistence/PageFile.h"
#include "project_persistence/TempFolder.h"

namespace NsOvrin::Testing {

using EntryReader = bool (*)(const rapidjson::Value&, const PageReadContext&,
                             std::shared_ptr<NsQlUiElem::QlUiElem>&,
                             std::shared_ptr<NsQlElemIo::QlIo>&);
using EntryWriter = bool (*)(JsonWriter&, const PageWriteContext&, const NsQlUiElem::QlElemData&);

inline NsDx2d::D2D_RECT_F Shifted(const NsDx2d::D2D_RECT_F& r, float by) {
  return {r.left + by, r.top + by, r.right + by, r.bottom + by};
}

// What the page commands pass: the editor draws pages at (20, 20).
inline const RectTransform kEditShift = [](const NsDx2d::D2D_RECT_F& r) { return Shifted(r, 20); };
inline const RectTransform kSaveShift = [](const NsDx2d::D2D_RECT_F& r) { return Shifted(r, -20); };

struct ReadEntry {
  std::shared_ptr<NsQlUiElem::QlUiElem> ui;
  std::shared_ptr<NsQlElemIo::QlIo> io;
};

// One element object read with a context of the project folder (may be
// empty), the picture resolver the editor uses, and no transform.
inline ReadEntry ReadOne(EntryReader reader, const std::string& json,
                         const std::string& projectDirectory = "") {
  rapidjson::Document object;
  object.Parse(json.c_str(), json.size());
  EXPECT_FALSE(object.HasParseError()) << json;
  const PageReadContext context{projectDirectory, ResolvePicturePath, nullptr};
  ReadEntry read;
  EXPECT_TRUE(reader(object, context, read.ui, read.io));
  EXPECT_TRUE(read.ui && read.io);
  return read;
}

// The writer's output, "" when it writes nothing; no project folder, so
// nothing is copied.
inline std::string WriteOne(EntryWriter writer, const NsQlUiElem::QlElemData& entry,
                            bool* written = nullptr) {
  rapidjson::StringBuffer buffer;
  JsonWriter json(buffer);
  ProjectPictureStore pictures;
  const PageWriteContext context{pictures, nullptr};
  const bool result = writer(json, context, entry);
  if (written) *written = result;
  return buffer.GetString();
}

inline void ExpectSameRect(const NsDx2d::D2D_RECT_F& expected, const NsDx2d::D2D_RECT_F& actual) {
  EXPECT_EQ(expected.left, actual.left);
  EXPECT_EQ(expected.top, actual.top);
  EXPECT_EQ(expected.right, actual.right);
  EXPECT_EQ(expected.bottom, actual.bottom);
}

inline void ExpectSameVisibility(const NsQlElemIo::BaseIoData& expected,
                                 const NsQlElemIo::QlIo& actual) {
  ASSERT_NE(actual.GetBaseIoDataConst(), nullptr);
  EXPECT_EQ(expected.enableVisib, actual.GetBaseIoDataConst()->enableVisib);
  EXPECT_EQ(expected.addressForVisib, actual.GetBaseIoDataConst()->addressForVisib);
  EXPECT_EQ(expected.showWhenTrue, actual.GetBaseIoDataConst()->showWhenTrue);
}

// The JSON string of a text holding no character that needs escaping
// besides the backslash.
inline std::string JsonOf(const std::string& text) {
  std::string json = "\"";
  for (char c : text) {
    if (c == '\\') json += '\\';
    json += c;
  }
  return json + "\"";
}

// Every occurrence of from in text replaced by to.
inline std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos;
       at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

// A project folder with a copy of data/<page>.ovpg and, in its picture
// folder, a file for each picture name: the pages' Windows paths resolve
// there by file name.
class FixtureProject {
 public:
  FixtureProject(const std::string& page, const std::vector<std::string>& pictures) : page_(page) {
    WriteFileText(folder_ / (page + ".ovpg"), Fixture());
    EXPECT_EQ(::mkdir((folder_ / "images").c_str(), 0777), 0);
    for (const std::string& name : pictures) WriteFileText(Picture(name), "picture " + name);
  }

  const std::string& Path() const { return folder_.Path(); }
  std::string Picture(const std::string& name) const { return folder_ / ("images/" + name); }
  std::string Fixture() const { return ReadFileText(TestDataPath(page_ + ".ovpg")); }
  std::string Saved() const { return ReadFileText(folder_ / (page_ + ".ovpg")); }

  // As the editor opens it: shifted by 20, pictures resolved.
  std::shared_ptr<NsQlUiElem::QlPageData> LoadForEdit() const {
    std::shared_ptr<NsQlUiElem::QlPageData> page;
    EXPECT_TRUE(LoadPageFile(folder_.Path(), page_, {kEditShift, ResolvePicturePath}, page));
    return page;
  }

 private:
  TempFolder folder_;
  std::string page_;
};

}  // namespace NsOvrin::Testing
