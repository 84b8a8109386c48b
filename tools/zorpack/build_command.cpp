#include "build_command.h"

#include "source_tree.h"
#include "zip_writer.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>
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

bool writeArchive(const std::vector<SourceEntry>& entries, const BuildOptions& options,
                  std::ostream& out, std::string& error) {
    ZipWriter writer(out);
    for (const SourceEntry& entry : entries) {
        const MemberInfo member = memberFor(entry, options);
        if (entry.isDirectory) {
            if (!writer.addFolder(member, error))
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

bool buildPackage(const BuildOptions& options, std::size_t& memberCount, std::string& error) {
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
    if (!readStub(options.stub, stub, error) || !scanSourceTree(options.input, entries, error))
        return false;

    TemporaryOutput temporary(temporaryNameBeside(options.output));
    {
        std::ofstream out(temporary.path(), std::ios::binary | std::ios::trunc);
        if (!out) {
            error = options.output.u8string() + ": cannot be created";
            return false;
        }
        out.write(stub.data(), static_cast<std::streamsize>(stub.size()));
        if (!writeArchive(entries, options, out, error))
            return false;
        out.close();
        if (!out) {
            error = options.output.u8string() + ": cannot be written";
            return false;
        }
    }
    memberCount = entries.size();
    return temporary.commit(options.output, error);
}

} // namespace

int runBuild(const BuildOptions& options, std::ostream& out, std::ostream& err) {
    std::string error;
    std::size_t memberCount = 0;
    if (!buildPackage(options, memberCount, error)) {
        err << "zorpack: error: " << error << "\n";
        return 1;
    }
    out << "zorpack: wrote " << options.output.u8string() << " (" << memberCount << " members)\n";
    return 0;
}

} // namespace zorpack
