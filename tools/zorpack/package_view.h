// What the launcher reads from a package: it finds the package definition and the package data
// ("vx_data.xml") among the members and answers the same lookups as the launcher's package
// object, in the language "en". Texts are UTF-8; member names are code page 1252.
#pragma once
#include "package_members.h"
#include "xml_document.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace zorpack {

extern const char kDefinitionVersion[]; // "2.0.1.0"
extern const char kPackageDataMember[]; // "vx_data.xml"

enum class DefinitionSource {
    None,
    NamedAfterPackage, // "<package name without extension>.xml"
    FoundByVersion,    // first ".xml" member whose root zor_package has version 2.0.1.0
};

struct ConfigurationFacts {
    bool found = false; // a configuration UI file or a configuration file is named
    std::optional<std::string> configUiFile;
    std::optional<std::string> configFile;
    bool encrypt = false;
    bool required = false;
    bool virtualizationAllowed = false;
    bool hasConfigFileElement = false; // configuration/config_file exists
};

struct MapEntry {
    std::string source;
    std::optional<std::string> dest;
};

class PackageView {
public:
    // Finds and parses the documents. `packageFileName` is the package file's name (UTF-8,
    // folders allowed); the definition named after it wins over the search by version.
    void load(const PackageMembers& members, const std::string& packageFileName);

    DefinitionSource definitionSource() const { return definitionSource_; }
    const std::string& definitionMember() const { return definitionMember_; }
    // Why the definition cannot be used (not readable, not well-formed); empty when fine.
    const std::string& definitionProblem() const { return definitionProblem_; }
    // The member name the launcher tries first: "<package name>.xml" (UTF-8).
    const std::string& expectedDefinitionName() const { return expectedDefinitionName_; }

    bool hasPackageData() const { return packageDataMember_ >= 0; }
    const std::string& packageDataProblem() const { return packageDataProblem_; }
    bool packageDataLoaded() const { return data_.loaded(); }

    const XmlNode* definitionRoot() const;
    const XmlNode* dataRoot() const;
    const std::string* definitionRootVersion() const;

    const std::string* fileName() const;
    const std::string* localizedName() const;
    const std::string* version() const;
    const std::string* installCommand() const;
    const std::string* installParams() const;
    const std::string* swKeyName() const;
    const std::string* swKeyExpectedPath() const;

    // Each distinct setting name (ignoring case) with the value the launcher reads for it:
    // that of the last `value` element in document order. In document order of first use.
    std::vector<std::pair<std::string, std::string>> settings() const;
    const std::string* setting(const std::string& name) const;

    // The `map` entries that take effect: for sources that repeat (ignoring case) only the
    // last one in document order.
    std::vector<MapEntry> argumentMap() const;
    std::vector<MapEntry> returnCodeMap() const;

    ConfigurationFacts configuration() const;
    const std::string* licenseFile() const;

private:
    const XmlNode* findLocalized(const XmlDocument& document, const XmlNode* parent,
                                 const std::string& name) const;
    const XmlNode* installElement(const XmlDocument& document, const XmlNode* root) const;
    std::vector<MapEntry> effectiveMap(const char* mapName) const;

    DefinitionSource definitionSource_ = DefinitionSource::None;
    std::string definitionMember_;
    std::string definitionProblem_;
    std::string expectedDefinitionName_;
    std::ptrdiff_t packageDataMember_ = -1;
    std::string packageDataProblem_;
    XmlDocument definition_;
    XmlDocument data_;
};

} // namespace zorpack
