// DES (ECB, decryption direction) for configuration files that packages carry as hexadecimal
// text. The code is portable ISO C++ without any operating-system header, so the package builder
// can compile the same key schedule and block function for its encryption side.
#pragma once

#include <cstddef>
#include <vector>

// The one exception type of the launcher. It holds its message in a fixed buffer so that it can
// be thrown by value and copied bytewise without allocating.
class DesCryptException {
public:
    static constexpr std::size_t kMessageCapacity = 1024;

    // Keeps at most kMessageCapacity - 1 characters of message (a null message keeps nothing).
    explicit DesCryptException(const char* message);

    const char* Text() const { return message_; }

private:
    char message_[kMessageCapacity];
};

// Messages thrown by DesCrypt, kept here so that callers and tests compare the same texts.
extern const char kDesBadLengthMessage[];
extern const char kDesBadOutputMessage[];
extern const char kDesBadHexDigitMessage[];
extern const char kDesBadInputMessage[];
extern const char kDesNoKeyMessage[];

class DesCrypt {
public:
    static constexpr std::size_t kBlockSize = 8;
    static constexpr std::size_t kRoundCount = 16;
    static constexpr std::size_t kSubkeySize = 6;
    using Subkey = unsigned char[kSubkeySize];

    // Starts without a key and with the parity test of SetKey switched on.
    DesCrypt();
    // Wipes the subkeys so that no key material outlives the object.
    ~DesCrypt();
    DesCrypt(const DesCrypt&) = delete;
    DesCrypt& operator=(const DesCrypt&) = delete;

    // Forgets the key: DecryptHex refuses to run until SetKey succeeds again.
    void ClearKey();
    void SetSkipParityTest(bool skip) { skipParityTest_ = skip; }
    bool IsKeySet() const { return keySet_; }

    // Makes 8 key bytes from key text: its first 8 bytes, padded with blanks. When no byte has
    // odd parity and the first byte has its top bit set, that bit is cleared. A null text counts
    // as empty. Returns HasOddParityByte of the key.
    static bool PrepareKey(const char* keyText, unsigned char key[kBlockSize]);

    // Builds the 16 subkeys from 8 key bytes. Unless the parity test is skipped, refuses (false,
    // key left unset) a key with a byte of even parity.
    bool SetKey(const unsigned char key[kBlockSize]);

    // The key derivation packages use: clear the key, skip the parity test, PrepareKey of the
    // key text, SetKey. The package builder encrypts with the same derivation.
    bool SetPackageKey(const char* keyText);

    // Decrypts hexadecimal text of `length` characters (not necessarily null-terminated; every
    // character counts) into length / 2 bytes stored in *output, replacing its contents. When
    // count is given it receives the byte count. Throws DesCryptException, before anything is
    // decrypted and with *output untouched, when the length is not a multiple of 16, output is
    // null, text is null while length is not 0, no key is set, or a character is not a
    // hexadecimal digit.
    void DecryptHex(const char* text, std::size_t length, std::vector<unsigned char>* output,
                    std::size_t* count = nullptr) const;

    // The DES block function: initial permutation, 16 rounds with the subkeys in the order given,
    // final swap and inverse initial permutation. With the subkeys in reverse schedule order it
    // decrypts; in schedule order it encrypts.
    static void DecryptBlock(const Subkey subkeys[kRoundCount],
                             const unsigned char input[kBlockSize],
                             unsigned char output[kBlockSize]);

    // 0-9 for "0"-"9", 10-15 for "A"-"F" and "a"-"f"; throws for any other character.
    static int HexDigitValue(char digit);

    // True when any of the 8 bytes has an odd number of set bits.
    static bool HasOddParityByte(const unsigned char bytes[kBlockSize]);

    // The subkeys K1 to K16 in schedule order, each 48 bits stored most significant bit first.
    const Subkey* GetSubkeys() const { return subkeys_; }

private:
    Subkey subkeys_[kRoundCount];
    bool skipParityTest_;
    bool keySet_;
};
