#include <gtest/gtest.h>

#include <QComboBox>
#include <QCursor>
#include <QLineEdit>
#include <QPushButton>

#include "ProtPageFixture.h"
#include "dialogs/CDlgProtText.h"
#include "dialogs/OpacitySlider.h"
#include "editor/QlEHostText.h"
#include "wui/CColorButton.h"
#include "wui/CMtRadioButton.h"

namespace NsOvrin::Testing {
namespace {

using NsQlElemEditor::QlEHostText;
using NsQlUiElem::QlUiText;
using NsWui::DlgItem;

// Three texts, each with its own settings; the second is anchored.
class ProtTextTest : public ProtPageFixture {
 protected:
  void SetUp() override {
    ProtPageFixture::SetUp();
    int n = 0;
    elems_ = MakeSelection<QlEHostText>(3, 1, [&n] {
      auto host = std::make_shared<QlEHostText>(NsDx2d::D2D_POINT_2F{10.0f * n, 0.0f});
      QlUiText& ui = *host->_qlUi;
      ui.textBox.text = "文字" + std::to_string(n);
      ui.textBox.colour = 0x000010u + n;
      ui.textBox.fontSize = 100 + 20 * n;
      ui.bkColor = 0x100000u + n;
      ui.bkOpacity = 0.25f * static_cast<float>(n + 1);
      ui.textBox.horizontalAlignment = static_cast<uint16_t>(n);
      ui.textBox.verticalAlignment = static_cast<uint16_t>(2 - n);
      ++n;
      return host;
    });
    page_ = std::make_unique<CDlgProtText>();
    ShowPage(*page_, *page_);
    page_->Bind(elems_);
  }

  QlUiText& Ui(int i) { return *HostOf<QlEHostText>(elems_[i])->_qlUi; }
  template <class T>
  T* Item(int id) {
    return DlgItem<T>(page_.get(), id);
  }

  std::unique_ptr<CDlgProtText> page_;
  std::vector<std::shared_ptr<UiElem>> elems_;
};

TEST_F(ProtTextTest, BindShowsTheAnchoredElementAndWritesNothing) {
  EXPECT_EQ(TextOf(page_.get(), CDlgProtText::IDC_TEXT), "文字1");
  EXPECT_EQ(Item<NsWui::CColorButton>(CDlgProtText::IDC_TEXT_COLOR)->swatchColour, 0x11u);
  EXPECT_EQ(Item<NsWui::CColorButton>(CDlgProtText::IDC_TEXT_COLOR)->text().toStdString(),
            "文字颜色");
  EXPECT_EQ(Item<NsWui::CColorButton>(CDlgProtText::IDC_BK_COLOR)->swatchColour, 0x100001u);
  EXPECT_EQ(Item<NsWui::CColorButton>(CDlgProtText::IDC_BK_COLOR)->text().toStdString(),
            "背景颜色");
  EXPECT_EQ(Item<QComboBox>(CDlgProtText::IDC_FONT_SIZE)->currentText().toStdString(), "12");
  EXPECT_EQ(Item<QSlider>(CDlgProtText::IDC_OPACITY)->value(), 50);
  EXPECT_EQ(Item<NsWui::CMtRadioButton>(CDlgProtText::IDC_HALIGN)->currentIndex, 1);
  EXPECT_EQ(Item<NsWui::CMtRadioButton>(CDlgProtText::IDC_VALIGN)->currentIndex, 1);
  EXPECT_FALSE(page_->loading);

  // Setting the text edit did not reach any element.
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Ui(i).textBox.text, "文字" + std::to_string(i));
  EXPECT_EQ(changes_, 0);

  // Without a flagged wrapper the first element is shown.
  elems_[1]->anchored = false;
  page_->Bind(elems_);
  EXPECT_EQ(TextOf(page_.get(), CDlgProtText::IDC_TEXT), "文字0");
  EXPECT_EQ(Item<QComboBox>(CDlgProtText::IDC_FONT_SIZE)->currentText().toStdString(), "10");
  EXPECT_EQ(changes_, 0);
}

TEST_F(ProtTextTest, AnElementWithoutRecordShowsTheDefaults) {
  HostOf<QlEHostText>(elems_[1])->_qlUi.reset();
  page_->Bind(elems_);
  EXPECT_EQ(TextOf(page_.get(), CDlgProtText::IDC_TEXT), "");
  EXPECT_EQ(Item<NsWui::CColorButton>(CDlgProtText::IDC_TEXT_COLOR)->swatchColour, 0u);
  EXPECT_EQ(Item<NsWui::CColorButton>(CDlgProtText::IDC_BK_COLOR)->swatchColour, 0u);
  EXPECT_EQ(Item<QComboBox>(CDlgProtText::IDC_FONT_SIZE)->currentText().toStdString(), "10");
  EXPECT_EQ(Item<QSlider>(CDlgProtText::IDC_OPACITY)->value(), 100);
  EXPECT_EQ(Item<NsWui::CMtRadioButton>(CDlgProtText::IDC_HALIGN)->currentIndex, 0);
  EXPECT_EQ(Item<NsWui::CMtRadioButton>(CDlgProtText::IDC_VALIGN)->currentIndex, 0);

  // Edits pass over it.
  QLineEdit* edit = Item<QLineEdit>(CDlgProtText::IDC_TEXT);
  edit->setFocus();
  QTest::keyClicks(edit, QStringLiteral("x"));
  EXPECT_EQ(Ui(0).textBox.text, "x");
  EXPECT_EQ(Ui(2).textBox.text, "x");
  EXPECT_EQ(changes_, 1);
}

TEST_F(ProtTextTest, EveryKeystrokeGivesAllSelectedTextsTheWholeText) {
  QLineEdit* edit = Item<QLineEdit>(CDlgProtText::IDC_TEXT);
  edit->setFocus();
  edit->end(false);
  QTest::keyClicks(edit, QStringLiteral("AB"));
  EXPECT_EQ(changes_, 2);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(Ui(i).textBox.text, "文字1AB") << i;
    // Their other settings stay their own.
    EXPECT_EQ(Ui(i).textBox.fontSize, 100 + 20 * i) << i;
  }
  QTest::keyClick(edit, Qt::Key_Backspace);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Ui(i).textBox.text, "文字1A") << i;
  EXPECT_EQ(changes_, 3);
  // Enter in the edit does nothing.
  QTest::keyClick(edit, Qt::Key_Return);
  EXPECT_EQ(changes_, 3);
}

