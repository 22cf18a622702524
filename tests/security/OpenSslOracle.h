#pragma once

// libcrypto as an independent second implementation for the tests.
#include <openssl/core_names.h>
#include <openssl/evp.h>
#include <openssl/params.h>
#include <openssl/sha.h>

#include <array>
#include <cstdint>
#include <stdexcept>
#include <vector>

namespace qozel::test {

inline std::array<std::uint8_t, 16> OpenSslAesEncrypt(const std::uint8_t* key, const std::uint8_t* block)
{
    std::array<std::uint8_t, 16> out{};
    EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
    int n = 0;
    if (!ctx || EVP_EncryptInit_ex(ctx, EVP_aes_128_ecb(), nullptr, key, nullptr) != 1 ||
        EVP_CIPHER_CTX_set_padding(ctx, 0) != 1 || EVP_EncryptUpdate(ctx, out.data(), &n, block, 16) != 1 || n != 16)
        throw std::runtime_error("OpenSSL AES failed");
    EVP_CIPHER_CTX_free(ctx);
    return out;
}

inline std::array<std::uint8_t, 16> OpenSslCmac(const std::uint8_t* key, const std::uint8_t* data, std::size_t size)
{
    std::array<std::uint8_t, 16> tag{};
    EVP_MAC* mac = EVP_MAC_fetch(nullptr, "CMAC", nullptr);
    EVP_MAC_CTX* ctx = mac ? EVP_MAC_CTX_new(mac) : nullptr;
    char cipher[] = "AES-128-CBC";
    const OSSL_PARAM params[] = {OSSL_PARAM_construct_utf8_string(OSSL_MAC_PARAM_CIPHER, cipher, 0),
                                 OSSL_PARAM_construct_end()};
    std::size_t n = 0;
    const bool ok = ctx && EVP_MAC_init(ctx, key, 16, params) == 1 && EVP_MAC_update(ctx, data, size) == 1 &&
                    EVP_MAC_final(ctx, tag.data(), &n, tag.size()) == 1 && n == 16;
    EVP_MAC_CTX_free(ctx);
    EVP_MAC_free(mac);
    if (!ok)
        throw std::runtime_error("OpenSSL CMAC failed");
    return tag;
}

} // namespace qozel::test
