// Wrapping loaded elements for the editor.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "HostFixture.h"
#include "QlUiElem/QlUiButton.h"
#include "QlUiElem/QlUiEdit.h"
#include "QlUiElem/QlUiText.h"
#include "dx2d/RecordingRenderTarget.h"
#include "editor/QlEHostElem.h"
#include "editor/QlEHostFactory.h"
#include "element_io/QlButtonIo.h"
#include "element_io/QlEditIo.h"
#include "element_io/QlStringIo.h"
#include "element_io/QlTextIo.h"

namespace NsOvrin::NsQlElemEditor {
namespace {

using NsQlElemIo::QlButtonIo;
using NsQlElemIo::QlEditIo;
using NsQlElemIo::QlStringIo;
using NsQlElemIo::QlTextIo;
using NsQlUiElem::QlElemData;
using NsQlUiElem::QlUiButton;
using NsQlUiElem::QlUiEdit;
using NsQlUiElem::QlUiText;
using NsUiD2ElemEditor::UiElem;

using ElemFromData = Testing::HostFixture;

std::shared_ptr<QlEHostElem> HostOf(const std::shared_ptr<UiElem>& elem) {
  return elem ? std::dynamic_pointer_cast<QlEHostElem>(elem->host) : nullptr;
}

TEST_F(ElemFromData, SharesTheLoadedRecordAndBindingUnchecked) {
  auto edit = [] {
    auto e = QlUiEdit::QlUiEditAt({40, 60}, 90);
    e->textBox.text = "12";
    return e;
  };
  const QlElemData cases[] = {
      {NsQlUiElem::kElemText, std::make_shared<QlUiText>(), std::make_shared<QlTextIo>()},
      {NsQlUiElem::kElemNumber, edit(), std::make_shared<QlEditIo>()},
      {NsQlUiElem::kElemString, edit(), std::make_shared<QlStringIo>()},
      {NsQlUiElem::kElemButton, std::make_shared<QlUiButton>(), std::make_shared<QlButtonIo>()},
  };
  for (const QlElemData& data : cases) {
    SCOPED_TRACE(data.type);
    // Error state as a loader may leave it: untouched, though the empty
    // addresses would fail a check.
    data.ui->inError = false;
    const auto elem = CreateElemFromData(data);
    ASSERT_NE(elem, nullptr);
    EXPECT_EQ(elem->handle, UiElem::kNoHandle);
    EXPECT_FALSE(elem->anchored);
    EXPECT_EQ(elem->rect, (D2D_RECT_F{}));
    const auto host = HostOf(elem);
    ASSERT_NE(host, nullptr);
    EXPECT_EQ(host->GetType(), data.type);
    EXPECT_EQ(host->GetUi(), data.ui) << "the same record, not a copy";
    EXPECT_EQ(host->GetIo(), data.io);
    EXPECT_FALSE(host->IsSelected());
    EXPECT_FALSE(data.ui->inError) << "nothing checked";
    EXPECT_EQ(host->GetRect(), data.ui->GetRect());
  }
  EXPECT_EQ(std::static_pointer_cast<QlUiEdit>(cases[1].ui)->textBox.text, "12");
  EXPECT_EQ(std::static_pointer_cast<QlUiEdit>(cases[2].ui)->textBox.text, "AABBCCDD")
      << "a string box shows its preview";
}

TEST_F(ElemFromData, StringBoxWithoutBindingKeepsItsText) {
  auto edit = QlUiEdit::QlUiEditAt({40, 60}, 220);
  edit->textBox.text = "saved";
  const auto elem = CreateElemFromData({NsQlUiElem::kElemString, edit, nullptr});
  ASSERT_NE(elem, nullptr);
  EXPECT_EQ(edit->textBox.text, "saved");
  EXPECT_FALSE(HostOf(elem)->Revalidate()) << "no binding to bind";
}

TEST_F(ElemFromData, RefusesWhatItCannotWrap) {
  struct Case {
    const char* name;
    QlElemData data;
  };
  const Case cases[] = {
      {"no record", {NsQlUiElem::kElemText, nullptr, std::make_shared<QlTextIo>()}},
      {"code 0", {0, std::make_shared<QlUiText>(), std::make_shared<QlTextIo>()}},
      {"code 15", {15, std::make_shared<QlUiText>(), std::make_shared<QlTextIo>()}},
      {"negative code", {-1, std::make_shared<QlUiText>(), std::make_shared<QlTextIo>()}},
      {"record of another kind",
       {NsQlUiElem::kElemButton, std::make_shared<QlUiText>(), std::make_shared<QlButtonIo>()}},
  };
  for (const Case& c : cases) EXPECT_EQ(CreateElemFromData(c.data), nullptr) << c.name;
}

TEST_F(ElemFromData, BindingOfAnotherKindCountsAsNone) {
  auto edit = QlUiEdit::QlUiEditAt({40, 60}, 90);
  const auto elem =
      CreateElemFromData({NsQlUiElem::kElemNumber, edit, std::make_shared<QlStringIo>()});
  const auto host = HostOf(elem);
  ASSERT_NE(host, nullptr);
  EXPECT_EQ(host->GetIo(), nullptr);
  EXPECT_FALSE(host->Revalidate());
}

TEST_F(ElemFromData, LoadedElementsRevalidateAgainstTheNodeDatabase) {
  auto io = std::make_shared<QlEditIo>();
  io->address = "PLC1.4x9";
  auto edit = QlUiEdit::QlUiEditAt({40, 60}, 90);
  const auto host = HostOf(CreateElemFromData({NsQlUiElem::kElemNumber, edit, io}));
  ASSERT_NE(host, nullptr);
  EXPECT_TRUE(host->Revalidate());
  EXPECT_FALSE(edit->inError);
  EXPECT_EQ(words_->GetSubscriberCount(), 1u);
  io->address = "PLC1.4x10";
  host->Revalidate();
  std::string message;
  EXPECT_FALSE(host->Check(&message));
  EXPECT_EQ(message, "读写地址异常或者不在数据列表中.");
  EXPECT_TRUE(edit->inError);
}

}  // namespace
}  // namespace NsOvrin::NsQlElemEditor
