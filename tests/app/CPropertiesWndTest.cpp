#include <gtest/gtest.h>

#include <QImage>
#include <map>
#include <QLineEdit>
#include <QPointer>
#include <QStyle>

#include "QlUiElem/QlUiElemDef.h"
#include "QlUiElem/QlUiText.h"
#include "app/CPropertiesWnd.h"
#include "dialogs/CDlgProtPage.h"
#include "dialogs/CDlgProtText.h"
#include "dialogs/ProtEditor.h"
#include "dialogs/UiElemProtEditor.h"
#include "dialogs/UiPageProtEditor.h"
#include "editor/EditorGlobals.h"
#include "editor/QlEHostFactory.h"
#include "editor/QlEHostText.h"
#include "editor/QlEPage.h"
#include "editor/UiElemSelListener.h"
#include "support/ScriptedUiServices.h"
#include "termination/NodeDbFixture.h"
#include "wui/DlgItem.h"
#include "wui/QtUiServices.h"

namespace NsOvrin::Testing {
namespace {

using namespace NsQlUiElem;
using NsQlElemEditor::QlEHostText;
using NsUiD2ElemEditor::UiElem;
using NsUiD2ElemEditor::UiElemSelListener;
using Selection = std::vector<std::shared_ptr<UiElem>>;

class PropertyPane : public NsTermination::Testing::NodeDbFixture {
 protected:
  void SetUp() override {
    NodeDbFixture::SetUp();
    HostOnlineFlag = false;
    auto node = AddTcpNode(AddEthernet("ETH1"), "PLC1");
    ASSERT_NE(node, nullptr);
    AddBlock(*node, "4x[0~99]", "words");
    pane_ = std::make_unique<CPropertiesWnd>();
    pane_->resize(480, 640);
    pane_->show();
    pane_->changeCallback = [this] { ++changes_; };
  }
  void TearDown() override {
    pane_.reset();
    NodeDbFixture::TearDown();
  }

  // count new elements of the kind; the one at anchored is flagged.
  // Empty for a kind that has no elements yet.
  static Selection Make(int type, int count, int anchored = 0) {
    Selection elems;
    for (int i = 0; i < count; ++i) {
      auto elem = NsQlElemEditor::CreateNewElem(static_cast<unsigned>(type),
                                                {10.0f + 50.0f * static_cast<float>(i), 10.0f});
      // Kinds without a host have no elements.
      if (!elem) return {};
      elem->anchored = i == anchored;
      elems.push_back(elem);
    }
    return elems;
  }
  static Selection Texts(int count, int anchored = 0) {
    Selection elems = Make(kElemText, count, anchored);
    for (int i = 0; i < count; ++i) Ui(elems[i]).textBox.text = "文字" + std::to_string(i);
    return elems;
  }
  static QlUiText& Ui(const std::shared_ptr<UiElem>& elem) {
    return *std::dynamic_pointer_cast<QlEHostText>(elem->host)->_qlUi;
  }
  static Selection Join(Selection a, const Selection& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
  }

  QWidget* Shown() const {
    ProtEditor* editor = pane_->GetCurrentEditor();
    return editor != nullptr ? editor->GetWindow() : nullptr;
  }
  QImage Client() const { return pane_->GetClientArea()->grab().toImage(); }
  // Whether the middle row of the client area holds any text-coloured pixel.
  bool ShowsEmptyText() const {
    const QImage image = Client();
    const QRgb background = NsWui::ColorRefToQColor(CPropertiesWnd::kBackgroundColour).rgb();
    if (image.pixel(1, 1) != background) return false;
    const int y = image.height() / 2;
    for (int x = 0; x < image.width(); ++x) {
      if (qGray(image.pixel(x, y)) < 100) return true;
    }
    return false;
  }

