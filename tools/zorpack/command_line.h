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
    // Store the configuration file that the package data marks encrypted as DES hexadecimal
    // text. Off here so that programs building raw archives get them unchanged; the command
    // line turns it on unless --no-encrypt is given.
    bool encryptConfiguration = false;
    // Check the written package and keep it only when the launcher can use it. Off here for
    // the same reason; the command line turns it on unless --no-check is given.
    bool check = false;
};

enum class CommandKind { Build, List, Check, Help };

struct Command {
    CommandKind kind = CommandKind::Help;
    BuildOptions build;
    std::filesystem::path listPath; // --list and --check
};

// Parses the arguments (UTF-8, without the program name). `sourceDateEpoch` is the value of the
// SOURCE_DATE_EPOCH environment variable or null; --mtime takes precedence over it.
bool parseCommandLine(const std::vector<std::string>& args, const char* sourceDateEpoch,
                      Command& command, std::string& error);

// Parses a count of seconds since 1970, from 0 to the end of the year 9999.
bool parseEpoch(const std::string& text, std::int64_t& seconds);

extern const char* const kUsageText;

} // namespace zorpack
