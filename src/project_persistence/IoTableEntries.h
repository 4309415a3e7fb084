#pragma once
// The element object of the IO table ("OVTable"): the embedded table's
// rectangle, title and column widths, and one row object per row pairing the
// binding's row address with the element's row description. Unlike every
// other kind, the visibility keys follow "rect" directly.
#include <rapidjson/document.h>

#include <memory>

#include "QlUiElem/QlElemData.h"
#include "common/JsonUtility.h"
#include "project_persistence/PageFile.h"

namespace NsOvrin {

// QlUiOvList with QlOvListIo. As many row objects as the longer of the
// addresses and the descriptions; the shorter side is written as "".
bool WriteIoTableEntry(JsonWriter& writer, const PageWriteContext& context,
                       const NsQlUiElem::QlElemData& entry);

// The binding is linked to the record. A row object lacking either text is
// skipped, so addresses and descriptions stay paired.
bool ReadIoTableEntry(const rapidjson::Value& object, const PageReadContext& context,
                      std::shared_ptr<NsQlUiElem::QlUiElem>& ui,
                      std::shared_ptr<NsQlElemIo::QlIo>& io);

}  // namespace NsOvrin
