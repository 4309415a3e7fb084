#pragma once
// Whole-file comparisons for the round-trip checks of the file harnesses.
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace NsOvrin::NsFuzz {

inline std::string ReadBack(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// What a reader took from a file it wrote itself is written again unchanged.
inline void ExpectSameFiles(const std::string& first, const std::string& second) {
  if (ReadBack(first) != ReadBack(second)) std::abort();
}

}  // namespace NsOvrin::NsFuzz
