#include "package_view.h"

#include "cp1252.h"

namespace zorpack {

const char kDefinitionVersion[] = "2.0.1.0";
const char kPackageDataMember[] = "vx_data.xml";

namespace {

const char kLanguage[] = "en";

// "<name>.xml" for the package file, as the launcher forms it from its own path.
std::string definitionNameFor(const std::string& packageFileName) {
    std::string name = packageFileName;
    const std::size_t slash = name.find_last_of("\\/:");
    if (slash != std::string::npos)
        name.erase(0, slash + 1);
    const std::size_t dot = name.find_last_of('.');
    if (dot != std::string::npos)
        name.erase(dot);
    return name + ".xml";
}

bool hasXmlExtension(const std::string& name) {
    return name.size() >= 4 && equalsIgnoringCase(name.substr(name.size() - 4), ".xml");
}

bool isExactlyOne(const std::string* value) {
    return value != nullptr && *value == "1";
}

const XmlNode* child(const XmlDocument& document, const XmlNode* parent, const char* name) {
    return parent != nullptr ? document.findChild(parent, name) : nullptr;
}

bool readDocument(const PackageMembers& members, std::size_t index, XmlDocument& document,
                  std::string& problem) {
    std::vector<unsigned char> bytes;
    if (!members.read(index, bytes, problem))
        return false;
    if (!document.parse(bytes, problem)) {
        problem = "not well-formed XML (" + problem + ")";
        return false;
    }
    return true;
}

} // namespace

void PackageView::load(const PackageMembers& members, const std::string& packageFileName) {
    *this = PackageView();
    expectedDefinitionName_ = definitionNameFor(packageFileName);
    const std::vector<std::string>& names = members.names();

    std::string cp1252Name, ignored;
    const std::ptrdiff_t named =
        utf8ToCp1252(expectedDefinitionName_, cp1252Name, ignored) ? members.find(cp1252Name) : -1;
    if (named >= 0) {
        definitionSource_ = DefinitionSource::NamedAfterPackage;
        definitionMember_ = names[static_cast<std::size_t>(named)];
        readDocument(members, static_cast<std::size_t>(named), definition_, definitionProblem_);
    } else {
        // The launcher's search by version: the first ".xml" member in archive order that
        // parses and has a top-level zor_package of that version.
        for (std::size_t i = 0; i < names.size(); ++i) {
            if (!hasXmlExtension(names[i]) || members.size(i) == 0 ||
                members.size(i) > kMaxReadableMemberBytes)
                continue;
            XmlDocument candidate;
            std::string problem;
            if (!readDocument(members, i, candidate, problem) ||
                !candidate.findChild(nullptr, "zor_package", "version", kDefinitionVersion))
                continue;
            definitionSource_ = DefinitionSource::FoundByVersion;
            definitionMember_ = names[i];
            definition_ = std::move(candidate);
            break;
        }
    }

    packageDataMember_ = members.find(kPackageDataMember);
    if (packageDataMember_ >= 0)
        readDocument(members, static_cast<std::size_t>(packageDataMember_), data_,
                     packageDataProblem_);
}

const XmlNode* PackageView::definitionRoot() const {
    return definition_.findChild(nullptr, "zor_package");
}

const XmlNode* PackageView::dataRoot() const {
    return data_.findChild(nullptr, "vx_pkg_data");
}

const std::string* PackageView::definitionRootVersion() const {
    const XmlNode* root = definitionRoot();
    return root != nullptr ? attributeOf(*root, "version") : nullptr;
}

const XmlNode* PackageView::findLocalized(const XmlDocument& document, const XmlNode* parent,
                                          const std::string& name) const {
    if (parent == nullptr)
        return nullptr;
    return document.findChild(parent, name, "lang", kLanguage);
}

const std::string* PackageView::fileName() const {
    return definition_.elementText(child(definition_, definitionRoot(), "filename"));
}

const std::string* PackageView::localizedName() const {
    const XmlNode* name = child(definition_, definitionRoot(), "name");
    return definition_.elementText(findLocalized(definition_, name, "name_xlate"));
}

const std::string* PackageView::version() const {
    const XmlNode* version = child(definition_, definitionRoot(), "version");
    return version != nullptr ? attributeOf(*version, "value") : nullptr;
}

const XmlNode* PackageView::installElement(const XmlDocument& document, const XmlNode* root) const {
    return child(document, child(document, root, "installation"), "install");
}

const std::string* PackageView::installCommand() const {
    const XmlNode* install = installElement(definition_, definitionRoot());
    return definition_.elementText(child(definition_, install, "command"));
}

const std::string* PackageView::installParams() const {
    const XmlNode* install = installElement(definition_, definitionRoot());
    return definition_.elementText(child(definition_, install, "command_params"));
}

const std::string* PackageView::swKeyName() const {
    const XmlNode* keys =
        child(definition_, child(definition_, definitionRoot(), "sw_keys"), "sw_keys_and");
    const XmlNode* key = child(definition_, keys, "sw_key");
    return key != nullptr ? attributeOf(*key, "name") : nullptr;
}

const std::string* PackageView::swKeyExpectedPath() const {
    const XmlNode* keys =
        child(definition_, child(definition_, definitionRoot(), "sw_keys"), "sw_keys_and");
    return definition_.elementText(
        child(definition_, child(definition_, keys, "sw_key"), "sw_key_expectedpath"));
}

std::vector<std::pair<std::string, std::string>> PackageView::settings() const {
    std::vector<std::pair<std::string, std::string>> result;
    const XmlNode* settings = child(data_, dataRoot(), "settings");
    if (settings == nullptr)
        return result;
    for (const XmlNode* value : data_.childrenInLauncherOrder(*settings)) {
        const std::string* name = attributeOf(*value, "name");
        if (value->kind != XmlNode::Kind::Element || value->name != "value" || name == nullptr)
            continue;
        bool seen = false;
        for (const auto& known : result)
            seen = seen || equalsIgnoringCase(known.first, *name);
        if (seen)
            continue;
        const std::string* text = attributeOf(*value, "value");
        result.emplace_back(*name, text != nullptr ? *text : std::string());
    }
    return std::vector<std::pair<std::string, std::string>>(result.rbegin(), result.rend());
}

const std::string* PackageView::setting(const std::string& name) const {
    const XmlNode* settings = child(data_, dataRoot(), "settings");
    const XmlNode* value =
        settings != nullptr ? data_.findChild(settings, "value", "name", name) : nullptr;
    return value != nullptr ? attributeOf(*value, "value") : nullptr;
}

std::vector<MapEntry> PackageView::effectiveMap(const char* mapName) const {
    std::vector<MapEntry> result;
    const XmlNode* map = child(data_, installElement(data_, dataRoot()), mapName);
    if (map == nullptr)
        return result;
    for (const XmlNode* entry : data_.childrenInLauncherOrder(*map)) {
        const std::string* source = attributeOf(*entry, "source");
        if (entry->kind != XmlNode::Kind::Element || entry->name != "map" || source == nullptr)
            continue;
        bool seen = false;
        for (const MapEntry& known : result)
            seen = seen || equalsIgnoringCase(known.source, *source);
        if (seen)
            continue;
        MapEntry effective;
        effective.source = *source;
        if (const std::string* dest = attributeOf(*entry, "dest"))
            effective.dest = *dest;
        result.push_back(std::move(effective));
    }
    return std::vector<MapEntry>(result.rbegin(), result.rend());
}

std::vector<MapEntry> PackageView::argumentMap() const {
    return effectiveMap("commandline_arg_map");
}

std::vector<MapEntry> PackageView::returnCodeMap() const {
    return effectiveMap("returncode_map");
}

ConfigurationFacts PackageView::configuration() const {
    ConfigurationFacts facts;
    const XmlNode* root = dataRoot();
    if (root == nullptr)
        return facts;
    const XmlNode* configuration = data_.findChild(root, "configuration");
    if (const XmlNode* virtualization = data_.findChild(root, "virtualization"))
        facts.virtualizationAllowed = isExactlyOne(attributeOf(*virtualization, "allow"));
    if (configuration == nullptr)
        return facts;
    facts.required = isExactlyOne(attributeOf(*configuration, "required"));
    const XmlNode* uiName =
        findLocalized(data_, data_.findChild(configuration, "configui"), "filename");
    const std::string* uiText = data_.elementText(uiName);
    if (uiText != nullptr && !uiText->empty())
        facts.configUiFile = *uiText;

    const XmlNode* configFile = data_.findChild(configuration, "config_file");
    facts.hasConfigFileElement = configFile != nullptr;
    const XmlNode* fileName =
        configFile != nullptr ? data_.findChild(configFile, "filename") : uiName;
    if (fileName != nullptr) {
        facts.encrypt = isExactlyOne(attributeOf(*fileName, "encrypt"));
        const std::string* text = data_.elementText(fileName);
        if (text != nullptr && !text->empty())
            facts.configFile = *text;
    }
    facts.found = facts.configUiFile.has_value() || facts.configFile.has_value();
    return facts;
}

const std::string* PackageView::licenseFile() const {
    const XmlNode* license = child(data_, dataRoot(), "license");
    return data_.elementText(findLocalized(data_, license, "filename"));
}

} // namespace zorpack
