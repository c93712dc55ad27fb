/* A stand-in transaction-coordinator library: its five entry points (OMIT_OraMTSTransTest drops
   the last one). */
#define EXPORT __attribute__((visibility("default")))

EXPORT unsigned OraMTSSvcGet(void) { return 0; }
EXPORT unsigned OraMTSSvcRel(void) { return 0; }
EXPORT unsigned OraMTSSvcEnlist(void) { return 0; }
EXPORT unsigned OraMTSSvcEnlistEx(void) { return 0; }
#ifndef OMIT_OraMTSTransTest
EXPORT int OraMTSTransTest(void) { return 1; }
#endif
