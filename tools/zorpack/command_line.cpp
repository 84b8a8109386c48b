#include "command_line.h"

namespace zorpack {

const char* const kUsageText =
    "Usage:\n"
    "  zorpack -o OUT.exe --stub STUB.exe [--store] [--mtime EPOCH] [--no-encrypt]\n"
    "          [--no-check] DIR\n"
    "      Writes OUT.exe: the launcher STUB.exe followed by an archive of everything below DIR.\n"
    "      The configuration file that vx_data.xml marks encrypt=\"1\" is stored as DES\n"
    "      hexadecimal text, keyed by the first 8 characters of the definition's filename\n"
    "      (Windows-1252, padded with blanks); DIR keeps the plain file. The plain text is\n"
    "      padded with 1 to 7 blanks to a multiple of 8 bytes, and the launcher writes the\n"
    "      configuration file with those blanks at its end. The package is then checked as\n"
    "      with --check and not kept when the launcher could not use it.\n"
    "      --store        store members without compression\n"
    "      --mtime EPOCH  give every member this time (seconds since 1970, taken as UTC) for\n"
    "                     reproducible output; SOURCE_DATE_EPOCH does the same\n"
    "      --no-encrypt   store the configuration file as it is in DIR (it already holds the\n"
    "                     hexadecimal text)\n"
    "      --no-check     keep the package without checking it\n"
    "  zorpack --check PKG.exe\n"
    "      Reports what the launcher will find in a package: the definition, the install\n"
    "      command, the package data, configuration and license files and the settings that\n"
    "      are on. Exits with 1 when the launcher could not use the package.\n"
    "  zorpack --list PKG.exe\n"
    "      Lists the members of a package as the launcher reads them.\n"
    "  zorpack --help\n";

bool parseEpoch(const std::string& text, std::int64_t& seconds) {
    constexpr std::int64_t kEndOfYear9999 = 253402300799;
    if (text.empty() || text.size() > 12)
        return false;
    std::int64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    if (value > kEndOfYear9999)
        return false;
    seconds = value;
    return true;
}

bool parseCommandLine(const std::vector<std::string>& args, const char* sourceDateEpoch,
                      Command& command, std::string& error) {
    command = Command{};
    if (args.empty()) {
        error = "nothing to do";
        return false;
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "/?") {
        if (args.size() != 1) {
            error = "--help takes no further arguments";
            return false;
        }
        command.kind = CommandKind::Help;
        return true;
    }
    if (args[0] == "--list" || args[0] == "--check") {
        if (args.size() != 2) {
            error = args[0] + " takes exactly one package file";
            return false;
        }
        command.kind = args[0] == "--list" ? CommandKind::List : CommandKind::Check;
        command.listPath = std::filesystem::u8path(args[1]);
        return true;
    }

    command.kind = CommandKind::Build;
    BuildOptions& build = command.build;
    build.encryptConfiguration = true;
    build.check = true;
    bool haveOutput = false, haveStub = false, haveInput = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool takesValue = arg == "-o" || arg == "--stub" || arg == "--mtime";
        if (takesValue && i + 1 >= args.size()) {
            error = arg + " needs a value";
            return false;
        }
        if (arg == "-o") {
            build.output = std::filesystem::u8path(args[++i]);
            haveOutput = true;
        } else if (arg == "--stub") {
            build.stub = std::filesystem::u8path(args[++i]);
            haveStub = true;
        } else if (arg == "--mtime") {
            std::int64_t seconds = 0;
            if (!parseEpoch(args[++i], seconds)) {
                error = "--mtime needs a count of seconds since 1970, not \"" + args[i] + "\"";
                return false;
            }
            build.fixedTime = seconds;
        } else if (arg == "--store") {
            build.storeOnly = true;
        } else if (arg == "--no-encrypt") {
            build.encryptConfiguration = false;
        } else if (arg == "--no-check") {
            build.check = false;
        } else if (arg.size() > 1 && arg[0] == '-') {
            error = "unknown option " + arg;
            return false;
        } else if (haveInput) {
            error = "only one input folder can be given";
            return false;
        } else {
            build.input = std::filesystem::u8path(arg);
            haveInput = true;
        }
    }
    if (!haveOutput || !haveStub || !haveInput) {
        error = "building a package needs -o OUT.exe, --stub STUB.exe and the input folder";
        return false;
    }
    if (!build.fixedTime && sourceDateEpoch != nullptr && *sourceDateEpoch != '\0') {
        std::int64_t seconds = 0;
        if (!parseEpoch(sourceDateEpoch, seconds)) {
            error = "SOURCE_DATE_EPOCH must be a count of seconds since 1970";
            return false;
        }
        build.fixedTime = seconds;
    }
    return true;
}

} // namespace zorpack
