#pragma once
// Fillers, selectors and getters shared by the property pages.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "editor/TUiHost.h"
#include "editor/UiElem.h"

class QComboBox;

namespace NsOvrin {

namespace NsWui {
class CMtRadioButton;
}

// The host of the first wrapper flagged anchored; of the first wrapper when
// none is flagged; empty for an empty selection or a wrapper without host.
std::shared_ptr<NsUiD2ElemEditor::TUiHost> GetAnchoredHost(
    const std::vector<std::shared_ptr<NsUiD2ElemEditor::UiElem>>& selection);

// Selects the first item whose text begins with text, case-insensitively;
// the selection stays as it was when none does. True when one was found.
bool ComboSelectString(QComboBox& combo, const std::string& text);

// The project's page names in project order, then the page of that name
// (the exact name; none when it is not listed).
void FillPageNameCombo(QComboBox& combo, const std::string& pageName);
// The five button styles, data 0..4; the style's item selected, none for
// another value.
void FillButtonStyleCombo(QComboBox& combo, int32_t style);
// The four word and double-word types, data = the flag; then the item
// named as the flag (none for a bit).
void FillDataTypeCombo(QComboBox& combo, uint32_t dataType);
// Font sizes in points: 8 to 16, 18 to 26 by 2, 30 to 42 by 4.
void FillFontSizeCombo(QComboBox& combo);
// The item of size / 10 (tenths of a point), by the beginning of its text.
void SelectFontSize(QComboBox& combo, int32_t size);
// "实际尺寸" (0) and "拉伸平铺" (1); the fit's item selected.
void FillImageFitCombo(QComboBox& combo, int32_t fit);
// Left, centre, right; the alignment's segment selected without notice.
void FillHAlignSelector(NsWui::CMtRadioButton& selector, uint16_t alignment);
// Top, centre, bottom; as above.
void FillVAlignSelector(NsWui::CMtRadioButton& selector, uint16_t alignment);
// The access levels, data = the QlUserLevel value.
void FillUserLevelCombo(QComboBox& combo);
// The first item with that data; item 0 when none has it.
void SelectComboByData(QComboBox& combo, int32_t value);

// The binding's visibility address; empty without a binding or for a host
// that is not an element host.
std::string GetVisibilityAddressText(const std::shared_ptr<NsUiD2ElemEditor::TUiHost>& host);

// The slider position (0..100) of a stored opacity, to the nearest step:
// a position written as position / 100 reads back as itself.
int OpacityToSliderPos(float opacity);

// The leading decimal integer of a text ("12" of "12"); 0 without digits.
int32_t LeadingInt(const std::string& text);

}  // namespace NsOvrin
