// One WMI class query with property reads: connect to a namespace, select every instance of a
// class, read one property of the instances into caller storage.
#pragma once
#include <windows.h>

#include <wbemidl.h>

#include <cstddef>
#include <cstdint>

#include "com_ptr.h"

class CWmiQuery {
public:
    // Error code after any COM or WMI set-up failure.
    static constexpr std::int32_t kSetupFailed = 11;
    static constexpr std::size_t kMessageUnits = 256;

    // Initialises COM for this thread (multithreaded), the process's COM security and the WMI
    // locator. On failure ErrorCode() is kSetupFailed and every later call fails cleanly.
    CWmiQuery();
    // Disconnects when the user has not done so.
    ~CWmiQuery();
    CWmiQuery(const CWmiQuery&) = delete;
    CWmiQuery& operator=(const CWmiQuery&) = delete;

    // Connects to a namespace such as "ROOT\CIMV2". 1 connected, 0 failed.
    int Connect(const wchar_t* nameSpace);
    // Selects every instance of a class. 1 when the query was accepted, 0 otherwise.
    int ExecQuery(const wchar_t* className);
    // Reads one property of each instance of the last query into `output` (capacity
    // `outputBytes`; see CopyVariantToOutput for what each value type writes). With several
    // instances the storage ends up holding the last one's value; with none nothing is
    // written. 1 read, 0 failed (no query, an unreadable property or a failed enumeration,
    // after which the result is dropped). `bytesWritten`, when given, receives the size of the
    // last value written (0 when none was).
    int GetPropertyValue(const wchar_t* name, void* output, std::size_t outputBytes,
                         std::size_t* bytesWritten = nullptr);
    // Drops the result of the last query.
    void ReleaseResult();
    // Releases every interface and ends this object's use of COM. Safe to call more than once.
    void Disconnect();

    std::int32_t ErrorCode() const { return errorCode_; }
    const wchar_t* ErrorMessage() const { return errorMessage_; }

private:
    void InitializeCom();
    void SetSetupFailure();
    void UninitializeCom();

    zor::ComPtr<IWbemLocator> locator_;
    zor::ComPtr<IWbemServices> services_;
    zor::ComPtr<IEnumWbemClassObject> result_;
    std::int32_t errorCode_ = 0;
    wchar_t errorMessage_[kMessageUnits] = {};
    // Pairs each successful CoInitializeEx with exactly one CoUninitialize.
    bool comInitialized_ = false;
};
