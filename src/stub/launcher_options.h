// What the launcher's command line asked for, and the parser that fills it in.
#pragma once
#include <cstdint>

namespace zor {

// Longest values the option fields hold, terminator not counted.
constexpr int kOptionPathMax = 260;
constexpr int kRebootMessageMax = 512;

struct LauncherOptions {
    bool silent = false;
    bool help = false;
    bool extractOnly = false;
    wchar_t extractPath[kOptionPathMax + 1] = {};
    bool useInstPath = false;
    wchar_t instPath[kOptionPathMax + 1] = {};
    bool noPrompt = false;
    bool dosRetCode = false;
    bool dryRun = false;
    bool tpmBypass = false;
    bool verboseLog = false;
    bool reboot = false;
    wchar_t rebootMessage[kRebootMessageMax + 1] = {};
    int32_t shutdownTimeout = 0;
    wchar_t configFilePath[kOptionPathMax + 1] = {};
    bool configFileFound = false;
};

// Resets `options` and fills it from the command-line text that follows the program name.
// Matching ignores case; "/extract:" and "/instpath:" are prefix options whose path is the
// rest of the argument. A path longer than the field is refused (the field stays empty, so the
// run that needs it fails instead of using a different, shortened path; a refused
// configuration file counts as not found); a restart message longer than its field is cut.
// The configuration file's path is stored as a full path.
void ParseCommandLine(const wchar_t* commandLine, LauncherOptions& options);

// Signed decimal conversion as the C runtime's wtoi does it: leading white space and one sign
// allowed, stops at the first other character, 0 when there is no digit. Saturates instead of
// overflowing.
int32_t ParseSignedDecimal(const wchar_t* text);

} // namespace zor
