// The one place that holds the operating-system services the layer uses.
// Each defaults to the native implementation; tests swap any of them with ScopedServices.
#pragma once

namespace platform {

class Registry;
class Profile;
class Libraries;
class Process;
class FileSystem;
class Locale;
class Clock;

struct Services {
  Registry* registry = nullptr;
  Profile* profile = nullptr;
  Libraries* libraries = nullptr;
  Process* process = nullptr;
  FileSystem* fileSystem = nullptr;
  Locale* locale = nullptr;
  Clock* clock = nullptr;
};

// The services in force. Never null members: unset ones fall back to the native implementation.
const Services& services();
Registry& registry();
Profile& profile();
Libraries& libraries();
Process& process();
FileSystem& fileSystem();
Locale& locale();
Clock& clock();

// Replaces the given (non-null) members for its lifetime and restores the previous set after.
// Not thread-safe: install before starting threads, as tests do.
class ScopedServices {
 public:
  explicit ScopedServices(const Services& replacements);
  ~ScopedServices();
  ScopedServices(const ScopedServices&) = delete;
  ScopedServices& operator=(const ScopedServices&) = delete;

 private:
  Services previous_;
};

}  // namespace platform
