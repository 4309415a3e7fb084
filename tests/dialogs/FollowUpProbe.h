#pragma once
// Which follow-up an edit gave an element. Arming turns on a visibility
// address the binding has not bound and marks the record with a made-up
// error: binding again binds that address, a check alone replaces the
// error by its own verdict, and an edit without follow-up leaves both.
#include <gtest/gtest.h>

#include <ostream>

#include "editor/QlEHostElem.h"

namespace NsOvrin::Testing {

enum class SeenFollowUp { None, Check, Revalidate };

inline std::ostream& operator<<(std::ostream& out, SeenFollowUp seen) {
  switch (seen) {
    case SeenFollowUp::None: return out << "None";
    case SeenFollowUp::Check: return out << "Check";
    case SeenFollowUp::Revalidate: return out << "Revalidate";
  }
  return out;
}

inline void ArmFollowUpProbe(NsQlElemEditor::QlEHostElem& host) {
  NsQlElemIo::BaseIoData* data = host.GetIo()->GetBaseIoData();
  ASSERT_NE(data, nullptr);
  ASSERT_EQ(host.GetIo()->GetVisibAddr().count, 0) << "the probe's address must not be bound yet";
  data->enableVisib = true;
  data->addressForVisib = "PLC1.0x00004";
  host.GetUi()->inError = true;
  host.GetUi()->errorText = "probe";
}

// Releases the probe's binding and turns the visibility off again, the
// error mark recomputed.
inline void DisarmFollowUpProbe(NsQlElemEditor::QlEHostElem& host) {
  NsQlElemIo::BaseIoData* data = host.GetIo()->GetBaseIoData();
  data->enableVisib = true;
  data->addressForVisib.clear();
  host.Revalidate();
  data->enableVisib = false;
  host.Revalidate();
}

inline SeenFollowUp ReadFollowUpProbe(const NsQlElemEditor::QlEHostElem& host) {
  if (host.GetIo()->GetVisibAddr().count == 1) return SeenFollowUp::Revalidate;
  if (host.GetUi()->errorText != "probe") return SeenFollowUp::Check;
  return SeenFollowUp::None;
}

}  // namespace NsOvrin::Testing
