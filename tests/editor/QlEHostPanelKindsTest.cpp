// The hosts of the panel, picture, navigation bar and login kinds:
// defaults, geometry, checks, clones; none has an address label or live
// data.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "HostLabel.h"
#include "PagesFixture.h"
#include "dx2d/RecordingDrawContext.h"
#include "editor/EditorGlobals.h"
#include "editor/QlEHostBtnUser.h"
#include "editor/QlEHostImage.h"
#include "editor/QlEHostNavBar.h"
#include "editor/QlEHostPanel.h"
#include "project_persistence/TempFolder.h"

namespace NsOvrin::NsQlElemEditor {
namespace {

using NsDx2d::DrawCall;
using NsDx2d::DrawOp;
using NsDx2d::RecordingDrawContext;
using NsQlElemIo::QlBtnUserIo;
using NsQlElemIo::QlImageIo;
using NsQlUiElem::QlUiBtnUser;
using NsQlUiElem::QlUiImage;

class PanelKinds : public Testing::PagesFixture {
 protected:
  // A picture file of that name in the test's folder.
  std::string MakePicture(const std::string& name) {
    const std::string path = folder_ / name;
    NsOvrin::Testing::WriteFileText(path, "not really a picture");
    return path;
  }

  NsOvrin::Testing::TempFolder folder_;
};

void SetVisibility(QlEHostElem& host, const std::string& address) {
  NsQlElemIo::BaseIoData& visib = *host.GetIo()->GetBaseIoData();
  visib.enableVisib = true;
  visib.addressForVisib = address;
}

TEST_F(PanelKinds, NewElementsAtAPoint) {
  struct Case {
    std::shared_ptr<QlEHostElem> host;
    int type;
    D2D_RECT_F rect;
    bool inError;
    std::string errorText;
  };
  const D2D_POINT_2F p{100, 50};
  const Case cases[] = {
      {std::make_shared<QlEHostPanel>(p), 6, {100, 50, 400, 210}, false, ""},
      {std::make_shared<QlEHostImage>(p), 7, {100, 50, 164, 114}, true, "图片无效"},
      {std::make_shared<QlEHostNavBar>(p), 8, {100, 50, 610, 80}, false, ""},
      {std::make_shared<QlEHostBtnUser>(p), 12, {100, 50, 440, 81}, false, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    EXPECT_EQ(c.host->GetType(), c.type);
    EXPECT_EQ(c.host->GetRect(), c.rect);
    EXPECT_FALSE(c.host->IsSelected());
    ASSERT_NE(c.host->GetUi(), nullptr);
    ASSERT_NE(c.host->GetIo(), nullptr);
    EXPECT_EQ(c.host->GetUi()->inError, c.inError);
    EXPECT_EQ(c.host->GetUi()->errorText, c.errorText);
    const NsQlElemIo::BaseIoData& visib = *c.host->GetIo()->GetBaseIoData();
    EXPECT_FALSE(visib.enableVisib);
    EXPECT_FALSE(visib.showWhenTrue);
    EXPECT_TRUE(visib.addressForVisib.empty());
    EXPECT_EQ(Testing::DrawnLabel(*c.host), "") << "no kind here has a label";
  }

  const auto panel = std::static_pointer_cast<QlEHostPanel>(cases[0].host);
  EXPECT_EQ(panel->_qlUi->title, "标题");
  EXPECT_EQ(panel->_qlUi->fontSize, 140);
  EXPECT_EQ(panel->_qlUi->bkColour, 0xF7F5F5u);
  const auto image = std::static_pointer_cast<QlEHostImage>(cases[1].host);
  EXPECT_EQ(image->_qlUi->imageStyle, NsQlUiElem::kImageActualSize);
  EXPECT_TRUE(image->_qlUi->imagePath.empty());
  EXPECT_FLOAT_EQ(image->_qlUi->opacity, 1.0f);
  const auto navBar = std::static_pointer_cast<QlEHostNavBar>(cases[2].host);
  EXPECT_EQ(navBar->_qlUi->labels, (std::vector<std::string>{"首页", "页面1", "页面2", "..."}));
  EXPECT_TRUE(navBar->_qlIo->targetPages.empty());
}

TEST_F(PanelKinds, SetRectLaysOutWhatDependsOnIt) {
  const D2D_RECT_F r{20, 20, 420, 60};

  QlEHostPanel panel(D2D_POINT_2F{100, 50});
  RecordingDrawContext before;
  panel.Draw(before.Info());  // outlines built for the old place
  panel.SetRect(r);
  EXPECT_EQ(panel.GetRect(), r);
  RecordingDrawContext after;
  panel.Draw(after.Info());
  const auto outlines = after.target.CallsOf(DrawOp::DrawGeometry);
  ASSERT_FALSE(outlines.empty()) << NsDx2d::FormatDrawCalls(after.target.calls);
  for (const DrawCall& call : outlines) {
    ASSERT_FALSE(call.figures.empty());
    EXPECT_FLOAT_EQ(call.figures.front().start.x, r.left) << call;
  }

  QlEHostImage image(D2D_POINT_2F{100, 50});
  image.SetRect(r);
  EXPECT_EQ(image.GetRect(), r);

  QlEHostNavBar navBar(D2D_POINT_2F{100, 50});
  navBar._qlUi->painter.cornerRadius = 5.0f;
  navBar.SetRect(r);
  EXPECT_EQ(navBar.GetRect(), r);
  EXPECT_EQ(navBar._qlUi->painter.rect, r);
  EXPECT_FLOAT_EQ(navBar._qlUi->painter.cornerRadius, 0.0f);

  QlEHostBtnUser login(D2D_POINT_2F{100, 50});
  login.SetRect(r);
  EXPECT_EQ(login.GetRect(), r);
  // The two buttons at the new right end.
  EXPECT_EQ(login._qlUi->buttonStrip.rect, (D2D_RECT_F{240, 20, 420, 60}));
  EXPECT_EQ(login._qlUi->nameBox.rect.left, 20.0f);
}

TEST_F(PanelKinds, PanelNavBarAndLoginCheckTheirVisibilityAgainstTheNodeDatabase) {
  QlEHostPanel panel(D2D_POINT_2F{100, 50});
  QlEHostNavBar navBar(D2D_POINT_2F{100, 50});
  QlEHostBtnUser login(D2D_POINT_2F{100, 50});
  for (QlEHostElem* host : std::vector<QlEHostElem*>{&panel, &navBar, &login}) {
    SCOPED_TRACE(host->GetType());
    const auto ui = host->GetUi();
    SetVisibility(*host, "PLC1.0x3");
    EXPECT_TRUE(host->Revalidate());
    EXPECT_FALSE(ui->inError) << ui->errorText;
    SetVisibility(*host, "PLC1.4x3");
    EXPECT_TRUE(host->Revalidate());
    EXPECT_TRUE(ui->inError);
    EXPECT_EQ(ui->errorText, "控制可见性的地址不是点类型数据.");
    SetVisibility(*host, "PLC9.0x3");
    EXPECT_FALSE(host->Revalidate());
  }

  // Panel and bar check the binding; the login element's check looks at
  // its record only and clears the mark.
  for (QlEHostElem* host : std::vector<QlEHostElem*>{&panel, &navBar}) {
    std::string message;
    EXPECT_FALSE(host->Check(&message));
    EXPECT_EQ(message, "控制可见性的地址异常.");
    EXPECT_TRUE(host->GetUi()->inError);
  }
  std::string message = "untouched";
  EXPECT_TRUE(login.Check(&message));
  EXPECT_EQ(message, "untouched");
  EXPECT_FALSE(login._qlUi->inError);
}

TEST_F(PanelKinds, NavBarReportsATargetPageThatIsNotInTheProject) {
  QlEHostNavBar navBar(D2D_POINT_2F{100, 50});
  navBar._qlIo->targetPages = {"页面1", "", "页面3"};
  EXPECT_TRUE(navBar.Revalidate());
  EXPECT_FALSE(navBar._qlUi->inError) << navBar._qlUi->errorText;
  navBar._qlIo->targetPages = {"页面1", "页面9", "页面8"};
  std::string message;
  EXPECT_FALSE(navBar.Check(&message));
  EXPECT_EQ(message, "页面'页面9'不存在.");
  EXPECT_EQ(navBar._qlUi->errorText, "页面'页面9'不存在.");
}

TEST_F(PanelKinds, PictureCheckWantsItsFile) {
  QlEHostImage image(D2D_POINT_2F{100, 50});
  const std::string path = MakePicture("图片.png");
  image._qlUi->imagePath = path;
  std::string message = "untouched";
  EXPECT_TRUE(image.Check(&message));
  EXPECT_EQ(message, "untouched");
  EXPECT_FALSE(image._qlUi->inError);

  // The file goes: the next check marks the picture, a revalidation looks
  // at the binding only and clears the mark.
  std::filesystem::remove(path);
  EXPECT_FALSE(image.Check(&message));
  EXPECT_EQ(message, "图片无效");
  EXPECT_TRUE(image._qlUi->inError);
  EXPECT_EQ(image._qlUi->errorText, "图片无效");
  EXPECT_TRUE(image.Revalidate());
  EXPECT_FALSE(image._qlUi->inError);
  EXPECT_FALSE(image.Check(nullptr)) << "a check without a message still marks it";
  EXPECT_TRUE(image._qlUi->inError);

  // With its file, the picture's binding decides.
  image._qlUi->imagePath = MakePicture("b.png");
  SetVisibility(image, "PLC1.4x3");
  image.Revalidate();
  EXPECT_FALSE(image.Check(&message));
  EXPECT_EQ(message, "控制可见性的地址不是点类型数据.");
  EXPECT_EQ(image._qlUi->errorText, message);
}

TEST_F(PanelKinds, ChecksWithoutRecordOrBinding) {
  const std::string path = MakePicture("c.png");
  auto picture = std::make_shared<QlUiImage>();
  picture->imagePath = path;
  struct Case {
    const char* name;
    std::shared_ptr<QlEHostElem> host;
    std::string message;
    bool marked;  // the record, when there is one, is marked
  };
  const Case cases[] = {
      {"picture without record", std::make_shared<QlEHostImage>(nullptr, std::make_shared<QlImageIo>()),
       "系统错误: qlUi == 0", false},
      {"picture without binding", std::make_shared<QlEHostImage>(picture, nullptr),
       "系统错误: qlIo == 0", true},
      {"login without record",
       std::make_shared<QlEHostBtnUser>(nullptr, std::make_shared<QlBtnUserIo>()),
       "系统错误: _qlUi == 0", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string message;
    EXPECT_FALSE(c.host->Check(&message));
    EXPECT_EQ(message, c.message);
    EXPECT_FALSE(c.host->Check(nullptr));
    if (c.host->GetUi()) {
      EXPECT_EQ(c.host->GetUi()->inError, c.marked);
      EXPECT_EQ(c.host->GetUi()->errorText, c.message);
    }
    if (!c.host->GetUi()) {
      // Nothing to place or draw without a record.
      c.host->SetRect({1, 2, 3, 4});
      EXPECT_EQ(c.host->GetRect(), (D2D_RECT_F{}));
      RecordingDrawContext d2;
      c.host->SetSelected(true);
      c.host->Draw(d2.Info());
      c.host->DrawOverlay(d2.Info());
      EXPECT_TRUE(d2.target.calls.empty());
    }
  }
  EXPECT_FALSE(cases[1].host->Revalidate()) << "nothing to bind";
  QlEHostBtnUser login(QlUiBtnUser::QlUiBtnUserAt({0, 0}), nullptr);
  EXPECT_TRUE(login.Check(nullptr)) << "the record alone is checked";
  EXPECT_FALSE(login.Revalidate()) << "nothing to bind";
}

TEST_F(PanelKinds, NoLiveDataOnlineOrOffline) {
  QlEHostPanel panel(D2D_POINT_2F{100, 50});
  QlEHostImage image(D2D_POINT_2F{100, 50});
  QlEHostNavBar navBar(D2D_POINT_2F{100, 50});
  QlEHostBtnUser login(D2D_POINT_2F{100, 50});
  for (bool online : {true, false}) {
    HostOnlineFlag = online;
    for (QlEHostElem* host : std::vector<QlEHostElem*>{&panel, &image, &navBar, &login}) {
      host->OnModeChanged();
      EXPECT_FALSE(host->Refresh()) << host->GetType() << " online " << online;
    }
  }
}

TEST_F(PanelKinds, SelectedElementInErrorShowsItsTipAboveAll) {
  QlEHostImage image(D2D_POINT_2F{100, 50});
  ASSERT_TRUE(image._qlUi->inError);
  RecordingDrawContext unselected;
  image.DrawOverlay(unselected.Info());
  EXPECT_TRUE(unselected.target.calls.empty()) << "no tip while not selected";
  image.SetSelected(true);
  EXPECT_TRUE(image._qlUi->selected);
  RecordingDrawContext selected;
  image.DrawOverlay(selected.Info());
  const auto texts = selected.target.CallsOf(DrawOp::DrawText);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].text, "图片无效");
  image.SetSelected(false);
  EXPECT_FALSE(image._qlUi->selected);
}

TEST_F(PanelKinds, ClonesAreDeepValidatedAndNotSelected) {
  QlEHostPanel panel(D2D_POINT_2F{100, 50});
  panel._qlUi->title = "分组";
  QlEHostImage image(D2D_POINT_2F{100, 50});
  image._qlUi->imagePath = "/no/such/picture.png";
  QlEHostNavBar navBar(D2D_POINT_2F{100, 50});
  navBar._qlIo->targetPages = {"页面1", "页面2"};
  QlEHostBtnUser login(D2D_POINT_2F{100, 50});
  SetVisibility(login, "PLC1.0x3");

  std::vector<std::shared_ptr<QlEHostElem>> copies;
  for (QlEHostElem* host : std::vector<QlEHostElem*>{&panel, &image, &navBar, &login}) {
    SCOPED_TRACE(host->GetType());
    host->SetSelected(true);
    auto copy = std::dynamic_pointer_cast<QlEHostElem>(host->Clone());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->GetType(), host->GetType());
    EXPECT_FALSE(copy->IsSelected());
    EXPECT_FALSE(copy->GetUi()->selected);
    EXPECT_NE(copy->GetUi(), host->GetUi());
    ASSERT_NE(copy->GetIo(), nullptr);
    EXPECT_NE(copy->GetIo(), host->GetIo());
    EXPECT_EQ(copy->GetRect(), host->GetRect());
    // Revalidated: the binding's check alone, so a missing picture file
    // does not mark the copy.
    EXPECT_FALSE(copy->GetUi()->inError) << copy->GetUi()->errorText;
    copy->SetRect({0, 0, 10, 10});
    EXPECT_EQ(host->GetRect().left, 100.0f);
    copies.push_back(copy);
  }
  EXPECT_EQ(coils_->GetSubscriberCount(), 1u) << "the copied login binds its visibility";
  EXPECT_EQ(std::dynamic_pointer_cast<QlEHostPanel>(panel.Clone())->_qlUi->title, "分组");
  auto barCopy = std::dynamic_pointer_cast<QlEHostNavBar>(navBar.Clone());
  EXPECT_EQ(barCopy->_qlIo->targetPages, navBar._qlIo->targetPages);
  EXPECT_EQ(barCopy->_qlUi->labels, navBar._qlUi->labels);
}

}  // namespace
}  // namespace NsOvrin::NsQlElemEditor
