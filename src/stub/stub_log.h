// The install sequence's view of the log: every line goes through here so that extract mode
// (which writes no log) and a log that could not be created need no checks at the call sites.
#pragma once
#include "cmp_log.h"

namespace zor {

// Source name shown in the verbose log for the launcher's entries.
constexpr const wchar_t* kStubLogSource = L"stub.cpp";

class StubLog {
public:
    explicit StubLog(CCmpLog* log = nullptr) : log_(log) {}
    CCmpLog* get() const { return log_; }

    // Goes through the log object's own Write slot, like every user of a log object that
    // may have been made elsewhere.
    template <typename... Args>
    void Write(int type, int severity, int line, const wchar_t* format, Args... args) const {
        if (log_)
            log_->Write(type, severity, kStubLogSource, line, format, args...);
    }
    // A step announcement ("... ") and its completion on the same line.
    void Announce(int line, const wchar_t* text) const {
        Write(kLogVerboseOnly, kLogInfo, line, L"%s", text);
    }
    void Done(int line) const { Write(kLogVerboseContinue, kLogInfo, line, L"Done.\r\n"); }
    void Failed(int line, int type = kLogVerboseContinue) const {
        Write(type, kLogInfo, line, L"Failed!\r\n");
    }

private:
    CCmpLog* log_;
};

} // namespace zor
