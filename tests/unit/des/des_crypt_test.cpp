// DES key schedule, block function, hexadecimal decryption and its errors. Built for Windows (run
// under Wine) and natively by tests/host/des.
#include "des_crypt.h"
#include "des_encrypt.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <type_traits>
#include <vector>

namespace {

std::vector<unsigned char> FromHex(const std::string& hex) {
    std::vector<unsigned char> bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes.push_back(static_cast<unsigned char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    }
    return bytes;
}

std::string ToHex(const unsigned char* bytes, std::size_t count) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    for (std::size_t i = 0; i < count; ++i) {
        hex.push_back(kDigits[bytes[i] >> 4]);
        hex.push_back(kDigits[bytes[i] & 0x0F]);
    }
    return hex;
}

// Runs DecryptHex and returns the exception text, or "" when nothing was thrown.
std::string DecryptError(const DesCrypt& des, const std::string& text,
                         std::vector<unsigned char>* output) {
    try {
        des.DecryptHex(text.data(), text.size(), output);
    } catch (const DesCryptException& error) {
        return error.Text();
    }
    return "";
}

void SetRawKey(DesCrypt* des, const std::string& keyHex) {
    const std::vector<unsigned char> key = FromHex(keyHex);
    des->SetSkipParityTest(true);
    ASSERT_TRUE(des->SetKey(key.data()));
}

struct KnownAnswer {
    const char* key;
    const char* plaintext;
    const char* ciphertext;
};

// Published DES known-answer vectors.
const KnownAnswer kKnownAnswers[] = {
    {"133457799BBCDFF1", "0123456789ABCDEF", "85E813540F0AB405"},
    {"0E329232EA6D0D73", "8787878787878787", "0000000000000000"},
    {"0000000000000000", "0000000000000000", "8CA64DE9C1B123A7"},
    {"FFFFFFFFFFFFFFFF", "FFFFFFFFFFFFFFFF", "7359B2163E4EDC58"},
    {"3000000000000000", "1000000000000001", "958E6E627A05557B"},
    {"0123456789ABCDEF", "4E6F772069732074", "3FA40E8A984D4815"},
    {"1111111111111111", "1111111111111111", "F40379AB9E0EC533"},
    {"0123456789ABCDEF", "1111111111111111", "17668DFC7292532D"},
    {"1111111111111111", "0123456789ABCDEF", "8A5AE1F81AB8F2DD"},
    {"FEDCBA9876543210", "0123456789ABCDEF", "ED39D950FA74BCC4"},
};

TEST(DesCrypt, KnownAnswersInBothDirections) {
    for (const KnownAnswer& vector : kKnownAnswers) {
        SCOPED_TRACE(vector.key);
        DesCrypt des;
        SetRawKey(&des, vector.key);

        std::vector<unsigned char> plain;
        std::size_t count = 99;
        des.DecryptHex(vector.ciphertext, 16, &plain, &count);
        EXPECT_EQ(count, 8u);
        EXPECT_EQ(ToHex(plain.data(), plain.size()), vector.plaintext);

        unsigned char cipher[8];
        EncryptBlock(des, FromHex(vector.plaintext).data(), cipher);
        EXPECT_EQ(ToHex(cipher, 8), vector.ciphertext);
    }
}

// Each step keys DES with the current value and encrypts (even steps) or decrypts (odd steps)
// the value itself, so every step exercises a fresh key schedule; the published result after
// 16 steps is 1B1A2DDB4C642438.
TEST(DesCrypt, IteratedEncryptDecryptChainReachesPublishedValue) {
    std::vector<unsigned char> value = FromHex("9474B8E8C73BCA7D");
    for (int step = 0; step < 16; ++step) {
        DesCrypt des;
        des.SetSkipParityTest(true);
        ASSERT_TRUE(des.SetKey(value.data()));
        if (step % 2 == 0) {
            unsigned char next[8];
            EncryptBlock(des, value.data(), next);
            value.assign(next, next + 8);
        } else {
            const std::string hex = ToHex(value.data(), 8);
            des.DecryptHex(hex.data(), hex.size(), &value);
        }
    }
    EXPECT_EQ(ToHex(value.data(), 8), "1B1A2DDB4C642438");
}

