#include <gtest/gtest.h>

#include <QAction>

#include "support/ScriptedUiServices.h"
#include "wui/MfcEditBrowse.h"

namespace NsOvrin::NsWui {
namespace {

TEST(MfcEditBrowse, FolderButtonFillsTheEditFromThePicker) {
  ScriptedUiServices ui;
  MfcEditBrowse edit;
  EXPECT_EQ(edit.BrowseButton(), nullptr);
  edit.EnableFolderBrowseButton();
  ASSERT_NE(edit.BrowseButton(), nullptr);
  edit.setText(QStringLiteral(" /home/用户 "));

  ui.PushPath(std::string("/home/用户/工程"));
  edit.BrowseButton()->trigger();
  EXPECT_EQ(edit.text(), QStringLiteral("/home/用户/工程"));

  // Cancelled: the text stays.
  edit.BrowseButton()->trigger();
  EXPECT_EQ(edit.text(), QStringLiteral("/home/用户/工程"));

  const auto calls = ui.CallsOf(UiCall::Kind::Folder);
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].initial, "/home/用户");
  EXPECT_EQ(calls[0].widget, &edit);
  EXPECT_EQ(calls[1].initial, "/home/用户/工程");
}

TEST(MfcEditBrowse, FileButtonPassesFilterAndCurrentPath) {
  ScriptedUiServices ui;
  MfcEditBrowse edit;
  edit.EnableFileBrowseButton("图片|*.png;*.bmp||");
  edit.setText(QStringLiteral("/tmp/a.png"));
  ui.PushPath(std::string("/tmp/b.bmp"));
  edit.BrowseButton()->trigger();
  EXPECT_EQ(edit.text(), QStringLiteral("/tmp/b.bmp"));
  const auto calls = ui.CallsOf(UiCall::Kind::OpenFile);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].filter, "图片|*.png;*.bmp||");
  EXPECT_EQ(calls[0].initial, "/tmp/a.png");

  edit.DisableBrowseButton();
  EXPECT_EQ(edit.BrowseButton(), nullptr);
  EXPECT_TRUE(edit.actions().isEmpty());
}

}  // namespace
}  // namespace NsOvrin::NsWui
