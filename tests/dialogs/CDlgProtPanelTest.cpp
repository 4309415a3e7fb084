#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "ProtPageFixture.h"
#include "dialogs/CDlgProtPanel.h"
#include "dx2d/D2Factory.h"
#include "editor/QlEHostPanel.h"
#include "wui/CColorButton.h"

namespace NsOvrin::Testing {
namespace {

using NsQlElemEditor::QlEHostPanel;
using NsQlUiElem::QlUiPanel;
using NsWui::CColorButton;
using NsWui::DlgItem;

// Whether the outline the panel draws now has the rounded top corners of a
// title bar.
bool OutlineHasCorners(QlUiPanel& ui, NsDx2d::D2Factory& factory) {
  const NsDx2d::PathGeometry* outline = ui.GetOutlineGeometry(&factory);
  if (outline == nullptr) return false;
  for (const auto& figure : outline->Figures()) {
    for (const auto& segment : figure.segments) {
      if (segment.kind == NsDx2d::PathSegment::Kind::Arc) return true;
    }
  }
  return false;
}

// Three panels with their own settings; the second anchored.
class ProtPanelTest : public ProtPageFixture {
 protected:
  void SetUp() override {
    ProtPageFixture::SetUp();
    int n = 0;
    elems_ = MakeSelection<QlEHostPanel>(3, 1, [&n] {
      auto host = std::make_shared<QlEHostPanel>(NsDx2d::D2D_POINT_2F{310.0f * n, 0.0f});
      QlUiPanel& ui = *host->_qlUi;
      ui.title = n == 2 ? "" : "标题" + std::to_string(n);
      ui.fontSize = n == 1 ? 105 : 140;
      ui.textColour = 0x10u + n;
      ui.titleBkColour = 0x2000u + n;
      ui.borderColour = 0x300000u + n;
      ui.bkColour = 0x400000u + n;
      ++n;
      return host;
    });
    page_ = std::make_unique<CDlgProtPanel>();
    ShowPage(*page_, *page_);
    page_->Bind(elems_);
  }

  QlUiPanel& Ui(int i) { return *HostOf<QlEHostPanel>(elems_[i])->_qlUi; }
  QLineEdit* Title() { return DlgItem<QLineEdit>(page_.get(), CDlgProtPanel::IDC_TITLE); }
  QComboBox* FontSize() { return DlgItem<QComboBox>(page_.get(), CDlgProtPanel::IDC_FONT_SIZE); }
  CColorButton* Colour(int id) { return DlgItem<CColorButton>(page_.get(), id); }

  std::unique_ptr<CDlgProtPanel> page_;
  std::vector<std::shared_ptr<UiElem>> elems_;
};

TEST_F(ProtPanelTest, BindShowsTheAnchoredPanelAndWritesNothing) {
  EXPECT_EQ(Title()->text().toStdString(), "标题1");
  EXPECT_EQ(FontSize()->currentText().toStdString(), "10");
  const std::tuple<int, const char*, uint32_t> colours[] = {
      {CDlgProtPanel::IDC_TEXT_COLOR, "标题颜色", 0x11u},
      {CDlgProtPanel::IDC_TITLE_BK_COLOR, "标题背景", 0x2001u},
      {CDlgProtPanel::IDC_BORDER_COLOR, "边框颜色", 0x300001u},
      {CDlgProtPanel::IDC_BK_COLOR, "面板背景", 0x400001u}};
  for (const auto& [id, text, colour] : colours) {
    EXPECT_EQ(Colour(id)->text().toStdString(), text);
    EXPECT_EQ(Colour(id)->swatchColour, colour) << text;
  }
  EXPECT_FALSE(page_->loading);
  EXPECT_EQ(changes_, 0);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Ui(i).title, i == 2 ? "" : "标题" + std::to_string(i));

  // A panel without record shows the record's defaults.
  HostOf<QlEHostPanel>(elems_[1])->_qlUi.reset();
  page_->Bind(elems_);
  EXPECT_EQ(Title()->text().toStdString(), "");
  EXPECT_EQ(FontSize()->currentText().toStdString(), "14");
  EXPECT_EQ(Colour(CDlgProtPanel::IDC_TEXT_COLOR)->swatchColour, 0x929292u);
  EXPECT_EQ(Colour(CDlgProtPanel::IDC_TITLE_BK_COLOR)->swatchColour, 0xEBEBEBu);
  EXPECT_EQ(Colour(CDlgProtPanel::IDC_BORDER_COLOR)->swatchColour, 0xD7D2D2u);
  EXPECT_EQ(Colour(CDlgProtPanel::IDC_BK_COLOR)->swatchColour, 0xF7F5F5u);
  EXPECT_EQ(changes_, 0);
  EXPECT_EQ(Ui(0).title, "标题0");
}

TEST_F(ProtPanelTest, EveryKeystrokeGivesEveryPanelTheWholeTitle) {
  QLineEdit* edit = Title();
  edit->setFocus();
  edit->end(false);
  QTest::keyClicks(edit, QStringLiteral("ab"));
  EXPECT_EQ(changes_, 2);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(Ui(i).title, "标题1ab") << i;
    EXPECT_EQ(Ui(i).fontSize, i == 1 ? 105 : 140) << i;
  }
  // Blanks are kept as typed.
  QTest::keyClick(edit, Qt::Key_Space);
  EXPECT_EQ(Ui(0).title, "标题1ab ");
  EXPECT_EQ(changes_, 3);
}

