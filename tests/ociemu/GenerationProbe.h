/* A client program of the kind written for the real client library, in C: it tells the
   client's generation from the entry points the library exports and then calls that
   generation's entry points without checking each for presence, as such drivers do. */
#ifndef OCIEMU_TESTS_GENERATION_PROBE_H
#define OCIEMU_TESTS_GENERATION_PROBE_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* 70, 80, 81, 90 or 92, from the newest entry point the library has. */
int probe_generation(void* library);

/* Logs on as user/password at database, runs a query and the helper packages of the
   generation, and logs off. Returns the number of calls that gave an unexpected result and
   describes the first in problem. */
int probe_run(void* library, const char* user, const char* password, const char* database,
              char* problem, size_t problem_size);

#ifdef __cplusplus
}
#endif

#endif
