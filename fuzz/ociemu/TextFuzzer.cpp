// Texts the server parses from its users: connect descriptors, Easy Connect texts, numbers and
// dates with their format models.
#include <cstddef>
#include <cstdint>
#include <string>

#include "ociemu/internal/NetConfig.h"
#include "ociemu/internal/OraDate.h"
#include "ociemu/internal/OraNumber.h"
#include "ociemu/internal/OracleError.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const size_t split = input.find('\n');
  const std::string first = input.substr(0, split);
  const std::string second = split == std::string::npos ? "" : input.substr(split + 1);
  auto guarded = [](auto&& f) {
    try {
      f();
    } catch (const ociemu::OracleError&) {
    }
  };
  guarded([&] { ociemu::ParseDescriptor(input); });
  guarded([&] { ociemu::ParseEasyConnect(input); });
  guarded([&] { ociemu::ParseDate(first, second); });
  guarded([&] { ociemu::FormatDate(ociemu::CivilTime{2024, 2, 29, 13, 7, 9}, input); });
  guarded([&] {
    if (auto n = ociemu::ParseNumber(first)) {
      ociemu::NumberToText(*n);
      guarded([&] { ociemu::FormatNumber(*n, second); });
      unsigned char bytes[22];
      int len = ociemu::EncodeNumber(*n, bytes);
      // What was encoded decodes again.
      if (len < 1 || len > 21 || !ociemu::DecodeNumber(bytes, len)) __builtin_trap();
    }
  });
  ociemu::DecodeNumber(data, static_cast<int>(size < 21 ? size : 21));
  if (size >= 7) ociemu::DecodeDate7(data);
  return 0;
}
