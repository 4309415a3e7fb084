// The events file "events" against the fixed node database; the bit events
// read go through the error check of the events, and are written, read and
// written again to the same bytes, with nothing left unread.
#include "FuzzSupport.h"
#include "ListBoxSink.h"
#include "RoundTrip.h"
#include "project/QlEProject.h"
#include "project_persistence/EventsFile.h"
#include "project_persistence/UiErrList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace NsOvrin;
  static const bool loaded = [] {
    NsFuzz::LoadFixedNodeDb(true);
    QlEProject::Instance().pageNames = {"页面1", "页面2"};
    return true;
  }();
  (void)loaded;
  VarEventList events;
  if (!ReadEventsFile(NsFuzz::WriteFile("events", data, size), events)) return 0;
  QlEProject::Instance().events = events;
  NsFuzz::ListBoxSink listBox;
  UiErrList::Instance().CheckEvents(listBox);
  UiErrList::Instance().results.clear();
  QlEProject::Instance().events.clear();
  const std::string first = NsFuzz::PrivateFolder() + "/first_events";
  const std::string second = NsFuzz::PrivateFolder() + "/second_events";
  if (!WriteEventsFile(first, events)) std::abort();
  VarEventList again;
  // What the editor wrote it reads whole.
  std::vector<std::string> unread;
  if (!ReadEventsFile(first, again, &unread) || !WriteEventsFile(second, again)) std::abort();
  if (!unread.empty()) std::abort();
  NsFuzz::ExpectSameFiles(first, second);
  return 0;
}
