#pragma once
// Called by a cache block when a reply changed its bytes.

namespace NsOvrin::NsTermination {

class CacheVarBlock;

class CvbListener {
 public:
  virtual ~CvbListener() = default;
  // Runs on the node's polling thread with the block's listener lock held
  // shared: it may read the block, but must not (un)register listeners of it.
  virtual void OnBlockChanged(CacheVarBlock& block) = 0;
};

}  // namespace NsOvrin::NsTermination
