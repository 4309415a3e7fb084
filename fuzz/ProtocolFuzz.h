#pragma once
// One reply exchange of a codec: the input picks an address of the table and
// whether a read or a write was sent; the request is built as the node would
// build it, then the rest of the input arrives as the reply, in two chunks
// split where the input says. Only a complete read reply may reach the cache
// block.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "FuzzSupport.h"
#include "QlDev/DataTypeFlag.h"
#include "protocol/ProtocolBase.h"
#include "termination/NodeMem.h"

namespace NsOvrin::NsFuzz {

inline void FuzzReply(NsProtocol::ProtocolBase& codec, const NsTermination::NodeMem& map,
                      const std::vector<const char*>& addresses, InputReader& in) {
  using namespace NsOvrin::NsProtocol;
  using namespace NsOvrin::NsTermination;
  NsTermination::TermAddr addr;
  if (map.ParseAddress(addresses[in.Byte() % addresses.size()], addr) != NsTermination::kAddrOk)
    std::abort();  // the table holds only good addresses
  const uint8_t mode = in.Byte();
  const uint8_t split = in.Byte();

  codec.ResetReceive();
  codec.GetMaxUnits(1, addr);
  codec.GetMaxUnits(2, addr);
  const bool write = (mode & 1) != 0;
  if (write) {
    static constexpr uint32_t kTypes[] = {kTypeBit, kTypeInt16, kTypeUInt16, kTypeInt32,
                                          kTypeUInt32};
    const uint32_t type = kTypes[(mode >> 1) % 5];
    std::vector<uint8_t> value(static_cast<std::size_t>(addr.count) * 4 + 8, mode);
    std::vector<uint8_t> request(codec.GetWriteRequestSize(type, addr.count) + 16);
    uint32_t length = 0;
    codec.BuildWriteRequest(addr, type, value.data(), request.data(),
                            static_cast<uint32_t>(request.size()), length);
  } else {
    std::vector<uint8_t> request(codec.GetReadRequestSize(addr) + 16);
    uint32_t length = 0;
    codec.BuildReadRequest(addr, request.data(), static_cast<uint32_t>(request.size()), length);
  }

  const auto block = map.CreateCacheFor(addr);
  // The reply as received: copies of exactly the chunk's bytes, so that a
  // read past a chunk's end is caught.
  const std::size_t first = split == 0 || split > in.Left() ? in.Left() : split;
  const std::vector<uint8_t> head(in.Here(), in.Here() + first);
  in.Text(first);
  const std::vector<uint8_t> tail(in.Here(), in.Here() + in.Left());
  const uint32_t updates = block ? block->GetUpdateCount() : 0;
  uint8_t status = ProtoStatus::MoreData;
  for (const auto* chunk : {&head, &tail}) {
    const uint32_t size = static_cast<uint32_t>(chunk->size());
    status = write ? codec.ParseWriteReply(addr, chunk->data(), size)
                   : codec.ParseReadReply(chunk->data(), size, addr, block.get());
    if (status != ProtoStatus::MoreData) break;
  }
  if (block && (write || status != ProtoStatus::Complete) && block->GetUpdateCount() != updates)
    std::abort();
}

}  // namespace NsOvrin::NsFuzz
