#include "editor/QlEPage.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "QlUiElem/QlElemData.h"
#include "QlUiElem/QlUiEdit.h"
#include "QlUiElem/QlUiText.h"
#include "editor/QlEHostFactory.h"
#include "element_io/QlEditIo.h"
#include "element_io/QlTextIo.h"
#include "termination/NodeDbFixture.h"

namespace NsOvrin {
namespace {

using NsDx2d::D2D_RECT_F;
using NsQlElemIo::QlEditIo;
using NsQlElemIo::QlTextIo;
using NsQlUiElem::QlElemData;
using NsQlUiElem::QlUiEdit;
using NsQlUiElem::QlUiText;
using NsUiD2ElemEditor::UiElem;
using Lines = std::vector<std::string>;

// A page built as the page commands build one from a page file, over a node
// database with the device "PLC1" and its holding registers 4x0-4x99.
class QlEPageTest : public NsTermination::Testing::NodeDbFixture {
 protected:
  void SetUp() override {
    NodeDbFixture::SetUp();
    AddDevice();
    page = std::make_shared<QlEPage>("页面1");
  }

  void TearDown() override {
    page.reset();
    NodeDbFixture::TearDown();
  }

  void AddDevice() {
    const auto node = AddTcpNode(AddEthernet("E0"), "PLC1");
    ASSERT_NE(node, nullptr);
    AddBlock(*node, "4x[0~99]", "words");
  }

  // A number box in editor coordinates; no binding without an address.
  struct Box {
    std::shared_ptr<QlUiEdit> ui;
    std::shared_ptr<QlEditIo> io;
  };
  Box AddBox(D2D_RECT_F rect, const char* address) {
    Box box{std::make_shared<QlUiEdit>(), nullptr};
    box.ui->SetRect(rect);
    if (address != nullptr) {
      box.io = std::make_shared<QlEditIo>();
      box.io->address = address;
    }
    Append({NsQlUiElem::kElemNumber, box.ui, box.io});
    return box;
  }

  std::shared_ptr<QlUiText> AddText(D2D_RECT_F rect) {
    auto ui = std::make_shared<QlUiText>();
    ui->SetRect(rect);
    Append({NsQlUiElem::kElemText, ui, std::make_shared<QlTextIo>()});
    return ui;
  }

  void Append(const QlElemData& data) {
    const std::shared_ptr<UiElem> elem = NsQlElemEditor::CreateElemFromData(data);
    ASSERT_NE(elem, nullptr);
    page->elements->elems.push_back(elem);
  }

