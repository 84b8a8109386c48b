#include "des_crypt.h"

#include "des_tables.h"

#include <cstdint>
#include <cstring>

const char kDesBadLengthMessage[] = "Input string is not a multiple of 16 characters!";
const char kDesBadOutputMessage[] = "Bad output buffer";
const char kDesBadHexDigitMessage[] = "Input text contains a non-hexadecimal character!";
const char kDesBadInputMessage[] = "Bad input buffer";
const char kDesNoKeyMessage[] = "No key has been set";

DesCryptException::DesCryptException(const char* message) : message_() {
    if (message == nullptr) {
        return;
    }
    std::size_t length = 0;
    while (length < kMessageCapacity - 1 && message[length] != '\0') {
        ++length;
    }
    std::memcpy(message_, message, length);
    message_[length] = '\0';
}

namespace {

// Reads bits of `input` (the low `inputBits` bits, numbered from 1 at the most significant)
// in the order the table lists them.
std::uint64_t Permute(std::uint64_t input, unsigned inputBits, const unsigned char* table,
                      unsigned outputBits) {
    std::uint64_t output = 0;
    for (unsigned i = 0; i < outputBits; ++i) {
        output = (output << 1) | ((input >> (inputBits - table[i])) & 1u);
    }
    return output;
}

std::uint64_t LoadBigEndian(const unsigned char* bytes, std::size_t count) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < count; ++i) {
        value = (value << 8) | bytes[i];
    }
    return value;
}

void StoreBigEndian(std::uint64_t value, unsigned char* bytes, std::size_t count) {
    for (std::size_t i = count; i > 0; --i) {
        bytes[i - 1] = static_cast<unsigned char>(value & 0xFFu);
        value >>= 8;
    }
}

std::uint32_t RotateLeft28(std::uint32_t half, unsigned positions) {
    return ((half << positions) | (half >> (28 - positions))) & 0x0FFFFFFFu;
}

// The cipher function f(R, K): expansion, key mixing, the eight S-boxes and permutation P.
std::uint32_t Feistel(std::uint32_t right, std::uint64_t subkey) {
    const std::uint64_t mixed = Permute(right, 32, des_tables::kExpansion, 48) ^ subkey;
    std::uint32_t substituted = 0;
    for (unsigned box = 0; box < 8; ++box) {
        const unsigned six = static_cast<unsigned>((mixed >> (42 - 6 * box)) & 0x3Fu);
        const unsigned row = ((six >> 4) & 0x2u) | (six & 0x1u);
        const unsigned column = (six >> 1) & 0xFu;
        substituted = (substituted << 4) | des_tables::kSBoxes[box][row * 16 + column];
    }
    return static_cast<std::uint32_t>(Permute(substituted, 32, des_tables::kPermutationP, 32));
}

bool HasOddParity(unsigned char byte) {
    unsigned bits = 0;
    for (unsigned value = byte; value != 0; value >>= 1) {
        bits += value & 1u;
    }
    return (bits & 1u) != 0;
}

} // namespace

DesCrypt::DesCrypt() : subkeys_(), skipParityTest_(false), keySet_(false) {}

DesCrypt::~DesCrypt() {
    ClearKey();
}

void DesCrypt::ClearKey() {
    // Written through a volatile pointer so that the wipe is not dropped as a dead store.
    volatile unsigned char* bytes = &subkeys_[0][0];
    for (std::size_t i = 0; i < sizeof(subkeys_); ++i) {
        bytes[i] = 0;
    }
    keySet_ = false;
}

bool DesCrypt::HasOddParityByte(const unsigned char bytes[kBlockSize]) {
    for (std::size_t i = 0; i < kBlockSize; ++i) {
        if (HasOddParity(bytes[i])) {
            return true;
        }
    }
    return false;
}

bool DesCrypt::PrepareKey(const char* keyText, unsigned char key[kBlockSize]) {
    std::memset(key, ' ', kBlockSize);
    if (keyText != nullptr) {
        for (std::size_t i = 0; i < kBlockSize && keyText[i] != '\0'; ++i) {
            key[i] = static_cast<unsigned char>(keyText[i]);
        }
    }
    if (!HasOddParityByte(key) && (key[0] & 0x80u) != 0) {
        key[0] = static_cast<unsigned char>(key[0] & 0x7Fu);
    }
    return HasOddParityByte(key);
}

