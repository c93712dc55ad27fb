// A set of enumeration members held as bits, the ordinal of each member being its bit number,
// as the layer's option sets are stored (TLogonOptions fits one byte, TMTSOptions likewise).
#pragma once

#include <cstdint>
#include <initializer_list>
#include <type_traits>

namespace oracle {

template <typename Enum, typename Bits = std::uint32_t>
class EnumSet {
  static_assert(std::is_enum_v<Enum>);

 public:
  constexpr EnumSet() = default;
  constexpr EnumSet(std::initializer_list<Enum> members) {
    for (Enum m : members) bits_ |= bit(m);
  }
  static constexpr EnumSet fromBits(Bits bits) {
    EnumSet s;
    s.bits_ = bits;
    return s;
  }

  constexpr bool contains(Enum m) const { return (bits_ & bit(m)) != 0; }
  constexpr void insert(Enum m) { bits_ |= bit(m); }
  constexpr void erase(Enum m) { bits_ &= static_cast<Bits>(~bit(m)); }
  constexpr bool empty() const { return bits_ == 0; }
  constexpr Bits bits() const { return bits_; }

  constexpr bool operator==(const EnumSet&) const = default;

 private:
  static constexpr Bits bit(Enum m) { return static_cast<Bits>(Bits{1} << static_cast<unsigned>(m)); }
  Bits bits_ = 0;
};

}  // namespace oracle
