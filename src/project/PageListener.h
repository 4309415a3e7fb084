#pragma once
// Changes of the project's page list and of a page's properties.
#include <cstdint>
#include <string>
#include <vector>

namespace NsOvrin {

struct PageProperties {
  // Left, top, right, bottom in page units.
  struct RectF {
    float left = 0.0f;
    float top = 0.0f;
    float right = 0.0f;
    float bottom = 0.0f;
  };

  int32_t backgroundColor = 0;  // 0x00BBGGRR
  RectF rect;
};

class PageListener {
 public:
  virtual ~PageListener();

  virtual void OnPageAdded(const std::string& name) = 0;
  // Open or bring to the front the editor of that page.
  virtual void OnActivatePage(const std::string& name) = 0;
  // The page is still in the page list.
  virtual void OnPageDeleting(const std::string& name) = 0;
  // The page has left the list and its file is deleted.
  virtual void OnPageDeleted(const std::string& name) = 0;
  virtual void OnPageRenamed(const std::string& oldName, const std::string& newName) = 0;
  virtual void OnPageChanged(const std::string& name, const PageProperties& properties) = 0;

  // Process-wide, in registration order; never owns its listeners. A
  // listener that goes away erases its own entry.
  static std::vector<PageListener*>& GetRegistry();
  static void Register(PageListener* listener);

  static void NotifyPageDeleting(const std::string& name);
  static void NotifyPageDeleted(const std::string& name);
  static void NotifyPageChanged(const std::string& name, const PageProperties& properties);
};

}  // namespace NsOvrin
