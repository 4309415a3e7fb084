#pragma once
// A page's file in the project folder: "<page name>.ovpg", one JSON object
// with the page's rectangle, background, access permission and its elements
// in drawing order. The elements' keys belong to their kinds; this file fixes
// the frame, the dispatch by element type and the two hooks through which the
// callers shift element rectangles and resolve picture paths.
#include <rapidjson/document.h>

#include <functional>
#include <memory>
#include <string>

#include "QlUiElem/QlElemData.h"
#include "QlUiElem/QlPageData.h"
#include "common/JsonUtility.h"
#include "dx2d/D2Types.h"
#include "project_persistence/ProjectPictureStore.h"

namespace NsOvrin::NsQlElemIo {
class QlIo;
}

namespace NsOvrin {

using RectTransform = std::function<NsDx2d::D2D_RECT_F(const NsDx2d::D2D_RECT_F&)>;
// (project directory, stored path) -> the path to use.
using PictureResolver =
    std::function<std::string(const std::string& projectDirectory, const std::string& storedPath)>;

// What the caller of LoadPageFile passes; either may be empty. The transform
// applies to element rectangles only, never to the page's own.
struct PageLoadHooks {
  RectTransform rectTransform;
  PictureResolver pictureResolver;
};

// What every element reader receives.
struct PageReadContext {
  std::string projectDirectory;
  PictureResolver pictureResolver;
  RectTransform rectTransform;

  // The rectangle through the transform, or as it is without one.
  NsDx2d::D2D_RECT_F TransformRect(const NsDx2d::D2D_RECT_F& rect) const;
};

// What every element writer receives.
struct PageWriteContext {
  ProjectPictureStore& pictures;
  RectTransform rectTransform;

  NsDx2d::D2D_RECT_F TransformRect(const NsDx2d::D2D_RECT_F& rect) const;
};

// The reader and writer of one element kind. A reader makes the record and
// binding with their defaults and overwrites what the object holds with the
// right JSON type; it always succeeds. A writer writes nothing and returns
// false unless the entry has a record and a binding of its kind.
using ElementEntryReader = bool (*)(const rapidjson::Value& object, const PageReadContext& context,
                                    std::shared_ptr<NsQlUiElem::QlUiElem>& ui,
                                    std::shared_ptr<NsQlElemIo::QlIo>& io);
using ElementEntryWriter = bool (*)(JsonWriter& writer, const PageWriteContext& context,
                                    const NsQlUiElem::QlElemData& entry);

// On success page holds a new record named pageName (the previous one is
// released); on failure (no project directory, a name that breaks the name
// rule, a missing, unreadable or invalid file, a root that is not an object)
// page is untouched.
bool LoadPageFile(const std::string& projectDirectory, const std::string& pageName,
                  const PageLoadHooks& hooks, std::shared_ptr<NsQlUiElem::QlPageData>& page);
// Writes the record to the file named after it. False without a record, a
// project directory or a valid name, or when the file cannot be written.
bool SavePageFile(const std::string& projectDirectory,
                  const std::shared_ptr<NsQlUiElem::QlPageData>& page,
                  const RectTransform& rectTransform);
// The text SavePageFile writes, with the page's pictures copied into the
// project as by the save; nothing else is written.
bool MakePageFileText(const std::string& projectDirectory,
                      const std::shared_ptr<NsQlUiElem::QlPageData>& page,
                      const RectTransform& rectTransform, std::string& text);

// Reads every element of "elements" into the page; false when it is missing
// or not an array.
bool ReadElementEntries(const rapidjson::Value& top, NsQlUiElem::QlPageData& page,
                        const std::string& projectDirectory, const PageLoadHooks& hooks);
// Appends the element when its type is known and its kind can be read;
// anything else is skipped. Always true.
bool ReadElementEntry(const PageReadContext& context, NsQlUiElem::QlPageData& page,
                      const rapidjson::Value& element);
// "elements" with every entry that has a record, in order; creates the
// project's picture folder first.
void WriteElementEntries(JsonWriter& writer, const NsQlUiElem::QlPageData& page,
                         const std::string& projectDirectory, const RectTransform& rectTransform);

}  // namespace NsOvrin
