// Salted password hashes for the accounts of an emulated database (SHA-256 over salt and
// password), so that a database file never holds a password in clear.
#pragma once

#include <string>
#include <string_view>

namespace ociemu {

// Lower-case hex SHA-256 of the bytes.
std::string Sha256Hex(std::string_view data);

// A fresh random salt, as hex.
std::string NewSalt();

std::string HashPassword(std::string_view salt, std::string_view password);

}  // namespace ociemu
