// A package signed with Authenticode after it was built still opens: the signature block follows
// the archive and the end record stays within the searched tail of the file.
#include "test_support.h"
#include "zip_reader.h"

#include <gtest/gtest.h>

#include <fstream>

namespace zorpack {
namespace {

namespace fs = std::filesystem;
using namespace zorpack_test;

TEST(SignedPackage, OpensAndListsAfterSigning) {
    ScratchFolder scratch;
    writeFile(scratch / "in/setup/readme.txt", "read me");
    writeFile(scratch / "in/payload.bin", randomBytes(5000, 11));
    const fs::path package = scratch / "pkg.exe";
    const fs::path signedPackage = scratch / "signed.exe";
    const std::string zorpack = ZORPACK_EXE;
    ASSERT_EQ(runCommand(zorpack + " --no-check -o " + quote(package) + " --stub " +
                         quote(ZORPACK_TINY_STUB) + " --mtime 1700000000 " + quote(scratch / "in"))
                  .exitCode,
              0);

    const CommandResult key = runCommand(
        "openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=zorpack-test -keyout " +
        quote(scratch / "key.pem") + " -out " + quote(scratch / "cert.pem"));
    ASSERT_EQ(key.exitCode, 0) << key.output;
    const CommandResult sign = runCommand(
        "osslsigncode sign -certs " + quote(scratch / "cert.pem") + " -key " +
        quote(scratch / "key.pem") + " -in " + quote(package) + " -out " + quote(signedPackage));
    ASSERT_EQ(sign.exitCode, 0) << sign.output;

    std::ifstream in(signedPackage, std::ios::binary);
    ArchiveDirectory directory;
    std::string error;
    ASSERT_TRUE(readArchiveDirectory(in, directory, error)) << error;
    EXPECT_GT(directory.fileSize, directory.endRecordOffset + 22 + 512); // the signature follows

    const CommandResult unsignedListing = runCommand(zorpack + " --list " + quote(package));
    const CommandResult signedListing = runCommand(zorpack + " --list " + quote(signedPackage));
    ASSERT_EQ(signedListing.exitCode, 0) << signedListing.output;
    EXPECT_EQ(signedListing.output, unsignedListing.output);
    EXPECT_NE(signedListing.output.find("setup/readme.txt"), std::string::npos);
    const CommandResult content =
        runCommand("unzip -p " + quote(signedPackage) + " setup/readme.txt");
    EXPECT_EQ(content.output, "read me");
}

} // namespace
} // namespace zorpack
