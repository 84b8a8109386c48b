// Compares our DES with OpenSSL's in both directions, on keys and texts made from a fixed seed.
#include "des_crypt.h"
#include "des_encrypt.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

using Bytes = std::vector<unsigned char>;

std::string ToHex(const Bytes& bytes) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    for (unsigned char byte : bytes) {
        hex.push_back(kDigits[byte >> 4]);
        hex.push_back(kDigits[byte & 0x0F]);
    }
    return hex;
}

class OpensslDes : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/zor-des-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
        ASSERT_EQ(std::system("openssl version >/dev/null 2>&1"), 0) << "openssl is needed";
    }

    void TearDown() override {
        if (!folder_.empty()) {
            std::remove((folder_ + "/in").c_str());
            std::remove((folder_ + "/out").c_str());
            rmdir(folder_.c_str());
        }
    }

    // Runs OpenSSL's DES-ECB without padding on data; decrypts when `decrypt` is set.
    Bytes Run(const Bytes& key, const Bytes& data, bool decrypt) {
        const std::string in = folder_ + "/in";
        const std::string out = folder_ + "/out";
        {
            std::ofstream file(in, std::ios::binary | std::ios::trunc);
            file.write(reinterpret_cast<const char*>(data.data()),
                       static_cast<std::streamsize>(data.size()));
        }
        const std::string command = std::string("openssl enc ") + (decrypt ? "-d " : "-e ") +
                                    "-des-ecb -nopad -provider legacy -provider default -K " +
                                    ToHex(key) + " -in " + in + " -out " + out;
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        std::ifstream file(out, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }

    std::string folder_;
};

Bytes RandomBytes(std::mt19937* random, std::size_t count) {
    Bytes bytes(count);
    for (unsigned char& byte : bytes) {
        byte = static_cast<unsigned char>((*random)());
    }
    return bytes;
}

TEST_F(OpensslDes, RandomKeysAndTextsAgreeInBothDirections) {
    std::mt19937 random(0x5eed);
    for (int round = 0; round < 12; ++round) {
        const Bytes key = RandomBytes(&random, 8);
        const Bytes plain = RandomBytes(&random, 8 * (1 + random() % 6));
        SCOPED_TRACE(ToHex(key));
        DesCrypt des;
        des.SetSkipParityTest(true);
        ASSERT_TRUE(des.SetKey(key.data()));

        // OpenSSL encrypts, we decrypt.
        const Bytes theirCipher = Run(key, plain, false);
        const std::string hex = ToHex(theirCipher);
        Bytes ourPlain;
        des.DecryptHex(hex.data(), hex.size(), &ourPlain);
        EXPECT_EQ(ourPlain, plain);

        // We encrypt, OpenSSL decrypts.
        Bytes ourCipher(plain.size());
        for (std::size_t offset = 0; offset < plain.size(); offset += 8) {
            EncryptBlock(des, &plain[offset], &ourCipher[offset]);
        }
        EXPECT_EQ(ourCipher, theirCipher);
        EXPECT_EQ(Run(key, ourCipher, true), plain);
    }
}

// The builder's text output for a package key decrypts with OpenSSL under the key bytes the
// launcher derives from the same file name, giving the text followed by blank padding.
TEST_F(OpensslDes, PackageTextKeyMatchesRawKeyBytes) {
    const char* names[] = {"setup.exe", "vx", "",
                           "A\xE9t\xE9"
                           "conf"};
    const std::string config = "<config>\r\n  <item name=\"x\" value=\"1\"/>\r\n</config>\r\n";
    for (const char* name : names) {
        SCOPED_TRACE(name);
        unsigned char key[8];
        DesCrypt::PrepareKey(name, key);
        const std::string hex = EncryptToHex(
            name, reinterpret_cast<const unsigned char*>(config.data()), config.size());
        Bytes cipher(hex.size() / 2);
        for (std::size_t i = 0; i < cipher.size(); ++i) {
            cipher[i] = static_cast<unsigned char>(std::stoi(hex.substr(2 * i, 2), nullptr, 16));
        }
        Bytes expected(config.begin(), config.end());
        expected.resize(cipher.size(), ' ');
        EXPECT_EQ(Run(Bytes(key, key + 8), cipher, true), expected);
    }
}

} // namespace
