// Test helpers for the component records: a software key of the test's own below the shared
// key (removed at the end), records planted in it and read back, and a log that keeps what it
// is given.
#pragma once
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "cmp_log.h"

namespace zor::test {

struct PlantedRecord {
    std::wstring subKey;
    std::wstring fileName;
    std::wstring expectedPath;
};

// A uniquely named software key for one test; deleted with its sub-keys at the end.
class TestSoftwareKey {
public:
    TestSoftwareKey();
    ~TestSoftwareKey();
    TestSoftwareKey(const TestSoftwareKey&) = delete;
    TestSoftwareKey& operator=(const TestSoftwareKey&) = delete;

    const std::wstring& name() const { return name_; }
    // "Software\...\ArvexRevisionManagement\<name>".
    std::wstring path() const;

    void Plant(const PlantedRecord& record, const std::wstring& installTime = L"old");
    bool Exists() const;
    // Names of the sub-keys, in ascending order.
    std::vector<std::wstring> SubKeys() const;
    // Every value of a sub-key by name; REG_SZ values as text (without the terminator), others
    // as "<type N>". sizes receives each value's byte size.
    std::map<std::wstring, std::wstring>
    Values(const std::wstring& subKey, std::map<std::wstring, DWORD>* sizes = nullptr) const;

private:
    std::wstring name_;
};

// Number of sub-keys of the shared key (to see that nothing was written among the packages).
DWORD SharedKeyCount();

struct LogEntry {
    int type;
    int severity;
    std::wstring source;
    std::wstring text;
};

// Keeps every Write it receives, formatted; never touches a file.
class RecordingLog : public CCmpLog {
public:
    RecordingLog() : CCmpLog(L"unused.log", nullptr) {}
    void Write(int type, int severity, const wchar_t* sourceFile, int line, const wchar_t* format,
               ...) override;

    std::vector<LogEntry> entries;
};

} // namespace zor::test
