#include "security/AES.h"

#include "platform/SecureMemory.h"
#include "security/AesTables.h"

#include <stdexcept>

namespace qozel {

using namespace aes;

namespace {

std::uint32_t SubWord(std::uint32_t w) noexcept
{
    return static_cast<std::uint32_t>(kSBox[w >> 24]) << 24 | static_cast<std::uint32_t>(kSBox[(w >> 16) & 0xFF]) << 16 |
           static_cast<std::uint32_t>(kSBox[(w >> 8) & 0xFF]) << 8 | kSBox[w & 0xFF];
}

std::uint32_t RotWord(std::uint32_t w) noexcept
{
    return (w << 8) | (w >> 24);
}

// The state is column-major: byte r + 4c is row r of column c.
void ShiftRows(std::uint8_t* s, const Table& box) noexcept
{
    std::uint8_t t[16];
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            t[r + 4 * c] = box[s[r + 4 * ((c + r) % 4)]];
    for (int i = 0; i < 16; ++i)
        s[i] = t[i];
}

void InvShiftRows(std::uint8_t* s, const Table& box) noexcept
{
    std::uint8_t t[16];
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            t[r + 4 * ((c + r) % 4)] = box[s[r + 4 * c]];
    for (int i = 0; i < 16; ++i)
        s[i] = t[i];
}

void MixColumns(std::uint8_t* s) noexcept
{
    for (int c = 0; c < 4; ++c) {
        std::uint8_t* col = s + 4 * c;
        const std::uint8_t a0 = col[0], a1 = col[1], a2 = col[2], a3 = col[3];
        col[0] = kMul2[a0] ^ kMul3[a1] ^ a2 ^ a3;
        col[1] = a0 ^ kMul2[a1] ^ kMul3[a2] ^ a3;
        col[2] = a0 ^ a1 ^ kMul2[a2] ^ kMul3[a3];
        col[3] = kMul3[a0] ^ a1 ^ a2 ^ kMul2[a3];
    }
}

void InvMixColumns(std::uint8_t* s) noexcept
{
    for (int c = 0; c < 4; ++c) {
        std::uint8_t* col = s + 4 * c;
        const std::uint8_t a0 = col[0], a1 = col[1], a2 = col[2], a3 = col[3];
        col[0] = kMul14[a0] ^ kMul11[a1] ^ kMul13[a2] ^ kMul9[a3];
        col[1] = kMul9[a0] ^ kMul14[a1] ^ kMul11[a2] ^ kMul13[a3];
        col[2] = kMul13[a0] ^ kMul9[a1] ^ kMul14[a2] ^ kMul11[a3];
        col[3] = kMul11[a0] ^ kMul13[a1] ^ kMul9[a2] ^ kMul14[a3];
    }
}

bool IsStandard(std::int32_t nk, std::int32_t nr) noexcept
{
    return (nk == 4 || nk == 6 || nk == 8) && nr == nk + 6;
}

} // namespace

AES::AES(std::int32_t nk, std::int32_t nr) : Coder(16), Nk(nk), Nr(nr)
{
    if (!IsStandard(nk, nr))
        throw std::invalid_argument("AES: key length and round count are not a standard pair");
}

AES::~AES()
{
    SecureWipe(schedule, sizeof schedule);
}

void AES::SetKey(const std::uint8_t* key)
{
    const int words = 4 * (Nr + 1);
    for (int i = 0; i < Nk; ++i)
        schedule[i] = static_cast<std::uint32_t>(key[4 * i]) << 24 | static_cast<std::uint32_t>(key[4 * i + 1]) << 16 |
                      static_cast<std::uint32_t>(key[4 * i + 2]) << 8 | key[4 * i + 3];
    for (int i = Nk; i < words; ++i) {
        std::uint32_t temp = schedule[i - 1];
        if (i % Nk == 0)
            temp = SubWord(RotWord(temp)) ^ (static_cast<std::uint32_t>(kRcon[i / Nk - 1]) << 24);
        else if (Nk > 6 && i % Nk == 4)
            temp = SubWord(temp);
        schedule[i] = schedule[i - Nk] ^ temp;
    }
}

void AES::AddRoundKey(std::uint8_t* state, int round) const noexcept
{
    for (int c = 0; c < 4; ++c) {
        const std::uint32_t w = schedule[4 * round + c];
        state[4 * c] ^= static_cast<std::uint8_t>(w >> 24);
        state[4 * c + 1] ^= static_cast<std::uint8_t>(w >> 16);
        state[4 * c + 2] ^= static_cast<std::uint8_t>(w >> 8);
        state[4 * c + 3] ^= static_cast<std::uint8_t>(w);
    }
}

void AES::EncryptBlock(std::uint8_t* block)
{
    AddRoundKey(block, 0);
    for (int round = 1; round < Nr; ++round) {
        ShiftRows(block, kSBox);   // SubBytes folded into the row shift
        MixColumns(block);
        AddRoundKey(block, round);
    }
    ShiftRows(block, kSBox);
    AddRoundKey(block, Nr);
}

void AES::DecryptBlock(std::uint8_t* block)
{
    AddRoundKey(block, Nr);
    for (int round = Nr - 1; round > 0; --round) {
        InvShiftRows(block, kInvSBox);   // InvSubBytes folded into the row shift
        AddRoundKey(block, round);
        InvMixColumns(block);
    }
    InvShiftRows(block, kInvSBox);
    AddRoundKey(block, 0);
}

} // namespace qozel
