#include "gui_package.h"

#include "package_fixture.h"
#include "process_runner.h"
#include "temp_folder.h"

namespace zor::test {

const wchar_t kPackageName[] = L"Sample Storage Driver";
const wchar_t kPackageVersion[] = L"2.5.1.0";
const wchar_t kPackageDescription[] = L"Installs the sample storage driver.";
const wchar_t kPackageNameJa[] = L"サンプル ストレージ ドライバー";
const wchar_t kPackageNameZh[] = L"示例存储驱动程序";

namespace {

std::vector<unsigned char> Utf8(const std::wstring& text) {
    std::vector<unsigned char> bytes;
    if (text.empty())
        return bytes;
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    bytes.resize(static_cast<size_t>(size > 0 ? size : 0));
    if (size > 0)
        ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                              reinterpret_cast<char*>(bytes.data()), size, nullptr, nullptr);
    return bytes;
}

std::wstring Definition(const std::wstring& fileName, bool installCommand) {
    std::wstring xml =
        L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<zor_package version=\"2.0.1.0\">\n";
    xml += L"  <filename>" + fileName + L"</filename>\n";
    xml += L"  <name><name_xlate lang=\"en\">" + std::wstring(kPackageName) +
           L"</name_xlate><name_xlate lang=\"ja\">" + kPackageNameJa +
           L"</name_xlate><name_xlate lang=\"zh\">" + kPackageNameZh + L"</name_xlate></name>\n";
    xml += L"  <version value=\"" + std::wstring(kPackageVersion) + L"\"/>\n";
    xml += L"  <description><description_xlate lang=\"en\"><![CDATA[" +
           std::wstring(kPackageDescription) + L"]]></description_xlate></description>\n";
    if (installCommand)
        xml += L"  <installation><install><command>fake_setup.exe</command></install>"
               L"</installation>\n";
    return xml + L"</zor_package>\n";
}

std::wstring PackageData(const GuiPackage& package) {
    std::wstring xml = L"<vx_pkg_data>\n  <settings>\n";
    for (const auto& [name, value] : package.settings)
        xml += L"    <value name=\"" + name + L"\" value=\"" + value + L"\"/>\n";
    xml += L"  </settings>\n";
    if (package.configUi)
        xml +=
            L"  <configuration><configui><filename lang=\"en\">settings.cfg</filename></configui>"
            L"</configuration>\n";
    if (!package.license.empty())
        xml += L"  <license><filename lang=\"en\">license.txt</filename></license>\n";
    return xml + L"</vx_pkg_data>\n";
}

bool SetLocalWriteTime(const std::wstring& path, const SYSTEMTIME& local) {
    FILETIME localTime = {}, universal = {};
    if (!::SystemTimeToFileTime(&local, &localTime) ||
        !::LocalFileTimeToFileTime(&localTime, &universal))
        return false;
    HANDLE file =
        ::CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const bool ok = ::SetFileTime(file, nullptr, nullptr, &universal) != FALSE;
    ::CloseHandle(file);
    return ok;
}

// A package without an install command is one the package builder's check refuses; the
// launcher must still present it, so it is built unchecked.
bool Pack(const std::wstring& source, const std::wstring& package, bool check) {
    if (check)
        return BuildPackage(source, package);
    const std::wstring command = Quote(ProgramFolder() + L"\\zorpack.exe") + L" -o " +
                                 Quote(package) + L" --stub " + Quote(LauncherStub()) +
                                 L" --no-check " + Quote(source);
    return RunToEnd(command) == 0;
}

} // namespace

std::wstring BuildGuiPackage(const std::wstring& folder, const std::wstring& fileName,
                             const GuiPackage& package) {
    const std::wstring stem = fileName.substr(0, fileName.find_last_of(L'.'));
    const std::wstring source = folder + L"\\" + stem + L"_src";
    if (!MakeFolder(source))
        return std::wstring();
    bool ok = WriteFileBytes(source + L"\\" + stem + L".xml",
                             Utf8(Definition(fileName, package.installCommand))) &&
              WriteFileBytes(source + L"\\vx_data.xml", Utf8(PackageData(package)));
    // The package builder insists that the install command is a member. Only the install
    // tests start it; for the others any bytes do.
    if (package.installCommand) {
        const std::wstring setup = source + L"\\fake_setup.exe";
        const std::wstring built = ProgramFolder() + L"\\fake_setup.exe";
        if (package.runnableSetup)
            ok = ok && ::CopyFileW(built.c_str(), setup.c_str(), FALSE) != FALSE;
        else
            ok = ok && WriteFileBytes(setup, Utf8(L"not run"));
    }
    if (!package.license.empty()) {
        const std::vector<unsigned char> license(package.license.begin(), package.license.end());
        ok = ok && WriteFileBytes(source + L"\\license.txt", license);
    }
    if (package.configUi && package.configMember) {
        const std::wstring config = source + L"\\settings.cfg";
        ok = ok && WriteFileBytes(config, Utf8(L"mode=fast\r\n")) &&
             SetLocalWriteTime(config, package.configTime);
    }
    for (int i = 0; ok && i < package.fillerMembers; ++i) {
        std::wstring number = std::to_wstring(i);
        number.insert(0, number.size() < 3 ? 3 - number.size() : 0, L'0');
        ok = WriteFileBytes(source + L"\\m" + number + L".txt",
                            FixtureBytes(static_cast<size_t>(i), true, 7));
    }
    for (const std::wstring& name : package.namedMembers)
        ok = ok && WriteFileBytes(source + L"\\" + name, Utf8(name));
    const std::wstring path = folder + L"\\" + fileName;
    return ok && Pack(source, path, package.installCommand) ? path : std::wstring();
}

} // namespace zor::test
