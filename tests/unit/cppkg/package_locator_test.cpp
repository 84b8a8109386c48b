// Finding the package definition among an archive's members.
#include <gtest/gtest.h>

#include <string>

#include "cppkg_fixture.h"
#include "package_locator.h"
#include "zip_file.h"

namespace zor::test {
namespace {

TEST(LocatePackageDefinition, FirstXmlMemberWithTheRightRootVersion) {
    PackageFile files;
    files.Add(L"a_old.xml", R"(<zor_package version="2.0.0.0"/>)");
    files.Add(L"b_notxml.txt", R"(<zor_package version="2.0.1.0"/>)");
    files.Add(L"c_broken.xml", R"(<zor_package version="2.0.1.0">)");
    files.Add(L"d_other.xml", R"(<vx_pkg_data version="2.0.1.0"/>)");
    files.Add(L"E_DEF.XML", R"(<zor_package version="2.0.1.0"><filename>x</filename></zor_package>)");
    files.Add(L"f_later.xml", R"(<zor_package version="2.0.1.0"/>)");
    vozoru::ZIP_File archive;
    ASSERT_EQ(archive.OpenArchive(files.Build(L"pkg.exe").c_str(), true), 0);
    std::wstring member;
    ASSERT_TRUE(LocatePackageDefinition(archive, member));
    EXPECT_EQ(member, L"E_DEF.XML");
}

TEST(LocatePackageDefinition, NothingQualifies) {
    PackageFile files;
    files.Add(L"a.xml", R"(<zor_package version="2.0.0.0"/>)");
    files.Add(L"empty.xml", "");
    vozoru::ZIP_File archive;
    ASSERT_EQ(archive.OpenArchive(files.Build(L"pkg.exe").c_str(), true), 0);
    std::wstring member = L"stale";
    EXPECT_FALSE(LocatePackageDefinition(archive, member));
    EXPECT_TRUE(member.empty());
}

} // namespace
} // namespace zor::test
