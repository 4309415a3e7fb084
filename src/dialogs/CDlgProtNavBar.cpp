#include "dialogs/CDlgProtNavBar.h"

#include <algorithm>
#include <cstddef>
#include <functional>

#include <QComboBox>
#include <QPushButton>

#include "QlUiElem/QlUiNavBar.h"
#include "common/UiValidation.h"
#include "dialogs/ProtFillers.h"
#include "element_io/QlNavBarIo.h"
#include "platform/Format.h"
#include "project/QlEProject.h"
#include "wui/CColorButton.h"
#include "wui/CConfirmEditCtrl.h"
#include "wui/CMtRadioButton.h"
#include "wui/DlgItem.h"
#include "wui/OvReportCtrl.h"
#include "wui/RtComboBox.h"
#include "wui/RtEdit.h"

namespace NsOvrin {

using NsQlElemEditor::QlEHostElem;
using NsQlElemIo::QlNavBarIo;
using NsQlUiElem::QlUiNavBar;
using NsWui::CColorButton;
using NsWui::CConfirmEditCtrl;
using NsWui::CMtRadioButton;
using NsWui::OvReportCtrl;

namespace {

// Item i is label i with target page i; a bar may hold more targets than
// labels. Padded with empty labels, the next label gets the next item's
// index, which is the row the table shows it on.
void PadLabelsToPages(QlUiNavBar& bar, const std::shared_ptr<QlNavBarIo>& io) {
  if (io && bar.labels.size() < io->targetPages.size()) bar.labels.resize(io->targetPages.size());
}

template <class T>
T* Make(QWidget* parent, int id, const QRect& rect) {
  auto* control = new T(parent);
  NsWui::SetDlgItemId(control, id);
  control->setGeometry(rect);
  return control;
}

CColorButton* MakeColourButton(QWidget* parent, int id, const char* text, int x, int y) {
  auto* button = Make<CColorButton>(parent, id, QRect(x, y, 150, 28));
  button->setText(QString::fromUtf8(text));
  return button;
}

QPushButton* MakeButton(QWidget* parent, int id, const char* text, const QRect& rect) {
  auto* button = Make<QPushButton>(parent, id, rect);
  button->setText(QString::fromUtf8(text));
  button->setAutoDefault(false);
  return button;
}

// The record of a bar placed without settings.
const QlUiNavBar& DefaultNavBar() {
  static const QlUiNavBar bar;
  return bar;
}

constexpr uint32_t kHeaderBack = 0xC0C0C0;
constexpr uint32_t kSelectorBack = 0xE0E0E0;
constexpr int kTableRowHeight = 32;
constexpr int kTableColumnWidth = 160;

void LoadSelector(CMtRadioButton& selector, const char* first, const char* second,
                  uint16_t index) {
  const char* const texts[2] = {first, second};
  selector.SetItems(texts, 2);
  if (NsWui::WProxyTable* table = selector.Table()) table->SetBackColour(kSelectorBack);
  selector.Select(index, false);
  selector.update();
}

}  // namespace

bool CDlgProtNavBar::ValidateTabSize(const std::string& text, std::string& message) {
  UiRule rule("单元格宽度/高度");
  rule.AddSegment(new NsUiRule::UiRuleSegRequired);
  rule.AddSegment(new NsUiRule::UiRuleSegUIntRange(0, 0, NsUiRule::kBoundNone));
  rule.AddSegment(new NsUiRule::UiRuleSegUIntRange(2, 0, NsUiRule::kBoundLower));
  return rule.Check(text, message);
}

CDlgProtNavBar::CDlgProtNavBar(QWidget* parent) : ProtDialog(parent, *this) {
  int y = AddGroup(IDC_LINE_TEXT, IDC_CAPTION_TEXT, "文字", 4);
  textColour2_ = MakeColourButton(this, IDC_TEXT_COLOR2, "当前页文字颜色", kMargin, y);
  bkColour2_ = MakeColourButton(this, IDC_BK_COLOR2, "当前页背景颜色", 170, y);
  y += 34;
  textColour_ = MakeColourButton(this, IDC_TEXT_COLOR, "其它页文字颜色", kMargin, y);
  bkColour_ = MakeColourButton(this, IDC_BK_COLOR, "其它页背景颜色", 170, y);
  y += 34;
  borderColour_ = MakeColourButton(this, IDC_BORDER_COLOR, "边框颜色", kMargin, y);
  fontSize_ = Make<QComboBox>(this, IDC_FONT_SIZE, QRect(170, y + 3, 80, 22));
  y += 36;

  y = AddGroup(IDC_LINE_STYLE, IDC_CAPTION_STYLE, "样式", y);
  layout_ = Make<CMtRadioButton>(this, IDC_LAYOUT, QRect(kMargin, y, kInnerWidth, 26));
  y += 32;
  sizing_ = Make<CMtRadioButton>(this, IDC_SIZING, QRect(kMargin, y, kInnerWidth, 26));
  y += 32;
  AddStatic("宽度/高度:", QRect(kMargin, y + 2, 70, 20));
  const int editWidth = kInnerWidth - 74 - NsWui::CConfirmEditBase::kButtonsWidth;
  tabSize_ = Make<CConfirmEditCtrl>(this, IDC_TAB_SIZE, QRect(84, y, editWidth, 22));
  y += 32;

  y = AddGroup(IDC_LINE_ITEMS, IDC_CAPTION_ITEMS, "导航项", y);
  QPushButton* add = MakeButton(this, IDC_ADD, "新增导航", QRect(kMargin, y, 100, 26));
  QPushButton* remove = MakeButton(this, IDC_DELETE, "删除所有勾选的项", QRect(170, y, 150, 26));
  y += 32;
  items_ = new OvReportCtrl(1, 2, 0, this);
  NsWui::SetDlgItemId(items_, IDC_ITEMS);
  items_->setGeometry(kMargin, y, kInnerWidth, 240);
  y += 248;

  y = AddGroup(IDC_LINE_VISIB, IDC_CAPTION_VISIB, "可见性", y);
  visibility_ = std::make_unique<VisibilityBlock>(this, *this, kMargin, y, kInnerWidth);
  y += VisibilityBlock::kHeight;

  connect(fontSize_, &QComboBox::activated, this, [this] {
    const int32_t size = LeadingInt(fontSize_->currentText().toStdString()) * 10;
    ApplyToRecords<QlUiNavBar>(FollowUp::None, [&](QlUiNavBar& ui) { ui.fontSize = size; });
  });
  connect(add, &QPushButton::clicked, this, [this] { OnAdd(); });
  connect(remove, &QPushButton::clicked, this, [this] { OnDelete(); });

  OnInitDialog();
  MeasureContent(y + 6);
}

CDlgProtNavBar::~CDlgProtNavBar() {
  // The editors call into this page; they go before its members do.
  items_->DestroyEditors();
}

void CDlgProtNavBar::OnInitDialog() {
  FillFontSizeCombo(*fontSize_);

  items_->rowHeight = kTableRowHeight;
  items_->SetColumnWidth(kColLabel, kTableColumnWidth);
  items_->SetColumnWidth(kColPage, kTableColumnWidth);
  items_->SetCellText(0, kColLabel, "标 签");
  items_->SetCellText(0, kColPage, "页 面");
  items_->SetCellBackColour(0, kColLabel, kHeaderBack);
  items_->SetCellBackColour(0, kColPage, kHeaderBack);

  auto label = items_->MakeEdit();
  label->changeHook = [this](std::string& text) { CommitLabel(text); };
  items_->AddColumnWndEditor(kColLabel, label, 1);
  auto page = items_->MakeComboBox();
  page->fillHook = [](QComboBox* list, const std::string& text) { FillPageList(list, text); };
  page->changeHook = [this](std::string& text) { CommitPage(text); };
  items_->AddColumnWndEditor(kColPage, page, 1);
}

void CDlgProtNavBar::Bind(const Selection& elems) {
  // An editor left open would write its text into the new selection.
  items_->EndEdit();
  selection = elems;
  const auto anchored = GetAnchored();
  const auto ui = anchored ? std::dynamic_pointer_cast<QlUiNavBar>(anchored->GetUi()) : nullptr;
  const QlUiNavBar& shown = ui ? *ui : DefaultNavBar();

  FillItemTable();

  struct Colour {
    CColorButton* button;
    uint32_t QlUiNavBar::*field;
    std::function<void(QlUiNavBar&, uint32_t)> write;
  };
  const Colour colours[] = {
      {textColour_, &QlUiNavBar::textColour, [](QlUiNavBar& b, uint32_t c) { b.textColour = c; }},
      {textColour2_, &QlUiNavBar::textColour2,
       [](QlUiNavBar& b, uint32_t c) { b.textColour2 = c; }},
      // These two colour the frame as well.
      {bkColour_, &QlUiNavBar::bkColour, [](QlUiNavBar& b, uint32_t c) { b.SetBkColour(c); }},
      {bkColour2_, &QlUiNavBar::bkColour2, [](QlUiNavBar& b, uint32_t c) { b.bkColour2 = c; }},
      {borderColour_, &QlUiNavBar::borderColour,
       [](QlUiNavBar& b, uint32_t c) { b.SetBorderColour(c); }},
  };
  for (const Colour& each : colours) {
    each.button->swatchColour = shown.*each.field;
    each.button->update();
    each.button->colourListener = [this, write = each.write](uint32_t colour) {
      ApplyToRecords<QlUiNavBar>(FollowUp::None, [&](QlUiNavBar& bar) { write(bar, colour); });
    };
  }

  if (anchored) {
    SelectFontSize(*fontSize_, shown.fontSize);
  } else {
    fontSize_->setCurrentIndex(-1);
  }

  LoadSelectors(shown.horizontal, shown.fixedTabWidth);

  ResetConfirmEdit(*tabSize_);
  tabSize_->setText(QString::fromStdString(NsPlatform::StrFormat("%0.f", shown.tabWidth)));
  tabSize_->validator = [](const std::string&, const std::string& text, std::string& message) {
    return ValidateTabSize(text, message);
  };
  tabSize_->formatter = [this](const std::string&, std::string& text) {
    const auto size = static_cast<float>(NsPlatform::ParseDecimalU32Saturating(text));
    ApplyToRecords<QlUiNavBar>(FollowUp::None, [&](QlUiNavBar& bar) { bar.tabWidth = size; });
  };

  LoadVisibilityBlock(this, *this, *visibility_);
}

void CDlgProtNavBar::LoadSelectors(bool horizontal, bool fixed) {
  LoadSelector(*layout_, "水平排列", "垂直排列", horizontal ? 0 : 1);
  LoadSelector(*sizing_, "平分宽度", "固定宽度", fixed ? 1 : 0);
  tabSize_->setEnabled(fixed);
  layout_->selectionListener = [this](uint16_t index, uint16_t) {
    const bool value = index == 0;
    ApplyToRecords<QlUiNavBar>(FollowUp::None, [&](QlUiNavBar& bar) { bar.horizontal = value; });
  };
  sizing_->selectionListener = [this](uint16_t index, uint16_t) {
    const bool value = index == 1;
    tabSize_->setEnabled(value);
    ApplyToRecords<QlUiNavBar>(FollowUp::None,
                               [&](QlUiNavBar& bar) { bar.fixedTabWidth = value; });
  };
}

void CDlgProtNavBar::Hide() {
  items_->EndEdit();
  hide();
}

void CDlgProtNavBar::FillItemTable() {
  const auto anchored = GetAnchored();
  const auto ui = anchored ? std::dynamic_pointer_cast<QlUiNavBar>(anchored->GetUi()) : nullptr;
  const auto io = anchored ? std::dynamic_pointer_cast<QlNavBarIo>(anchored->GetIo()) : nullptr;
  const std::size_t labels = ui ? ui->labels.size() : 0;
  const std::size_t pages = io ? io->targetPages.size() : 0;
  // Row 0 is the header; one row below it per item, as far as the table
  // reaches.
  const std::size_t count = std::min<std::size_t>(std::max(labels, pages), 0xFFFE);
  items_->SetRowCount(static_cast<uint16_t>(count + 1));
  for (std::size_t i = 0; i < count; ++i) {
    const auto row = static_cast<uint16_t>(i + 1);
    items_->SetCellText(row, kColLabel, i < labels ? ui->labels[i] : std::string());
    items_->SetCellText(row, kColPage, i < pages ? io->targetPages[i] : std::string(kNoPage));
    if (NsWui::OvLineInfo* line = items_->GetLineInfo(row)) line->boxShown = true;
  }
  items_->UpdateVScrollBar();
  items_->viewport()->update();
}

void CDlgProtNavBar::CommitLabel(const std::string& text) {
  const int row = items_->editRow;
  if (row < 1) return;
  const auto index = static_cast<std::size_t>(row - 1);
  ForEachSelectedHost(FollowUp::None, [&](QlEHostElem& host) {
    const auto bar = std::dynamic_pointer_cast<QlUiNavBar>(host.GetUi());
    if (!bar) return false;
    // An item that has only its target page gets its label, and the items
    // before it empty ones.
    const auto io = std::dynamic_pointer_cast<QlNavBarIo>(host.GetIo());
    if (io && index >= bar->labels.size() && index < io->targetPages.size()) {
      bar->labels.resize(index + 1);
    }
    if (index < bar->labels.size()) bar->labels[index] = text;
    return true;
  });
  NotifyChanged();
}

void CDlgProtNavBar::CommitPage(const std::string& text) {
  const int row = items_->editRow;
  if (row < 1) return;
  const auto index = static_cast<std::size_t>(row - 1);
  // The cell keeps showing "无"; the element stores no target.
  const std::string target = text == kNoPage ? std::string() : text;
  ApplyToBindings<QlNavBarIo>(FollowUp::None, [&](QlNavBarIo& io) {
    if (io.targetPages.size() <= index) io.targetPages.resize(index + 1);
    io.targetPages[index] = target;
  });
}

void CDlgProtNavBar::FillPageList(QComboBox* list, const std::string& text) {
  if (list == nullptr) return;
  list->clear();
  list->addItem(QString::fromUtf8(kNoPage));
  for (const std::string& name : QlEProject::Instance().pageNames) {
    list->addItem(QString::fromStdString(name));
  }
  list->setCurrentIndex(-1);
  // The page itself before a longer name that begins with it.
  const int exact =
      list->findText(QString::fromStdString(text), Qt::MatchExactly | Qt::MatchCaseSensitive);
  if (exact >= 0) {
    list->setCurrentIndex(exact);
  } else {
    ComboSelectString(*list, text);
  }
}

void CDlgProtNavBar::OnAdd() {
  items_->EndEdit();
  const uint16_t row = items_->GetRowCount();
  if (row < 0xFFFF) {
    items_->SetRowCount(static_cast<uint16_t>(row + 1));
    items_->SetCellText(row, kColLabel, kNewLabel);
    if (NsWui::OvLineInfo* line = items_->GetLineInfo(row)) line->boxShown = true;
    items_->UpdateVScrollBar();
  }
  ForEachSelectedHost(FollowUp::None, [](QlEHostElem& host) {
    const auto bar = std::dynamic_pointer_cast<QlUiNavBar>(host.GetUi());
    if (!bar) return false;
    PadLabelsToPages(*bar, std::dynamic_pointer_cast<QlNavBarIo>(host.GetIo()));
    bar->labels.emplace_back(kNewLabel);
    return true;
  });
  NotifyChanged();
}

void CDlgProtNavBar::OnDelete() {
  items_->EndEdit();
  uint16_t row = 1;
  while (row < items_->GetRowCount()) {
    const NsWui::OvLineInfo* line = items_->GetLineInfo(row);
    if (line == nullptr || !line->boxShown || line->ticked != 1) {
      ++row;
      continue;
    }
    const auto index = static_cast<std::size_t>(row - 1);
    ForEachSelectedHost(FollowUp::None, [&](QlEHostElem& host) {
      const auto ui = std::dynamic_pointer_cast<QlUiNavBar>(host.GetUi());
      const auto io = std::dynamic_pointer_cast<QlNavBarIo>(host.GetIo());
      if (ui && index < ui->labels.size()) ui->labels.erase(ui->labels.begin() + index);
      if (io && index < io->targetPages.size())
        io->targetPages.erase(io->targetPages.begin() + index);
      return ui || io;
    });
    // The rows below move up: the same row number is looked at again.
    items_->RemoveRow(row);
    items_->UpdateVScrollBar();
  }
  items_->viewport()->update();
  NotifyChanged();
}

}  // namespace NsOvrin
