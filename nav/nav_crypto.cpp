#include "nav/nav_crypto.h"

#include <openssl/evp.h>

#include <QByteArray>
#include <memory>
#include <vector>

#include "nav/nav_error.h"

namespace dorvan::nav {
namespace {

std::string Hex(const unsigned char* bytes, unsigned int size) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(size * 2);
    for (unsigned int i = 0; i < size; ++i) {
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 0x0f];
    }
    return text;
}

std::string Digest(const EVP_MD* md, std::string_view data) {
    unsigned char out[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    if (md == nullptr || EVP_Digest(data.data(), data.size(), out, &size, md, nullptr) != 1)
        throw NavError("A kivonatképzés nem sikerült (OpenSSL).");
    return Hex(out, size);
}

struct CipherContextDeleter {
    void operator()(EVP_CIPHER_CTX* context) const { EVP_CIPHER_CTX_free(context); }
};

std::string Aes128Ecb(std::string_view key, std::string_view data, bool encrypt) {
    if (key.size() != 16)
        throw NavError("A cserekulcs nem 16 karakteres.");
    std::unique_ptr<EVP_CIPHER_CTX, CipherContextDeleter> context(EVP_CIPHER_CTX_new());
    if (!context)
        throw NavError("A titkosítás nem indítható (OpenSSL).");
    const auto* keyBytes = reinterpret_cast<const unsigned char*>(key.data());
    if (EVP_CipherInit_ex(context.get(), EVP_aes_128_ecb(), nullptr, keyBytes, nullptr,
                          encrypt ? 1 : 0) != 1)
        throw NavError("A titkosítás nem indítható (OpenSSL).");
    std::vector<unsigned char> out(data.size() + 32);
    int written = 0;
    int last = 0;
    const bool ok = EVP_CipherUpdate(context.get(), out.data(), &written,
                                     reinterpret_cast<const unsigned char*>(data.data()),
                                     static_cast<int>(data.size())) == 1 &&
                    EVP_CipherFinal_ex(context.get(), out.data() + written, &last) == 1;
    if (!ok)
        throw NavError(encrypt ? "A titkosítás nem sikerült (OpenSSL)."
                               : "A token nem fejthető vissza a cserekulccsal.");
    return std::string(reinterpret_cast<const char*>(out.data()),
                       static_cast<std::size_t>(written + last));
}

}  // namespace

std::string Sha512Hex(std::string_view data) {
    return Digest(EVP_sha512(), data);
}

std::string Sha3_512Hex(std::string_view data) {
    return Digest(EVP_sha3_512(), data);
}

std::string Aes128EcbDecrypt(std::string_view key, std::string_view data) {
    return Aes128Ecb(key, data, false);
}

std::string Aes128EcbEncrypt(std::string_view key, std::string_view data) {
    return Aes128Ecb(key, data, true);
}

std::string Base64Encode(std::string_view data) {
    return QByteArray(data.data(), static_cast<qsizetype>(data.size())).toBase64().toStdString();
}

std::string Base64Decode(std::string_view text) {
    // Line breaks and blanks may sit in an XML text; they are no part of the data.
    QByteArray compact;
    compact.reserve(static_cast<qsizetype>(text.size()));
    for (const char c : text) {
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n')
            compact.append(c);
    }
    const auto decoded =
        QByteArray::fromBase64Encoding(compact, QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded)
        throw NavError("Hibás base64 adat.");
    return decoded.decoded.toStdString();
}

}  // namespace dorvan::nav
