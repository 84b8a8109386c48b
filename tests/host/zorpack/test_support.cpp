#include "test_support.h"

#include "zorpack_main.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <sys/wait.h>

namespace zorpack_test {
namespace fs = std::filesystem;

ScratchFolder::ScratchFolder() {
    std::random_device random;
    path_ = fs::temp_directory_path() / ("zorpack-test-" + std::to_string(random()));
    fs::create_directories(path_);
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    // Read-only fixtures must not stop the clean-up.
    for (auto it = fs::recursive_directory_iterator(path_, ignored);
         it != fs::recursive_directory_iterator(); it.increment(ignored))
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path_, ignored);
}

fs::path ScratchFolder::operator/(const std::string& utf8) const {
    return path_ / fs::u8path(utf8);
}

void writeFile(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << path;
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

std::string randomBytes(std::size_t count, unsigned seed) {
    std::mt19937 generator(seed);
    std::string bytes(count, '\0');
    for (char& c : bytes)
        c = static_cast<char>(generator() & 0xFF);
    return bytes;
}

CommandResult runCommand(const std::string& commandLine) {
    CommandResult result;
    FILE* pipe = ::popen((commandLine + " 2>&1").c_str(), "r");
    if (pipe == nullptr)
        return result;
    char buffer[4096];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        result.output.append(buffer, got);
    const int status = ::pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::string quote(const fs::path& path) {
    std::string quoted = "'";
    for (const char c : path.string()) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + "'";
}

CommandResult runZorpackHere(const std::vector<std::string>& args, const char* sourceDateEpoch) {
    std::ostringstream out;
    std::ostringstream err;
    CommandResult result;
    result.exitCode = zorpack::runZorpack(args, sourceDateEpoch, out, err);
    result.output = out.str() + err.str();
    return result;
}

} // namespace zorpack_test
