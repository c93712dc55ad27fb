// The string conveniences every registry implementation shares.
#include "platform/Registry.h"

namespace platform {

std::optional<std::string> Registry::readString(RootKey root, std::string_view key,
                                                std::string_view name) const {
  std::optional<RegValue> value = readValue(root, key, name);
  if (!value ||
      (value->type != RegValueType::String && value->type != RegValueType::ExpandString)) {
    return std::nullopt;
  }
  return std::move(value->data);
}

bool Registry::writeString(RootKey root, std::string_view key, std::string_view name,
                           std::string_view text) {
  return writeValue(root, key, name, RegValue{RegValueType::String, std::string(text)});
}

}  // namespace platform
