// What the session needs of the components that attach to it. The components themselves
// (queries, datasets, LOB locators, ...) live in their own modules and implement these.
#pragma once

#include <cstdint>
#include <string>

namespace oracle {

// The registries a session keeps, one per kind of attached component.
enum TSessionRegistryKind : std::uint8_t {
  rkQuery,
  rkDataset,
  rkLOBLocator,
  rkObject,
  rkReference,
  rkTimestamp,
  rkPackage,
  rkAlerter,
  rkPipe,
  rkScheduler,
  rkLoader,
  rkCount
};

// Whether the session detaches components of a kind when it is destroyed: queries and five
// further kinds; datasets (and the rest) keep their entry and are left to their own owners.
constexpr bool DetachedAtDestruction(TSessionRegistryKind kind) {
  return kind == rkQuery || kind == rkLOBLocator || kind == rkObject || kind == rkReference ||
         kind == rkTimestamp || kind == rkPackage;
}

class TSessionClient {
 public:
  virtual ~TSessionClient() = default;
  // The session is going away: set your session to none without calling back into it.
  virtual void SessionDetach() = 0;
  // The connection is about to close: close, stop listening or free client handles, as fits the
  // kind. Exceptions are swallowed by the session.
  virtual void SessionLoggingOff() {}
};

class TSessionDataset : public TSessionClient {
 public:
  virtual std::string DatasetName() const = 0;
  virtual bool Active() const = 0;
  virtual void Open() = 0;
  virtual void Close() = 0;  // closes its internal query too
  virtual void DataLinksPropertyChanged() = 0;
  virtual bool Detachable() const { return false; }
  virtual bool Detached() const { return false; }
  virtual void DetachedLogOff() {}
};

}  // namespace oracle
