#include <gtest/gtest.h>

#include <fstream>

#include <QAction>
#include <QComboBox>
#include <QTemporaryDir>

#include "ProtPageFixture.h"
#include "dialogs/CDlgProtImage.h"
#include "editor/QlEHostImage.h"
#include "wui/MfcEditBrowse.h"

namespace NsOvrin::Testing {
namespace {

using NsQlElemEditor::QlEHostImage;
using NsQlUiElem::QlUiImage;
using NsWui::DlgItem;
using NsWui::MfcEditBrowse;

// Three pictures on real files of a temporary folder; the second anchored
// and stretched.
class ProtImageTest : public ProtPageFixture {
 protected:
  void SetUp() override {
    ProtPageFixture::SetUp();
    ASSERT_TRUE(folder_.isValid());
    for (const char* name : {"pic0.png", "pic1.bmp", "pic2.jpg"}) std::ofstream(Path(name)) << "x";
    int n = 0;
    elems_ = MakeSelection<QlEHostImage>(3, 1, [this, &n] {
      auto host = std::make_shared<QlEHostImage>(NsDx2d::D2D_POINT_2F{70.0f * n, 0.0f});
      host->_qlUi->imageStyle = n == 0 ? 0 : 1;
      host->_qlUi->imagePath = Path("pic" + std::to_string(n) + (n == 1 ? ".bmp" : ".png"));
      host->Revalidate();
      host->Check(nullptr);
      ++n;
      return host;
    });
    page_ = std::make_unique<CDlgProtImage>();
    ShowPage(*page_, *page_);
    page_->Bind(elems_);
  }

  std::string Path(const std::string& name) const {
    return folder_.filePath(QString::fromStdString(name)).toStdString();
  }
  QlUiImage& Ui(int i) { return *HostOf<QlEHostImage>(elems_[i])->_qlUi; }
  QComboBox* Style() { return DlgItem<QComboBox>(page_.get(), CDlgProtImage::IDC_STYLE); }
  MfcEditBrowse* File() { return DlgItem<MfcEditBrowse>(page_.get(), CDlgProtImage::IDC_FILE); }

  QTemporaryDir folder_;
  std::unique_ptr<CDlgProtImage> page_;
  std::vector<std::shared_ptr<UiElem>> elems_;
};

TEST_F(ProtImageTest, BindShowsTheAnchoredPictureAndWritesNothing) {
  ASSERT_FALSE(Ui(0).inError);
  ASSERT_FALSE(Ui(1).inError);
  ASSERT_TRUE(Ui(2).inError) << "pic2.png does not exist";
  EXPECT_EQ(Style()->currentText().toStdString(), "拉伸平铺");
  EXPECT_EQ(Style()->count(), 2);
  EXPECT_EQ(Style()->itemData(0).toInt(), 0);
  EXPECT_EQ(Style()->itemText(0).toStdString(), "实际尺寸");
  EXPECT_EQ(File()->text().toStdString(), Path("pic1.bmp"));
  EXPECT_FALSE(page_->loading);
  EXPECT_EQ(changes_, 0);
  // Setting the path edit reached no picture.
  EXPECT_EQ(Ui(0).imagePath, Path("pic0.png"));
  EXPECT_EQ(Ui(2).imagePath, Path("pic2.png"));
  EXPECT_TRUE(Ui(2).inError);

  // Without a record: the first style and no path.
  HostOf<QlEHostImage>(elems_[1])->_qlUi.reset();
  page_->Bind(elems_);
  EXPECT_EQ(Style()->currentText().toStdString(), "实际尺寸");
  EXPECT_EQ(File()->text().toStdString(), "");
  EXPECT_EQ(changes_, 0);
  EXPECT_EQ(Ui(0).imagePath, Path("pic0.png"));
}

TEST_F(ProtImageTest, AChosenStyleIsWrittenToEveryPicture) {
  struct Case {
    int32_t stored;   // the anchored picture's style before
    int shown;        // the combo's index after Bind
    int chosen;       // the index chosen
    int32_t written;  // what every picture gets
  };
  const Case cases[] = {{1, 1, 0, 0}, {0, 0, 1, 1}, {7, -1, 0, 0}, {-1, -1, 1, 1}};
  int expected = 0;
  for (const Case& c : cases) {
    Ui(1).imageStyle = c.stored;
    page_->Bind(elems_);
    EXPECT_EQ(Style()->currentIndex(), c.shown) << c.stored;
    Style()->setCurrentIndex(c.chosen);
    emit Style()->activated(c.chosen);
    ++expected;
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Ui(i).imageStyle, c.written) << c.stored << " " << i;
    EXPECT_EQ(changes_, expected);
  }
}

TEST_F(ProtImageTest, EveryTypedCharacterWritesThePathAndChecksThePicture) {
  MfcEditBrowse* edit = File();
  edit->setFocus();
  edit->selectAll();
  QTest::keyClick(edit, Qt::Key_Backspace);
  EXPECT_EQ(changes_, 1);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(Ui(i).imagePath, "") << i;
    EXPECT_TRUE(Ui(i).inError) << i;
    EXPECT_EQ(Ui(i).errorText, "图片无效") << i;
  }

