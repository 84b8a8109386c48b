#include "launcher_options.h"

#include <windows.h>
#include <shellapi.h>

#include <climits>
#include <cwchar>
#include <cwctype>
#include <memory>
#include <string>

#include "win_handles.h"

namespace zor {
namespace {

enum class OptionKind { Flag, Prefix, Value };

struct OptionSpec {
    const wchar_t* text;
    OptionKind kind;
    int id;
};

enum OptionId {
    kHelp, kExtract, kSilent, kNoPrompt, kInstPath, kDryRun, kTpmBypass, kVerboseLog, kReboot,
    kRebootMessage, kTimeout, kConfigFile, kDosRetCode
};

const OptionSpec kOptions[] = {
    {L"/?", OptionKind::Flag, kHelp},          {L"-?", OptionKind::Flag, kHelp},
    {L"/h", OptionKind::Flag, kHelp},          {L"-h", OptionKind::Flag, kHelp},
    {L"/help", OptionKind::Flag, kHelp},       {L"-help", OptionKind::Flag, kHelp},
    {L"--help", OptionKind::Flag, kHelp},      {L"/extract:", OptionKind::Prefix, kExtract},
    {L"/s", OptionKind::Flag, kSilent},        {L"/silent", OptionKind::Flag, kSilent},
    {L"/noprompt", OptionKind::Flag, kNoPrompt}, {L"/instpath:", OptionKind::Prefix, kInstPath},
    {L"/dryrun", OptionKind::Flag, kDryRun},   {L"-dryrun", OptionKind::Flag, kDryRun},
    {L"--dryrun", OptionKind::Flag, kDryRun},  {L"/tpmbypass", OptionKind::Flag, kTpmBypass},
    {L"/ignore_tpm", OptionKind::Flag, kTpmBypass},
    {L"/verbose_log", OptionKind::Flag, kVerboseLog},
    {L"/reboot", OptionKind::Flag, kReboot},   {L"-reboot", OptionKind::Flag, kReboot},
    {L"--reboot", OptionKind::Flag, kReboot},  {L"/r", OptionKind::Flag, kReboot},
    {L"-r", OptionKind::Flag, kReboot},        {L"/reboot_message", OptionKind::Value, kRebootMessage},
    {L"/t", OptionKind::Value, kTimeout},      {L"/config_file", OptionKind::Value, kConfigFile},
    {L"-config_file", OptionKind::Value, kConfigFile},
    {L"/dosretcode", OptionKind::Flag, kDosRetCode},
};

// Copies `text` into a fixed field. Over-long text leaves the field empty when `cut` is
// false, or keeps its first `capacity - 1` characters when `cut` is true.
template <size_t N> void StoreText(wchar_t (&field)[N], const wchar_t* text, bool cut) {
    size_t length = std::wcslen(text);
    if (length >= N) {
        if (!cut) {
            field[0] = L'\0';
            return;
        }
        length = N - 1;
    }
    std::wmemcpy(field, text, length);
    field[length] = L'\0';
}

bool ConfigFileExists(const wchar_t* path) {
    if (path[0] == L'\0') return false;
    WIN32_FIND_DATAW data;
    FindHandle find(::FindFirstFileW(path, &data));
    return find.valid();
}

// The configuration file is copied after the launcher has moved into the extraction folder,
// so a relative path is made absolute now, against the folder the launcher was started in.
void StoreConfigFilePath(LauncherOptions& options, const wchar_t* path) {
    options.configFilePath[0] = L'\0';
    options.configFileFound = false;
    if (!path[0]) return;
    wchar_t full[kOptionPathMax + 1] = {};
    const DWORD length = ::GetFullPathNameW(path, kOptionPathMax + 1, full, nullptr);
    if (length == 0 || length > kOptionPathMax) return;
    StoreText(options.configFilePath, full, false);
    options.configFileFound = ConfigFileExists(options.configFilePath);
}

void ApplyOption(const OptionSpec& spec, const wchar_t* argument, const wchar_t* next,
                 LauncherOptions& options) {
    switch (spec.id) {
    case kHelp: options.help = true; break;
    case kSilent: options.silent = true; break;
    case kNoPrompt: options.noPrompt = true; break;
    case kDryRun: options.dryRun = true; break;
    case kTpmBypass: options.tpmBypass = true; break;
    case kVerboseLog: options.verboseLog = true; break;
    case kReboot: options.reboot = true; break;
    case kDosRetCode: options.dosRetCode = true; break;
    case kExtract:
        options.extractOnly = true;
        StoreText(options.extractPath, argument + std::wcslen(spec.text), false);
        break;
    case kInstPath:
        options.useInstPath = true;
        StoreText(options.instPath, argument + std::wcslen(spec.text), false);
        break;
    case kRebootMessage: StoreText(options.rebootMessage, next ? next : L"", true); break;
    case kTimeout: options.shutdownTimeout = next ? ParseSignedDecimal(next) : 0; break;
    case kConfigFile:
        StoreConfigFilePath(options, next ? next : L"");
        break;
    }
}

bool Matches(const OptionSpec& spec, const wchar_t* argument) {
    if (spec.kind == OptionKind::Prefix)
        return _wcsnicmp(argument, spec.text, std::wcslen(spec.text)) == 0;
    return _wcsicmp(argument, spec.text) == 0;
}

} // namespace

int32_t ParseSignedDecimal(const wchar_t* text) {
    if (!text) return 0;
    while (std::iswspace(*text)) ++text;
    bool negative = false;
    if (*text == L'+' || *text == L'-') negative = (*text++ == L'-');
    long long value = 0;
    while (*text >= L'0' && *text <= L'9') {
        value = value * 10 + (*text++ - L'0');
        if (value > static_cast<long long>(INT_MAX) + 1) break;
    }
    if (negative) value = -value;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int32_t>(value);
}

void ParseCommandLine(const wchar_t* commandLine, LauncherOptions& options) {
    options = LauncherOptions{};
    if (!commandLine) return;
    // The system's splitter treats its first token as a program name (no backslash escapes)
    // and turns an empty line into the program's own path. Putting a placeholder program name
    // in front makes every real argument follow the ordinary rules.
    std::wstring line = L"zorstub ";
    line += commandLine;
    int count = 0;
    std::unique_ptr<LPWSTR, zor::LocalFreeDeleter> argv(::CommandLineToArgvW(line.c_str(), &count));
    if (!argv) return;
    LPWSTR* args = argv.get();
    for (int i = 1; i < count; ++i) {
        const wchar_t* next = (i + 1 < count) ? args[i + 1] : nullptr;
        for (const OptionSpec& spec : kOptions) {
            if (Matches(spec, args[i])) ApplyOption(spec, args[i], next, options);
        }
    }
}

} // namespace zor
