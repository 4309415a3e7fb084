#include "alarm/HistData.h"

namespace NsOvrin::NsAlarm {

void HistData::WriteArchive(ArchiveWriter& ar) const {
  ar.WriteI64(onTime);
  ar.WriteI64(offTime);
  ar.WriteString(sourceText);
  ar.WriteString(message);
}

bool HistData::ReadArchive(ArchiveReader& ar) {
  HistData r;
  if (!ar.ReadI64(r.onTime) || !ar.ReadI64(r.offTime) || !ar.ReadString(r.sourceText) ||
      !ar.ReadString(r.message))
    return false;
  *this = std::move(r);
  return true;
}

}  // namespace NsOvrin::NsAlarm
