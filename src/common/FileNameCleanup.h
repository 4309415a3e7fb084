#pragma once
// Whether a text can be used as it stands as a file name. Names are checked
// against what Windows would refuse too, so that a project stays portable.
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace NsOvrin {

// Result flags; 0 means the name would be kept as it is.
inline constexpr uint32_t PCS_REPLACEDCHAR = 0x1;   // \ / : * ? " < > |
inline constexpr uint32_t PCS_REMOVEDCHAR = 0x2;    // control characters
inline constexpr uint32_t PCS_PATHTOOLONG = 0x8;    // longer than one file name may be
inline constexpr uint32_t PCS_FATAL = 0x80000000u;  // empty or not UTF-8

// The longest file name: 255 bytes here, 255 UTF-16 units on Windows.
inline constexpr std::size_t kMaxFileNameBytes = 255;
inline constexpr std::size_t kMaxFileNameUnits = 255;

// The changes a file-name clean-up would make to name (a single name, not a
// path), as PCS_* flags.
uint32_t FileNameCleanupFlags(std::string_view name);

}  // namespace NsOvrin
