#include "cppkg.h"

#include <windows.h>
#include <oleauto.h>

#include <cwchar>
#include <string>
#include <vector>

#include "archive_member.h"
#include "launcher_options.h"
#include "zip_file.h"

namespace zor {
namespace {

const wchar_t kDefinitionRoot[] = L"zor_package";
const wchar_t kDataRoot[] = L"vx_pkg_data";
const wchar_t kPackageDataMember[] = L"vx_data.xml";

// Copies `text` into a fixed field; text that does not fit is refused (field left empty),
// since a shortened file name would name a different file.
template <size_t N> bool StoreName(wchar_t (&field)[N], const wchar_t* text) {
    field[0] = L'\0';
    if (!text) return false;
    const size_t length = std::wcslen(text);
    if (length >= N) return false;
    std::wmemcpy(field, text, length + 1);
    return true;
}

bool IsExactlyOne(const wchar_t* value) { return value && std::wcscmp(value, L"1") == 0; }

// FindChild with a null parent searches from the document root; a missing parent must find
// nothing instead.
const CZorXMLNode* Child(const CZorXMLReader& document, const CZorXMLNode* parent,
                         const wchar_t* name) {
    return parent ? document.FindChild(parent, name) : nullptr;
}

} // namespace

const wchar_t* ElementText(const CZorXMLNode* element) {
    if (!element) return nullptr;
    const CZorXMLNode* child = element->GetFirstChild();
    if (!child || child->GetNodeType() != CZorXMLNode::kText) return nullptr;
    return child->GetText();
}

CPPkg::CPPkg()
    : definition_(XmlChildOrder::Launcher), packageData_(XmlChildOrder::Launcher), language_{},
      archivePath_{}, configuration_{} {
    ::VariantInit(&configData_);
    Clear();
}

CPPkg::~CPPkg() { Clear(); }

bool CPPkg::Clear() {
    ::VariantClear(&configData_);
    ::VariantInit(&configData_);
    language_[0] = L'e';
    language_[1] = L'n';
    language_[2] = L'\0';
    configuration_ = ConfigurationRecord{};
    archivePath_[0] = L'\0';
    definition_.Reset();
    packageData_.Reset();
    return true;
}

bool CPPkg::LoadForModule(const wchar_t* launcherPath, const wchar_t* language) {
    if (!launcherPath) return false;
    std::wstring name = launcherPath;
    const size_t slash = name.find_last_of(L"\\/:");
    if (slash != std::wstring::npos) name.erase(0, slash + 1);
    const size_t dot = name.find_last_of(L'.');
    if (dot != std::wstring::npos) name.erase(dot);
    name += L".xml";
    return Load(launcherPath, name.c_str(), language);
}

bool CPPkg::Load(const wchar_t* archivePath, const wchar_t* memberName, const wchar_t* language) {
    if (!archivePath || !memberName) return false;
    if (IsLoaded()) Clear();
    if (language && language[0] && language[1]) {
        language_[0] = language[0];
        language_[1] = language[1];
        language_[2] = L'\0';
    }
    if (std::wcslen(archivePath) > static_cast<size_t>(kPackagePathMax)) return false;

    vozoru::ZIP_File archive;
    if (archive.OpenArchive(archivePath, true) != 0) return false;

    std::vector<unsigned char> bytes;
    if (ReadArchiveMember(archive, memberName, bytes) != MemberRead::Read) return false;
    if (definition_.LoadBuffer(bytes.data(), bytes.size()) != CZorXMLReader::kLoaded) return false;

    // Package data is optional: a missing or unreadable one simply has no effects.
    if (ReadArchiveMember(archive, kPackageDataMember, bytes) == MemberRead::Read &&
        packageData_.LoadBuffer(bytes.data(), bytes.size()) == CZorXMLReader::kLoaded &&
        ReadConfiguration(configuration_)) {
        if (!LoadConfigurationData(archive)) return false;
    }

    StoreName(archivePath_, archivePath);
    return true;
}

const CZorXMLNode* CPPkg::DefinitionRoot() const {
    return definition_.FindChild(nullptr, kDefinitionRoot);
}

const CZorXMLNode* CPPkg::DataRoot() const { return packageData_.FindChild(nullptr, kDataRoot); }

const CZorXMLNode* CPPkg::FindLocalized(const CZorXMLReader& document, const CZorXMLNode* parent,
                                        const wchar_t* name) const {
    if (!parent) return nullptr;
    const CZorXMLNode* found = document.FindChild(parent, name, L"lang", language_);
    return found ? found : document.FindChild(parent, name, L"lang", L"en");
}

const wchar_t* CPPkg::GetSetting(const wchar_t* name) const {
    const CZorXMLNode* settings = Child(packageData_, DataRoot(), L"settings");
    if (!settings || !name) return nullptr;
    const CZorXMLNode* value = packageData_.FindChild(settings, L"value", L"name", name);
    return value ? value->GetAttribute(L"value") : nullptr;
}

bool CPPkg::IsSettingOn(const wchar_t* name) const { return IsExactlyOne(GetSetting(name)); }

const wchar_t* CPPkg::GetFileName() const {
    return ElementText(Child(definition_, DefinitionRoot(), L"filename"));
}

const wchar_t* CPPkg::GetLocalizedName() const {
    const CZorXMLNode* name = Child(definition_, DefinitionRoot(), L"name");
    return ElementText(FindLocalized(definition_, name, L"name_xlate"));
}

const wchar_t* CPPkg::GetVersion() const {
    const CZorXMLNode* version = Child(definition_, DefinitionRoot(), L"version");
    return version ? version->GetAttribute(L"value") : nullptr;
}

const wchar_t* CPPkg::GetLocalizedDescription() const {
    const CZorXMLNode* description = Child(definition_, DefinitionRoot(), L"description");
    const CZorXMLNode* chosen = FindLocalized(definition_, description, L"description_xlate");
    if (!chosen) return nullptr;
    if (const CZorXMLNode* cdata = chosen->FindChildByName(L"#CDATA")) return cdata->GetText();
    return ElementText(chosen);
}

namespace {

// zor_package/installation/install, or null.
const CZorXMLNode* InstallElement(const CZorXMLReader& document, const CZorXMLNode* root) {
    return Child(document, Child(document, root, L"installation"), L"install");
}

// zor_package/sw_keys/sw_keys_and/sw_key, or null.
const CZorXMLNode* SwKeyElement(const CZorXMLReader& document, const CZorXMLNode* root) {
    return Child(document, Child(document, Child(document, root, L"sw_keys"), L"sw_keys_and"),
                 L"sw_key");
}

} // namespace

const wchar_t* CPPkg::GetInstallCommand() const {
    const CZorXMLNode* install = InstallElement(definition_, DefinitionRoot());
    return ElementText(Child(definition_, install, L"command"));
}

const wchar_t* CPPkg::GetInstallParams() const {
    const CZorXMLNode* install = InstallElement(definition_, DefinitionRoot());
    return ElementText(Child(definition_, install, L"command_params"));
}

const wchar_t* CPPkg::GetSwKeyName() const {
    const CZorXMLNode* key = SwKeyElement(definition_, DefinitionRoot());
    return key ? key->GetAttribute(L"name") : nullptr;
}

const wchar_t* CPPkg::GetSwKeyExpectedPath() const {
    const CZorXMLNode* key = SwKeyElement(definition_, DefinitionRoot());
    return ElementText(Child(definition_, key, L"sw_key_expectedpath"));
}

const wchar_t* CPPkg::MapArgument(const wchar_t* argument) const {
    const CZorXMLNode* install = InstallElement(packageData_, DataRoot());
    const CZorXMLNode* map = Child(packageData_, install, L"commandline_arg_map");
    if (!map || !argument) return argument;
    const CZorXMLNode* entry = packageData_.FindChild(map, L"map", L"source", argument);
    const wchar_t* dest = entry ? entry->GetAttribute(L"dest") : nullptr;
    return dest ? dest : argument;
}

int32_t CPPkg::MapReturnCode(int32_t code) const {
    const CZorXMLNode* install = InstallElement(packageData_, DataRoot());
    const CZorXMLNode* map = Child(packageData_, install, L"returncode_map");
    if (!map) return code;
    const std::wstring source = std::to_wstring(code);
    const CZorXMLNode* entry = packageData_.FindChild(map, L"map", L"source", source.c_str());
    const wchar_t* dest = entry ? entry->GetAttribute(L"dest") : nullptr;
    return dest ? ParseSignedDecimal(dest) : code;
}

bool CPPkg::ReadConfiguration(ConfigurationRecord& record) const {
    const CZorXMLNode* root = DataRoot();
    if (!packageData_.IsLoaded() || !root) return false;
    const CZorXMLNode* configuration = packageData_.FindChild(root, L"configuration");
    const CZorXMLNode* virtualization = packageData_.FindChild(root, L"virtualization");
    bool found = false;
    if (configuration) {
        record.required = IsExactlyOne(configuration->GetAttribute(L"required"));
        const CZorXMLNode* configUi = packageData_.FindChild(configuration, L"configui");
        const CZorXMLNode* uiName = FindLocalized(packageData_, configUi, L"filename");
        if (StoreName(record.configUiFile, ElementText(uiName))) found = true;

        const CZorXMLNode* configFile = packageData_.FindChild(configuration, L"config_file");
        const CZorXMLNode* fileName =
            configFile ? packageData_.FindChild(configFile, L"filename") : uiName;
        if (fileName) {
            record.encrypt = IsExactlyOne(fileName->GetAttribute(L"encrypt"));
            if (StoreName(record.configFile, ElementText(fileName))) found = true;
        }
    }
    if (virtualization)
        record.virtualizationAllowed = IsExactlyOne(virtualization->GetAttribute(L"allow"));
    return found;
}

} // namespace zor
