#include "wui/UiServices.h"

#include "wui/QtUiServices.h"

namespace NsOvrin::NsWui {

namespace {

UiServices* g_installed = nullptr;

UiServices& DefaultServices() {
  static QtUiServices services;
  return services;
}

std::vector<std::string> SplitAtBars(const std::string& text) {
  std::vector<std::string> pieces;
  std::string::size_type start = 0;
  for (;;) {
    const auto bar = text.find('|', start);
    if (bar == std::string::npos) {
      pieces.push_back(text.substr(start));
      return pieces;
    }
    pieces.push_back(text.substr(start, bar - start));
    start = bar + 1;
  }
}

}  // namespace

UiServices& GetUiServices() { return g_installed ? *g_installed : DefaultServices(); }

UiServices* SetUiServices(UiServices* services) {
  UiServices* previous = g_installed;
  g_installed = services;
  return previous;
}

std::vector<std::pair<std::string, std::string>> ParseFileFilter(const std::string& filter) {
  std::vector<std::pair<std::string, std::string>> pairs;
  const std::vector<std::string> pieces = SplitAtBars(filter);
  for (std::size_t i = 0; i + 1 < pieces.size(); i += 2) {
    if (pieces[i].empty()) break;
    pairs.emplace_back(pieces[i], pieces[i + 1]);
  }
  return pairs;
}

std::string ToQtFileFilter(const std::string& filter) {
  std::string out;
  for (const auto& [desc, patterns] : ParseFileFilter(filter)) {
    // Qt separates patterns with blanks, and its "*.*" would need a dot in
    // the name: the Windows meaning is every file.
    std::string list;
    std::string::size_type start = 0;
    while (start <= patterns.size()) {
      auto end = patterns.find(';', start);
      if (end == std::string::npos) end = patterns.size();
      std::string one = patterns.substr(start, end - start);
      while (!one.empty() && one.front() == ' ') one.erase(0, 1);
      while (!one.empty() && one.back() == ' ') one.pop_back();
      if (one == "*.*") one = "*";
      if (!one.empty()) {
        if (!list.empty()) list += ' ';
        list += one;
      }
      start = end + 1;
    }
    if (list.empty()) list = "*";
    if (!out.empty()) out += ";;";
    out += desc + " (" + list + ")";
  }
  return out;
}

}  // namespace NsOvrin::NsWui
