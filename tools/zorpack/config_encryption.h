// Encryption of the configuration file while a package is built. When the package data marks
// the configuration file encrypted, the archive holds its DES ciphertext as upper-case
// hexadecimal text, made with the key the launcher derives from the definition's filename text
// in Windows-1252 (its first 8 bytes, padded with blanks). The plaintext is padded with 1 to 7
// blanks (0x20) to a multiple of 8 bytes; the launcher keeps those blanks.
#pragma once
#include "package_members.h"

#include <optional>
#include <string>
#include <vector>

namespace zorpack {

struct EncryptionPlan {
    std::size_t memberIndex = 0;
    std::string keyText; // code page 1252
};

// Decides from the members to be packed (the package will be named `packageFileName`) whether
// one must be stored encrypted. False with a message when it must but cannot be: no key text,
// a key text without a Windows-1252 form, or a configuration file that is a package document.
bool planEncryption(const PackageMembers& members, const std::string& packageFileName,
                    std::optional<EncryptionPlan>& plan, std::string& error);

// The hexadecimal ciphertext of `plaintext`.
std::string encryptConfiguration(const std::vector<unsigned char>& plaintext,
                                 const std::string& keyText);

} // namespace zorpack
