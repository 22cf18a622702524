// The simulated devices' AES on libgcrypt, for the Windows build: Debian
// carries no libcrypto for mingw, and libgcrypt is just as independent of
// the product's own cipher code.
#include "SimCrypto.h"

#include <gcrypt.h>

#include <memory>
#include <stdexcept>

namespace qozel::sim {
namespace {

void EnsureInitialised()
{
    static const bool initialised = [] {
        if (!gcry_check_version(GCRYPT_VERSION))
            throw std::runtime_error("libgcrypt version mismatch");
        gcry_control(GCRYCTL_DISABLE_SECMEM, 0);
        gcry_control(GCRYCTL_INITIALIZATION_FINISHED, 0);
        return true;
    }();
    (void)initialised;
}

struct CmacContext {
    explicit CmacContext(std::span<const std::uint8_t, 16> key)
    {
        EnsureInitialised();
        if (gcry_mac_open(&handle, GCRY_MAC_CMAC_AES, 0, nullptr) != 0 ||
            gcry_mac_setkey(handle, key.data(), key.size()) != 0)
            throw std::runtime_error("libgcrypt CMAC failed");
    }
    CmacContext(const CmacContext&) = delete;
    CmacContext& operator=(const CmacContext&) = delete;
    ~CmacContext() { gcry_mac_close(handle); }

    gcry_mac_hd_t handle = nullptr;
};

void AesEcb(std::span<const std::uint8_t, 16> key, std::span<std::uint8_t> data, bool encrypt)
{
    if (data.size() % 16 != 0)
        throw std::invalid_argument("AES-ECB needs whole blocks");
    EnsureInitialised();
    gcry_cipher_hd_t raw = nullptr;
    if (gcry_cipher_open(&raw, GCRY_CIPHER_AES128, GCRY_CIPHER_MODE_ECB, 0) != 0)
        throw std::runtime_error("libgcrypt AES-ECB failed");
    const std::unique_ptr<gcry_cipher_handle, decltype(&gcry_cipher_close)> cipher(raw, gcry_cipher_close);
    const gcry_error_t result =
        gcry_cipher_setkey(raw, key.data(), key.size()) != 0
            ? 1
            : (encrypt ? gcry_cipher_encrypt(raw, data.data(), data.size(), nullptr, 0)
                       : gcry_cipher_decrypt(raw, data.data(), data.size(), nullptr, 0));
    if (result != 0)
        throw std::runtime_error("libgcrypt AES-ECB failed");
}

} // namespace

Block16 AesCmac(std::span<const std::uint8_t, 16> key, std::span<const std::uint8_t> data)
{
    CmacContext mac(key);
    Block16 tag{};
    std::size_t n = tag.size();
    if (gcry_mac_write(mac.handle, data.data(), data.size()) != 0 ||
        gcry_mac_read(mac.handle, tag.data(), &n) != 0 || n != tag.size())
        throw std::runtime_error("libgcrypt CMAC failed");
    return tag;
}

bool AesCmacMatches(std::span<const std::uint8_t, 16> key, std::span<const std::uint8_t> data,
                    std::span<const std::uint8_t, 16> tag)
{
    CmacContext mac(key);
    if (gcry_mac_write(mac.handle, data.data(), data.size()) != 0)
        throw std::runtime_error("libgcrypt CMAC failed");
    return gcry_mac_verify(mac.handle, tag.data(), tag.size()) == 0;
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