TEST_F(ProtTextTest, ColoursChosenGoToEverySelectedText) {
  struct Case {
    int id;
    uint32_t QlUiText::*field;  // null: the text colour
  };
  const Case cases[] = {{CDlgProtText::IDC_TEXT_COLOR, nullptr},
                        {CDlgProtText::IDC_BK_COLOR, &QlUiText::bkColor}};
  for (const Case& c : cases) {
    auto value = [&](int i) { return c.field ? Ui(i).*c.field : Ui(i).textBox.colour; };
    changes_ = 0;
    auto* button = Item<QPushButton>(c.id);
    ui_.PushColour(0x123456);
    QTest::mouseClick(button, Qt::LeftButton);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(value(i), 0x123456u) << c.id << " " << i;
    EXPECT_EQ(changes_, 1);

    // The colour they all have already is still written and reported.
    ui_.PushColour(0x123456);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(changes_, 2);

    // A cancelled picker changes nothing.
    ui_.PushColour(std::nullopt);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(changes_, 2);
    EXPECT_EQ(value(0), 0x123456u);
  }
}

TEST_F(ProtTextTest, AChosenFontSizeIsWrittenInTenthsOfAPoint) {
  QComboBox* combo = Item<QComboBox>(CDlgProtText::IDC_FONT_SIZE);
  const std::pair<int, int32_t> cases[] = {{4, 120}, {0, 80}, {17, 420}};
  for (const auto& [index, size] : cases) {
    const int32_t before = Ui(0).textBox.fontSize;
    combo->setCurrentIndex(index);
    EXPECT_EQ(Ui(0).textBox.fontSize, before) << "no effect without the user's choice";
    emit combo->activated(index);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Ui(i).textBox.fontSize, size) << index;
  }
  EXPECT_EQ(changes_, 3);
}

TEST_F(ProtTextTest, TheOpacityTakesEffectWhenTheMouseIsReleased) {
  // A new text has no background: the slider shows 0.
  auto fresh = MakeSelection<QlEHostText>(
      1, 0, [] { return std::make_shared<QlEHostText>(NsDx2d::D2D_POINT_2F{}); });
  page_->Bind(fresh);
  auto* slider = Item<OpacitySlider>(CDlgProtText::IDC_OPACITY);
  EXPECT_EQ(slider->value(), 0);
  page_->Bind(elems_);

  slider->setValue(40);
  EXPECT_EQ(changes_, 0);
  QTest::mouseRelease(slider, Qt::LeftButton);
  for (int i = 0; i < 3; ++i) EXPECT_FLOAT_EQ(Ui(i).bkOpacity, 0.40f) << i;
  EXPECT_EQ(changes_, 1);
}

TEST_F(ProtTextTest, EverySliderPositionReadsBackAsItself) {
  auto* slider = Item<OpacitySlider>(CDlgProtText::IDC_OPACITY);
  for (int pos = 0; pos <= 100; ++pos) {
    slider->setValue(pos);
    QTest::mouseRelease(slider, Qt::LeftButton);
    slider->setValue(pos == 0 ? 1 : 0);
    page_->Bind(elems_);
    ASSERT_EQ(slider->value(), pos);
  }
}

TEST_F(ProtTextTest, AlignmentSegmentsWriteTheirIndex) {
  struct Case {
    int id;
    uint16_t index;
    bool horizontal;
  };
  const Case cases[] = {{CDlgProtText::IDC_VALIGN, 2, false},
                        {CDlgProtText::IDC_VALIGN, 0, false},
                        {CDlgProtText::IDC_HALIGN, 2, true},
                        {CDlgProtText::IDC_HALIGN, 0, true}};
  int expectedChanges = 0;
  for (const Case& c : cases) {
    auto* selector = Item<NsWui::CMtRadioButton>(c.id);
    // A click on the segment: the table's cell in the middle of its third.
    const int x = selector->width() * (2 * c.index + 1) / 6;
    const QPoint point(x, selector->height() / 2);
    QCursor::setPos(selector->mapToGlobal(point));
    QTest::mouseClick(selector, Qt::LeftButton, {}, point);
    ++expectedChanges;
    for (int i = 0; i < 3; ++i) {
      const auto& box = Ui(i).textBox;
      EXPECT_EQ(c.horizontal ? box.horizontalAlignment : box.verticalAlignment, c.index)
          << c.id << " " << i;
    }
    EXPECT_EQ(changes_, expectedChanges);
  }
}

}  // namespace
}  // namespace NsOvrin::Testing