bool DesCrypt::SetKey(const unsigned char key[kBlockSize]) {
    if (!skipParityTest_) {
        for (std::size_t i = 0; i < kBlockSize; ++i) {
            if (!HasOddParity(key[i])) {
                // A refused key must not leave an earlier key in use.
                ClearKey();
                return false;
            }
        }
    }
    const std::uint64_t chosen =
        Permute(LoadBigEndian(key, kBlockSize), 64, des_tables::kPermutedChoice1, 56);
    std::uint32_t c = static_cast<std::uint32_t>(chosen >> 28) & 0x0FFFFFFFu;
    std::uint32_t d = static_cast<std::uint32_t>(chosen) & 0x0FFFFFFFu;
    for (std::size_t round = 0; round < kRoundCount; ++round) {
        c = RotateLeft28(c, des_tables::kRotations[round]);
        d = RotateLeft28(d, des_tables::kRotations[round]);
        const std::uint64_t joined = (static_cast<std::uint64_t>(c) << 28) | d;
        StoreBigEndian(Permute(joined, 56, des_tables::kPermutedChoice2, 48), subkeys_[round],
                       kSubkeySize);
    }
    keySet_ = true;
    return true;
}

bool DesCrypt::SetPackageKey(const char* keyText) {
    ClearKey();
    skipParityTest_ = true;
    unsigned char key[kBlockSize];
    PrepareKey(keyText, key);
    return SetKey(key);
}

int DesCrypt::HexDigitValue(char digit) {
    if (digit >= '0' && digit <= '9') {
        return digit - '0';
    }
    if (digit >= 'A' && digit <= 'F') {
        return digit - 'A' + 10;
    }
    if (digit >= 'a' && digit <= 'f') {
        return digit - 'a' + 10;
    }
    throw DesCryptException(kDesBadHexDigitMessage);
}

void DesCrypt::DecryptBlock(const Subkey subkeys[kRoundCount],
                            const unsigned char input[kBlockSize],
                            unsigned char output[kBlockSize]) {
    const std::uint64_t permuted =
        Permute(LoadBigEndian(input, kBlockSize), 64, des_tables::kInitialPermutation, 64);
    std::uint32_t left = static_cast<std::uint32_t>(permuted >> 32);
    std::uint32_t right = static_cast<std::uint32_t>(permuted);
    for (std::size_t round = 0; round < kRoundCount; ++round) {
        const std::uint32_t next =
            left ^ Feistel(right, LoadBigEndian(subkeys[round], kSubkeySize));
        left = right;
        right = next;
    }
    // The last round's halves go into the inverse permutation swapped: R16 first, then L16.
    const std::uint64_t preoutput = (static_cast<std::uint64_t>(right) << 32) | left;
    StoreBigEndian(Permute(preoutput, 64, des_tables::kFinalPermutation, 64), output, kBlockSize);
}

void DesCrypt::DecryptHex(const char* text, std::size_t length, std::vector<unsigned char>* output,
                          std::size_t* count) const {
    if (length % (2 * kBlockSize) != 0) {
        throw DesCryptException(kDesBadLengthMessage);
    }
    if (output == nullptr) {
        throw DesCryptException(kDesBadOutputMessage);
    }
    if (text == nullptr && length != 0) {
        throw DesCryptException(kDesBadInputMessage);
    }
    if (!keySet_) {
        throw DesCryptException(kDesNoKeyMessage);
    }

    // Every digit is checked before any block is decrypted, and *output is only replaced once
    // the whole text has been turned into bytes.
    std::vector<unsigned char> bytes(length / 2);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<unsigned char>((HexDigitValue(text[2 * i]) << 4) |
                                              HexDigitValue(text[2 * i + 1]));
    }

    Subkey reversed[kRoundCount];
    for (std::size_t round = 0; round < kRoundCount; ++round) {
        std::memcpy(reversed[round], subkeys_[kRoundCount - 1 - round], kSubkeySize);
    }
    for (std::size_t offset = 0; offset < bytes.size(); offset += kBlockSize) {
        unsigned char block[kBlockSize];
        DecryptBlock(reversed, &bytes[offset], block);
        std::memcpy(&bytes[offset], block, kBlockSize);
    }
    std::memset(reversed, 0, sizeof(reversed));

    if (count != nullptr) {
        *count = bytes.size();
    }
    output->swap(bytes);
}
