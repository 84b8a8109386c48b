// Building packages from folders and listing them, checked against unzip and the launcher's
// acceptance rules.
#include "test_support.h"
#include "zip_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <fstream>
#include <sys/stat.h>
#include <utime.h>

namespace zorpack {
namespace {

namespace fs = std::filesystem;
using namespace zorpack_test;

constexpr const char* kEpoch = "1700000000"; // 2023-11-14 22:13:20 UTC

std::string compressibleText() {
    std::string text;
    while (text.size() < 60000)
        text += "a line that repeats itself\n";
    return text;
}

// The fixture tree: nested folders, an empty file and folder, incompressible and compressible
// data, a name with blanks and one with a code page 1252 character.
struct FixtureTree {
    explicit FixtureTree(const ScratchFolder& scratch) : root(scratch / "in") {
        files = {
            {"top.txt", "hello\n"},
            {"empty.txt", ""},
            {"with blank.txt", "blank in the name"},
            {"caf\xC3\xA9.txt", "caf\xC3\xA9 au lait"},
            {"sub/random.bin", randomBytes(100000, 7)},
            {"sub/deeper/text.txt", compressibleText()},
        };
        for (const auto& file : files)
            writeFile(root / fs::u8path(file.first), file.second);
        fs::create_directories(root / "empty folder");
    }
    fs::path root;
    std::vector<std::pair<std::string, std::string>> files; // UTF-8 name, content
};

ArchiveDirectory readPackage(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    ArchiveDirectory directory;
    std::string error;
    EXPECT_TRUE(readArchiveDirectory(in, directory, error)) << error;
    return directory;
}

const EntryHeader* findEntry(const ArchiveDirectory& directory, const std::string& name) {
    for (const EntryHeader& e : directory.entries)
        if (e.name == name)
            return &e;
    return nullptr;
}

std::vector<std::string> listedNames(const std::string& listing) {
    std::vector<std::string> names;
    std::size_t start = listing.find('\n') + 1; // after the header line
    while (start < listing.size()) {
        const std::size_t end = listing.find('\n', start);
        const std::string line = listing.substr(start, end - start);
        names.push_back(line.substr(line.find("  ", 40) + 2));
        start = end + 1;
    }
    return names;
}

TEST(BuildCommand, RoundTripsAFolderThroughUnzipAndTheLister) {
    ScratchFolder scratch;
    FixtureTree tree(scratch);
    const fs::path stub = ZORPACK_TINY_STUB;
    const fs::path package = scratch / "pkg.exe";
    fs::permissions(tree.root / "top.txt", fs::perms::owner_write, fs::perm_options::remove);

    const CommandResult built =
        runCommand(std::string(ZORPACK_EXE) + " --no-check -o " + quote(package) + " --stub " +
                   quote(stub) + " --mtime " + kEpoch + " " + quote(tree.root));
    ASSERT_EQ(built.exitCode, 0) << built.output;

    // The program image leads unchanged; member offsets count from the start of the file, so
    // unzip finds every member where the directory says, with no "extra bytes" to correct for.
    const std::string bytes = readFile(package);
    const std::string stubBytes = readFile(stub);
    EXPECT_EQ(bytes.compare(0, stubBytes.size(), stubBytes), 0);
    const CommandResult tested = runCommand("unzip -t " + quote(package));
    EXPECT_EQ(tested.exitCode, 0) << tested.output;
    EXPECT_NE(tested.output.find("No errors detected"), std::string::npos) << tested.output;
    EXPECT_EQ(tested.output.find("extra bytes"), std::string::npos) << tested.output;

    // Content, byte for byte (unzip reads the code page 1252 name as OEM text; a wildcard finds
    // it).
    for (const auto& file : tree.files) {
        std::string pattern = file.first;
        std::replace(pattern.begin(), pattern.end(), '\xC3', '?');
        pattern.erase(std::remove(pattern.begin(), pattern.end(), '\xA9'), pattern.end());
        const CommandResult content =
            runCommand("unzip -p " + quote(package) + " " + quote(pattern));
        EXPECT_EQ(content.exitCode, 0) << file.first;
        EXPECT_EQ(content.output, file.second) << file.first;
    }

    // Names, order, methods and times as the lister prints them.
    const CommandResult listing =
        runCommand(std::string(ZORPACK_EXE) + " --list " + quote(package));
    ASSERT_EQ(listing.exitCode, 0) << listing.output;
    const std::vector<std::string> expectedNames = {
        "caf\xC3\xA9.txt",     "empty folder/",  "empty.txt", "sub/",          "sub/deeper/",
        "sub/deeper/text.txt", "sub/random.bin", "top.txt",   "with blank.txt"};
    EXPECT_EQ(listedNames(listing.output), expectedNames) << listing.output;
    EXPECT_NE(listing.output.find("deflated 2023-11-14 22:13:20  sub/deeper/text.txt"),
              std::string::npos)
        << listing.output;
    EXPECT_NE(
        listing.output.find("    100000     100000 stored   2023-11-14 22:13:20  sub/random.bin"),
        std::string::npos)
        << listing.output;

    // Headers as the launcher reads them: code page 1252 names, Windows attribute bits.
    const ArchiveDirectory directory = readPackage(package);
    EXPECT_EQ(directory.firstLocalHeaderOffset, stubBytes.size());
    EXPECT_EQ(directory.endRecordOffset + 22, bytes.size());
    ASSERT_NE(findEntry(directory, "caf\xE9.txt"), nullptr);
    EXPECT_EQ(findEntry(directory, "sub/")->externalAttributes, 0x10u);
    EXPECT_EQ(findEntry(directory, "empty.txt")->externalAttributes, 0x20u);
    EXPECT_EQ(findEntry(directory, "top.txt")->externalAttributes, 0x21u); // read-only
    for (const EntryHeader& e : directory.entries)
        EXPECT_EQ(e.versionMadeBy, 20) << e.name;
}

TEST(BuildCommand, StoreOptionStoresEveryMember) {
    ScratchFolder scratch;
    FixtureTree tree(scratch);
    const fs::path package = scratch / "pkg.exe";
    const CommandResult built = runZorpackHere({"--no-check", "-o", package.string(), "--stub",
                                                ZORPACK_TINY_STUB, "--store", tree.root.string()});
    ASSERT_EQ(built.exitCode, 0) << built.output;
    for (const EntryHeader& e : readPackage(package).entries) {
        EXPECT_EQ(e.method, 0) << e.name;
        EXPECT_EQ(e.compressedSize, e.uncompressedSize) << e.name;
    }
    EXPECT_EQ(runCommand("unzip -t " + quote(package)).exitCode, 0);
}

TEST(BuildCommand, FixedTimeGivesIdenticalBytesWhateverTheFileTimes) {
    ScratchFolder scratch;
    FixtureTree tree(scratch);
    const fs::path first = scratch / "first.exe";
    const fs::path second = scratch / "second.exe";
    const fs::path fromEnvironment = scratch / "env.exe";
    const std::string stub = ZORPACK_TINY_STUB;
    ASSERT_EQ(runZorpackHere({"--no-check", "-o", first.string(), "--stub", stub, "--mtime", kEpoch,
                              tree.root.string()})
                  .exitCode,
              0);
    const struct utimbuf times { 1000000000, 1000000000 };
    ASSERT_EQ(::utime((tree.root / "top.txt").c_str(), &times), 0);
    ASSERT_EQ(runZorpackHere({"--no-check", "-o", second.string(), "--stub", stub, "--mtime",
                              kEpoch, tree.root.string()})
                  .exitCode,
              0);
    ASSERT_EQ(runZorpackHere({"--no-check", "-o", fromEnvironment.string(), "--stub", stub,
                              tree.root.string()},
                             kEpoch)
                  .exitCode,
              0);
    const std::string bytes = readFile(first);
    EXPECT_EQ(bytes, readFile(second));
    EXPECT_EQ(bytes, readFile(fromEnvironment));
}

TEST(BuildCommand, MemberTimesAreTheFilesLocalModificationTimes) {
    ScratchFolder scratch;
    const fs::path root = scratch / "in";
    writeFile(root / "dated.txt", "x");
    const std::time_t when = 1234567891; // an odd second
    const struct utimbuf times { when, when };
    ASSERT_EQ(::utime((root / "dated.txt").c_str(), &times), 0);
    const fs::path package = scratch / "pkg.exe";
    ASSERT_EQ(runZorpackHere({"--no-check", "-o", package.string(), "--stub", ZORPACK_TINY_STUB,
                              root.string()})
                  .exitCode,
              0);
    std::tm local{};
    ASSERT_NE(::localtime_r(&when, &local), nullptr);
    const EntryHeader& e = readPackage(package).entries.at(0);
    EXPECT_EQ(e.dosDate, ((local.tm_year - 80) << 9) | ((local.tm_mon + 1) << 5) | local.tm_mday);
    EXPECT_EQ(e.dosTime, (local.tm_hour << 11) | (local.tm_min << 5) | (local.tm_sec / 2));
}

TEST(BuildCommand, RefusesWhatTheLauncherCouldNotReadBackAndKeepsTheOldOutput) {
    struct Case {
        const char* what;
        const char* file; // created below the input folder, if any
        bool inputExists;
        bool stubExists;
        bool outputInsideInput;
        const char* messagePart;
    } const cases[] = {
        {"non-1252 name", "\xE4\xB8\xAD.txt", true, true, false, "U+4E2D"},
        {"name Windows cannot create", "a:b.txt", true, true, false, "not allow"},
        {"names differing only in case", "Readme.TXT", true, true, false, "letter case"},
        {"missing input folder", nullptr, false, true, false, "no such folder"},
        {"unreadable stub", nullptr, true, false, false, "stub"},
        {"output inside the input", nullptr, true, true, true, "must not be written into"},
    };
    for (const Case& c : cases) {
        ScratchFolder scratch;
        const fs::path root = scratch / "in";
        if (c.inputExists)
            writeFile(root / "readme.txt", "r");
        if (c.file != nullptr)
            writeFile(root / fs::u8path(c.file), "f");
        const fs::path output = c.outputInsideInput ? root / "pkg.exe" : scratch / "pkg.exe";
        writeFile(output, "previous package");
        const std::string stub =
            c.stubExists ? ZORPACK_TINY_STUB : (scratch / "no-stub.exe").string();

        const CommandResult result =
            runZorpackHere({"--no-check", "-o", output.string(), "--stub", stub, root.string()});
        EXPECT_EQ(result.exitCode, 1) << c.what;
        EXPECT_NE(result.output.find(c.messagePart), std::string::npos)
            << c.what << ": " << result.output;
        EXPECT_EQ(readFile(output), "previous package") << c.what;
        std::size_t leftovers = 0;
        for (const auto& item : fs::directory_iterator(output.parent_path()))
            leftovers += item.path().filename().string().find(".tmp") != std::string::npos;
        EXPECT_EQ(leftovers, 0u) << c.what;
    }
}

TEST(BuildCommand, ReplacesAnExistingPackage) {
    ScratchFolder scratch;
    writeFile(scratch / "in/a.txt", "a");
    const fs::path output = scratch / "pkg.exe";
    writeFile(output, "previous package");
    ASSERT_EQ(runZorpackHere({"--no-check", "-o", output.string(), "--stub", ZORPACK_TINY_STUB,
                              (scratch / "in").string()})
                  .exitCode,
              0);
    EXPECT_EQ(readPackage(output).entries.size(), 1u);
}

TEST(ListCommand, FailsClearlyOnFilesWithoutAReadableArchive) {
    ScratchFolder scratch;
    const fs::path missing = scratch / "missing.exe";
    const CommandResult notFound =
        runCommand(std::string(ZORPACK_EXE) + " --list " + quote(missing));
    EXPECT_EQ(notFound.exitCode, 1);
    EXPECT_NE(notFound.output.find("cannot be opened"), std::string::npos) << notFound.output;

    const CommandResult plainStub =
        runCommand(std::string(ZORPACK_EXE) + " --list " + quote(ZORPACK_TINY_STUB));
    EXPECT_EQ(plainStub.exitCode, 1);
    EXPECT_NE(plainStub.output.find("no end-of-central-directory record"), std::string::npos)
        << plainStub.output;

    const CommandResult usage = runCommand(std::string(ZORPACK_EXE) + " --list");
    EXPECT_EQ(usage.exitCode, 2);
    EXPECT_NE(usage.output.find("Usage:"), std::string::npos);
}

} // namespace
} // namespace zorpack
