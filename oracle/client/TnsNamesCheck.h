// Finding the parenthesis mistakes in a tnsnames.ora that make names vanish without a word. The
// reading of the file itself (NetServiceNames.h) is not changed by this: it counts parentheses
// from line to line, so a definition that never closes swallows every name after it, and a ")"
// too many hides everything until a "(" makes up for it. This check tells the user where.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace oracle {

struct TnsNamesBalance {
  enum Kind { Balanced, Unclosed, ExtraClose };
  Kind kind = Balanced;
  int line = 0;                          // 1-based: the open definition's line, or the extra ")"
  std::string name;                      // Unclosed: the name of the definition left open
  std::vector<std::string> hiddenNames;  // definitions that start a line but were not read
};

// Checks the text of one file the way the reader counts: "#" in the first column makes a comment
// line, the count starts at 0 for each file. Reports the first mistake that hides names or is
// left open at the end.
TnsNamesBalance CheckTnsNamesBalance(std::string_view text);

}  // namespace oracle
