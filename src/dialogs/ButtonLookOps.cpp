#include "dialogs/ButtonLookOps.h"

#include <QComboBox>

#include "QlUiElem/QlUiButton.h"

namespace NsOvrin {

using NsQlUiElem::QlUiButton;
using FollowUp = UiElemProtEditor::FollowUp;

void ApplyButtonText(UiElemProtEditor& editor, const std::string& text) {
  editor.ApplyToRecords<QlUiButton>(FollowUp::None, [&](QlUiButton& ui) { ui.data.text = text; });
}

void ApplyTextColour(UiElemProtEditor& editor, uint32_t colour) {
  editor.ApplyToRecords<QlUiButton>(FollowUp::None,
                                    [&](QlUiButton& ui) { ui.data.textColour = colour; });
}

void ApplyBorderColour(UiElemProtEditor& editor, uint32_t colour) {
  editor.ApplyToRecords<QlUiButton>(FollowUp::None,
                                    [&](QlUiButton& ui) { ui.data.borderColour = colour; });
}

void ApplyBackColour(UiElemProtEditor& editor, uint32_t colour) {
  editor.ApplyToRecords<QlUiButton>(FollowUp::None,
                                    [&](QlUiButton& ui) { ui.data.bkColour = colour; });
}

void ApplyFontSize(UiElemProtEditor& editor, int32_t size) {
  editor.ApplyToRecords<QlUiButton>(FollowUp::None, [&](QlUiButton& ui) { ui.data.fontSize = size; });
}

void ApplyOpacity(UiElemProtEditor& editor, float opacity) {
  editor.ApplyToRecords<QlUiButton>(FollowUp::None,
                                    [&](QlUiButton& ui) { ui.data.bkOpacity = opacity; });
}

void ApplyButtonStyle(UiElemProtEditor& editor, int32_t style) {
  editor.ApplyToRecords<QlUiButton>(FollowUp::None, [&](QlUiButton& ui) {
    ui.data.borderStyle = style;
    // The shape of the state shown now: an online button showing ON must
    // not take the OFF shape until its bit changes.
    ui.SetState(ui.data.state);
  });
}

void ApplyPermission(UiElemProtEditor& editor, int32_t level) {
  editor.ApplyToRecords<QlUiButton>(FollowUp::Revalidate,
                                    [&](QlUiButton& ui) { ui.data.accessPermission = level; });
}

void ApplyPictureFit(UiElemProtEditor& editor, int32_t fit) {
  editor.ApplyToRecords<QlUiButton>(FollowUp::None,
                                    [&](QlUiButton& ui) { ui.data.imageStyle = fit; });
}

void ApplyButtonPicture(UiElemProtEditor& editor, const std::string& path) {
  editor.ApplyToRecords<QlUiButton>(FollowUp::Check,
                                    [&](QlUiButton& ui) { ui.data.imagePath = path; });
}

int32_t SelectedLevel(const QComboBox& combo) {
  if (combo.count() == 0) return 0;
  const int index = combo.currentIndex();
  return combo.itemData(index >= 0 ? index : 0).toInt();
}

}  // namespace NsOvrin
