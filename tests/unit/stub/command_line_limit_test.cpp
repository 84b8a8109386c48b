// The setup utility's argument text has a limit of 2048 characters: a text of exactly that
// length is built in full, one character more is refused, whether the length comes from the
// install command, from many launcher arguments or from an argument the package maps to a
// longer one.
#include <gtest/gtest.h>

#include <string>

#include "command_line_builder.h"
#include "cppkg.h"
#include "cppkg_fixture.h"

namespace zor::test {
namespace {

constexpr size_t kLimit = 2048;
// The argument text starts with the command, its closing quote and a blank.
const std::wstring kPrefix = L"vazuvuda.exe\" ";

std::string Definition(const std::string& command) {
    return "<zor_package version=\"2.0.1.0\"><filename>cl.exe</filename><installation><install>"
           "<command>" +
           command + "</command></install></installation></zor_package>";
}

// Launcher arguments " /a" repeated `count` times after the program name.
std::wstring Repeated(size_t count, const std::wstring& last = L"") {
    std::wstring line = L"cl.exe";
    for (size_t i = 0; i < count; ++i)
        line += L" /a";
    return line + last;
}

TEST(SetupArgumentLimit, LauncherArgumentsUpToTheLimit) {
    PackageFile files;
    files.Add(L"cl.xml", Definition("vazuvuda.exe"));
    // "/x" becomes a long argument through the package's argument map.
    const std::string mapped(kLimit - kPrefix.size() - 1, 'm');
    files.Add(L"vx_data.xml", "<vx_pkg_data><installation><install><commandline_arg_map>"
                              "<map source=\"/x\" dest=\"" +
                                  mapped + "\"/><map source=\"/y\" dest=\"" + mapped +
                                  "n\"/></commandline_arg_map></install></installation>"
                                  "</vx_pkg_data>");
    const std::wstring path = files.Build(L"cl.exe");
    ASSERT_FALSE(path.empty());
    CPPkg package;
    ASSERT_TRUE(package.LoadForModule(path.c_str(), L"en"));

    const size_t room = kLimit - kPrefix.size(); // for the launcher arguments with their blanks
    const struct {
        const char* name;
        std::wstring launcherLine;
        bool built;
    } cases[] = {
        {"one argument at the limit", L"cl.exe " + std::wstring(room - 1, L'a'), true},
        {"one argument past the limit", L"cl.exe " + std::wstring(room, L'a'), false},
        // " /a" is three characters, and the room (2034) is a multiple of three.
        {"many arguments at the limit", Repeated(room / 3), true},
        {"many arguments past the limit", Repeated(room / 3 - 1, L" /ab"), false},
        {"mapped argument at the limit", L"cl.exe /x", true},
        {"mapped argument past the limit", L"cl.exe /y", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::wstring arguments = L"left over";
        EXPECT_EQ(BuildCommandLine(package, c.launcherLine.c_str(), arguments), c.built);
        if (c.built) {
            EXPECT_EQ(arguments.size(), kLimit);
            EXPECT_EQ(arguments.compare(0, kPrefix.size(), kPrefix), 0);
        } else {
            EXPECT_TRUE(arguments.empty());
        }
    }
}

TEST(SetupArgumentLimit, LongInstallCommand) {
    // The command, its closing quote and the blank make the whole text when there are no
    // arguments.
    for (const size_t length : {kLimit - 2, kLimit - 1}) {
        SCOPED_TRACE(length);
        PackageFile files;
        const std::string command = std::string(length - 4, 'c') + ".exe";
        files.Add(L"cl.xml", Definition(command));
        const std::wstring path = files.Build(L"cl.exe");
        ASSERT_FALSE(path.empty());
        CPPkg package;
        ASSERT_TRUE(package.LoadForModule(path.c_str(), L"en"));
        ASSERT_EQ(std::wstring(package.GetInstallCommand()).size(), length);

        std::wstring arguments;
        const bool built = BuildCommandLine(package, L"cl.exe", arguments);
        EXPECT_EQ(built, length + 2 <= kLimit);
        if (built) {
            EXPECT_EQ(arguments, std::wstring(command.begin(), command.end()) + L"\" ");
        }
    }
}

} // namespace
} // namespace zor::test
