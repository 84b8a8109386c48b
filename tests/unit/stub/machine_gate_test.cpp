// The machine checks before extraction, run over staged machine facts with a real log and a
// real package: the refusal in a virtualized guest, the TPM caution rule with and without
// "/tpmbypass", and the lines each outcome leaves in the normal and the verbose log. The WMI
// service check uses the service of the test's own prefix, which is running.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "cmp_log.h"
#include "cppkg.h"
#include "cppkg_fixture.h"
#include "fake_machine_facts.h"
#include "launcher_options.h"
#include "launcher_state.h"
#include "machine_gate.h"
#include "stub_log.h"
#include "temp_folder.h"

namespace zor::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

const char kVirtualText[] =
    "Execution currently not supported in Server Virtualized Guest operating systems.";
const char kCautionStart[] =
    "CAUTION: A Trusted Platform Module (TPM) has been detected in this system.";
const char kNotInstalledLine[] = "    - TPM is not installed or has been disabled.\r\n";

// A structure: type, length of the formatted area, a 2-byte handle and `formatted`, then its
// string set ending in two zero bytes.
Bytes Structure(std::uint8_t type, const Bytes& formatted, const std::string& strings) {
    Bytes s = {type, static_cast<std::uint8_t>(4 + formatted.size()), 0x10, 0x00};
    s.insert(s.end(), formatted.begin(), formatted.end());
    s.insert(s.end(), strings.begin(), strings.end());
    s.push_back(0);
    s.push_back(0);
    return s;
}

// A BIOS structure with two strings, a TPM structure whose byte at offset 4 is `tpmByte`
// (none when negative), and the end-of-table structure.
Bytes SmbiosWithTpm(int tpmByte) {
    Bytes table = Structure(0, {1, 2}, std::string("Vendor\0Version", 14));
    if (tpmByte >= 0) {
        const Bytes tpm = Structure(224, {static_cast<std::uint8_t>(tpmByte), 0x00}, "TPM");
        table.insert(table.end(), tpm.begin(), tpm.end());
    }
    const Bytes end = Structure(127, {}, "");
    table.insert(table.end(), end.begin(), end.end());
    return table;
}

std::string ReadAll(const std::wstring& path) {
    std::vector<unsigned char> bytes;
    ReadFileBytes(path, bytes);
    return std::string(bytes.begin(), bytes.end());
}

// The normal log lives in the default log folder whatever the verbose folder is.
std::wstring NormalLogPath() {
    wchar_t drive[16] = {};
    ::GetEnvironmentVariableW(L"SystemDrive", drive, 16);
    return std::wstring(drive) + L"\\ridezezer\\log\\vazuvuda.log";
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

struct GateCase {
    const char* name;
    const wchar_t* computerSystem;
    bool allowVirtualization; // vx_data.xml has <virtualization allow="1"/>
    const char* expectedPath; // the software key's expected path; null: no sw_keys
    int tpmByte;              // byte at offset 4 of the type-224 structure; -1: none
    bool tpmBypass;
    bool passes;
    int32_t runResult;     // the run result afterwards (1 before)
    const char* errorText; // text of the one error entry in the normal log; null: none
    bool notInstalledLine; // the "not installed" line in the verbose log
};

const GateCase kCases[] = {
    {"hyper-v guest refused", L"Microsoft Corporation", false, nullptr, -1, false, false, 0,
     kVirtualText, false},
    {"hyper-v guest allowed by the package", L"Microsoft Corporation", true, nullptr, -1, false,
     true, 1, nullptr, false},
    {"state 1 system firmware, silent", L"The Wine Project", false, "FIRMWARE:SYSTEM\\rom", 0x01,
     false, false, 1, kCautionStart, false},
    {"state 1 system firmware, bypassed", L"The Wine Project", false, "FIRMWARE:SYSTEM\\rom", 0x01,
     true, true, 1, nullptr, false},
    {"state 5 any firmware, silent", L"The Wine Project", false, "firmware:option\\nic", 0x0D,
     false, false, 1, kCautionStart, false},
    {"state 1 option firmware", L"The Wine Project", false, "firmware:option\\nic", 0xF9, false,
     true, 1, nullptr, true},
    {"no TPM structure", L"The Wine Project", false, "FIRMWARE:SYSTEM\\rom", -1, false, true, 1,
     nullptr, false},
};

std::string Definition(const char* expectedPath) {
    std::string text = "<zor_package version=\"2.0.1.0\"><filename>gate.exe</filename>"
                       "<name><name_xlate lang=\"en\">Gate</name_xlate></name>";
    if (expectedPath)
        text +=
            std::string("<sw_keys><sw_keys_and><sw_key name=\"GateKey\"><sw_key_expectedpath>") +
            expectedPath + "</sw_key_expectedpath></sw_key></sw_keys_and></sw_keys>";
    return text + "<installation><install><command>vazuvuda.exe</command></install>"
                  "</installation></zor_package>";
}

TEST(MachineGate, VirtualGuestAndTpmRulesWithTheirLogLines) {
    for (const GateCase& c : kCases) {
        SCOPED_TRACE(c.name);
        PackageFile files;
        files.Add(L"gate.xml", Definition(c.expectedPath));
        if (c.allowVirtualization)
            files.Add(L"vx_data.xml", "<vx_pkg_data><virtualization allow=\"1\"/></vx_pkg_data>");
        const std::wstring path = files.Build(L"gate.exe");
        ASSERT_FALSE(path.empty());
        CPPkg package;
        ASSERT_TRUE(package.LoadForModule(path.c_str(), L"en"));

        FakeMachineFacts facts;
        facts.computerSystem = c.computerSystem;
        facts.bios = L"American Megatrends Inc.";
        facts.table = SmbiosWithTpm(c.tpmByte);
        LauncherOptions options;
        options.silent = true;
        options.tpmBypass = c.tpmBypass;

        TempFolder logFolder(L"lg");
        const std::string normalBefore = ReadAll(NormalLogPath());
        CCmpLog log(L"gate.exe.log", logFolder.path().c_str());
        log.SetVerbose(1);
        ASSERT_EQ(log.Open(), CCmpLog::kOk);
        log.BeginSession();
        RunResultRef() = 1;

        EXPECT_EQ(PassMachineChecks(package, options, facts, StubLog(&log), nullptr, true),
                  c.passes);
        EXPECT_EQ(RunResultRef(), c.runResult);
        log.Close();
        RunResultRef() = 1;

        const std::string normalAll = ReadAll(NormalLogPath());
        ASSERT_GE(normalAll.size(), normalBefore.size());
        const std::string normal = normalAll.substr(normalBefore.size());
        const std::string verbose = ReadAll(logFolder / L"gate.exe.log");
        ASSERT_TRUE(Contains(verbose, "Validating WMI service is available... Done.\r\n"))
            << "the WMI service of the test prefix must be running\n"
            << verbose;

        if (c.errorText) {
            EXPECT_TRUE(Contains(normal, std::string("**ERROR** - \r\n\r\n") + c.errorText))
                << normal;
        } else {
            EXPECT_FALSE(Contains(normal, "**ERROR**")) << normal;
        }
        if (c.tpmBypass) {
            EXPECT_FALSE(Contains(normal + verbose, "CAUTION:")) << normal << verbose;
        }
        EXPECT_EQ(Contains(verbose, kNotInstalledLine), c.notInstalledLine) << verbose;
        EXPECT_EQ(Contains(verbose, "    - Reading TPM state... Done.\r\n"), c.tpmByte >= 0)
            << verbose;
    }
}

} // namespace
} // namespace zor::test
