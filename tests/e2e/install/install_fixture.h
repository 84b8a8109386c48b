// A package whose setup utility is the fake that records its command line and folder, and
// the helpers to read what an installation left behind.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "temp_folder.h"

namespace zor::test {

// Registry key under which installed components are recorded.
constexpr const wchar_t* kRevisionKey =
    L"Software\\Arvex-Tellam\\Version Control\\ArvexRevisionManagement";

struct SetupRecord {
    bool present = false;
    std::wstring commandLine;
    std::wstring folder;
};

class InstallFixture {
public:
    InstallFixture();
    ~InstallFixture();

    // Members of the package besides the definition and the setup utility.
    void AddMember(const std::wstring& name, const std::string& content);
    // The definition's install element and software key; defaults: "vazuvuda.exe", no
    // parameters, key name "ZorTest<pid>" and expected path "FIRMWARE:OPTION\\test".
    std::string command = "vazuvuda.exe";
    std::string commandParams;
    std::wstring swKeyName;
    bool includeSetupUtility = true;
    // False: the builder stores the configuration file as given, even when the package data
    // marks it encrypted (for packages whose configuration text is broken on purpose).
    bool encryptConfiguration = true;

    // Builds "<name>.exe" with its definition "<name>.xml"; returns the package path.
    std::wstring Build(const std::wstring& name = L"inst");
    // Runs the package with `arguments`, the fake exiting with `exitCode`, the launcher's
    // current folder being `folder` (null: the test's); returns the launcher's exit code (-1 on
    // timeout).
    long Run(const std::wstring& arguments, long exitCode = 1, const wchar_t* copyName = nullptr,
             const wchar_t* folder = nullptr);

    SetupRecord Record() const;
    std::string Copied(const std::wstring& name) const;
    TempFolder& work() { return work_; }

private:
    TempFolder work_{L"ie"};
    std::wstring package_;
    std::vector<std::pair<std::wstring, std::string>> members_;
};

// Stops the WMI service for the lifetime of the object and starts it again afterwards, so that
// later tests find it running whatever happened in between.
class StoppedWmiService {
public:
    StoppedWmiService();
    ~StoppedWmiService();
    StoppedWmiService(const StoppedWmiService&) = delete;
    StoppedWmiService& operator=(const StoppedWmiService&) = delete;
    bool stopped() const { return stopped_; }

private:
    SC_HANDLE manager_ = nullptr;
    SC_HANDLE service_ = nullptr;
    bool stopped_ = false;
};

// Reads a REG_SZ value of HKLM\<key> in the 64-bit view; empty when missing.
std::wstring ReadMachineString(const std::wstring& key, const wchar_t* value);
bool MachineKeyExists(const std::wstring& key);
void DeleteMachineTree(const std::wstring& key);

// The launcher's normal log ("vazuvuda.log" in the default log folder) as text.
std::string ReadNormalLog();
// A verbose log of the default log folder, by file name.
std::string ReadVerboseLog(const std::wstring& name);
void RemoveLogs();

} // namespace zor::test
