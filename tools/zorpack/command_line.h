// The package builder's command line.
#pragma once
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace zorpack {

struct BuildOptions {
    std::filesystem::path output;
    std::filesystem::path stub;
    std::filesystem::path input;
    bool storeOnly = false;
    // Seconds since 1970 (UTC) used as every member's time instead of the files' own times.
    std::optional<std::int64_t> fixedTime;
};

enum class CommandKind { Build, List, Help };

struct Command {
    CommandKind kind = CommandKind::Help;
    BuildOptions build;
    std::filesystem::path listPath;
};

// Parses the arguments (UTF-8, without the program name). `sourceDateEpoch` is the value of the
// SOURCE_DATE_EPOCH environment variable or null; --mtime takes precedence over it.
bool parseCommandLine(const std::vector<std::string>& args, const char* sourceDateEpoch,
                      Command& command, std::string& error);

// Parses a count of seconds since 1970, from 0 to the end of the year 9999.
bool parseEpoch(const std::string& text, std::int64_t& seconds);

extern const char* const kUsageText;

} // namespace zorpack
