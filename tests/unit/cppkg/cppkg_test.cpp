// The package object over real packages: every accessor, the lookup rules, the configuration
// file (plain and encrypted), the license protocol and the package size.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "cppkg.h"
#include "cppkg_fixture.h"
#include "des_encrypt.h"

namespace zor::test {
namespace {

const char kDefinition[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<zor_package version="2.0.1.0">
  <filename>mypkg.exe</filename>
  <name>
    <name_xlate lang="en">Sample Driver</name_xlate>
    <name_xlate lang="JA">サンプル ドライバー</name_xlate>
  </name>
  <version value="1.2.3.4"/>
  <description>
    <description_xlate lang="en">

      <![CDATA[Line one
Line two]]>

    </description_xlate>
  </description>
  <sw_keys><sw_keys_and><sw_key name="SampleKey">
    <sw_key_expectedpath>FIRMWARE:SYSTEM\rom</sw_key_expectedpath>
  </sw_key></sw_keys_and></sw_keys>
  <installation><install>
    <command>vazuvuda.exe</command><command_params>/a /b</command_params>
  </install></installation>
</zor_package>
)";

const char kPackageData[] = R"(<vx_pkg_data>
  <settings>
    <value name="LARGE_WINDOW" value="01"/>
    <value name="DISABLE_EXTRACT_BUTTON" value="1"/>
    <value name="disable_view_contents" value="true"/>
    <value name="DISABLE_INSTALL_BUTTON" value=" 1"/>
  </settings>
  <installation><install>
    <commandline_arg_map>
      <map source="/F" dest="/force"/>
      <map source="/x" dest="/first"/>
      <map source="/x" dest="/second"/>
      <map source="/nodest"/>
    </commandline_arg_map>
    <returncode_map>
      <map source="3010" dest="2"/>
      <map source="5"/>
      <map source="7" dest="abc"/>
      <map source="-1" dest=" -9x"/>
    </returncode_map>
  </install></installation>
  <configuration required="1">
    <configui><filename lang="en">setup.cfg</filename></configui>
  </configuration>
  <virtualization allow="1"/>
  <license><filename lang="en">license.txt</filename></license>
</vx_pkg_data>
)";

class CPPkgTest : public ::testing::Test {
protected:
    PackageFile files;
    CPPkg package;
};

TEST_F(CPPkgTest, ReadsEveryDefinitionAccessor) {
    files.Add(L"mypkg.xml", kDefinition);
    const std::wstring path = files.Build(L"mypkg.exe");
    ASSERT_TRUE(package.LoadForModule(path.c_str(), L"en"));
    EXPECT_STREQ(package.GetFileName(), L"mypkg.exe");
    EXPECT_STREQ(package.GetLocalizedName(), L"Sample Driver");
    EXPECT_STREQ(package.GetVersion(), L"1.2.3.4");
    EXPECT_STREQ(package.GetLocalizedDescription(), L"Line one\nLine two");
    EXPECT_STREQ(package.GetInstallCommand(), L"vazuvuda.exe");
    EXPECT_STREQ(package.GetInstallParams(), L"/a /b");
    EXPECT_STREQ(package.GetSwKeyName(), L"SampleKey");
    EXPECT_STREQ(package.GetSwKeyExpectedPath(), L"FIRMWARE:SYSTEM\\rom");
    EXPECT_STREQ(package.GetArchivePath(), path.c_str());
}

TEST_F(CPPkgTest, LanguageChoosesTranslationWithEnglishFallback) {
    files.Add(L"mypkg.xml", kDefinition);
    const std::wstring path = files.Build(L"mypkg.exe");
    ASSERT_TRUE(package.LoadForModule(path.c_str(), L"ja"));
    EXPECT_STREQ(package.GetLocalizedName(), L"サンプル ドライバー");
    EXPECT_STREQ(package.GetLocalizedDescription(), L"Line one\nLine two");

    const std::string germanOnly = R"(<zor_package version="2.0.1.0"><name>
        <name_xlate lang="de">Treiber</name_xlate></name></zor_package>)";
    PackageFile other;
    other.Add(L"p.xml", germanOnly);
    ASSERT_TRUE(package.LoadForModule(other.Build(L"p.exe").c_str(), L"fr"));
    EXPECT_EQ(package.GetLocalizedName(), nullptr);
    EXPECT_EQ(package.GetInstallCommand(), nullptr);
    EXPECT_EQ(package.GetVersion(), nullptr);
}

