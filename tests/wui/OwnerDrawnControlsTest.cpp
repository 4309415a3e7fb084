#include <gtest/gtest.h>

#include <QCursor>
#include <QTest>

#include "common/Log.h"
#include "support/ScriptedUiServices.h"
#include "wui/CColorButton.h"
#include "wui/CColorfulStatic.h"
#include "wui/CMtRadioButton.h"
#include "wui/PaintProbe.h"

namespace NsOvrin::NsWui {
namespace {

using Testing::CountPixels;
using Testing::InkBox;
using Testing::MakeCanvas;
using Testing::PixelRef;

// Collects the error records for a test's duration.
class ErrorLog : public NsLog::LogSink {
 public:
  ErrorLog() : logger_(NsLog::GetLogger(8)), was_(logger_.IsEnabled()) {
    logger_.AddSink(this);
    logger_.SetEnabled(true);
  }
  ~ErrorLog() override {
    logger_.RemoveSink(this);
    logger_.SetEnabled(was_);
  }
  void Write(const NsLog::LogRecord& record) override { texts.push_back(record.text); }

  std::vector<std::string> texts;

 private:
  NsLog::Logger& logger_;
  bool was_;
};

TEST(CColorButton, StartsWithTheDocumentedLook) {
  CColorButton button;
  EXPECT_EQ(button.swatchColour, 0u);
  EXPECT_EQ(button.textColour, 0xFF222222u);
  EXPECT_EQ(button.backColour, 0xE8E8E8u);
  EXPECT_FALSE(button.swatchOnly);
  EXPECT_FALSE(button.colourListener);
}

TEST(CColorButton, PaintsASwatchBesideItsCaption) {
  CColorButton button;
  button.setText(QStringLiteral("文字颜色"));
  button.swatchColour = 0x3366CC;
  QImage image = MakeCanvas(120, 30, 0x000000);
  QPainter painter(&image);
  button.DrawItem(painter, {0, 0, 120, 30});
  painter.end();
  // A 20 x 20 swatch centred on the left, framed.
  EXPECT_EQ(PixelRef(image, 10, 5), 0xABABABu);
  EXPECT_EQ(PixelRef(image, 29, 24), 0xABABABu);
  EXPECT_EQ(PixelRef(image, 20, 15), 0x3366CCu);
  EXPECT_EQ(CountPixels(image, {11, 6, 29, 24}, 0x3366CC), 18 * 18);
  EXPECT_EQ(PixelRef(image, 5, 15), 0xE8E8E8u);
  EXPECT_EQ(PixelRef(image, 30, 15), 0xE8E8E8u);
  // The caption starts 36 px in, in the dark text colour.
  EXPECT_EQ(InkBox(image, {30, 0, 36, 30}, 0xE8E8E8), WRect{});
  const WRect caption = InkBox(image, {36, 0, 120, 30}, 0xE8E8E8);
  EXPECT_FALSE(caption.IsEmpty());
  EXPECT_LE(caption.left, 40);
  uint32_t darkest = 0xFFFFFF;
  for (int y = caption.top; y < caption.bottom; ++y) {
    for (int x = caption.left; x < caption.right; ++x) {
      if (Testing::Red(PixelRef(image, x, y)) < Testing::Red(darkest)) darkest = PixelRef(image, x, y);
    }
  }
  EXPECT_TRUE(Testing::Near(darkest, 0x222222, 0x28)) << std::hex << darkest;
}

TEST(CColorButton, SwatchOnlyFillsTheWholeButton) {
  CColorButton button;
  button.setText(QStringLiteral("不画"));
  button.swatchOnly = true;
  button.swatchColour = 0x00FF00;
  QImage image = MakeCanvas(60, 24);
  QPainter painter(&image);
  button.DrawItem(painter, {0, 0, 60, 24});
  painter.end();
  EXPECT_EQ(PixelRef(image, 0, 0), 0xABABABu);
  EXPECT_EQ(PixelRef(image, 59, 23), 0xABABABu);
  EXPECT_EQ(CountPixels(image, {1, 1, 59, 23}, 0x00FF00), 58 * 22);
}

TEST(CColorButton, AClickPicksAColourAndTellsTheListener) {
  ScriptedUiServices ui;
  CColorButton button;
  button.swatchColour = 0x0000FF;
  std::vector<uint32_t> told;
  button.colourListener = [&](uint32_t colour) { told.push_back(colour); };

  ui.PushColour(0x123456);
  button.click();
  EXPECT_EQ(button.swatchColour, 0x123456u);
  ui.PushColour(std::nullopt);
  button.click();
  EXPECT_EQ(button.swatchColour, 0x123456u);

  EXPECT_EQ(told, std::vector<uint32_t>{0x123456});
  const auto calls = ui.CallsOf(UiCall::Kind::Colour);
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].colour, 0x0000FFu);
  EXPECT_EQ(calls[0].widget, &button);
  EXPECT_EQ(calls[1].colour, 0x123456u);
}

