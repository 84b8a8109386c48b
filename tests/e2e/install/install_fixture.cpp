#include "install_fixture.h"

#include "package_fixture.h"
#include "process_runner.h"

namespace zor::test {
namespace {

std::wstring LogFolder() {
    wchar_t drive[16] = {};
    ::GetEnvironmentVariableW(L"SystemDrive", drive, 16);
    return std::wstring(drive) + L"\\ridezezer\\log";
}

} // namespace

InstallFixture::InstallFixture() {
    swKeyName = L"ZorTest" + std::to_wstring(::GetCurrentProcessId());
    DeleteMachineTree(std::wstring(kRevisionKey) + L"\\" + swKeyName);
}

InstallFixture::~InstallFixture() {
    DeleteMachineTree(std::wstring(kRevisionKey) + L"\\" + swKeyName);
    ::SetEnvironmentVariableW(L"ZOR_FAKE_SETUP_RECORD", nullptr);
    ::SetEnvironmentVariableW(L"ZOR_FAKE_SETUP_EXIT", nullptr);
    ::SetEnvironmentVariableW(L"ZOR_FAKE_SETUP_COPY", nullptr);
}

void InstallFixture::AddMember(const std::wstring& name, const std::string& content) {
    members_.emplace_back(name, content);
}

std::wstring InstallFixture::Build(const std::wstring& name) {
    const std::wstring source = work_ / (name + L"_src");
    MakeFolder(source);
    std::string key(swKeyName.begin(), swKeyName.end());
    std::string fileName(name.begin(), name.end());
    const std::string definition =
        "<?xml version=\"1.0\"?>\n<zor_package version=\"2.0.1.0\">\n"
        "  <filename>" + fileName + ".exe</filename>\n"
        "  <name><name_xlate lang=\"en\">Installer Test</name_xlate></name>\n"
        "  <version value=\"1.0.0.7\"/>\n"
        "  <sw_keys><sw_keys_and><sw_key name=\"" + key + "\">"
        "<sw_key_expectedpath>FIRMWARE:OPTION\\test</sw_key_expectedpath></sw_key>"
        "</sw_keys_and></sw_keys>\n"
        "  <installation><install><command>" + command + "</command>" +
        (commandParams.empty() ? std::string() : "<command_params>" + commandParams + "</command_params>") +
        "</install></installation>\n</zor_package>\n";
    WriteFileBytes(source + L"\\" + name + L".xml",
                   std::vector<unsigned char>(definition.begin(), definition.end()));
    if (includeSetupUtility)
        ::CopyFileW((ProgramFolder() + L"\\fake_setup.exe").c_str(),
                    (source + L"\\vazuvuda.exe").c_str(), FALSE);
    for (const auto& [member, content] : members_) {
        for (size_t slash = member.find(L'\\'); slash != std::wstring::npos;
             slash = member.find(L'\\', slash + 1))
            MakeFolder(source + L"\\" + member.substr(0, slash));
        WriteFileBytes(source + L"\\" + member,
                       std::vector<unsigned char>(content.begin(), content.end()));
    }
    package_ = work_ / (name + L".exe");
    // The builder encrypts configuration files the package data marks encrypted, as it does for
    // authors; its package check stays off because some fixtures are broken on purpose.
    return BuildPackage(source, package_,
                        encryptConfiguration ? L"--no-check" : L"--no-check --no-encrypt")
               ? package_
               : std::wstring();
}

long InstallFixture::Run(const std::wstring& arguments, long exitCode, const wchar_t* copyName,
                         const wchar_t* folder) {
    const std::wstring record = work_ / L"record.txt";
    ::DeleteFileW(record.c_str());
    ::SetEnvironmentVariableW(L"ZOR_FAKE_SETUP_RECORD", record.c_str());
    ::SetEnvironmentVariableW(L"ZOR_FAKE_SETUP_EXIT", std::to_wstring(exitCode).c_str());
    ::SetEnvironmentVariableW(L"ZOR_FAKE_SETUP_COPY", copyName);
    ChildProcess launcher(Quote(package_) + L" " + arguments, folder);
    return launcher.started() ? launcher.Wait(90000) : -1;
}

SetupRecord InstallFixture::Record() const {
    SetupRecord result;
    std::vector<unsigned char> bytes;
    if (!ReadFileBytes(work_ / L"record.txt", bytes)) return result;
    std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
    const size_t first = text.find(L'\n');
    const size_t second = text.find(L'\n', first + 1);
    if (first == std::wstring::npos || second == std::wstring::npos) return result;
    result.present = true;
    result.commandLine = text.substr(0, first);
    result.folder = text.substr(first + 1, second - first - 1);
    return result;
}

std::string InstallFixture::Copied(const std::wstring& name) const {
    std::vector<unsigned char> bytes;
    if (!ReadFileBytes(work_ / (L"copied_" + name), bytes)) return "<missing>";
    return std::string(bytes.begin(), bytes.end());
}

StoppedWmiService::StoppedWmiService() {
    manager_ = ::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    service_ = manager_ ? ::OpenServiceW(manager_, L"winmgmt", SERVICE_ALL_ACCESS) : nullptr;
    if (!service_) return;
    SERVICE_STATUS status = {};
    ::ControlService(service_, SERVICE_CONTROL_STOP, &status);
    for (int i = 0; i < 100 && ::QueryServiceStatus(service_, &status); ++i) {
        if (status.dwCurrentState == SERVICE_STOPPED) {
            stopped_ = true;
            break;
        }
        ::Sleep(50);
    }
}

StoppedWmiService::~StoppedWmiService() {
    if (service_) {
        ::StartServiceW(service_, 0, nullptr);
        ::CloseServiceHandle(service_);
    }
    if (manager_) ::CloseServiceHandle(manager_);
}

std::wstring ReadMachineString(const std::wstring& key, const wchar_t* value) {
    HKEY handle = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &handle) !=
        ERROR_SUCCESS)
        return std::wstring();
    wchar_t data[1024] = {};
    DWORD size = sizeof(data) - sizeof(wchar_t);
    DWORD type = 0;
    const LSTATUS status = ::RegQueryValueExW(handle, value, nullptr, &type,
                                              reinterpret_cast<BYTE*>(data), &size);
    ::RegCloseKey(handle);
    return status == ERROR_SUCCESS && type == REG_SZ ? std::wstring(data) : std::wstring();
}

bool MachineKeyExists(const std::wstring& key) {
    HKEY handle = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &handle) !=
        ERROR_SUCCESS)
        return false;
    ::RegCloseKey(handle);
    return true;
}

void DeleteMachineTree(const std::wstring& key) {
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, key.c_str());
}

std::string ReadNormalLog() {
    std::vector<unsigned char> bytes;
    ReadFileBytes(LogFolder() + L"\\vazuvuda.log", bytes);
    return std::string(bytes.begin(), bytes.end());
}

std::string ReadVerboseLog(const std::wstring& name) {
    std::vector<unsigned char> bytes;
    ReadFileBytes(LogFolder() + L"\\" + name, bytes);
    return std::string(bytes.begin(), bytes.end());
}

void RemoveLogs() { RemoveTree(LogFolder()); }

} // namespace zor::test
