// The client's session pool: connections kept open between uses, handed out by OCISessionGet
// and taken back by OCISessionRelease, found by the pool name OCISessionPoolCreate gives.
#pragma once

#include <string>
#include <vector>

#include "ociemu/internal/Handles.h"

namespace ociemu {

class PoolHandle : public Handle {
 public:
  using Handle::Handle;
  // Closes every connection of the pool and forgets its name.
  void Release() override;
  void CloseAll();

  struct Entry {
    std::shared_ptr<SvcCtxHandle> svc;
    std::string user;  // the account name, upper-cased as the server keeps it
    bool busy = false;
  };

  bool created = false;
  std::string name;
  std::string connect;
  std::string user;
  std::string password;
  bool homogeneous = false;
  ub4 min = 0, max = 0, increment = 1, timeout = 0, stmtCacheSize = 20;
  ub1 getMode = 0;
  std::vector<Entry> entries;
};

// The pool of that name, when it exists.
std::shared_ptr<PoolHandle> FindPool(const std::string& name);
void RegisterPool(const std::shared_ptr<PoolHandle>& pool);
void UnregisterPool(const std::string& name);

}  // namespace ociemu
