#pragma once
// The element objects of the short kinds: panel ("Panel"), picture
// ("Picture"), navigation bar ("NavBar") and login element ("BtnLogin").
// Their bindings hold the visibility settings, and the navigation bar's the
// page of each tab.
#include <rapidjson/document.h>

#include <memory>

#include "QlUiElem/QlElemData.h"
#include "common/JsonUtility.h"
#include "project_persistence/PageFile.h"

namespace NsOvrin {

// QlUiPanel with QlPanelIo.
bool WritePanelEntry(JsonWriter& writer, const PageWriteContext& context,
                     const NsQlUiElem::QlElemData& entry);
// QlUiImage with QlImageIo; copies the picture into the project.
bool WritePictureEntry(JsonWriter& writer, const PageWriteContext& context,
                       const NsQlUiElem::QlElemData& entry);
// QlUiNavBar with QlNavBarIo.
bool WriteNavBarEntry(JsonWriter& writer, const PageWriteContext& context,
                      const NsQlUiElem::QlElemData& entry);
// QlUiBtnUser with QlBtnUserIo: the rectangle and the visibility only.
bool WriteLoginEntry(JsonWriter& writer, const PageWriteContext& context,
                     const NsQlUiElem::QlElemData& entry);

bool ReadPanelEntry(const rapidjson::Value& object, const PageReadContext& context,
                    std::shared_ptr<NsQlUiElem::QlUiElem>& ui,
                    std::shared_ptr<NsQlElemIo::QlIo>& io);
// Without a picture that can be found the element has no picture.
bool ReadPictureEntry(const rapidjson::Value& object, const PageReadContext& context,
                      std::shared_ptr<NsQlUiElem::QlUiElem>& ui,
                      std::shared_ptr<NsQlElemIo::QlIo>& io);
// Labels and target pages keep their positions; their counts may differ.
bool ReadNavBarEntry(const rapidjson::Value& object, const PageReadContext& context,
                     std::shared_ptr<NsQlUiElem::QlUiElem>& ui,
                     std::shared_ptr<NsQlElemIo::QlIo>& io);
// Everything but the rectangle keeps the element's default look.
bool ReadLoginEntry(const rapidjson::Value& object, const PageReadContext& context,
                    std::shared_ptr<NsQlUiElem::QlUiElem>& ui,
                    std::shared_ptr<NsQlElemIo::QlIo>& io);

}  // namespace NsOvrin
