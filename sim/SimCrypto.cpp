#include "SimCrypto.h"

#include <openssl/core_names.h>
#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/params.h>

#include <memory>
#include <stdexcept>

namespace qozel::sim {
namespace {

void AesEcb(std::span<const std::uint8_t, 16> key, std::span<std::uint8_t> data, bool encrypt)
{
    if (data.size() % 16 != 0)
        throw std::invalid_argument("AES-ECB needs whole blocks");
    std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)> ctx(EVP_CIPHER_CTX_new(), EVP_CIPHER_CTX_free);
    int n = 0;
    if (!ctx || EVP_CipherInit_ex(ctx.get(), EVP_aes_128_ecb(), nullptr, key.data(), nullptr, encrypt ? 1 : 0) != 1 ||
        EVP_CIPHER_CTX_set_padding(ctx.get(), 0) != 1 ||
        EVP_CipherUpdate(ctx.get(), data.data(), &n, data.data(), static_cast<int>(data.size())) != 1 ||
        static_cast<std::size_t>(n) != data.size())
        throw std::runtime_error("OpenSSL AES-ECB failed");
}

} // namespace

Block16 AesCmac(std::span<const std::uint8_t, 16> key, std::span<const std::uint8_t> data)
{
    std::unique_ptr<EVP_MAC, decltype(&EVP_MAC_free)> mac(EVP_MAC_fetch(nullptr, "CMAC", nullptr), EVP_MAC_free);
    std::unique_ptr<EVP_MAC_CTX, decltype(&EVP_MAC_CTX_free)> ctx(mac ? EVP_MAC_CTX_new(mac.get()) : nullptr,
                                                                  EVP_MAC_CTX_free);
    char cipher[] = "AES-128-CBC";
    const OSSL_PARAM params[] = {OSSL_PARAM_construct_utf8_string(OSSL_MAC_PARAM_CIPHER, cipher, 0),
                                 OSSL_PARAM_construct_end()};
    Block16 tag{};
    std::size_t n = 0;
    if (!ctx || EVP_MAC_init(ctx.get(), key.data(), key.size(), params) != 1 ||
        EVP_MAC_update(ctx.get(), data.data(), data.size()) != 1 ||
        EVP_MAC_final(ctx.get(), tag.data(), &n, tag.size()) != 1 || n != tag.size())
        throw std::runtime_error("OpenSSL CMAC failed");
    return tag;
}

bool AesCmacMatches(std::span<const std::uint8_t, 16> key, std::span<const std::uint8_t> data,
                    std::span<const std::uint8_t, 16> tag)
{
    const Block16 expected = AesCmac(key, data);
    return CRYPTO_memcmp(expected.data(), tag.data(), tag.size()) == 0;
}

void AesEcbEncrypt(std::span<const std::uint8_t, 16> key, std::span<std::uint8_t> data)
{
    AesEcb(key, data, true);
}

void AesEcbDecrypt(std::span<const std::uint8_t, 16> key, std::span<std::uint8_t> data)
{
    AesEcb(key, data, false);
}

} // namespace qozel::sim