TEST(CColorfulStatic, TakesItsTextLookFromTheConstructor) {
  CColorfulStatic label(0x555555, 90, TextLayout::kAlignCentre);
  EXPECT_EQ(label.textLayout.textColour, 0x555555u);
  EXPECT_EQ(label.textLayout.fontSize, 90);
  EXPECT_EQ(label.textLayout.alignment, TextLayout::kAlignCentre);
  EXPECT_EQ(label.textLayout.face, "宋体");
  EXPECT_EQ(label.textLayout.icon, nullptr);
  EXPECT_EQ(label.frameStyle.kind, FrameStyle::kKindRounded);
  EXPECT_FALSE(label.frameStyle.background);
}

TEST(CColorfulStatic, PaintsFillPictureAndText) {
  CColorfulStatic label(0x0000FF, 90, TextLayout::kAlignCentre);
  label.resize(100, 24);
  label.setText(QStringLiteral("通用"));
  label.frameStyle.kind = FrameStyle::kKindLines;
  label.frameStyle.background = true;
  label.frameStyle.backgroundColour = 0xD7E4E4;
  QImage image = MakeCanvas(100, 24);
  QPainter painter(&image);
  label.DrawItem(painter);
  painter.end();
  EXPECT_EQ(PixelRef(image, 1, 1), 0xD7E4E4u);
  EXPECT_EQ(PixelRef(image, 98, 22), 0xD7E4E4u);
  const WRect text = InkBox(image, {0, 0, 100, 24}, 0xD7E4E4);
  EXPECT_FALSE(text.IsEmpty());
  EXPECT_LE(std::abs(text.left + text.right - 100), 4);  // centred

  QImage picture(2, 2, QImage::Format_RGB32);
  picture.fill(Qt::green);
  label.frameStyle.image.image = picture;
  label.setText(QString());
  image = MakeCanvas(100, 24);
  QPainter again(&image);
  label.DrawItem(again);
  again.end();
  EXPECT_EQ(CountPixels(image, {0, 0, 100, 24}, 0x00FF00), 100 * 24);
}

TEST(CColorfulStatic, SetTextChangesOnlyADifferentText) {
  QWidget parent;
  parent.resize(200, 100);
  auto* label = new CColorfulStatic(0x333333, 90, TextLayout::kAlignLeft, &parent);
  label->setGeometry(10, 10, 100, 24);
  EXPECT_EQ(&label->SetText("hidden"), label);
  EXPECT_EQ(label->text(), QStringLiteral("hidden"));
  parent.show();
  EXPECT_EQ(&label->SetText("地址范围:D0~D9"), label);
  EXPECT_EQ(label->text(), QStringLiteral("地址范围:D0~D9"));
  label->SetColours(0x666666, 0xF0F0F0, true);
  EXPECT_EQ(label->textLayout.textColour, 0x666666u);
  EXPECT_EQ(label->frameStyle.backgroundColour, 0xF0F0F0u);
}

class CMtRadioButtonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_.resize(300, 100);
    selector_ = new CMtRadioButton(&window_);
    selector_->setGeometry(10, 10, 150, 30);
    window_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
    selector_->SetItems(kItems, 3);
    selector_->selectionListener = [this](uint16_t now, uint16_t before) { told_.emplace_back(now, before); };
  }

  uint32_t SegmentColour(int index) {
    const QImage image = selector_->grab().toImage();
    return PixelRef(image, index * 50 + 25, 20);
  }
  // A real click: the selector finds the segment under the cursor.
  void ClickAt(QPoint point) {
    QCursor::setPos(selector_->mapToGlobal(point));
    QTest::mouseClick(selector_, Qt::LeftButton, {}, point);
  }

  static constexpr const char* kItems[] = {"左对齐", "居中", "右对齐"};
  QWidget window_;
  CMtRadioButton* selector_ = nullptr;
  std::vector<std::pair<uint16_t, uint16_t>> told_;
};