TEST(DesCrypt, SubkeysFollowTheScheduleWithBitsMostSignificantFirst) {
    DesCrypt des;
    SetRawKey(&des, "133457799BBCDFF1");
    EXPECT_EQ(ToHex(des.GetSubkeys()[0], 6), "1B02EFFC7072");
    EXPECT_EQ(ToHex(des.GetSubkeys()[1], 6), "79AED9DBC9E5");
    EXPECT_EQ(ToHex(des.GetSubkeys()[15], 6), "CB3D8B0E17F5");
}

TEST(DesCrypt, DecryptHexIsElectronicCodebookWithoutChainingOrTrimming) {
    DesCrypt des;
    SetRawKey(&des, "133457799BBCDFF1");
    // Identical ciphertext blocks give identical plaintext blocks; case does not matter.
    std::vector<unsigned char> plain;
    std::size_t count = 0;
    des.DecryptHex("85E813540F0AB40585e813540f0ab405", 32, &plain, &count);
    EXPECT_EQ(count, 16u);
    EXPECT_EQ(ToHex(plain.data(), plain.size()), "0123456789ABCDEF0123456789ABCDEF");

    // An all-zero plaintext block keeps its zero bytes at the end.
    DesCrypt zero;
    SetRawKey(&zero, "0000000000000000");
    zero.DecryptHex("8CA64DE9C1B123A7", 16, &plain);
    EXPECT_EQ(plain, std::vector<unsigned char>(8, 0));
}

TEST(DesCrypt, EmptyTextGivesZeroBytes) {
    DesCrypt des;
    SetRawKey(&des, "133457799BBCDFF1");
    std::vector<unsigned char> plain(5, 0xAA);
    std::size_t count = 7;
    des.DecryptHex("", 0, &plain, &count);
    EXPECT_TRUE(plain.empty());
    EXPECT_EQ(count, 0u);
    des.DecryptHex(nullptr, 0, &plain, &count);
    EXPECT_TRUE(plain.empty());
}

TEST(DesCrypt, RejectsBadInputWithExactMessagesAndLeavesOutputAlone) {
    const std::string valid = "85E813540F0AB405";
    struct Case {
        std::string text;
        const char* message;
    };
    const Case cases[] = {
        {valid.substr(0, 15), "Input string is not a multiple of 16 characters!"},
        {valid + "8", "Input string is not a multiple of 16 characters!"},
        {"8", "Input string is not a multiple of 16 characters!"},
        {"85E813540F0AB4", "Input string is not a multiple of 16 characters!"},
        {"85E81354\r\n0F0AB405" + valid.substr(0, 14),
         "Input text contains a non-hexadecimal character!"},
        {"85E813540F0AB40G", "Input text contains a non-hexadecimal character!"},
        {"G5E813540F0AB405", "Input text contains a non-hexadecimal character!"},
        {"85E81354 F0AB405", "Input text contains a non-hexadecimal character!"},
        {"0x5E813540F0AB405", "Input string is not a multiple of 16 characters!"},
        {"0x5E813540F0AB40", "Input text contains a non-hexadecimal character!"},
        {std::string("85E81354\0F0AB405", 16), "Input text contains a non-hexadecimal character!"},
        {"85E81354\xC6"
         "F0AB405",
         "Input text contains a non-hexadecimal character!"},
        // A bad digit in the last block stops the whole text before anything is decrypted.
        {valid + "85E813540F0AB40-", "Input text contains a non-hexadecimal character!"},
    };
    DesCrypt des;
    SetRawKey(&des, "133457799BBCDFF1");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::vector<unsigned char> output(3, 0x5A);
        EXPECT_EQ(DecryptError(des, c.text, &output), c.message);
        EXPECT_EQ(output, std::vector<unsigned char>(3, 0x5A));
    }
}

TEST(DesCrypt, RejectsMissingBuffersAndMissingKey) {
    DesCrypt des;
    SetRawKey(&des, "133457799BBCDFF1");
    // The length is judged before the output pointer.
    EXPECT_EQ(DecryptError(des, "85E813540F0AB40", nullptr),
              "Input string is not a multiple of 16 characters!");
    EXPECT_EQ(DecryptError(des, "85E813540F0AB405", nullptr), "Bad output buffer");
    EXPECT_EQ(DecryptError(des, "", nullptr), "Bad output buffer");

    std::vector<unsigned char> output;
    try {
        des.DecryptHex(nullptr, 16, &output);
        ADD_FAILURE() << "null text with a length was accepted";
    } catch (const DesCryptException& error) {
        EXPECT_STREQ(error.Text(), "Bad input buffer");
    }

    DesCrypt unkeyed;
    EXPECT_FALSE(unkeyed.IsKeySet());
    EXPECT_EQ(DecryptError(unkeyed, "85E813540F0AB405", &output), "No key has been set");
    unsigned char block[8] = {};
    EXPECT_THROW(EncryptBlock(unkeyed, block, block), DesCryptException);

    des.ClearKey();
    EXPECT_EQ(DecryptError(des, "85E813540F0AB405", &output), "No key has been set");
}

