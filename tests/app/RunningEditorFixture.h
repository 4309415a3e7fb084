#pragma once
// The editor as a user meets it, headless: the application object and its
// main frame started as main() starts them, a small project on disk opened
// through "打开工程", and its page "P1" open in a page window. The project has
// the pages "P1" (two texts and a number box) and "P2", a serial channel
// with the Modbus RTU device "RTU1", an Ethernet channel with the Modbus TCP
// device "PLC1" and its block 4x0-4x9. Message boxes and pickers go to the
// scripted services; modal dialogs are watched for, recorded by caption and
// closed.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDockWidget>
#include <QFile>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QWindow>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "AppFixture.h"
#include "app/CFileView.h"
#include "app/CPropertiesWnd.h"
#include "app/CViewTree.h"
#include "dialogs/CDlgNewPage.h"
#include "dialogs/CDlgProtPage.h"
#include "dialogs/ProtEditor.h"
#include "editor/QlEHostElem.h"
#include "editor/UiElemCont.h"
#include "project_persistence/PageCommands.h"
#include "project_persistence/PageFile.h"
#include "project_persistence/ProjectCommands.h"
#include "termination/Channel.h"
#include "termination/DevSetup.h"
#include "wui/CConfirmEditCtrl.h"
#include "wui/DlgItem.h"
#include "wui/ModalDriver.h"

namespace NsOvrin::Testing {

// Page "P1": texts A (10, 10)-(110, 40) and C (300, 120)-(380, 160), and a
// number box B (150, 60)-(240, 87) bound to 4x1 of PLC1 between them.
inline const char* const kRunningPageP1 =
    R"({"rect":{"left":0.0,"top":0.0,"right":1000.0,"bottom":700.0},"bk-color":16777215,)"
    R"("access-permission":0,"elements":[)"
    R"({"type":"Text","rect":{"left":10.0,"top":10.0,"right":110.0,"bottom":40.0},)"
    R"("text":"A","text-color":0,"font-size":120,"bk-color":65280,"bk-color-alpha":1.0,)"
    R"("text-align":1,"vertical-align":1,"enable-visib":false,"address-for-visib":"",)"
    R"("show-when-true":true},)"
    R"({"type":"Number","rect":{"left":150.0,"top":60.0,"right":240.0,"bottom":87.0},)"
    R"("text-color":0,"font-size":120,"bk-color":255,"bk-color-alpha":1.0,"border-color":0,)"
    R"("text-align":2,"access-permission":0,"data-type":2,"scale":0,"read-only":false,)"
    R"("enable-min-val":false,"min-val":0,"enable-max-val":false,"max-val":0,)"
    R"("address":"PLC1.4x1","enable-visib":false,"address-for-visib":"","show-when-true":true},)"
    R"({"type":"Text","rect":{"left":300.0,"top":120.0,"right":380.0,"bottom":160.0},)"
    R"("text":"C","text-color":0,"font-size":120,"bk-color":65280,"bk-color-alpha":1.0,)"
    R"("text-align":1,"vertical-align":1,"enable-visib":false,"address-for-visib":"",)"
    R"("show-when-true":true}]})";
inline const char* const kRunningPageP2 =
    R"({"rect":{"left":0.0,"top":0.0,"right":640.0,"bottom":480.0},"bk-color":16777215,)"
    R"("access-permission":0,"elements":[]})";

// "P2" with one picture, at the given path.
inline std::string RunningPictureP2(const std::string& picture) {
  return R"({"rect":{"left":0.0,"top":0.0,"right":640.0,"bottom":480.0},"bk-color":16777215,)"
         R"("access-permission":0,"elements":[{"type":"Picture","rect":{"left":10.0,"top":10.0,)"
         R"("right":50.0,"bottom":50.0},"image-style":0,"image-file-path":")" +
         picture + R"("}]})";
}

// What came up while something ran: the captions of the modal windows (each
// closed at once) and the message boxes.
struct Outcome {
  std::vector<std::string> modals;
  std::vector<std::string> modalClasses;
  std::vector<std::string> boxes;
};

// What the window system delivers (so a window blocked by a modal one gets
// nothing): a click on a tree item, a key, the caption's close box.
inline void ClickItemAsTheUser(QTreeWidget* tree, QTreeWidgetItem* item) {
  tree->scrollToItem(item);
  const QRect rect = tree->visualItemRect(item);
  const QPoint at = tree->viewport()->mapTo(tree->window(), QPoint(rect.left() + 12, rect.center().y()));
  QTest::mouseClick(tree->window()->windowHandle(), Qt::LeftButton, {}, at);
  QCoreApplication::processEvents();
}

inline void ClickAsTheUser(QWidget* widget) {
  const QPoint at = widget->mapTo(widget->window(), widget->rect().center());
  QTest::mouseClick(widget->window()->windowHandle(), Qt::LeftButton, {}, at);
  QCoreApplication::processEvents();
}

