// The package author's side of encrypted configuration files: DES in ECB mode, encryption
// direction, with the key derivation the launcher uses for decryption. The launcher does not link
// this file.
//
// Padding: the launcher keeps every decrypted byte, so a plaintext whose length is not a multiple
// of 8 is padded with 1 to 7 blanks (0x20). The file the launcher writes is then the plaintext
// followed by those blanks. Configuration files are text (XML or name=value lines), where
// trailing blanks after the last element or line are ignored; authors of binary configuration
// files should make the length a multiple of 8 themselves.
#pragma once

#include "des_crypt.h"

#include <cstddef>
#include <string>

// Encrypts one 8-byte block with the key set in des. Throws DesCryptException when no key is set.
void EncryptBlock(const DesCrypt& des, const unsigned char input[DesCrypt::kBlockSize],
                  unsigned char output[DesCrypt::kBlockSize]);

constexpr unsigned char kDesPaddingByte = 0x20;

// Encrypts `length` bytes of plaintext (padded as described above) with the key the launcher
// derives from keyText (DesCrypt::SetPackageKey) and returns the ciphertext as upper-case
// hexadecimal text, 16 characters per block. keyText must be the package definition's file name
// in the bytes the launcher will see: its text in the target system's ANSI code page.
std::string EncryptToHex(const char* keyText, const unsigned char* plaintext, std::size_t length);
