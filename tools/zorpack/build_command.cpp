#include "build_command.h"

#include "archive_members.h"
#include "config_encryption.h"
#include "package_check.h"
#include "source_members.h"
#include "source_tree.h"
#include "zip_writer.h"

#include "des_crypt.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <sstream>
#include <system_error>

namespace zorpack {
namespace fs = std::filesystem;

namespace {

// The package is written under a temporary name beside the output and renamed into place only
// when complete, so a failure never leaves a half-written package under the output's name.
class TemporaryOutput {
public:
    explicit TemporaryOutput(fs::path path) : path_(std::move(path)) {}
    ~TemporaryOutput() {
        if (!committed_) {
            std::error_code ignored;
            fs::remove(path_, ignored);
        }
    }
    TemporaryOutput(const TemporaryOutput&) = delete;
    TemporaryOutput& operator=(const TemporaryOutput&) = delete;

    const fs::path& path() const { return path_; }

    bool commit(const fs::path& finalPath, std::string& error) {
        std::error_code ec;
        fs::rename(path_, finalPath, ec);
        if (ec) {
            error = finalPath.u8string() + ": cannot be replaced: " + ec.message();
            return false;
        }
        committed_ = true;
        return true;
    }

private:
    fs::path path_;
    bool committed_ = false;
};

fs::path temporaryNameBeside(const fs::path& output) {
    std::random_device random;
    const unsigned long tag = (static_cast<unsigned long>(random()) << 16) ^ random();
    fs::path name = output;
    name += ".zorpack-" + std::to_string(tag) + ".tmp";
    return name;
}

bool readStub(const fs::path& path, std::vector<char>& bytes, std::string& error) {
    std::error_code ec;
    const std::uintmax_t size = fs::is_regular_file(path, ec) ? fs::file_size(path, ec) : 0;
    std::ifstream in(path, std::ios::binary);
    if (ec || !in || size > kMaxArchiveOffset) {
        error = path.u8string() + ": the stub cannot be read";
        return false;
    }
    bytes.resize(static_cast<std::size_t>(size));
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (in.gcount() != static_cast<std::streamsize>(bytes.size())) {
        error = path.u8string() + ": the stub cannot be read";
        return false;
    }
    return true;
}

// A package written into the folder being packed would pack (a half-written copy of) itself.
bool liesInside(const fs::path& file, const fs::path& folder) {
    std::error_code ec;
    const fs::path parent = fs::weakly_canonical(fs::absolute(file, ec).parent_path(), ec);
    const fs::path root = fs::weakly_canonical(folder, ec);
    if (ec)
        return false;
    const auto mismatch = std::mismatch(root.begin(), root.end(), parent.begin(), parent.end());
    return mismatch.first == root.end() ||
           (std::next(mismatch.first) == root.end() && mismatch.first->empty());
}

MemberInfo memberFor(const SourceEntry& entry, const BuildOptions& options) {
    MemberInfo member;
    member.name = entry.name;
    member.attributes = entry.facts.attributes;
    member.modified = toDosTimestamp(options.fixedTime ? utcCalendarFromEpoch(*options.fixedTime)
                                                       : entry.facts.localModified);
    return member;
}

// The one member stored in another form than its file: the encrypted configuration file.
struct ReplacedMember {
    std::size_t index = 0;
    std::string bytes;
};

// Encrypts the configuration file when the package data asks for it.
bool prepareEncryption(const std::vector<SourceEntry>& entries, const BuildOptions& options,
                       std::optional<ReplacedMember>& replaced, std::ostream& out,
                       std::string& error) {
    replaced.reset();
    if (!options.encryptConfiguration)
        return true;
    const SourceMembers members(entries);
    std::optional<EncryptionPlan> plan;
    if (!planEncryption(members, options.output.filename().u8string(), plan, error))
        return false;
    if (!plan)
        return true;
    std::vector<unsigned char> plaintext;
    if (!members.read(plan->memberIndex, plaintext, error))
        return false;
    ReplacedMember member;
    member.index = plan->memberIndex;
    try {
        member.bytes = encryptConfiguration(plaintext, plan->keyText);
    } catch (const DesCryptException& e) {
        error = e.Text();
        return false;
    }
    const std::size_t padding = member.bytes.size() / 2 - plaintext.size();
    out << "zorpack: encrypted " << entries[member.index].path.u8string() << " ("
        << plaintext.size() << " bytes, padded with " << padding << " blank"
        << (padding == 1 ? "" : "s") << ")\n";
    replaced = std::move(member);
    return true;
}

bool writeArchive(const std::vector<SourceEntry>& entries, const BuildOptions& options,
                  const std::optional<ReplacedMember>& replaced, std::ostream& out,
                  std::string& error) {
    ZipWriter writer(out);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const SourceEntry& entry = entries[i];
        const MemberInfo member = memberFor(entry, options);
        if (entry.isDirectory) {
            if (!writer.addFolder(member, error))
                return false;
            continue;
        }
        if (replaced && replaced->index == i) {
            std::istringstream data(replaced->bytes);
            if (!writer.addFile(member, data, replaced->bytes.size(), options.storeOnly, error))
                return false;
            continue;
        }
        std::ifstream data(entry.path, std::ios::binary);
        if (!data) {
            error = entry.path.u8string() + ": cannot be opened";
            return false;
        }
        if (!writer.addFile(member, data, entry.size, options.storeOnly, error)) {
            error = entry.path.u8string() + ": " + error;
            return false;
        }
    }
    return writer.finish(error);
}

// Checks the written package under its final name; the report goes to the caller's streams.
bool checkWritten(const fs::path& written, const BuildOptions& options, std::ostream& out,
                  std::ostream& err, std::string& error) {
    ArchiveMembers members;
    if (!members.open(written, error))
        return false;
    const std::string name = options.output.filename().u8string();
    const CheckReport report = checkPackage(members, name);
    printReport(report, name, out, err);
    if (report.usable())
        return true;
    error = options.output.u8string() + " was not written";
    return false;
}

bool buildPackage(const BuildOptions& options, std::size_t& memberCount, std::ostream& log,
                  std::ostream& errorLog, std::string& error) {
    std::error_code ec;
    if (!fs::is_directory(options.input, ec)) {
        error = options.input.u8string() + ": no such folder";
        return false;
    }
    if (liesInside(options.output, options.input)) {
        error = options.output.u8string() + ": the package must not be written into the folder "
                                            "it is built from";
        return false;
    }
    std::vector<char> stub;
    std::vector<SourceEntry> entries;
    std::optional<ReplacedMember> replaced;
    if (!readStub(options.stub, stub, error) || !scanSourceTree(options.input, entries, error) ||
        !prepareEncryption(entries, options, replaced, log, error))
        return false;

    TemporaryOutput temporary(temporaryNameBeside(options.output));
    {
        std::ofstream out(temporary.path(), std::ios::binary | std::ios::trunc);
        if (!out) {
            error = options.output.u8string() + ": cannot be created";
            return false;
        }
        out.write(stub.data(), static_cast<std::streamsize>(stub.size()));
        if (!writeArchive(entries, options, replaced, out, error))
            return false;
        out.close();
        if (!out) {
            error = options.output.u8string() + ": cannot be written";
            return false;
        }
    }
    if (options.check && !checkWritten(temporary.path(), options, log, errorLog, error))
        return false;
    memberCount = entries.size();
    return temporary.commit(options.output, error);
}

} // namespace

int runBuild(const BuildOptions& options, std::ostream& out, std::ostream& err) {
    std::string error;
    std::size_t memberCount = 0;
    if (!buildPackage(options, memberCount, out, err, error)) {
        err << "zorpack: error: " << error << "\n";
        return 1;
    }
    out << "zorpack: wrote " << options.output.u8string() << " (" << memberCount << " members)\n";
    return 0;
}

} // namespace zorpack