TEST_F(CPPkgTest, PackageDataSettingsAndMaps) {
    files.Add(L"mypkg.xml", kDefinition);
    files.Add(L"vx_data.xml", kPackageData);
    files.Add(L"setup.cfg", "name=value\r\n");
    files.Add(L"license.txt", "Terms\nMore terms\n");
    ASSERT_TRUE(package.LoadForModule(files.Build(L"mypkg.exe").c_str(), L"en"));

    EXPECT_STREQ(package.GetSetting(L"LARGE_WINDOW"), L"01");
    EXPECT_FALSE(package.IsSettingOn(L"LARGE_WINDOW"));
    EXPECT_TRUE(package.IsSettingOn(L"disable_extract_button"));
    EXPECT_FALSE(package.IsSettingOn(L"DISABLE_VIEW_CONTENTS"));
    EXPECT_FALSE(package.IsSettingOn(L"DISABLE_INSTALL_BUTTON"));
    EXPECT_EQ(package.GetSetting(L"NOT_THERE"), nullptr);

    EXPECT_STREQ(package.MapArgument(L"/f"), L"/force");
    EXPECT_STREQ(package.MapArgument(L"/x"), L"/second"); // later element in the document wins
    EXPECT_STREQ(package.MapArgument(L"/nodest"), L"/nodest");
    EXPECT_STREQ(package.MapArgument(L"/s"), L"/s");

    const struct {
        int32_t code;
        int32_t expected;
    } codes[] = {{3010, 2}, {5, 5}, {7, 0}, {-1, -9}, {1, 1}, {0, 0}};
    for (const auto& c : codes) EXPECT_EQ(package.MapReturnCode(c.code), c.expected) << c.code;

    EXPECT_TRUE(package.HasConfigUi());
    EXPECT_STREQ(package.GetConfigFileName(), L"setup.cfg");
    EXPECT_TRUE(package.GetConfiguration().required);
    EXPECT_TRUE(package.IsVirtualizationAllowed());
    const VARIANT& data = package.GetConfigData();
    ASSERT_EQ(data.vt, VT_ARRAY | VT_UI1);
    ASSERT_EQ(data.parray->rgsabound[0].cElements, 12u);
    EXPECT_EQ(std::string(static_cast<const char*>(data.parray->pvData), 12), "name=value\r\n");

    uint32_t length = 0;
    ASSERT_TRUE(package.GetLicense(nullptr, &length));
    EXPECT_EQ(length, 17u + 5u);
    std::string text(length, 'x');
    ASSERT_TRUE(package.GetLicense(&text[0], &length));
    EXPECT_STREQ(text.c_str(), "Terms\nMore terms\n");

    uint64_t size = 0;
    ASSERT_TRUE(package.GetPackageSize(&size));
    EXPECT_EQ(size, sizeof(kDefinition) - 1 + sizeof(kPackageData) - 1 + 12 + 17);
}

TEST_F(CPPkgTest, WithoutPackageDataEverythingIsNeutral) {
    files.Add(L"mypkg.xml", kDefinition);
    ASSERT_TRUE(package.LoadForModule(files.Build(L"mypkg.exe").c_str(), nullptr));
    EXPECT_STREQ(package.GetLanguage(), L"en");
    EXPECT_EQ(package.GetSetting(L"LARGE_WINDOW"), nullptr);
    EXPECT_STREQ(package.MapArgument(L"/f"), L"/f");
    EXPECT_EQ(package.MapReturnCode(3010), 3010);
    EXPECT_FALSE(package.HasConfigUi());
    EXPECT_EQ(package.GetConfigFileName()[0], L'\0');
    EXPECT_FALSE(package.IsVirtualizationAllowed());
    EXPECT_EQ(package.GetConfigData().vt, VT_EMPTY);
    uint32_t length = 0;
    EXPECT_FALSE(package.GetLicense(nullptr, &length));
}