// A window's close goes the way of its close box, through the platform.
inline void CloseAsTheUser(QWidget* window) {
  window->windowHandle()->close();
  QCoreApplication::processEvents();
}

inline QTreeWidgetItem* FindItem(QTreeWidget* tree, const char* text) {
  const QList<QTreeWidgetItem*> found =
      tree->findItems(QString::fromUtf8(text), Qt::MatchExactly | Qt::MatchRecursive);
  return found.isEmpty() ? nullptr : found.front();
}

class RunningEditorFixture : public AppFixture {
 protected:
  void SetUp() override {
    AppFixture::SetUp();
    WriteProjectOnDisk();
    frame_ = Start();
    ASSERT_NE(frame_, nullptr);
    frame_->resize(1500, 1000);
    // The tree as wide as its texts, beside the pane's 430.
    frame_->resizeDocks({frame_->GetFileView()}, {260}, Qt::Horizontal);
    QCoreApplication::processEvents();
    OpenThroughTheFileMenu();
    ASSERT_TRUE(QlEProject::Instance().open);
    view_ = OpenPage("P1");
    ASSERT_NE(view_, nullptr);
    ui_.calls.clear();
  }

  void TearDown() override {
    // Nothing may stay online or armed for the next test.
    if (frame_ != nullptr && MainFrameRef && NsTermination::ChannelManager::Instance().IsRunning()) {
      frame_->StopOnline();
    }
    watch_.reset();
    AppFixture::TearDown();
  }

  // The project as the store writes it, then forgotten: the test opens it.
  void WriteProjectOnDisk() {
    QlEProject& project = QlEProject::Instance();
    project.Reset(folder_.Path());
    project.open = true;
    project.width = 1000.0f;
    project.height = 700.0f;
    project.pageNames = {"P1", "P2"};
    project.homePage = "P1";
    WriteFileText(folder_ / "P1.ovpg", kRunningPageP1);
    WriteFileText(folder_ / "P2.ovpg", kRunningPageP2);

    auto serial = std::make_shared<NsTermination::ChannelSerialPort>("S1", NsCommServer::SerialParams{});
    serial->SetDescription("COM1");
    ASSERT_TRUE(Db().AddChannel(serial));
    NsDevDefine::RsDevParam rtu;
    rtu.name = "RTU1";
    rtu.deviceId = NsTermination::kModelModbusRtu;
    rtu.stationNo = 1;
    ASSERT_TRUE(NsTermination::AddRsDev(serial->GetHandle(), rtu));
    auto plc = AddTcpNode(AddEthernet("E0"), "PLC1", 1);
    ASSERT_NE(plc, nullptr);
    AddBlock(*plc, "4x[0~9]", "words");

    ASSERT_TRUE(SaveProjectTo(folder_.Path()));
    project.Reset("");
    ResetProjectRuntime();
  }

  // "打开工程(&O)..." with the project's main file chosen in the picker.
  void OpenThroughTheFileMenu() {
    ui_.PushPath(GetMainFilePath(folder_.Path()));
    Trigger(ID_FILE_OPEN);
    DeleteClosed();
  }

  // Every modal window that opens from now on is recorded and rejected.
  void WatchModals() {
    watch_ = std::make_unique<QObject>();
    auto* timer = new QTimer(watch_.get());
    QObject::connect(timer, &QTimer::timeout, [this] {
      QWidget* modal = QApplication::activeModalWidget();
      if (modal == nullptr) return;
      seen_.modals.push_back(modal->windowTitle().toStdString());
      seen_.modalClasses.push_back(modal->metaObject()->className());
      if (auto* dialog = qobject_cast<QDialog*>(modal)) {
        dialog->reject();
      } else {
        modal->close();
      }
    });
    timer->start(5);
  }

  // Runs action with the watch on; what it brought up.
  Outcome Run(const std::function<void()>& action) {
    seen_ = Outcome{};
    ui_.calls.clear();
    WatchModals();
    action();
    DeleteClosed();
    watch_.reset();
    seen_.boxes = ui_.MessageTexts();
    return seen_;
  }

  // The command as its menu item or button runs it: the first of its
  // actions, triggered.
  void Trigger(int id) {
    frame_->UpdateCommandUI();
    const std::vector<QAction*> actions = frame_->GetCommandActions(id);
    ASSERT_FALSE(actions.empty()) << id;
    actions.front()->trigger();
  }

  // "保存工程", "另存为..." into saveAsInto, "关闭工程" or "退出" from the File
  // menu, "是" answered where the save question comes.
  void GiveFileCommand(int id, const std::string& saveAsInto = std::string()) {
    if (id == ID_FILE_SAVE_AS) ui_.PushPath(saveAsInto);
    if (id == ID_CLOSE_PROJECT || id == ID_APP_EXIT) ui_.PushAnswer(NsWui::IDYES);
    Trigger(id);
  }

