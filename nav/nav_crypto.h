#pragma once
// The hashes, the cipher and the encoding the authority's interface prescribes, done by
// OpenSSL's libcrypto and Qt; no hash or cipher is written here by hand.

#include <string>
#include <string_view>

namespace dorvan::nav {

// SHA-512 of the bytes, as 128 upper-case hexadecimal digits (the password hash).
std::string Sha512Hex(std::string_view data);

// SHA3-512 of the bytes, as 128 upper-case hexadecimal digits (the request signature and the
// hash of each submitted item).
std::string Sha3_512Hex(std::string_view data);

// AES-128-ECB decryption with PKCS#7 padding (the data reporting token). The key is the 16
// bytes of the technical user's exchange key. Throws NavError when the key is not 16 bytes
// or the data does not decrypt with it.
std::string Aes128EcbDecrypt(std::string_view key, std::string_view data);

// The same encryption (the tests' stand-in and its checks).
std::string Aes128EcbEncrypt(std::string_view key, std::string_view data);

// Standard base64 with padding.
std::string Base64Encode(std::string_view data);
// Throws NavError when `text` is not base64.
std::string Base64Decode(std::string_view text);

}  // namespace dorvan::nav