TEST(DesCrypt, HexDigitValueAcceptsExactlyTheHexadecimalDigits) {
    const std::string upper = "0123456789ABCDEF";
    const std::string lower = "0123456789abcdef";
    for (int value = 0; value < 16; ++value) {
        EXPECT_EQ(DesCrypt::HexDigitValue(upper[value]), value);
        EXPECT_EQ(DesCrypt::HexDigitValue(lower[value]), value);
    }
    for (int code = 0; code < 256; ++code) {
        const char character = static_cast<char>(code);
        if (upper.find(character) != std::string::npos ||
            lower.find(character) != std::string::npos) {
            continue;
        }
        SCOPED_TRACE(code);
        try {
            DesCrypt::HexDigitValue(character);
            ADD_FAILURE() << "accepted";
        } catch (const DesCryptException& error) {
            EXPECT_STREQ(error.Text(), "Input text contains a non-hexadecimal character!");
        }
    }
}

TEST(DesCrypt, PrepareKeyPadsCutsAndFixesParityOfAnAllEvenKey) {
    struct Case {
        const char* text;
        const char* keyHex;
        bool oddByte;
    };
    const Case cases[] = {
        {"ab", "6162202020202020", true},         // padded with blanks
        {"", "2020202020202020", true},           // blanks only
        {"vx1234.exe", "7678313233342E65", true}, // cut after 8 bytes
        {"33333333", "3333333333333333", false},  // all even, top bit clear: kept
        {"\xC0"
         "0000000",
         "4030303030303030", true}, // all even, top bit set: cleared
        {"\xC0"
         "000000",
         "C030303030303020", true},                 // the padding blank is odd: kept
        {"0000000\xC0", "30303030303030C0", false}, // top bit of a later byte: kept
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keyHex);
        unsigned char key[8];
        std::memset(key, 0xEE, sizeof(key));
        EXPECT_EQ(DesCrypt::PrepareKey(c.text, key), c.oddByte);
        EXPECT_EQ(ToHex(key, 8), c.keyHex);
    }
    unsigned char key[8];
    DesCrypt::PrepareKey(nullptr, key);
    EXPECT_EQ(ToHex(key, 8), "2020202020202020");
}

TEST(DesCrypt, HasOddParityByteLooksAtEveryByte) {
    unsigned char bytes[8] = {0x00, 0x03, 0x05, 0xFF, 0x00, 0x00, 0x00, 0x00};
    EXPECT_FALSE(DesCrypt::HasOddParityByte(bytes));
    bytes[7] = 0x80;
    EXPECT_TRUE(DesCrypt::HasOddParityByte(bytes));
    bytes[7] = 0x00;
    bytes[0] = 0x07;
    EXPECT_TRUE(DesCrypt::HasOddParityByte(bytes));
}

TEST(DesCrypt, SetKeyParityTest) {
    const std::vector<unsigned char> oddKey = FromHex("133457799BBCDFF1");
    const std::vector<unsigned char> evenByteKey = FromHex("133457799BBCDFF0");
    DesCrypt des;
    EXPECT_TRUE(des.SetKey(oddKey.data()));
    EXPECT_TRUE(des.IsKeySet());
    // A refused key must not leave the earlier key in use.
    EXPECT_FALSE(des.SetKey(evenByteKey.data()));
    EXPECT_FALSE(des.IsKeySet());
    std::vector<unsigned char> output;
    EXPECT_EQ(DecryptError(des, "85E813540F0AB405", &output), "No key has been set");

    des.SetSkipParityTest(true);
    EXPECT_TRUE(des.SetKey(evenByteKey.data()));
    // The parity bits do not take part in the schedule: same result as the odd-parity key.
    des.DecryptHex("85E813540F0AB405", 16, &output);
    EXPECT_EQ(ToHex(output.data(), output.size()), "0123456789ABCDEF");
}

