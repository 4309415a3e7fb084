#pragma once
// The groups of a page as its template lays them out: the separator lines in
// order, each a hidden placeholder, and the group captions with their texts.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "dialogs/ProtDialog.h"
#include "wui/CColorfulStatic.h"
#include "wui/DlgItem.h"

namespace NsOvrin::Testing {

inline void ExpectGroups(const ProtDialog& page, const std::vector<int>& lines,
                         const std::vector<std::pair<int, std::string>>& captions) {
  ASSERT_EQ(page.Separators().size(), lines.size());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const NsWui::SeparatorLine& line = page.Separators()[i];
    EXPECT_EQ(line.anchor, NsWui::GetDlgItem(&page, lines[i])) << lines[i];
    EXPECT_TRUE(line.anchor == nullptr || line.anchor->isHidden()) << lines[i];
    EXPECT_EQ(line.colour, 0xC0C0C0u);
  }
  for (const auto& [id, text] : captions) {
    auto* caption = NsWui::DlgItem<NsWui::CColorfulStatic>(&page, id);
    ASSERT_NE(caption, nullptr) << id;
    EXPECT_EQ(caption->text().toStdString(), text) << id;
  }
}

}  // namespace NsOvrin::Testing