  std::shared_ptr<QlEPage> page;
};

TEST_F(QlEPageTest, RevalidateBindsEveryElementAndCheckReportsEachFailureInOrder) {
  const Box good = AddBox({30.0f, 30.0f, 130.0f, 57.0f}, "PLC1.4x10");
  const Box noNode = AddBox({33.5f, 47.0f, 123.5f, 74.0f}, "PLC9.4x1");
  const auto text = AddText({200.0f, 20.0f, 260.0f, 46.0f});
  const Box outside = AddBox({20.0f, 100.25f, 110.0f, 127.0f}, "PLC1.4x500");
  const Box empty = AddBox({300.0f, 400.0f, 390.0f, 427.0f}, "");

  EXPECT_FALSE(QlEPage::RevalidateElements(page));

  // No early stop: every element carries its own mark.
  EXPECT_FALSE(good.ui->inError);
  EXPECT_TRUE(noNode.ui->inError);
  EXPECT_FALSE(text->inError);
  EXPECT_TRUE(outside.ui->inError);
  EXPECT_TRUE(empty.ui->inError);
  EXPECT_NE(good.io->GetReadTask(), nullptr);

  // The line adds its own full stop to the message's.
  Lines lines{"earlier line"};
  EXPECT_FALSE(QlEPage::CheckElements(page, &lines));
  EXPECT_EQ(lines, (Lines{
                       "earlier line",
                       "数字框控件[33.5,47.0] 读写地址节点不存在..",
                       "数字框控件[20.0,100.2] 读写地址异常或者不在数据列表中..",
                       "数字框控件[300.0,400.0] 读写地址不能为空!.",
                   }));
  EXPECT_EQ(noNode.ui->errorText, "读写地址节点不存在.");

  // Without a list the result and the marks are the same.
  EXPECT_FALSE(QlEPage::CheckElements(page));
  EXPECT_TRUE(outside.ui->inError);
}

// Binding alone leaves the marks as they were; the check that follows sets
// them and reports what a revalidation followed by the check reports.
TEST_F(QlEPageTest, RebindLeavesTheMarksToTheCheckThatFollows) {
  const Box good = AddBox({30.0f, 30.0f, 130.0f, 57.0f}, "PLC1.4x10");
  const Box outside = AddBox({20.0f, 100.25f, 110.0f, 127.0f}, "PLC1.4x500");
  good.ui->inError = true;

  EXPECT_FALSE(QlEPage::RebindElements(page));
  EXPECT_TRUE(good.ui->inError);
  EXPECT_FALSE(outside.ui->inError);
  EXPECT_NE(good.io->GetReadTask(), nullptr);

  Lines rebound;
  EXPECT_FALSE(QlEPage::CheckElements(page, &rebound));
  EXPECT_FALSE(good.ui->inError);
  EXPECT_TRUE(outside.ui->inError);

  EXPECT_FALSE(QlEPage::RevalidateElements(page));
  Lines revalidated;
  EXPECT_FALSE(QlEPage::CheckElements(page, &revalidated));
  EXPECT_EQ(rebound, revalidated);
  EXPECT_EQ(rebound, Lines{"数字框控件[20.0,100.2] 读写地址异常或者不在数据列表中.."});
  EXPECT_FALSE(QlEPage::RebindElements(nullptr));
}

TEST_F(QlEPageTest, APageWhoseElementsAllPassLeavesTheListAlone) {
  AddBox({30.0f, 30.0f, 130.0f, 57.0f}, "PLC1.4x10");
  AddText({40.0f, 80.0f, 100.0f, 106.0f});
  AddBox({30.0f, 130.0f, 130.0f, 157.0f}, "PLC1.4x98");

  EXPECT_TRUE(QlEPage::RevalidateElements(page));
  Lines lines{"kept"};
  EXPECT_TRUE(QlEPage::CheckElements(page, &lines));
  EXPECT_EQ(lines, Lines{"kept"});
}

TEST_F(QlEPageTest, CheckJudgesTheLastBindingAndRevalidateFollowsTheDatabase) {
  const Box box = AddBox({30.0f, 30.0f, 130.0f, 57.0f}, "PLC1.4x10");

  // Never bound: the check alone does not bind.
  Lines lines;
  EXPECT_FALSE(QlEPage::CheckElements(page, &lines));
  EXPECT_EQ(lines, Lines{"数字框控件[30.0,30.0] 读写地址节点不存在.."});
  EXPECT_TRUE(box.ui->inError);

  ASSERT_TRUE(QlEPage::RevalidateElements(page));
  EXPECT_FALSE(box.ui->inError);
  EXPECT_TRUE(QlEPage::CheckElements(page));

  // The device goes away: the check sees the binding lose its node.
  Db().Reset();
  EXPECT_FALSE(QlEPage::CheckElements(page));
  EXPECT_TRUE(box.ui->inError);
  EXPECT_FALSE(QlEPage::RevalidateElements(page));

  // It comes back: only a new binding finds it.
  AddDevice();
  EXPECT_FALSE(QlEPage::CheckElements(page));
  EXPECT_TRUE(QlEPage::RevalidateElements(page));
  EXPECT_TRUE(QlEPage::CheckElements(page));
  EXPECT_FALSE(box.ui->inError);
}

TEST_F(QlEPageTest, ElementWithoutBindingFailsBothWithAnEmptyMessage) {
  const Box bare = AddBox({50.0f, 60.0f, 140.0f, 87.0f}, nullptr);

  EXPECT_FALSE(QlEPage::RevalidateElements(page));
  Lines lines;
  EXPECT_FALSE(QlEPage::CheckElements(page, &lines));
  EXPECT_EQ(lines, Lines{"数字框控件[50.0,60.0] ."});
  // Without a binding the record's mark is left as it was.
  EXPECT_FALSE(bare.ui->inError);
}

TEST_F(QlEPageTest, WrappersWithoutHostAndEmptyPagesPass) {
  page->elements->elems.push_back(std::make_shared<UiElem>());
  page->elements->elems.push_back(nullptr);
  EXPECT_TRUE(QlEPage::RevalidateElements(page));
  Lines lines;
  EXPECT_TRUE(QlEPage::CheckElements(page, &lines));
  EXPECT_TRUE(lines.empty());

  page->elements.reset();
  EXPECT_TRUE(QlEPage::RevalidateElements(page));
  EXPECT_TRUE(QlEPage::CheckElements(page, &lines));

  EXPECT_FALSE(QlEPage::RevalidateElements(nullptr));
  EXPECT_FALSE(QlEPage::CheckElements(nullptr, &lines));
  EXPECT_TRUE(lines.empty());
}

}  // namespace
}  // namespace NsOvrin
