// Process-wide state that stays usable until the process is gone. A driver may free its handles
// from an exit handler that runs after this library's static objects would have been destroyed
// (the library is loaded after the driver registered its handler), so such state is made once
// on the heap and never destroyed.
#pragma once

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace ociemu {

template <class T>
T& Lasting() {
  static T* const object = [] {
    T* made = new T();
#if defined(__SANITIZE_ADDRESS__)
    // Kept on purpose; a test that unloads the library would otherwise see it as lost.
    __lsan_ignore_object(made);
#endif
    return made;
  }();
  return *object;
}

}  // namespace ociemu
