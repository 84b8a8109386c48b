#include "des_encrypt.h"

#include <cstring>

void EncryptBlock(const DesCrypt& des, const unsigned char input[DesCrypt::kBlockSize],
                  unsigned char output[DesCrypt::kBlockSize]) {
    if (!des.IsKeySet()) {
        throw DesCryptException(kDesNoKeyMessage);
    }
    // The block function with the subkeys in schedule order (K1 first) encrypts.
    DesCrypt::DecryptBlock(des.GetSubkeys(), input, output);
}

std::string EncryptToHex(const char* keyText, const unsigned char* plaintext, std::size_t length) {
    if (plaintext == nullptr && length != 0) {
        throw DesCryptException(kDesBadInputMessage);
    }
    DesCrypt des;
    des.SetPackageKey(keyText);

    static const char kDigits[] = "0123456789ABCDEF";
    const std::size_t blocks = (length + DesCrypt::kBlockSize - 1) / DesCrypt::kBlockSize;
    std::string hex;
    hex.reserve(blocks * 2 * DesCrypt::kBlockSize);
    for (std::size_t block = 0; block < blocks; ++block) {
        const std::size_t offset = block * DesCrypt::kBlockSize;
        const std::size_t available = length - offset;
        const std::size_t take =
            available < DesCrypt::kBlockSize ? available : DesCrypt::kBlockSize;
        unsigned char input[DesCrypt::kBlockSize];
        std::memset(input, kDesPaddingByte, sizeof(input));
        std::memcpy(input, plaintext + offset, take);
        unsigned char output[DesCrypt::kBlockSize];
        EncryptBlock(des, input, output);
        for (unsigned char byte : output) {
            hex.push_back(kDigits[byte >> 4]);
            hex.push_back(kDigits[byte & 0x0Fu]);
        }
    }
    return hex;
}
