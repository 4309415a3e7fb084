#include "QlUiElem/MultStateItem.h"

namespace NsOvrin::NsQlUiElem {

const MultStateItem& DefaultMultStateItem() {
  static const MultStateItem item;
  return item;
}

}  // namespace NsOvrin::NsQlUiElem
