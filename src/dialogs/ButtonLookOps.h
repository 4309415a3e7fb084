#pragma once
// The edits of a button record shared by the button, page-jump and
// multi-function button pages. Each writes every selected element whose
// host has a button record (the others are skipped), follows up on each,
// then calls NotifyChanged once.
#include <cstdint>
#include <string>

#include "dialogs/UiElemProtEditor.h"

class QComboBox;

namespace NsOvrin {

void ApplyButtonText(UiElemProtEditor& editor, const std::string& text);
void ApplyTextColour(UiElemProtEditor& editor, uint32_t colour);
void ApplyBorderColour(UiElemProtEditor& editor, uint32_t colour);
void ApplyBackColour(UiElemProtEditor& editor, uint32_t colour);
// Tenths of a point.
void ApplyFontSize(UiElemProtEditor& editor, int32_t size);
// 0.0..1.0
void ApplyOpacity(UiElemProtEditor& editor, float opacity);
// The painter takes the shape the style shows in the button's display
// state at once; its geometry is dropped only when that shape changes.
void ApplyButtonStyle(UiElemProtEditor& editor, int32_t style);
// Bound again: the level takes part in the element's check.
void ApplyPermission(UiElemProtEditor& editor, int32_t level);
void ApplyPictureFit(UiElemProtEditor& editor, int32_t fit);
// Checked again: a picture file that is missing marks the element.
void ApplyButtonPicture(UiElemProtEditor& editor, const std::string& path);

// The level a permission list applies: the data of its selected item, of
// its first item when none is selected; 0 for an empty list.
int32_t SelectedLevel(const QComboBox& combo);

}  // namespace NsOvrin
