// The launcher's view of the package it carries: the package definition and the optional
// package data ("vx_data.xml") taken out of the launcher's own archive, and the configuration
// file's bytes (decrypted when the package marks them encrypted).
#pragma once
#include <windows.h>
#include <oaidl.h>

#include <cstdint>

#include "zor_xml_reader.h"

namespace vozoru {
class ZIP_File;
}

namespace zor {

// Longest names the configuration record and the archive path hold, terminator excluded.
constexpr int kPackagePathMax = 260;

struct ConfigurationRecord {
    wchar_t configUiFile[kPackagePathMax + 1];
    wchar_t configFile[kPackagePathMax + 1];
    uint8_t required;
    uint8_t encrypt;
    uint8_t virtualizationAllowed;
};

class CPPkg {
public:
    CPPkg();
    virtual ~CPPkg();
    CPPkg(const CPPkg&) = delete;
    CPPkg& operator=(const CPPkg&) = delete;

    // Loads the definition member `memberName` of the archive at `archivePath`, then the
    // package data and the configuration file. `language` (may be null = keep) selects the
    // localized texts.
    bool Load(const wchar_t* archivePath, const wchar_t* memberName, const wchar_t* language);
    // Load with the member named after the launcher's file: "<name>.xml".
    bool LoadForModule(const wchar_t* launcherPath, const wchar_t* language);
    bool Clear();
    bool IsLoaded() const { return archivePath_[0] != L'\0'; }

    // Value of a package setting, or null.
    const wchar_t* GetSetting(const wchar_t* name) const;
    // True when the setting's value is exactly "1".
    bool IsSettingOn(const wchar_t* name) const;

    const wchar_t* GetFileName() const;
    const wchar_t* GetLocalizedName() const;
    const wchar_t* GetVersion() const;
    const wchar_t* GetLocalizedDescription() const;
    const wchar_t* GetInstallCommand() const;
    const wchar_t* GetInstallParams() const;
    const wchar_t* GetSwKeyName() const;
    const wchar_t* GetSwKeyExpectedPath() const;

    const wchar_t* MapArgument(const wchar_t* argument) const;
    int32_t MapReturnCode(int32_t code) const;

    bool ReadConfiguration(ConfigurationRecord& record) const;
    bool HasConfigUi() const { return configuration_.configUiFile[0] != L'\0'; }
    const wchar_t* GetConfigFileName() const { return configuration_.configFile; }
    const VARIANT& GetConfigData() const { return configData_; }
    bool IsVirtualizationAllowed() const { return configuration_.virtualizationAllowed != 0; }
    const ConfigurationRecord& GetConfiguration() const { return configuration_; }
    const wchar_t* GetLanguage() const { return language_; }
    const wchar_t* GetArchivePath() const { return archivePath_; }

    // Sum of the uncompressed sizes of every member of the stored archive; 0 when it cannot
    // be opened.
    bool GetPackageSize(uint64_t* size) const;
    // License text: with `*length` smaller than needed, stores the needed size and returns
    // true (size query); otherwise fills `buffer` with the text and zero bytes after it.
    bool GetLicense(char* buffer, uint32_t* length) const;

private:
    const CZorXMLNode* DefinitionRoot() const;
    const CZorXMLNode* DataRoot() const;
    // The child `name` of `parent` whose `lang` is the package language, else "en".
    const CZorXMLNode* FindLocalized(const CZorXMLReader& document, const CZorXMLNode* parent,
                                     const wchar_t* name) const;
    // Extracts the configuration member into the configuration data; false only when the
    // member is present but cannot be read.
    bool LoadConfigurationData(vozoru::ZIP_File& archive);

    CZorXMLReader definition_;
    CZorXMLReader packageData_;
    wchar_t language_[3];
    wchar_t archivePath_[kPackagePathMax + 1];
    VARIANT configData_;
    ConfigurationRecord configuration_;
};

// Text of an element: its first child when that child is text or CDATA; else null.
const wchar_t* ElementText(const CZorXMLNode* element);

} // namespace zor