  // A double click on the item's text, clear of the branch decoration, as
  // the window system sends it: a click, then the double click and its
  // release.
  void DoubleClickTreeItem(QTreeWidgetItem* item) { DoubleClickTreeItem(*Tree(), item); }
  void DoubleClickTreeItem(QTreeWidget& tree, QTreeWidgetItem* item) {
    tree.scrollToItem(item);
    const QRect rect = tree.visualItemRect(item);
    const QPoint at(rect.right() - 4, rect.center().y());
    QWidget* viewport = tree.viewport();
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                              QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
      QMouseEvent event(type, QPointF(at), viewport->mapToGlobal(QPointF(at)), Qt::LeftButton,
                        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                        Qt::NoModifier);
      QApplication::sendEvent(viewport, &event);
    }
  }

  CPropertiesWnd* Pane() const { return frame_->GetPropertiesPane(); }
  CViewTree* Tree() const { return frame_->GetFileView()->GetTree(); }
  QWidget* ShownPage() const {
    ProtEditor* editor = Pane()->GetCurrentEditor();
    return editor != nullptr ? editor->GetWindow() : nullptr;
  }
  std::shared_ptr<QlEPage> EditedPage() const { return view_->GetCanvas().GetPage(); }
  std::size_t ElementCount() const {
    const auto page = EditedPage();
    return page && page->elements ? page->elements->elems.size() : 0;
  }
  std::shared_ptr<NsQlElemEditor::QlEHostElem> Host(std::size_t i) const {
    const auto page = EditedPage();
    if (!page || !page->elements || i >= page->elements->elems.size()) return nullptr;
    return std::dynamic_pointer_cast<NsQlElemEditor::QlEHostElem>(page->elements->elems[i]->host);
  }

  // The property page of kind in the pane: the page's own (an empty spot of
  // the canvas clicked) or that of a new element of the kind, inserted with
  // its tool where nothing lies, each kind in a place of its own. Null when
  // another page came.
  QWidget* ShowPropertyPageOf(int kind) {
    Click(view_, {700, 600});
    if (kind != CPropertiesWnd::kPageType) {
      Trigger(ID_TOOL_FIRST_ELEM + kind - 1);
      Click(view_, {420 + ((kind - 1) % 4) * 120, 240 + ((kind - 1) / 4) * 110});
      const auto inserted = ElementCount() != 0 ? Host(ElementCount() - 1) : nullptr;
      if (inserted == nullptr || inserted->GetType() != static_cast<uint32_t>(kind)) return nullptr;
    }
    if (Pane()->GetCurrentEditor() != Pane()->GetCreatedPage(kind)) return nullptr;
    return ShownPage();
  }

  // Types the name into the property page of the view's page (an empty spot
  // of its canvas clicked) and confirms it.
  void RenameInThePane(CQuillaneView* view, const std::string& name) {
    ASSERT_NE(view, nullptr);
    Click(view, {700, 600});
    QWidget* page = ShownPage();
    ASSERT_NE(dynamic_cast<CDlgProtPage*>(page), nullptr);
    auto* edit = NsWui::DlgItem<NsWui::CConfirmEditCtrl>(page, CDlgProtPage::IDC_NAME);
    ASSERT_NE(edit, nullptr);
    edit->setFocus(Qt::TabFocusReason);
    edit->selectAll();
    QTest::keyClicks(edit, QString::fromStdString(name));
    QTest::keyClick(edit, Qt::Key_Return);
    ASSERT_EQ(view->GetCanvas().GetPage()->name, name);
  }

  // "新建页面" through the File menu, its dialog confirmed with the name.
  void NewPageThroughTheFileMenu(const std::string& name) {
    NsWui::WhenModal([name](QWidget* modal) {
      auto* dialog = dynamic_cast<CDlgNewPage*>(modal);
      ASSERT_NE(dialog, nullptr);
      NsWui::DlgItem<QLineEdit>(dialog, CDlgNewPage::IDC_NAME)->setText(QString::fromStdString(name));
      NsWui::DlgItem<QPushButton>(dialog, CDlgNewPage::IDC_OK)->click();
    });
    Trigger(ID_FILE_NEW);
    DeleteClosed();
  }

  // The edited page as its file would hold it now.
  std::string PageSnapshot() {
    const std::string dir = folder_ / "snapshot";
    ::mkdir(dir.c_str(), 0755);
    const auto page = EditedPage();
    if (!page) return {};
    if (!SavePageFile(dir, MakePageData(page), SaveRectShift)) return {};
    QFile file(QString::fromStdString(dir + "/" + page->name + ".ovpg"));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll().toStdString();
  }

  CMainFrame* frame_ = nullptr;
  CQuillaneView* view_ = nullptr;
  std::unique_ptr<QObject> watch_;
  Outcome seen_;
};

}  // namespace NsOvrin::Testing
