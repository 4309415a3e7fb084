#include "dialogs/ProtFillers.h"

#include <climits>
#include <cmath>
#include <cstddef>
#include <initializer_list>
#include <utility>

#include <QComboBox>

#include "QlDev/DataTypeFlag.h"
#include "editor/QlEHostElem.h"
#include "platform/Format.h"
#include "project/QlEProject.h"
#include "project_base/QlUser.h"
#include "wui/CMtRadioButton.h"

namespace NsOvrin {

using NsPlatform::StrFormat;
using NsUiD2ElemEditor::TUiHost;
using NsUiD2ElemEditor::UiElem;

namespace {

using DataItems = std::initializer_list<std::pair<const char*, int32_t>>;

// Filled like a list box: no item is selected until one is chosen.
void FillWithData(QComboBox& combo, const DataItems& items) {
  for (const auto& [text, data] : items) combo.addItem(QString::fromUtf8(text), QVariant(data));
  combo.setCurrentIndex(-1);
}

void SelectData(QComboBox& combo, int32_t value) {
  combo.setCurrentIndex(combo.findData(QVariant(value)));
}

// Segment background of the alignment selectors.
constexpr uint32_t kSelectorBack = 0xE0E0E0;

void FillSelector(NsWui::CMtRadioButton& selector, const char* const (&texts)[3],
                  uint16_t alignment) {
  selector.SetItems(texts, 3);
  if (NsWui::WProxyTable* table = selector.Table()) table->SetBackColour(kSelectorBack);
  selector.Select(alignment, false);
  selector.update();
}

}  // namespace

std::shared_ptr<TUiHost> GetAnchoredHost(const std::vector<std::shared_ptr<UiElem>>& selection) {
  for (const auto& elem : selection) {
    if (elem && elem->anchored) return elem->host;
  }
  if (selection.empty() || !selection.front()) return nullptr;
  return selection.front()->host;
}

bool ComboSelectString(QComboBox& combo, const std::string& text) {
  const QString prefix = QString::fromStdString(text);
  for (int i = 0; i < combo.count(); ++i) {
    if (combo.itemText(i).startsWith(prefix, Qt::CaseInsensitive)) {
      combo.setCurrentIndex(i);
      return true;
    }
  }
  return false;
}

void FillPageNameCombo(QComboBox& combo, const std::string& pageName) {
  combo.clear();
  const std::vector<std::string>& names = QlEProject::Instance().pageNames;
  for (const std::string& name : names) combo.addItem(QString::fromStdString(name));
  // Exact: page names that begin alike ("页面1", "页面10") must not stand
  // in for each other.
  combo.setCurrentIndex(combo.findText(QString::fromStdString(pageName), Qt::MatchExactly |
                                                                            Qt::MatchCaseSensitive));
}

void FillButtonStyleCombo(QComboBox& combo, int32_t style) {
  combo.clear();
  FillWithData(combo, {{"平面按钮", 0}, {"凸起按钮", 1}, {"复选框", 2}, {"圆形", 3},
                       {"Switch样式", 4}});
  SelectData(combo, style);
}

void FillDataTypeCombo(QComboBox& combo, uint32_t dataType) {
  using namespace NsTermination;
  combo.clear();
  for (const DataTypeFlag flag : {kTypeInt16, kTypeUInt16, kTypeInt32, kTypeUInt32}) {
    combo.addItem(QString::fromStdString(GetDataTypeName(flag)),
                  QVariant(static_cast<int32_t>(flag)));
  }
  combo.setCurrentIndex(-1);
  ComboSelectString(combo, GetDataTypeName(static_cast<DataTypeFlag>(dataType)));
}

void FillFontSizeCombo(QComboBox& combo) {
  combo.clear();
  for (int size = 8; size <= 16; ++size) combo.addItem(QString::number(size));
  for (int size = 18; size <= 26; size += 2) combo.addItem(QString::number(size));
  for (int size = 30; size <= 42; size += 4) combo.addItem(QString::number(size));
  combo.setCurrentIndex(-1);
}

void SelectFontSize(QComboBox& combo, int32_t size) {
  ComboSelectString(combo, StrFormat("%d", size / 10));
}

void FillImageFitCombo(QComboBox& combo, int32_t fit) {
  combo.clear();
  FillWithData(combo, {{"实际尺寸", 0}, {"拉伸平铺", 1}});
  SelectData(combo, fit);
}

void FillHAlignSelector(NsWui::CMtRadioButton& selector, uint16_t alignment) {
  static const char* const kTexts[3] = {"左对齐", "居中", "右对齐"};
  FillSelector(selector, kTexts, alignment);
}

void FillVAlignSelector(NsWui::CMtRadioButton& selector, uint16_t alignment) {
  static const char* const kTexts[3] = {"顶对齐", "居中", "底对齐"};
  FillSelector(selector, kTexts, alignment);
}

void FillUserLevelCombo(QComboBox& combo) {
  combo.clear();
  FillWithData(combo, {{"无", kUserAnonymous},
                       {"操作员", kUserOperator},
                       {"工程师", kUserEngineer},
                       {"管理员", kUserAdministrator},
                       {"厂商", kUserDeviceMaker}});
}

void SelectComboByData(QComboBox& combo, int32_t value) {
  const int index = combo.findData(QVariant(value));
  combo.setCurrentIndex(index >= 0 ? index : (combo.count() > 0 ? 0 : -1));
}

std::string GetVisibilityAddressText(const std::shared_ptr<TUiHost>& host) {
  const auto elem = std::dynamic_pointer_cast<NsQlElemEditor::QlEHostElem>(host);
  const auto io = elem ? elem->GetIo() : nullptr;
  return io ? io->GetVisibAddress() : std::string();
}

int OpacityToSliderPos(float opacity) {
  if (!(opacity > 0.0f)) return 0;
  if (!(opacity < 1.0f)) return 100;
  return static_cast<int>(std::lround(opacity * 100.0f));
}

int32_t LeadingInt(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > static_cast<int64_t>(INT_MAX) + 1) value = static_cast<int64_t>(INT_MAX) + 1;
  }
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int32_t>(value);
}

}  // namespace NsOvrin
