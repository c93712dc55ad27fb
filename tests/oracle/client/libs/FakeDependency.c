/* A library the own-folder stand-in client depends on; it lies beside that client only. */
__attribute__((visibility("default"))) int fake_dependency_value(void) { return 7; }