TEST_F(ProtPanelTest, TheTitleBarGoesAndComesWithTheTitle) {
  NsDx2d::D2Factory factory;
  ASSERT_TRUE(OutlineHasCorners(Ui(0), factory));
  ASSERT_FALSE(OutlineHasCorners(Ui(2), factory));
  const NsDx2d::PathGeometry* kept = Ui(0).GetOutlineGeometry(&factory);

  // A title that stays non-empty keeps the outline built for it.
  QLineEdit* edit = Title();
  edit->setFocus();
  edit->end(false);
  QTest::keyClick(edit, 'x');
  EXPECT_EQ(Ui(0).GetOutlineGeometry(&factory), kept);
  // The panel that had none gets its title bar.
  EXPECT_EQ(Ui(2).title, "标题1x");
  EXPECT_TRUE(OutlineHasCorners(Ui(2), factory));

  // Deleting the whole title drops the title bar of every panel.
  edit->selectAll();
  QTest::keyClick(edit, Qt::Key_Backspace);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(Ui(i).title, "") << i;
    EXPECT_FALSE(OutlineHasCorners(Ui(i), factory)) << i;
  }
  // The first character brings it back.
  QTest::keyClick(edit, 'y');
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(OutlineHasCorners(Ui(i), factory)) << i;
}

TEST_F(ProtPanelTest, AChosenFontSizeIsWrittenInTenthsOfAPoint) {
  const std::pair<const char*, int32_t> cases[] = {{"20", 200}, {"14", 140}, {"8", 80}};
  for (const auto& [text, size] : cases) {
    const int index = FontSize()->findText(QString::fromUtf8(text));
    ASSERT_GE(index, 0) << text;
    FontSize()->setCurrentIndex(index);
    emit FontSize()->activated(index);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Ui(i).fontSize, size) << text << " " << i;
  }
  EXPECT_EQ(changes_, 3);
}

TEST_F(ProtPanelTest, ColoursChosenGoToEveryPanel) {
  const std::pair<int, uint32_t QlUiPanel::*> cases[] = {
      {CDlgProtPanel::IDC_TEXT_COLOR, &QlUiPanel::textColour},
      {CDlgProtPanel::IDC_TITLE_BK_COLOR, &QlUiPanel::titleBkColour},
      {CDlgProtPanel::IDC_BORDER_COLOR, &QlUiPanel::borderColour},
      {CDlgProtPanel::IDC_BK_COLOR, &QlUiPanel::bkColour}};
  int expected = 0;
  uint32_t colour = 0xA0B0C0;
  for (const auto& [id, field] : cases) {
    ui_.PushColour(++colour);
    QTest::mouseClick(Colour(id), Qt::LeftButton);
    ++expected;
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Ui(i).*field, colour) << id << " " << i;
    EXPECT_EQ(changes_, expected);
    // Only that field.
    int holding = 0;
    for (const auto& [other, each] : cases) holding += Ui(0).*each == colour ? 1 : 0;
    EXPECT_EQ(holding, 1) << id;
    // A cancelled picker writes nothing.
    ui_.PushColour(std::nullopt);
    QTest::mouseClick(Colour(id), Qt::LeftButton);
    EXPECT_EQ(changes_, expected);
  }
}

TEST_F(ProtPanelTest, TheVisibilityBlockEditsEveryPanel) {
  Click(DlgItem<QAbstractButton>(page_.get(), VisibilityBlock::IDC_ENABLE));
  TypeAndConfirm(DlgItem<NsWui::CConfirmEditCtrl>(page_.get(), VisibilityBlock::IDC_ADDRESS),
                 "PLC1.4x1");
  EXPECT_EQ(TakeTip(), "数据类型与地址不匹配");
  TypeAndConfirm(DlgItem<NsWui::CConfirmEditCtrl>(page_.get(), VisibilityBlock::IDC_ADDRESS),
                 "PLC1.0x15");
  EXPECT_EQ(TakeTip(), "");
  EXPECT_EQ(changes_, 2);
  for (int i = 0; i < 3; ++i) {
    const auto& io = *HostOf<QlEHostPanel>(elems_[i])->_qlIo;
    EXPECT_EQ(io.GetVisibAddress(), "PLC1.0x00015") << i;
    EXPECT_TRUE(io.GetBaseIoDataConst()->enableVisib) << i;
    EXPECT_FALSE(Ui(i).inError) << i;
  }
}

TEST_F(ProtPanelTest, HidingKeepsTheSelectionUntilTheNextBind) {
  page_->Hide();
  EXPECT_FALSE(page_->isVisible());
  EXPECT_EQ(page_->selection.size(), 3u);
}

}  // namespace
}  // namespace NsOvrin::Testing