// The launcher's path: key from the package's file name text, configuration text padded with
// blanks by the package builder. Ciphertext computed independently with another DES.
TEST(DesCrypt, PackageKeyDecryptsBuilderOutput) {
    const char* cipher = "36AB556A5F679A9E63D81B0DF6AD6E88";
    const std::string config = "<cfg a=\"1\"/>";

    DesCrypt des;
    ASSERT_TRUE(des.SetPackageKey("vx1234.exe"));
    std::vector<unsigned char> plain;
    std::size_t count = 0;
    des.DecryptHex(cipher, 32, &plain, &count);
    EXPECT_EQ(count, 16u);
    EXPECT_EQ(std::string(plain.begin(), plain.end()), config + "    ");

    EXPECT_EQ(EncryptToHex("vx1234.exe", reinterpret_cast<const unsigned char*>(config.data()),
                           config.size()),
              cipher);
}

TEST(DesCrypt, EncryptToHexPadsToWholeBlocksAndRoundTrips) {
    std::mt19937 random(1234);
    for (std::size_t length : {0u, 1u, 7u, 8u, 9u, 15u, 16u, 17u, 100u}) {
        SCOPED_TRACE(length);
        std::vector<unsigned char> data(length);
        for (unsigned char& byte : data) {
            byte = static_cast<unsigned char>(random());
        }
        const std::string hex = EncryptToHex("setup", data.data(), data.size());
        EXPECT_EQ(hex.size(), (length + 7) / 8 * 16);
        EXPECT_EQ(hex.find_first_not_of("0123456789ABCDEF"), std::string::npos);

        DesCrypt des;
        des.SetPackageKey("setup");
        std::vector<unsigned char> plain;
        des.DecryptHex(hex.data(), hex.size(), &plain);
        std::vector<unsigned char> expected = data;
        expected.resize(hex.size() / 2, kDesPaddingByte);
        EXPECT_EQ(plain, expected);
    }
    EXPECT_THROW(EncryptToHex("setup", nullptr, 1), DesCryptException);
}

TEST(DesCryptException, KeepsAtMost1023CharactersAndCopiesBytewise) {
    static_assert(sizeof(DesCryptException) == 1024, "message buffer only");
    static_assert(std::is_trivially_copyable<DesCryptException>::value, "copied bytewise");

    const std::string longText(5000, 'x');
    const DesCryptException cut(longText.c_str());
    EXPECT_EQ(std::strlen(cut.Text()), 1023u);
    EXPECT_EQ(std::string(cut.Text()), longText.substr(0, 1023));

    const std::string exact(1023, 'y');
    EXPECT_EQ(std::string(DesCryptException(exact.c_str()).Text()), exact);
    EXPECT_STREQ(DesCryptException(nullptr).Text(), "");

    DesCryptException copy(nullptr);
    std::memcpy(static_cast<void*>(&copy), &cut, sizeof(copy));
    EXPECT_EQ(std::string(copy.Text()), longText.substr(0, 1023));
}

// Thousands of damaged texts from a fixed seed: each either fails with one of the known messages
// or decrypts to exactly half as many bytes as it has characters.
TEST(DesCrypt, MutatedTextsFailCleanlyOrDecryptToHalfTheirLength) {
    DesCrypt des;
    des.SetPackageKey("vx1234.exe");
    const std::string seed = "36AB556A5F679A9E63D81B0DF6AD6E8885E813540F0AB405";
    std::mt19937 random(20240607);
    int failures = 0;
    for (int round = 0; round < 5000; ++round) {
        std::string text = seed;
        const int edits = 1 + static_cast<int>(random() % 4);
        for (int e = 0; e < edits; ++e) {
            const std::size_t at = text.empty() ? 0 : random() % text.size();
            switch (random() % 4) {
            case 0:
                if (!text.empty())
                    text[at] = static_cast<char>(random());
                break;
            case 1:
                text.insert(text.begin() + static_cast<std::ptrdiff_t>(at),
                            static_cast<char>(random()));
                break;
            case 2:
                if (!text.empty())
                    text.erase(at, 1);
                break;
            default:
                text.resize(at);
                break;
            }
        }
        std::vector<unsigned char> output;
        const std::string error = DecryptError(des, text, &output);
        if (error.empty()) {
            EXPECT_EQ(output.size(), text.size() / 2);
        } else {
            ++failures;
            EXPECT_TRUE(error == "Input string is not a multiple of 16 characters!" ||
                        error == "Input text contains a non-hexadecimal character!")
                << error;
            EXPECT_TRUE(output.empty());
        }
    }
    EXPECT_GT(failures, 0);
}

} // namespace
