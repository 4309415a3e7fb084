#include "QlUiElem/QlUiEdit.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dx2d/RecordingDrawContext.h"

using namespace NsOvrin::NsQlUiElem;
using namespace NsOvrin::NsDx2d;
using Lines = std::vector<std::string>;

namespace {

void ExpectDefaultText(const TextPainter& box) {
  EXPECT_EQ(box.text, "0");
  EXPECT_EQ(box.colour, 0x222222u);
  EXPECT_EQ(box.fontSize, 120);
  EXPECT_EQ(box.horizontalAlignment, 0);
  EXPECT_EQ(box.verticalAlignment, 1);
}

}  // namespace

TEST(QlUiEdit, StartsAsAnOpaqueBorderedZero) {
  const QlUiEdit edit;
  EXPECT_EQ(edit.GetRect(), (D2D_RECT_F{0, 0, 0, 0}));
  EXPECT_EQ(edit.bkColor, 0xFFFFFFu);
  EXPECT_EQ(edit.bkOpacity, 1.0f);
  EXPECT_EQ(edit.borderColor, 0xA0999Au);
  EXPECT_EQ(edit.accessPermission, 0);
  EXPECT_EQ(edit.textBox.rect, (D2D_RECT_F{0, 0, 0, 0}));
  ExpectDefaultText(edit.textBox);
  EXPECT_TRUE(edit.shown);
  EXPECT_FALSE(edit.selected);
}

TEST(QlUiEdit, PlacedAtAPointIsTwentySevenHighWithItsTextBoxInside) {
  const std::shared_ptr<QlUiEdit> edit = QlUiEdit::QlUiEditAt({100, 50}, 80);
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(edit->GetRect(), (D2D_RECT_F{100, 50, 180, 77}));
  EXPECT_EQ(edit->textBox.rect, (D2D_RECT_F{104, 52, 176, 75}));
  ExpectDefaultText(edit->textBox);
  EXPECT_EQ(edit->bkOpacity, 1.0f);

  edit->SetRect({0, 0, 40, 30});
  EXPECT_EQ(edit->textBox.rect, (D2D_RECT_F{4, 2, 36, 28}));
}

TEST(QlUiEdit, SetDefaultTextRestoresTheTextAndItsLook) {
  QlUiEdit edit;
  edit.textBox.text = "12.5";
  edit.textBox.colour = 0x0000FF;
  edit.textBox.fontSize = 200;
  edit.textBox.horizontalAlignment = 2;
  edit.textBox.verticalAlignment = 0;
  edit.textBox.rect = {1, 2, 3, 4};
  edit.SetDefaultText();
  ExpectDefaultText(edit.textBox);
  EXPECT_EQ(edit.textBox.rect, (D2D_RECT_F{1, 2, 3, 4}));
}

