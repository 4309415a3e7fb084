#pragma once
// What a host draws beyond its record: the address label.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "dx2d/RecordingDrawContext.h"
#include "editor/QlEHostElem.h"

namespace NsOvrin::NsQlElemEditor::Testing {

// "" for no label, "[]" for an empty grey box, else the label text. The
// record's own drawing must come first and unchanged.
inline std::string DrawnLabel(QlEHostElem& host) {
  using NsDx2d::DrawCall;
  using NsDx2d::DrawOp;
  NsDx2d::RecordingDrawContext record, full;
  host.GetUi()->DrawWithErrorMark(record.Info());
  host.Draw(full.Info());
  const std::vector<DrawCall>& own = record.target.calls;
  const std::vector<DrawCall>& all = full.target.calls;
  EXPECT_GE(all.size(), own.size());
  for (std::size_t i = 0; i < own.size() && i < all.size(); ++i)
    EXPECT_EQ(all[i].ToString(), own[i].ToString()) << "the record comes first";
  const std::vector<DrawCall> extra(all.begin() + std::min(all.size(), own.size()), all.end());
  if (extra.empty()) return "";
  const D2D_RECT_F r = host.GetRect();
  const D2D_RECT_F box{r.left + 2, r.bottom - 14, r.left + 60, r.bottom - 1};
  EXPECT_EQ(extra[0].op, DrawOp::FillRectangle);
  EXPECT_EQ(extra[0].rect, box);
  EXPECT_EQ(extra[0].colour, 0xF0F0F0u);
  EXPECT_FLOAT_EQ(extra[0].opacity, 0.6f);
  if (extra.size() == 1) return "[]";
  EXPECT_EQ(extra.size(), 2u) << NsDx2d::FormatDrawCalls(extra);
  EXPECT_EQ(extra[1].op, DrawOp::DrawText);
  EXPECT_EQ(extra[1].rect, box);
  EXPECT_EQ(extra[1].colour, 0x000000u);
  return extra[1].text;
}

}  // namespace NsOvrin::NsQlElemEditor::Testing
