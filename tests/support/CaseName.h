// Test names for the rows of a case table: "r<index>_<description>", unique by the index and
// telling by the description (the row's text, with what a test name cannot hold spelled out or
// turned into "_"), so that a failure names the row that broke.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

namespace testsupport {

inline std::string CaseName(std::size_t index, std::string_view description,
                            std::size_t maxLength = 48) {
  char number[16];
  std::snprintf(number, sizeof number, "r%03zu_", index);
  std::string name = number;
  auto add = [&name](std::string_view part) {
    if (name.back() != '_') name += '_';
    name += part;
    name += '_';
  };
  for (char c : description) {
    if (name.size() >= maxLength) break;
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
      name += c;
      continue;
    }
    switch (c) {
      case '=':
        add("eq");
        break;
      case '<':
        add("lt");
        break;
      case '>':
        add("gt");
        break;
      case '+':
        add("plus");
        break;
      case '-':
        add("minus");
        break;
      case '*':
        add("times");
        break;
      case '/':
        add("by");
        break;
      default:
        if (name.back() != '_') name += '_';
    }
  }
  while (name.back() == '_') name.pop_back();
  return name;
}

}  // namespace testsupport
