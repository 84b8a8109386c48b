// The package check and the configuration encryption: the demo package end to end, packages
// the launcher could not use, the lookups where the last matching element wins, and the key the
// launcher derives.
#include "test_support.h"

#include "des_crypt.h"

#include <gtest/gtest.h>

namespace zorpack {
namespace {

namespace fs = std::filesystem;
using namespace zorpack_test;

const char kDefinitionHead[] = "<?xml version=\"1.0\"?>\n<zor_package version=\"2.0.1.0\">\n";

// A definition with the given file name and install command (either may be left out).
std::string definition(const std::string& fileName, const std::string& command,
                       const std::string& more = "") {
    std::string xml = kDefinitionHead;
    if (!fileName.empty())
        xml += "  <filename>" + fileName + "</filename>\n";
    if (!command.empty())
        xml += "  <installation><install><command>" + command +
               "</command></install></installation>\n";
    return xml + more + "</zor_package>\n";
}

std::string packageData(const std::string& body) {
    return "<?xml version=\"1.0\"?>\n<vx_pkg_data>\n" + body + "</vx_pkg_data>\n";
}

std::string decryptHex(const std::string& hex, const std::string& keyText) {
    DesCrypt des;
    EXPECT_TRUE(des.SetPackageKey(keyText.c_str()));
    std::vector<unsigned char> plain;
    des.DecryptHex(hex.data(), hex.size(), &plain);
    return std::string(plain.begin(), plain.end());
}

// A source folder, the package built from it, and the member contents unzip sees.
struct PackageBuild {
    explicit PackageBuild(const std::vector<std::pair<std::string, std::string>>& files,
                          const std::string& packageName = "pkg.exe")
        : package(scratch / packageName) {
        for (const auto& file : files)
            writeFile(scratch / ("in/" + file.first), file.second);
    }
    CommandResult build(std::vector<std::string> extra = {}) {
        std::vector<std::string> args = {"-o", package.string(), "--stub", ZORPACK_TINY_STUB};
        args.insert(args.end(), extra.begin(), extra.end());
        args.push_back((scratch / "in").string());
        return runZorpackHere(args);
    }
    std::string member(const std::string& name) const {
        return runCommand("unzip -p " + quote(package) + " " + quote(name)).output;
    }
    ScratchFolder scratch;
    fs::path package;
};

TEST(DemoPackage, BuildsChecksListsAndDecryptsBack) {
    ScratchFolder scratch;
    const fs::path source = scratch / "demo";
    fs::copy(ZORPACK_DEMO_PACKAGE, source, fs::copy_options::recursive);
    // The setup utility is added at build time; any program stands in for it here.
    fs::copy_file(ZORPACK_TINY_STUB, source / "vazuvuda.exe");
    const fs::path package = scratch / "demo.exe";

    const CommandResult built =
        runCommand(std::string(ZORPACK_EXE) + " -o " + quote(package) + " --stub " +
                   quote(ZORPACK_TINY_STUB) + " " + quote(source) + " 2>&1");
    ASSERT_EQ(built.exitCode, 0) << built.output;
    EXPECT_NE(built.output.find("the launcher can use this package (0 warnings)"),
              std::string::npos)
        << built.output;

    const CommandResult checked =
        runCommand(std::string(ZORPACK_EXE) + " --check " + quote(package) + " 2>&1");
    EXPECT_EQ(checked.exitCode, 0) << checked.output;
    for (const char* fact :
         {"definition:         demo.xml (named after the package file)",
          "install command:    \"vazuvuda.exe\"", "package data:       vx_data.xml",
          "settings on:        (none)", "return code map:    3010 -> 2",
          "argument map:       /restartdemo -> /exitcode:3010", "configuration:      \"demo.cfg\" (encrypted)",
          "license (en):       \"license.txt\"", "virtualized guests: allowed"})
        EXPECT_NE(checked.output.find(fact), std::string::npos) << fact << "\n" << checked.output;

    const CommandResult listed = runCommand(std::string(ZORPACK_EXE) + " --list " + quote(package));
    EXPECT_EQ(listed.exitCode, 0) << listed.output;
    for (const char* name : {"demo.xml", "vx_data.xml", "demo.cfg", "license.txt",
                             "payload/data/settings.ini", "vazuvuda.exe"})
        EXPECT_NE(listed.output.find(name), std::string::npos) << name;

    // The archive holds the ciphertext, the folder keeps the plaintext, and the launcher's key
    // (the definition's filename) turns one back into the other plus the blank padding.
    const std::string plain = readFile(source / "demo.cfg");
    const std::string hex = runCommand("unzip -p " + quote(package) + " demo.cfg").output;
    ASSERT_EQ(hex.size(), (plain.size() + 7) / 8 * 16);
    std::string padded = plain;
    padded.resize(hex.size() / 2, ' ');
    EXPECT_EQ(decryptHex(hex, "demo.exe"), padded);
    EXPECT_EQ(hex.find_first_not_of("0123456789ABCDEF"), std::string::npos);
}

TEST(PackageCheck, RefusesPackagesTheLauncherCouldNotUse) {
    const std::string setup = "setup.exe";
    const struct {
        const char* what;
        std::vector<std::pair<std::string, std::string>> files;
        const char* message;
    } cases[] = {
        {"no definition",
         {{"setup.exe", "MZ"}, {"notes.xml", "<notes/>"}},
         "no package definition"},
        {"definition only at version 2.0.0.0",
         {{"setup.exe", "MZ"},
          {"other.xml", "<zor_package version=\"2.0.0.0\"><filename>x</filename></zor_package>"}},
         "no package definition"},
        {"named definition not well-formed",
         {{"setup.exe", "MZ"}, {"pkg.xml", "<zor_package version=\"2.0.1.0\">"}},
         "pkg.xml: not well-formed XML (line 1"},
        {"root is not zor_package",
         {{"setup.exe", "MZ"}, {"pkg.xml", "<package/>"}},
         "the root element is not zor_package"},
        {"no install command",
         {{"pkg.xml", definition("pkg.exe", "")}},
         "names no install command"},
        {"install command missing",
         {{"pkg.xml", definition("pkg.exe", "missing.exe")}, {"setup.exe", "MZ"}},
         "\"missing.exe\" is not a file of the package"},
        {"install command is a folder",
         {{"pkg.xml", definition("pkg.exe", "tools")}, {"tools/setup.exe", "MZ"}},
         "\"tools\" is not a file of the package"},
        {"encrypted configuration without key text",
         {{"pkg.xml", definition("", setup)},
          {"setup.exe", "MZ"},
          {"vx_data.xml", packageData("<configuration><config_file><filename encrypt=\"1\">"
                                      "c.cfg</filename></config_file></configuration>")},
          {"c.cfg", "a=1"}},
         "the key text, is empty"},
        {"configuration name leading outside",
         {{"pkg.xml", definition("pkg.exe", setup)},
          {"setup.exe", "MZ"},
          {"vx_data.xml", packageData("<configuration><configui><filename lang=\"en\">"
                                      "..\\c.cfg</filename></configui></configuration>")}},
         "\"..\\c.cfg\" would lead outside the extraction folder"},
        {"license name with a drive",
         {{"pkg.xml", definition("pkg.exe", setup)},
          {"setup.exe", "MZ"},
          {"vx_data.xml",
           packageData("<license><filename lang=\"en\">C:\\lic.txt</filename></license>")}},
         "\"C:\\lic.txt\" would lead outside the extraction folder"},
        {"package data not well-formed",
         {{"pkg.xml", definition("pkg.exe", setup)},
          {"setup.exe", "MZ"},
          {"vx_data.xml", "<vx_pkg_data><settings></vx_pkg_data>"}},
         "vx_data.xml: not well-formed XML"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        PackageBuild build(c.files);
        const CommandResult result = build.build();
        EXPECT_EQ(result.exitCode, 1) << result.output;
        EXPECT_NE(result.output.find(c.message), std::string::npos) << result.output;
        EXPECT_FALSE(fs::exists(build.package));

        // The same package kept without the check is refused by --check.
        ASSERT_EQ(build.build({"--no-check", "--no-encrypt"}).exitCode, 0);
        const CommandResult checked = runZorpackHere({"--check", build.package.string()});
        EXPECT_EQ(checked.exitCode, 1);
        EXPECT_NE(checked.output.find(c.message), std::string::npos) << checked.output;
    }
}

TEST(PackageCheck, AcceptsWithWarnings) {
    const struct {
        const char* what;
        std::vector<std::pair<std::string, std::string>> files;
        const char* fact;
        const char* warning;
    } cases[] = {
        {"extract-only package without install command",
         {{"pkg.xml", definition("pkg.exe", "")},
          {"vx_data.xml", packageData("<settings><value name=\"DISABLE_INSTALL_BUTTON\" "
                                      "value=\"1\"/></settings>")}},
         "settings on:        DISABLE_INSTALL_BUTTON",
         "names no install command (installation/install/command); the package is "
         "extract-only"},
        {"only \"1\" turns a setting on",
         {{"pkg.xml", definition("pkg.exe", "setup.exe")},
          {"setup.exe", "MZ"},
          {"vx_data.xml",
           packageData("<settings><value name=\"LARGE_WINDOW\" value=\"true\"/></settings>")}},
         "settings on:        (none)",
         "\"LARGE_WINDOW\" has the value \"true\", which is off"},
        {"unknown setting",
         {{"pkg.xml", definition("pkg.exe", "setup.exe")},
          {"setup.exe", "MZ"},
          {"vx_data.xml",
           packageData("<settings><value name=\"LARGE_WINDOWS\" value=\"1\"/></settings>")}},
         "settings on:        LARGE_WINDOWS",
         "\"LARGE_WINDOWS\" is not one the launcher knows"},
        {"return code map with a non-numeric dest",
         {{"pkg.xml", definition("pkg.exe", "setup.exe")},
          {"setup.exe", "MZ"},
          {"vx_data.xml", packageData("<installation><install><returncode_map><map "
                                      "source=\"3010\" dest=\"two\"/></returncode_map>"
                                      "</install></installation>")}},
         "return code map:    3010 -> two",
         "the dest \"two\" for 3010 is not a decimal"},
        {"configuration file missing, named with a backslash",
         {{"pkg.xml", definition("pkg.exe", "setup.exe")},
          {"setup.exe", "MZ"},
          {"conf/c.cfg", "a=1"},
          {"vx_data.xml", packageData("<configuration><configui><filename lang=\"en\">"
                                      "conf\\c.cfg</filename></configui></configuration>")}},
         "configuration:      \"conf\\c.cfg\"",
         "write \"conf/c.cfg\""},
        {"definition found by version, not by name",
         {{"a.xml", "<zor_package version=\"2.0.0.0\"/>"},
          {"b.xml", "<zor_package version=\"2.0.1.0\"><bad></zor_package>"},
          {"sub/c.XML", definition("pkg.exe", "setup.exe")},
          {"z.xml", definition("pkg.exe", "other.exe")},
          {"setup.exe", "MZ"}},
         "definition:         sub/c.XML (found by its root version 2.0.1.0)",
         nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        PackageBuild build(c.files);
        const CommandResult result = build.build();
        EXPECT_EQ(result.exitCode, 0) << result.output;
        EXPECT_NE(result.output.find(c.fact), std::string::npos) << result.output;
        if (c.warning != nullptr) {
            EXPECT_NE(result.output.find(c.warning), std::string::npos) << result.output;
        }
        EXPECT_TRUE(fs::exists(build.package));
    }
}

// The launcher keeps children in reverse document order, so of several matching elements the
// last one in the document counts: for the install command, settings, maps and the
// configuration file, and for the document itself the named definition wins over others.
TEST(PackageCheck, TheLastMatchingElementWins) {
    PackageBuild build({
        {"pkg.xml", std::string(kDefinitionHead) +
                        "<filename>first.exe</filename><filename>pkg.exe</filename>"
                        "<installation><install><command>missing.exe</command>"
                        "<command>setup.exe</command></install></installation></zor_package>"},
        {"setup.exe", "MZ"},
        {"vx_data.xml",
         packageData("<settings><value name=\"LARGE_WINDOW\" value=\"1\"/>"
                     "<value name=\"large_window\" value=\"0\"/>"
                     "<value name=\"DISABLE_EXTRACT_BUTTON\" value=\"0\"/>"
                     "<value name=\"DISABLE_EXTRACT_BUTTON\" value=\"1\"/></settings>"
                     "<installation><install><returncode_map><map source=\"5\" dest=\"0\"/>"
                     "<map source=\"5\" dest=\"1\"/></returncode_map></install></installation>"
                     "<configuration><config_file><filename encrypt=\"1\">old.cfg</filename>"
                     "<filename encrypt=\"1\">new.cfg</filename></config_file>"
                     "<configui><filename lang=\"en\">ui.xml</filename></configui>"
                     "</configuration>")},
        {"old.cfg", "old"},
        {"new.cfg", "0123456789abcdef"},
    });
    const CommandResult result = build.build();
    ASSERT_EQ(result.exitCode, 0) << result.output;
    for (const char* fact :
         {"file name:          \"pkg.exe\"", "install command:    \"setup.exe\"",
          "settings on:        DISABLE_EXTRACT_BUTTON\n", "return code map:    5 -> 1\n",
          "configuration:      \"new.cfg\" (encrypted)"})
        EXPECT_NE(result.output.find(fact), std::string::npos) << fact << "\n" << result.output;
    EXPECT_EQ(build.member("old.cfg"), "old");
    // 16 bytes need no padding: the ciphertext is exactly two blocks.
    const std::string hex = build.member("new.cfg");
    EXPECT_EQ(hex.size(), 32u);
    EXPECT_EQ(decryptHex(hex, "pkg.exe"), "0123456789abcdef");
}

TEST(ConfigurationEncryption, KeyIsTheFilenameInWindows1252) {
    // The configuration UI file serves as the configuration file when there is no config_file;
    // the key is the first 8 bytes of "caf\xE9-setup.exe" in Windows-1252.
    PackageBuild build(
        {{"pkg.xml", definition("caf\xC3\xA9-setup.exe", "setup.exe")},
         {"setup.exe", "MZ"},
         {"vx_data.xml", packageData("<configuration><configui><filename lang=\"en\" "
                                     "encrypt=\"1\">c.cfg</filename></configui></configuration>")},
         {"c.cfg", "key=value"}});
    ASSERT_EQ(build.build().exitCode, 0);
    EXPECT_EQ(decryptHex(build.member("c.cfg"), "caf\xE9-set"), "key=value       ");
    EXPECT_EQ(readFile(build.scratch / "in/c.cfg"), "key=value");

    // --no-encrypt stores the file as it is; the check then finds it cannot be decrypted.
    const CommandResult kept = build.build({"--no-encrypt"});
    EXPECT_EQ(kept.exitCode, 1);
    EXPECT_NE(kept.output.find("cannot be decrypted by the launcher: Input string is not a "
                               "multiple of 16 characters!"),
              std::string::npos)
        << kept.output;
}

TEST(PackageCheck, RefusesFilesWithoutAnArchive) {
    ScratchFolder scratch;
    writeFile(scratch / "plain.exe", "MZ no archive here");
    const CommandResult result = runZorpackHere({"--check", (scratch / "plain.exe").string()});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.output.find("no archive"), std::string::npos) << result.output;
}

} // namespace
} // namespace zorpack
