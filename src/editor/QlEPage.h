#pragma once
// A page open in an editor window: its properties and its element wrappers.
// The page owns its container, the container its wrappers, each wrapper its
// element's host.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "dx2d/D2Types.h"
#include "editor/UiElemCont.h"

namespace NsOvrin {

class QlEPage {
 public:
  // Not modified, background 0xF8F8F8, no elements, access 0, and the
  // project's panel size at this moment.
  explicit QlEPage(std::string name);

  // Checks every element's bindings against the node database as they stand,
  // setting or clearing each element's error mark. With messages, one line
  // per failing element: "<kind>控件[<left>,<top>] <message>." in editor
  // coordinates. True when every element passed; false without a page.
  static bool CheckElements(const std::shared_ptr<QlEPage>& page,
                            std::vector<std::string>* messages = nullptr);
  // Binds every element's IO to the node database again and refreshes its
  // error mark. True when every element bound; false without a page.
  static bool RevalidateElements(const std::shared_ptr<QlEPage>& page);
  // Binds every element's IO again and leaves the error marks to a
  // CheckElements that follows. True when every element bound.
  static bool RebindElements(const std::shared_ptr<QlEPage>& page);

  bool modified = false;
  // Its page was deleted while its window stayed open: it is no page of the
  // project any more, whatever its name, and no save writes it.
  bool deleted = false;
  // Also the base name of the page file.
  std::string name;
  // Page coordinates: the canvas offset is not in it.
  NsDx2d::D2D_RECT_F rect;
  int32_t backgroundColour = 0xF8F8F8;  // 0x00BBGGRR
  // In drawing order, the first at the bottom.
  std::shared_ptr<NsUiD2ElemEditor::UiElemCont> elements;
  // The least user level that may open the page at run time.
  int32_t accessPermission = 0;
};

}  // namespace NsOvrin
