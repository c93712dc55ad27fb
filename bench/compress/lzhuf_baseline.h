/* Baseline for the benchmark only: the published 1988 LZHUF coder (LZSS by Haruhiko Okumura,
 * adaptive Huffman coding by Haruyasu Yoshizaki, public domain), kept as published except that
 * getc/putc work on memory buffers and the tree rebuild moves whole elements. */
#ifndef LZHUF_BASELINE_H
#define LZHUF_BASELINE_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Writes the 4-byte count and the code bits of in[0..n) to out; returns the bytes written, or 0
 * when cap is too small. Like the published program, an empty input gives the count alone. */
size_t lzhuf_baseline_encode(const unsigned char* in, size_t n, unsigned char* out, size_t cap);

/* Decodes a stream made by lzhuf_baseline_encode into out (the count's bytes, plus up to 59 more
 * when the last match runs over, as the published decoder does); returns the bytes produced. */
size_t lzhuf_baseline_decode(const unsigned char* in, size_t n, unsigned char* out, size_t cap);

#ifdef __cplusplus
}
#endif

#endif
