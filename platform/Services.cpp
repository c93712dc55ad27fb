// The process-wide set of services. The native implementations are made on first use and live
// until the process ends (never destroyed, so no static-destruction order can leave a dangling
// one).
#include "platform/Services.h"

#include "platform/DlLibraries.h"
#include "platform/IniFileProfile.h"
#include "platform/PosixFileSystem.h"
#include "platform/PosixLocale.h"
#include "platform/PosixProcess.h"
#include "platform/RegFileRegistry.h"
#include "platform/SteadyClock.h"

namespace platform {
namespace {

Services& current() {
  static Services set = [] {
    Services s;
    s.registry = new RegFileRegistry();
    s.profile = new IniFileProfile();
    s.libraries = new DlLibraries();
    s.process = new PosixProcess();
    s.fileSystem = new PosixFileSystem();
    s.locale = new PosixLocale();
    s.clock = new SteadyClock();
    return s;
  }();
  return set;
}

}  // namespace

const Services& services() {
  return current();
}
Registry& registry() {
  return *current().registry;
}
Profile& profile() {
  return *current().profile;
}
Libraries& libraries() {
  return *current().libraries;
}
Process& process() {
  return *current().process;
}
FileSystem& fileSystem() {
  return *current().fileSystem;
}
Locale& locale() {
  return *current().locale;
}
Clock& clock() {
  return *current().clock;
}

ScopedServices::ScopedServices(const Services& replacements) : previous_(current()) {
  Services& set = current();
  if (replacements.registry != nullptr) set.registry = replacements.registry;
  if (replacements.profile != nullptr) set.profile = replacements.profile;
  if (replacements.libraries != nullptr) set.libraries = replacements.libraries;
  if (replacements.process != nullptr) set.process = replacements.process;
  if (replacements.fileSystem != nullptr) set.fileSystem = replacements.fileSystem;
  if (replacements.locale != nullptr) set.locale = replacements.locale;
  if (replacements.clock != nullptr) set.clock = replacements.clock;
}

ScopedServices::~ScopedServices() {
  current() = previous_;
}

}  // namespace platform
