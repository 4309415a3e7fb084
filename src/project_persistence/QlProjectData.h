#pragma once
// The persistent fields of a project, exchanged between the project
// commands and the project files: the commands fill it from the project
// object before a save and copy it into the object after an open.
#include <cstdint>
#include <string>
#include <vector>

#include "project_persistence/EventsFile.h"

namespace NsOvrin {

struct QlProjectData {
  // The panel size of every page. A main file without a usable "size" leaves
  // these as they are, so a fresh record gives the size a project has before
  // anything sets it.
  float width = 640.0f;
  float height = 480.0f;
  // The folder the main file lies in; no project file stores it.
  std::string directory;
  std::string homePage;
  // IPv4, network byte order.
  uint32_t serverAddress = 0;
  // In project order, as stored: not trimmed, not checked, duplicates kept.
  std::vector<std::string> pageNames;
  VarEventList events;
};

}  // namespace NsOvrin