  std::unique_ptr<CPropertiesWnd> pane_;
  int changes_ = 0;
  NsWui::ScriptedUiServices ui_;
};

TEST_F(PropertyPane, StartsEmptyAndListensToTheSelection) {
  EXPECT_EQ(pane_->windowTitle().toStdString(), "属性");
  EXPECT_EQ(pane_->GetCurrentEditor(), nullptr);
  EXPECT_TRUE(ShowsEmptyText());
  const auto& registry = UiElemSelListener::GetRegistry();
  EXPECT_EQ(std::count(registry.begin(), registry.end(), pane_.get()), 1);
  for (int type = 0; type <= kElemOVTable; ++type) EXPECT_EQ(pane_->GetCreatedPage(type), nullptr);
}

TEST_F(PropertyPane, ShowsThePageOfTheSelectedKindBoundToTheSelection) {
  const Selection texts = Texts(2, 1);
  pane_->OnSelectionChanged(texts);
  auto* page = dynamic_cast<CDlgProtText*>(pane_->GetCurrentEditor());
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(pane_->GetCreatedPage(kElemText), page);
  EXPECT_EQ(page->parentWidget(), pane_->GetClientArea());
  EXPECT_TRUE(page->isVisible());
  EXPECT_EQ(page->geometry(), pane_->GetClientArea()->rect());
  EXPECT_FALSE(page->isWindow()) << "a child of the pane, not a window";
  EXPECT_EQ(page->selection, texts);
  EXPECT_EQ(NsWui::DlgItem<QLineEdit>(page, CDlgProtText::IDC_TEXT)->text().toStdString(),
            "文字1") << "the anchored element";
  EXPECT_EQ(page->changeCallback, &pane_->changeCallback);
  const int scrollBar = pane_->GetClientArea()->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  EXPECT_EQ(pane_->GetClientArea()->minimumSize(),
            QSize(page->contentWidth + scrollBar + 6, CPropertiesWnd::kMinimumHeight));
  EXPECT_FALSE(ShowsEmptyText());
  EXPECT_EQ(changes_, 0) << "binding writes nothing";

  // A third text rebinds the same page.
  const Selection three = Join(texts, Texts(1, -1));
  pane_->OnSelectionChanged(three);
  EXPECT_EQ(pane_->GetCurrentEditor(), page);
  EXPECT_EQ(pane_->GetCreatedPage(kElemText), page);
  EXPECT_EQ(page->selection, three);
}

TEST_F(PropertyPane, AnAcceptedEditReachesEverySelectedElementAndTheCallbackOnce) {
  const Selection texts = Texts(3, 1);
  pane_->OnSelectionChanged(texts);
  auto* edit = NsWui::DlgItem<QLineEdit>(Shown(), CDlgProtText::IDC_TEXT);
  ASSERT_NE(edit, nullptr);
  edit->setText("新文字");
  for (const auto& elem : texts) EXPECT_EQ(Ui(elem).textBox.text, "新文字");
  EXPECT_EQ(changes_, 1);

  // Without a callback the edit still reaches the elements.
  pane_->changeCallback = nullptr;
  edit->setText("再改");
  for (const auto& elem : texts) EXPECT_EQ(Ui(elem).textBox.text, "再改");
  EXPECT_EQ(changes_, 1);
}

TEST_F(PropertyPane, MixedKindsShowNoPage) {
  pane_->OnSelectionChanged(Texts(1));
  QWidget* textPage = Shown();
  ASSERT_NE(textPage, nullptr);
  pane_->OnSelectionChanged(Join(Texts(1), Make(kElemNumber, 1)));
  EXPECT_EQ(pane_->GetCurrentEditor(), nullptr);
  EXPECT_FALSE(textPage->isVisible());
  EXPECT_TRUE(dynamic_cast<UiElemProtEditor*>(pane_->GetCreatedPage(kElemText))->selection.empty())
      << "a hidden page lets its selection go";
  EXPECT_EQ(pane_->GetCreatedPage(kElemNumber), nullptr) << "no page is made for a mix";
  EXPECT_TRUE(ShowsEmptyText());
}

TEST_F(PropertyPane, EachKindKeepsOnePageForTheLifeOfThePane) {
  const int kinds[] = {kElemText, kElemNumber, kElemString, kElemNumber, kElemText};
  std::map<int, ProtEditor*> made;
  ProtEditor* previous = nullptr;
  for (int kind : kinds) {
    SCOPED_TRACE(kind);
    pane_->OnSelectionChanged(Make(kind, 2));
    ProtEditor* editor = pane_->GetCurrentEditor();
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(made.emplace(kind, editor).first->second == editor) << "made once";
    EXPECT_TRUE(editor->GetWindow()->isVisible());
    if (previous != nullptr && previous != editor) {
      EXPECT_FALSE(previous->GetWindow()->isVisible());
    }
    previous = editor;
  }
  EXPECT_EQ(made.size(), 3u);
}

TEST_F(PropertyPane, SelectionsThatNameNoKindChangeNothing) {
  pane_->OnSelectionChanged(Texts(1));
  ProtEditor* shown = pane_->GetCurrentEditor();
  ASSERT_NE(shown, nullptr);
  pane_->OnSelectionChanged({});
  EXPECT_EQ(pane_->GetCurrentEditor(), shown);
  // Wrappers without a host are of no kind.
  pane_->OnSelectionChanged({std::make_shared<UiElem>(), std::make_shared<UiElem>()});
  EXPECT_EQ(pane_->GetCurrentEditor(), shown);
  EXPECT_TRUE(shown->GetWindow()->isVisible());
  // Mixed with an element, they are another kind.
  pane_->OnSelectionChanged(Join(Texts(1), {std::make_shared<UiElem>()}));
  EXPECT_EQ(pane_->GetCurrentEditor(), nullptr);
}

TEST_F(PropertyPane, EveryKindInTheTableShowsItsPageOrNone) {
  const auto& kinds = CPropertiesWnd::PageKinds();
  ASSERT_EQ(kinds.size(), 15u);
  EXPECT_EQ(kinds[0].type, CPropertiesWnd::kPageType);
  EXPECT_EQ(kinds[0].templateId, CDlgProtPage::IDD);
  const int scrollBar = pane_->GetClientArea()->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  for (const CPropertiesWnd::PageKind& kind : kinds) {
    if (kind.type == CPropertiesWnd::kPageType) continue;
    SCOPED_TRACE(kind.templateId);
    pane_->OnSelectionChanged(Texts(1));
    ASSERT_NE(pane_->GetCurrentEditor(), nullptr);
    const Selection elems = Make(kind.type, 2);
    if (elems.empty()) continue;
    pane_->OnSelectionChanged(elems);
    ProtEditor* editor = pane_->GetCurrentEditor();
    if (kind.make == nullptr) {
      EXPECT_EQ(editor, nullptr);
      EXPECT_TRUE(ShowsEmptyText());
      continue;
    }
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(pane_->GetCreatedPage(kind.type), editor);
    EXPECT_NE(dynamic_cast<UiElemProtEditor*>(editor), nullptr);
    EXPECT_TRUE(editor->GetWindow()->isVisible());
    EXPECT_FALSE(editor->GetWindow()->isWindow());
    // Wide enough for the page's content and a scroll bar.
    EXPECT_EQ(pane_->GetClientArea()->minimumWidth(), editor->contentWidth + scrollBar + 6);
  }
}

TEST_F(PropertyPane, NothingSelectedShowsThePagesOwnPage) {
  auto page = std::make_shared<QlEPage>("画面");
  pane_->OnSelectionChanged(Texts(1));
  pane_->OnPageSelected(page);
  auto* editor = dynamic_cast<CDlgProtPage*>(pane_->GetCurrentEditor());
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(pane_->GetCreatedPage(CPropertiesWnd::kPageType), editor);
  EXPECT_EQ(editor->page, page);
  EXPECT_TRUE(editor->isVisible());
  EXPECT_FALSE(pane_->GetCreatedPage(kElemText)->GetWindow()->isVisible());
  EXPECT_EQ(editor->changeCallback, &pane_->changeCallback);

  pane_->OnPageSelected(page);
  EXPECT_EQ(pane_->GetCurrentEditor(), editor);
  // No page, nothing to edit.
  pane_->OnPageSelected(nullptr);
  EXPECT_EQ(pane_->GetCurrentEditor(), nullptr);
  EXPECT_FALSE(editor->isVisible());
}

TEST_F(PropertyPane, AVanishingSelectionEmptiesThePane) {
  pane_->OnSelectionChanged(Texts(2));
  QWidget* page = Shown();
  ASSERT_NE(page, nullptr);
  UiElemSelListener::NotifySelectionCleared();
  EXPECT_EQ(pane_->GetCurrentEditor(), nullptr);
  EXPECT_FALSE(page->isVisible());
  EXPECT_TRUE(ShowsEmptyText());
  pane_->OnSelectionCleared();
  EXPECT_EQ(pane_->GetCurrentEditor(), nullptr);
}

TEST_F(PropertyPane, TheShownPageFillsThePaneAsItIsResized) {
  pane_->OnSelectionChanged(Texts(1));
  pane_->resize(520, 400);
  QWidget* client = pane_->GetClientArea();
  EXPECT_EQ(Shown()->geometry(), client->rect());
  EXPECT_EQ(Shown()->height(), client->height());
  // The separator runs along the page's right edge, in the pane's grey.
  Shown()->resize(client->width() - 20, client->height());
  const QImage image = Client();
  const QRgb separator = NsWui::ColorRefToQColor(CPropertiesWnd::kSeparatorColour).rgb();
  const QRgb background = NsWui::ColorRefToQColor(CPropertiesWnd::kBackgroundColour).rgb();
  EXPECT_EQ(image.pixel(client->width() - 20, client->height() - 2), separator);
  EXPECT_EQ(image.pixel(client->width() - 5, 5), background);
}

TEST_F(PropertyPane, LeavesTheRegistryAndTakesItsPagesAlong) {
  pane_->OnSelectionChanged(Texts(1));
  pane_->OnSelectionChanged(Make(kElemNumber, 1));
  const QPointer<QWidget> text = pane_->GetCreatedPage(kElemText)->GetWindow();
  const QPointer<QWidget> number = pane_->GetCreatedPage(kElemNumber)->GetWindow();
  const UiElemSelListener* listener = pane_.get();
  pane_.reset();
  EXPECT_TRUE(text.isNull());
  EXPECT_TRUE(number.isNull());
  const auto& registry = UiElemSelListener::GetRegistry();
  EXPECT_EQ(std::find(registry.begin(), registry.end(), listener), registry.end());
  UiElemSelListener::NotifySelectionCleared();
}

}  // namespace
}  // namespace NsOvrin::Testing
