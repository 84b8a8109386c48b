// Helpers for the package builder's host tests: scratch folders, files, and running commands.
#pragma once
#include <filesystem>
#include <string>
#include <vector>

namespace zorpack_test {

// A fresh folder under the system's temporary folder, removed with everything in it.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& utf8) const;

private:
    std::filesystem::path path_;
};

void writeFile(const std::filesystem::path& path, const std::string& bytes);
std::string readFile(const std::filesystem::path& path);
std::string randomBytes(std::size_t count, unsigned seed);

struct CommandResult {
    int exitCode = -1;
    std::string output; // standard output and standard error together
};
// Runs a shell command line and collects its output.
CommandResult runCommand(const std::string& commandLine);
std::string quote(const std::filesystem::path& path);

// Runs the zorpack entry in this process.
CommandResult runZorpackHere(const std::vector<std::string>& args,
                             const char* sourceDateEpoch = nullptr);

} // namespace zorpack_test