  // Character by character: every intermediate text reaches every picture,
  // which stays in error until the text names a file.
  const std::string target = Path("pic0.png");
  QTest::keyClicks(edit, QString::fromStdString(target.substr(0, target.size() - 1)));
  const int typed = static_cast<int>(QString::fromStdString(target).size()) - 1;
  EXPECT_EQ(changes_, 1 + typed);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(Ui(i).imagePath, target.substr(0, target.size() - 1)) << i;
    EXPECT_TRUE(Ui(i).inError) << i;
  }
  QTest::keyClick(edit, 'g');
  EXPECT_EQ(changes_, 2 + typed);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(Ui(i).imagePath, target) << i;
    EXPECT_FALSE(Ui(i).inError) << i;
  }
}

TEST_F(ProtImageTest, ABrowsedFileIsWrittenOnceAndClearsThePictureError) {
  // The first picture also has a visibility fault, which stays.
  HostOf<QlEHostImage>(elems_[0])->_qlIo->GetBaseIoData()->enableVisib = true;
  HostOf<QlEHostImage>(elems_[0])->Revalidate();
  ASSERT_EQ(Ui(0).errorText, "控制可见性的地址为空!");
  ASSERT_EQ(Ui(2).errorText, "图片无效");

  ASSERT_NE(File()->BrowseButton(), nullptr);
  ui_.PushPath(Path("pic2.jpg"));
  File()->BrowseButton()->trigger();
  const auto pickers = ui_.CallsOf(NsWui::UiCall::Kind::OpenFile);
  ASSERT_EQ(pickers.size(), 1u);
  EXPECT_EQ(pickers[0].filter, "图片文件|*.bmp;*.jpg;*.jpeg;*.png;*.tif;*.tiff||");
  EXPECT_EQ(pickers[0].initial, Path("pic1.bmp"));

  EXPECT_EQ(changes_, 1);
  EXPECT_EQ(File()->text().toStdString(), Path("pic2.jpg"));
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Ui(i).imagePath, Path("pic2.jpg")) << i;
  EXPECT_TRUE(Ui(0).inError);
  EXPECT_EQ(Ui(0).errorText, "控制可见性的地址为空!");
  EXPECT_FALSE(Ui(1).inError);
  EXPECT_FALSE(Ui(2).inError);

  // A cancelled picker changes nothing.
  ui_.PushPath(std::nullopt);
  File()->BrowseButton()->trigger();
  EXPECT_EQ(changes_, 1);
  EXPECT_EQ(Ui(1).imagePath, Path("pic2.jpg"));
}

TEST_F(ProtImageTest, TheVisibilityBlockEditsEveryPicture) {
  Click(DlgItem<QAbstractButton>(page_.get(), VisibilityBlock::IDC_ENABLE));
  EXPECT_EQ(changes_, 1);
  TypeAndConfirm(DlgItem<NsWui::CConfirmEditCtrl>(page_.get(), VisibilityBlock::IDC_ADDRESS),
                 "PLC1.0x3");
  EXPECT_EQ(TakeTip(), "");
  EXPECT_EQ(changes_, 2);
  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(HostOf<QlEHostImage>(elems_[i])->_qlIo->GetBaseIoData()->enableVisib) << i;
    EXPECT_EQ(HostOf<QlEHostImage>(elems_[i])->_qlIo->GetVisibAddress(), "PLC1.0x00003") << i;
  }
  EXPECT_FALSE(Ui(1).inError);
  Click(DlgItem<QAbstractButton>(page_.get(), VisibilityBlock::IDC_RADIO2));
  EXPECT_EQ(changes_, 3);
  for (int i = 0; i < 3; ++i) {
    EXPECT_FALSE(HostOf<QlEHostImage>(elems_[i])->_qlIo->GetBaseIoData()->showWhenTrue) << i;
  }
}

TEST_F(ProtImageTest, HidingKeepsTheSelectionUntilTheNextBind) {
  std::weak_ptr<UiElem> watched = elems_[0];
  page_->Hide();
  EXPECT_FALSE(page_->isVisible());
  EXPECT_EQ(page_->selection.size(), 3u);
  elems_.clear();
  EXPECT_FALSE(watched.expired());
  page_->Bind(MakeSelection<QlEHostImage>(
      1, 0, [] { return std::make_shared<QlEHostImage>(NsDx2d::D2D_POINT_2F{}); }));
  EXPECT_TRUE(watched.expired());
}

TEST_F(ProtImageTest, AShortPaneStillScrollsToTheLastControl) {
  const int content = page_->contentHeight;
  page_->resize(page_->width(), 120);
  page_->Bind(elems_);
  EXPECT_EQ(page_->contentHeight, content);
  page_->OnVScroll(ProtEditor::SB_BOTTOM, 0);
  QWidget* last = NsWui::GetDlgItem(page_.get(), VisibilityBlock::IDC_RADIO2);
  EXPECT_LE(last->geometry().bottom(), page_->height());
  EXPECT_GE(last->y(), 0);
}

}  // namespace
}  // namespace NsOvrin::Testing
