#pragma once
// Pictures travel with their project: every page save copies each picture an
// element refers to into the project's "images" folder, and a page load that
// cannot find a picture at its stored path looks for it there by file name.
#include <rapidjson/document.h>

#include <set>
#include <string>

#include "common/JsonUtility.h"

namespace NsOvrin {

struct PageReadContext;

// Lives for one save of one page.
struct ProjectPictureStore {
  std::string projectDirectory;
  // File names already handled in this save, compared case-sensitively.
  std::set<std::string> handledNames;
};

// The project directory's "images" folder; empty for an empty directory.
std::string ProjectPictureFolder(const std::string& projectDirectory);

// The path without its last component: "/a/b.png" gives "/a", a root keeps
// its separator ("/b.png" gives "/", "C:\b.png" gives "C:\"), a bare file
// name gives "". Both separators are accepted.
std::string DirectoryOfPath(const std::string& path);

// Writes key and path as the element holds them and copies the picture into
// the project, at most once per file name and save. An empty path writes
// nothing.
void WritePictureMember(ProjectPictureStore& store, JsonWriter& writer, const char* key,
                        const std::string& path);
// Copies the picture into the project's picture folder, replacing a copy
// there, unless it already lies in that folder or is that copy. Nothing
// happens without a project directory. A picture that cannot be read is
// passed over; a copy that cannot be written is noted by the file writer.
void CopyIntoProject(const ProjectPictureStore& store, const std::string& path);

// The stored path when it names a file; otherwise the project's copy of that
// file name when there is one; otherwise the stored path.
std::string ResolvePicturePath(const std::string& projectDirectory, const std::string& storedPath);
// The member resolved through the context's picture resolver; true, with out
// set, only when the result names an existing file. Without a resolver no
// picture is read.
bool ReadPictureMember(const PageReadContext& context, const rapidjson::Value& object,
                       const char* key, std::string& out);

}  // namespace NsOvrin
