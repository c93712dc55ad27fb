// The options of the filter parse in progress on this thread, copied into every node created
// meanwhile (also into nodes that the host's name resolver creates). Kept per thread and per
// parse, so that parses on different threads, or a parse started from inside a resolver, never
// see each other's options.
#pragma once

namespace oracle::filter_internal {

struct NodeOptions {
  bool caseInsensitive = false;
  bool partialMatch = true;
};

const NodeOptions& currentNodeOptions();

// Puts options in force on this thread for its lifetime and restores the previous ones after.
class NodeOptionsScope {
 public:
  explicit NodeOptionsScope(const NodeOptions& options);
  ~NodeOptionsScope();
  NodeOptionsScope(const NodeOptionsScope&) = delete;
  NodeOptionsScope& operator=(const NodeOptionsScope&) = delete;

 private:
  NodeOptions previous_;
};

}  // namespace oracle::filter_internal