TEST(QlUiEdit, DrawsFillTextThenBorderAtTheBackgroundOpacity) {
  struct Case {
    const char* name;
    COLORREF bkColor;
    float bkOpacity;
    COLORREF borderColor;
    std::string text;
    COLORREF textColour;
    uint16_t h, v;
    Lines expected;
  };
  const Case cases[] = {
      {"defaults", 0xFFFFFF, 1.0f, 0xA0999A, "0", 0x222222, 0, 1,
       {"FillRectangle (100,50,180,77) 0xFFFFFF@1",
        "DrawText \"0\" (104,52,176,75) 0x222222@1 微软雅黑 16 leading/centre",
        "DrawRectangle (100,50,180,77) 0xA0999A@1 w=1"}},
      // The border shares the fill's opacity: at 0 neither shows, only the text.
      {"transparent", 0xFFFFFF, 0.0f, 0xA0999A, "-12.50", 0x222222, 0, 1,
       {"FillRectangle (100,50,180,77) 0xFFFFFF@0",
        "DrawText \"-12.50\" (104,52,176,75) 0x222222@1 微软雅黑 16 leading/centre",
        "DrawRectangle (100,50,180,77) 0xA0999A@0 w=1"}},
      {"coloured, aligned", 0x00FFFF, 0.5f, 0x0000FF, "中文AB", 0xFF0000, 2, 2,
       {"FillRectangle (100,50,180,77) 0x00FFFF@0.5",
        "DrawText \"中文AB\" (104,52,176,75) 0xFF0000@1 微软雅黑 16 trailing/far",
        "DrawRectangle (100,50,180,77) 0x0000FF@0.5 w=1"}},
      {"empty string box", 0xFFFFFF, 1.0f, 0x000000, "", 0x222222, 1, 0,
       {"FillRectangle (100,50,180,77) 0xFFFFFF@1",
        "DrawRectangle (100,50,180,77) 0x000000@1 w=1"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::shared_ptr<QlUiEdit> edit = QlUiEdit::QlUiEditAt({100, 50}, 80);
    edit->bkColor = c.bkColor;
    edit->bkOpacity = c.bkOpacity;
    edit->borderColor = c.borderColor;
    edit->textBox.text = c.text;
    edit->textBox.colour = c.textColour;
    edit->textBox.horizontalAlignment = c.h;
    edit->textBox.verticalAlignment = c.v;
    RecordingDrawContext d2;
    edit->Draw(d2.Info());
    EXPECT_EQ(d2.Calls(), c.expected);
  }
}

TEST(QlUiEdit, DrawsNothingWithoutTargetFormatsOrBrushes) {
  const std::shared_ptr<QlUiEdit> edit = QlUiEdit::QlUiEditAt({0, 0}, 50);
  for (int missing = 0; missing < 3; ++missing) {
    SCOPED_TRACE(missing);
    RecordingDrawContext d2;
    D2ResInfo info = d2.Info();
    if (missing == 0) info.renderTarget = nullptr;
    if (missing == 1) info.textFormatCache = nullptr;
    if (missing == 2) info.brushCache = nullptr;
    edit->Draw(info);
    EXPECT_TRUE(d2.target.calls.empty()) << FormatDrawCalls(d2.target.calls);
  }
}

TEST(QlUiEdit, CloneCopiesEveryFieldAndStandsAlone) {
  const std::shared_ptr<QlUiEdit> edit = QlUiEdit::QlUiEditAt({10, 10}, 100);
  edit->bkColor = 0x010203;
  edit->bkOpacity = 0.3f;
  edit->borderColor = 0x040506;
  edit->accessPermission = 3;
  edit->textBox.text = "abc";
  edit->textBox.colour = 0x070809;
  edit->textBox.fontSize = 160;
  edit->textBox.horizontalAlignment = 1;
  edit->textBox.verticalAlignment = 2;
  edit->selected = true;
  edit->inError = true;
  edit->errorText = "读写地址不能为空!";
  edit->errorTextWidth = 40.0f;
  edit->errorTextHeight = 11.5f;

  const std::shared_ptr<QlUiEdit> copy = edit->Clone();
  ASSERT_NE(copy, nullptr);
  ASSERT_NE(copy, edit);
  EXPECT_EQ(copy->GetRect(), (D2D_RECT_F{10, 10, 110, 37}));
  EXPECT_EQ(copy->textBox.rect, (D2D_RECT_F{14, 12, 106, 35}));
  EXPECT_EQ(copy->bkColor, 0x010203u);
  EXPECT_EQ(copy->bkOpacity, 0.3f);
  EXPECT_EQ(copy->borderColor, 0x040506u);
  EXPECT_EQ(copy->accessPermission, 3);
  EXPECT_EQ(copy->textBox.text, "abc");
  EXPECT_EQ(copy->textBox.colour, 0x070809u);
  EXPECT_EQ(copy->textBox.fontSize, 160);
  EXPECT_EQ(copy->textBox.horizontalAlignment, 1);
  EXPECT_EQ(copy->textBox.verticalAlignment, 2);
  EXPECT_TRUE(copy->shown);
  EXPECT_TRUE(copy->selected);
  EXPECT_TRUE(copy->inError);
  EXPECT_EQ(copy->errorText, "读写地址不能为空!");
  EXPECT_EQ(copy->errorTextWidth, 40.0f);
  EXPECT_EQ(copy->errorTextHeight, 11.5f);

  // Both draw the same; changing one leaves the other.
  RecordingDrawContext a, b;
  edit->Draw(a.Info());
  copy->Draw(b.Info());
  EXPECT_EQ(a.Calls(), b.Calls());
  copy->textBox.text = "x";
  EXPECT_EQ(edit->textBox.text, "abc");
}
