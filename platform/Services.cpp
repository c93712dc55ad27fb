// The process-wide set of services. The native implementations are made on first use and live
// until the process ends (never destroyed, so no static-destruction order can leave a dangling
// one).
#include "platform/Services.h"

#include "platform/IniFileProfile.h"
#include "platform/SteadyClock.h"
#ifdef _WIN32
#include "platform/WinFileSystem.h"
#include "platform/WinLibraries.h"
#include "platform/WinLocale.h"
#include "platform/WinProcess.h"
#include "platform/WinRegistry.h"
#else
#include "platform/DlLibraries.h"
#include "platform/PosixFileSystem.h"
#include "platform/PosixLocale.h"
#include "platform/PosixProcess.h"
#include "platform/RegFileRegistry.h"
#endif

namespace platform {
namespace {

Services& current() {
  static Services set = [] {
    Services s;
#ifdef _WIN32
    s.registry = new WinRegistry();
    s.libraries = new WinLibraries();
    s.process = new WinProcess();
    s.fileSystem = new WinFileSystem();
    s.locale = new WinLocale();
#else
    s.registry = new RegFileRegistry();
    s.libraries = new DlLibraries();
    s.process = new PosixProcess();
    s.fileSystem = new PosixFileSystem();
    s.locale = new PosixLocale();
#endif
    s.profile = new IniFileProfile();
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
