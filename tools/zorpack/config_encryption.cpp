#include "config_encryption.h"

#include "cp1252.h"
#include "package_view.h"

#include "des_encrypt.h"

namespace zorpack {

bool planEncryption(const PackageMembers& members, const std::string& packageFileName,
                    std::optional<EncryptionPlan>& plan, std::string& error) {
    plan.reset();
    PackageView view;
    view.load(members, packageFileName);
    // Without a usable definition and package data the launcher decrypts nothing; the check
    // reports why.
    if (view.definitionRoot() == nullptr || view.dataRoot() == nullptr)
        return true;
    const ConfigurationFacts config = view.configuration();
    if (!config.found || !config.encrypt || !config.configFile)
        return true;
    std::string name, problem;
    if (!utf8ToCp1252(*config.configFile, name, problem))
        return true; // no member can carry this name; the check reports it missing
    const std::ptrdiff_t index = members.find(name);
    if (index < 0 || members.names()[static_cast<std::size_t>(index)].back() == '/')
        return true;

    const std::string& member = members.names()[static_cast<std::size_t>(index)];
    if (member == view.definitionMember() || equalsIgnoringCase(member, kPackageDataMember)) {
        error = "the configuration file \"" + *config.configFile +
                "\" is marked encrypted but is a package document, which the launcher must "
                "read as XML";
        return false;
    }
    const std::string* fileName = view.fileName();
    if (fileName == nullptr || fileName->empty()) {
        error = "the configuration file \"" + *config.configFile +
                "\" is marked encrypted, but the definition's filename, the key text, is empty";
        return false;
    }
    EncryptionPlan chosen;
    chosen.memberIndex = static_cast<std::size_t>(index);
    if (!utf8ToCp1252(*fileName, chosen.keyText, problem)) {
        error = "the definition's filename, the key text of the encrypted configuration file, "
                "has no Windows-1252 form: " +
                problem;
        return false;
    }
    plan = std::move(chosen);
    return true;
}

std::string encryptConfiguration(const std::vector<unsigned char>& plaintext,
                                 const std::string& keyText) {
    return EncryptToHex(keyText.c_str(), plaintext.data(), plaintext.size());
}

} // namespace zorpack
