#pragma once
// The layout the small form dialogs share: labelled fields in a column above
// "确定" (id 1, the default button) and "取消" (id 2) at the right.
#include <functional>
#include <utility>
#include <vector>

class QDialog;
class QWidget;

namespace NsOvrin::NsWui {

// A label and the field beside it.
using FormRow = std::pair<const char*, QWidget*>;

// Lays the rows out in dialog; OK calls onOk, Cancel rejects the dialog.
void LayOutFormDialog(QDialog& dialog, const std::vector<FormRow>& rows,
                      std::function<void()> onOk);

}  // namespace NsOvrin::NsWui