TEST_F(CMtRadioButtonTest, SetItemsBuildsOneSegmentPerTextWithNoneSelected) {
  EXPECT_EQ(selector_->count, 3);
  EXPECT_EQ(selector_->currentIndex, 3);
  WProxyTable* table = selector_->Table();
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table->columnCount, 3);
  EXPECT_EQ(table->GetRowCount(), 1);
  EXPECT_EQ(table->columnWidths.Widths(), (std::vector<int>{50, 50, 50}));
  EXPECT_EQ(table->rowHeight, 30);
  EXPECT_EQ(*table->defBackColour, 0xF0F0F0u);
  for (uint16_t i = 0; i < 3; ++i) {
    EXPECT_EQ(table->GetCellText(0, i), kItems[i]);
    ASSERT_TRUE(table->FindCell(0, i)->fontSize);
    EXPECT_EQ(*table->FindCell(0, i)->fontSize, 90);
  }
  EXPECT_EQ(SegmentColour(1), 0xF0F0F0u);
}

TEST_F(CMtRadioButtonTest, SetItemsWithoutTextsKeepsTheSegments) {
  selector_->SetItems(nullptr, 2);
  selector_->SetItems(kItems, 0);
  EXPECT_EQ(selector_->count, 3);
  EXPECT_EQ(selector_->Table()->columnCount, 3);
}

TEST_F(CMtRadioButtonTest, SelectColoursTheSegmentAndNotifies) {
  ErrorLog log;
  EXPECT_EQ(selector_->Select(3, true), 3);  // the count: nothing, no log
  EXPECT_EQ(selector_->Select(4, true), 3);
  EXPECT_EQ(log.texts, std::vector<std::string>{"col <= _count (4 VS 3)"});
  EXPECT_EQ(selector_->currentIndex, 3);
  EXPECT_TRUE(told_.empty());

  EXPECT_EQ(selector_->Select(1, true), 3);
  EXPECT_EQ(selector_->currentIndex, 1);
  EXPECT_EQ(SegmentColour(1), CMtRadioButton::kSelectedBackColour);
  EXPECT_EQ(SegmentColour(0), 0xF0F0F0u);

  EXPECT_EQ(selector_->Select(1, true), 1);  // already selected
  EXPECT_EQ(selector_->Select(2, false), 1);
  EXPECT_EQ(SegmentColour(1), 0xF0F0F0u);
  EXPECT_EQ(SegmentColour(2), CMtRadioButton::kSelectedBackColour);
  EXPECT_EQ(told_, (std::vector<std::pair<uint16_t, uint16_t>>{{1, 3}}));
}

TEST_F(CMtRadioButtonTest, AClickSelectsTheSegmentUnderTheCursor) {
  ClickAt({120, 15});
  EXPECT_EQ(selector_->currentIndex, 2);
  ClickAt({30, 15});
  EXPECT_EQ(selector_->currentIndex, 0);
  ClickAt({35, 15});  // the selected one again
  EXPECT_EQ(told_, (std::vector<std::pair<uint16_t, uint16_t>>{{2, 3}, {0, 2}}));
}

TEST_F(CMtRadioButtonTest, TheBeforeChangeHookMayRefuse) {
  selector_->Select(0, false);
  std::vector<std::pair<uint16_t, uint16_t>> asked;
  bool allow = false;
  selector_->beforeChange = [&](uint16_t current, uint16_t wanted) {
    asked.emplace_back(current, wanted);
    return allow;
  };
  ClickAt({75, 15});
  EXPECT_EQ(selector_->currentIndex, 0);
  allow = true;
  ClickAt({75, 15});
  EXPECT_EQ(selector_->currentIndex, 1);
  EXPECT_EQ(asked, (std::vector<std::pair<uint16_t, uint16_t>>{{0, 1}, {0, 1}}));
  EXPECT_EQ(told_, (std::vector<std::pair<uint16_t, uint16_t>>{{1, 0}}));
}

TEST_F(CMtRadioButtonTest, SegmentsFollowTheButtonsSize) {
  selector_->resize(300, 30);
  EXPECT_EQ(selector_->Table()->columnWidths.Widths(), (std::vector<int>{100, 100, 100}));
  ClickAt({250, 15});
  EXPECT_EQ(selector_->currentIndex, 2);
}

}  // namespace
}  // namespace NsOvrin::NsWui
