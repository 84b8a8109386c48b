// The install sequence's view of the log: every line goes through here so that extract mode
// (which writes no log) and a log that could not be created need no checks at the call sites.
#pragma once
#include <cstdarg>

#include "cmp_log.h"

namespace zor {

// Source name shown in the verbose log for the launcher's entries.
constexpr const wchar_t* kStubLogSource = L"stub.cpp";

class StubLog {
public:
    explicit StubLog(CCmpLog* log = nullptr) : log_(log) {}
    CCmpLog* get() const { return log_; }

    void Write(int type, int severity, int line, const wchar_t* format, ...) const {
        if (!log_) return;
        std::va_list args;
        va_start(args, format);
        log_->WriteV(type, severity, kStubLogSource, line, format, args);
        va_end(args);
    }
    // A step announcement ("... ") and its completion on the same line.
    void Announce(int line, const wchar_t* text) const { Write(kLogVerboseOnly, kLogInfo, line, L"%s", text); }
    void Done(int line) const { Write(kLogVerboseContinue, kLogInfo, line, L"Done.\r\n"); }
    void Failed(int line, int type = kLogVerboseContinue) const {
        Write(type, kLogInfo, line, L"Failed!\r\n");
    }

private:
    CCmpLog* log_;
};

} // namespace zor
