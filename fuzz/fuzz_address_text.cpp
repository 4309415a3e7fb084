// Address texts: through each memory map on its own, and as "node.address"
// against a node database with a device of every polled model.
#include <cstdlib>

#include "FuzzSupport.h"
#include "QlDev/DeviceAddress.h"
#include "termination/AddrBinder.h"
#include "termination/NodeMemHxU.h"
#include "termination/NodeMemMitsFx.h"
#include "termination/NodeMemModbus.h"

namespace {

using namespace NsOvrin;
using namespace NsOvrin::NsTermination;

void ThroughMap(const NodeMem& map, const std::string& text) {
  map.NormalizeText(text);
  MemArea area;
  map.FindArea(text, area);
  TermAddr addr;
  if (map.ParseAddress(text, addr) != kAddrOk) return;
  map.CheckBlockRange(addr);
  map.GetByteCount(addr);
  // What the map writes for a descriptor it parsed reads back as the same one.
  const std::string formatted = map.FormatAddress(addr.prefix, addr.start, addr.count, addr.lastAddress);
  TermAddr again;
  if (map.ParseAddress(formatted, again) != kAddrOk || again.prefix != addr.prefix ||
      again.start != addr.start || again.count != addr.count || again.kind != addr.kind)
    std::abort();
  TermAddr moved = addr;
  map.Relocate(moved, text);
  map.StepAddress(moved);
  map.AlignBitBlock(moved);
  map.CreateCacheFor(addr);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static const NodeMemModbus modbus;
  static const NodeMemHxU hxu;
  static const NodeMemMitsFx fx;
  static const bool loaded = (NsFuzz::LoadFixedNodeDb(true), true);
  (void)loaded;

  const std::string text(reinterpret_cast<const char*>(data), size);
  for (const NodeMem* map : {static_cast<const NodeMem*>(&modbus), static_cast<const NodeMem*>(&hxu),
                             static_cast<const NodeMem*>(&fx)})
    ThroughMap(*map, text);

  std::string node, address;
  SplitDeviceAddress(text, node, address);
  ResolveDeviceAddress(text, nullptr, nullptr, nullptr);
  NormalizeDeviceAddress(text);
  CheckDeviceAddress(text, true);
  CheckDeviceAddressKind(text, kKindBit);
  std::string looked = text;
  MemArea area;
  LookupAddressArea(looked, area);

  // A binding with a subscription, as an element makes it, then undone.
  std::string bound = text;
  OneWayWrapper<Node> handle;
  TermAddr addr;
  std::shared_ptr<TaskReadData> task;
  uint16_t offset = 0;
  AddrBinder binder{&handle, &addr, kTypeUInt32, &task, &offset};
  BindAddressWithCount(bound, static_cast<uint16_t>(size % 5), binder);
  ReleaseBinding(binder);
  return 0;
}
