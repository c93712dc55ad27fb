/* A tiny shared library for the library-loading tests. */
int dbl_sample_answer(void) { return 42; }