std::string ConfigData(const CPPkg& package) {
    const VARIANT& data = package.GetConfigData();
    if (data.vt != (VT_ARRAY | VT_UI1)) return "<none>";
    return std::string(static_cast<const char*>(data.parray->pvData),
                       data.parray->rgsabound[0].cElements);
}

TEST_F(CPPkgTest, EncryptedConfigurationIsDecryptedWithTheFileNameKey) {
    const std::string plain = "secret=0123456\r\n"; // 16 bytes
    const std::string hex =
        EncryptToHex("mypkg.exe", reinterpret_cast<const unsigned char*>(plain.data()), 16);
    ASSERT_EQ(hex.size(), 32u);
    files.Add(L"mypkg.xml", kDefinition);
    files.Add(L"vx_data.xml", R"(<vx_pkg_data><configuration>
        <configui><filename lang="en">ui.exe</filename></configui>
        <config_file><filename encrypt="1">cfg.hex</filename></config_file>
        </configuration></vx_pkg_data>)");
    files.Add(L"cfg.hex", hex);
    ASSERT_TRUE(package.LoadForModule(files.Build(L"mypkg.exe").c_str(), L"en"));
    EXPECT_STREQ(package.GetConfiguration().configUiFile, L"ui.exe");
    EXPECT_STREQ(package.GetConfigFileName(), L"cfg.hex");
    EXPECT_TRUE(package.GetConfiguration().encrypt);
    EXPECT_EQ(ConfigData(package), plain);
}

TEST_F(CPPkgTest, ConfigurationThatCannotBeDecryptedLeavesNoDataButLoads) {
    files.Add(L"mypkg.xml", kDefinition);
    files.Add(L"vx_data.xml", R"(<vx_pkg_data><configuration><configui>
        <filename lang="en" encrypt="1">cfg.hex</filename></configui></configuration></vx_pkg_data>)");
    files.Add(L"cfg.hex", "0123456789ABCDEZ");
    ASSERT_TRUE(package.LoadForModule(files.Build(L"mypkg.exe").c_str(), L"en"));
    EXPECT_TRUE(package.HasConfigUi());
    EXPECT_EQ(ConfigData(package), "<none>");
}

TEST_F(CPPkgTest, ConfigurationMemberMissingFromArchiveStillLoads) {
    files.Add(L"mypkg.xml", kDefinition);
    files.Add(L"vx_data.xml", R"(<vx_pkg_data><configuration><config_file>
        <filename>absent.cfg</filename></config_file></configuration></vx_pkg_data>)");
    ASSERT_TRUE(package.LoadForModule(files.Build(L"mypkg.exe").c_str(), L"en"));
    EXPECT_FALSE(package.HasConfigUi());
    EXPECT_STREQ(package.GetConfigFileName(), L"absent.cfg");
    EXPECT_EQ(ConfigData(package), "<none>");
}

TEST_F(CPPkgTest, LoadFailuresLeaveNothingLoaded) {
    files.Add(L"other.xml", kDefinition);
    files.Add(L"broken.xml", "<zor_package><unclosed></zor_package>");
    const std::wstring path = files.Build(L"mypkg.exe");
    EXPECT_FALSE(package.LoadForModule(path.c_str(), L"en")); // no mypkg.xml member
    EXPECT_FALSE(package.IsLoaded());
    EXPECT_FALSE(package.Load(path.c_str(), L"broken.xml", L"en"));
    EXPECT_FALSE(package.Load(path.c_str(), nullptr, L"en"));
    EXPECT_FALSE(package.Load(L"C:\\no\\such\\package.exe", L"other.xml", L"en"));
    EXPECT_TRUE(package.Load(path.c_str(), L"OTHER.XML", L"en")); // member names ignore case
    EXPECT_TRUE(package.IsLoaded());
    EXPECT_TRUE(package.Clear());
    EXPECT_FALSE(package.IsLoaded());
    EXPECT_EQ(package.GetFileName(), nullptr);
}

} // namespace
} // namespace zor::test
