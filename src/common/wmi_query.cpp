#include "wmi_query.h"

#include <oleauto.h>

#include <cwchar>

#include "variant_copy.h"

namespace {

constexpr wchar_t kSetupFailureText[] = L"An error occurred initializing the COM environment.";
constexpr std::size_t kQueryUnits = 256;

// Owner of a BSTR built from a wide text.
class BstrText {
public:
    explicit BstrText(const wchar_t* text) : text_(SysAllocString(text)) {}
    ~BstrText() { SysFreeString(text_); }
    BstrText(const BstrText&) = delete;
    BstrText& operator=(const BstrText&) = delete;
    BSTR get() const { return text_; }

private:
    BSTR text_;
};

// Owner of a VARIANT's contents.
class VariantValue {
public:
    VariantValue() { VariantInit(&value_); }
    ~VariantValue() { VariantClear(&value_); }
    VariantValue(const VariantValue&) = delete;
    VariantValue& operator=(const VariantValue&) = delete;
    VARIANT* put() { return &value_; }
    const VARIANT& get() const { return value_; }

private:
    VARIANT value_;
};

} // namespace

CWmiQuery::CWmiQuery() {
    InitializeCom();
}

CWmiQuery::~CWmiQuery() {
    Disconnect();
}

void CWmiQuery::SetSetupFailure() {
    errorCode_ = kSetupFailed;
    std::wcsncpy(errorMessage_, kSetupFailureText, kMessageUnits - 1);
    errorMessage_[kMessageUnits - 1] = L'\0';
}

void CWmiQuery::UninitializeCom() {
    if (comInitialized_) {
        comInitialized_ = false;
        CoUninitialize();
    }
}

void CWmiQuery::InitializeCom() {
    if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) {
        SetSetupFailure();
        return;
    }
    comInitialized_ = true;

    // Process-wide security can be set once; another component having set it is fine.
    HRESULT hr = CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_DEFAULT,
                                      RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE, nullptr);
    if (FAILED(hr) && hr != RPC_E_TOO_LATE) {
        UninitializeCom();
        SetSetupFailure();
        return;
    }

    hr = CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                          locator_.put_void());
    if (FAILED(hr) || !locator_) {
        locator_.reset();
        UninitializeCom();
        SetSetupFailure();
    }
}

int CWmiQuery::Connect(const wchar_t* nameSpace) {
    if (!locator_ || !nameSpace)
        return 0;
    services_.reset();
    BstrText path(nameSpace);
    if (!path.get())
        return 0;
    HRESULT hr = locator_->ConnectServer(path.get(), nullptr, nullptr, nullptr, 0, nullptr, nullptr,
                                         services_.put());
    if (FAILED(hr) || !services_) {
        services_.reset();
        locator_.reset();
        UninitializeCom();
        SetSetupFailure();
        return 0;
    }
    hr = CoSetProxyBlanket(services_.get(), RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr,
                           RPC_C_AUTHN_LEVEL_CALL, RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);
    if (FAILED(hr)) {
        services_.reset();
        locator_.reset();
        UninitializeCom();
        SetSetupFailure();
        return 0;
    }
    return 1;
}

int CWmiQuery::ExecQuery(const wchar_t* className) {
    result_.reset();
    if (!services_ || !className)
        return 0;
    // A class name that does not fit the query text is refused rather than cut, so that a
    // different class is never queried by accident.
    wchar_t query[kQueryUnits];
    int written = std::swprintf(query, kQueryUnits, L"SELECT * FROM %ls", className);
    if (written < 0 || static_cast<std::size_t>(written) >= kQueryUnits)
        return 0;

    BstrText language(L"WQL");
    BstrText text(query);
    if (!language.get() || !text.get())
        return 0;
    HRESULT hr = services_->ExecQuery(language.get(), text.get(), WBEM_FLAG_RETURN_IMMEDIATELY,
                                      nullptr, result_.put());
    if (hr != WBEM_S_NO_ERROR || !result_) {
        result_.reset();
        return 0;
    }
    return 1;
}

int CWmiQuery::GetPropertyValue(const wchar_t* name, void* output, std::size_t outputBytes,
                                std::size_t* bytesWritten) {
    if (bytesWritten)
        *bytesWritten = 0;
    if (!result_ || !name)
        return 0;
    if (FAILED(result_->Reset())) {
        result_.reset();
        return 0;
    }
    for (;;) {
        zor::ComPtr<IWbemClassObject> instance;
        ULONG returned = 0;
        HRESULT hr = result_->Next(WBEM_INFINITE, 1, instance.put(), &returned);
        // An enumeration that fails (for example a class the provider does not know) is a
        // failed read, not an empty one.
        if (FAILED(hr)) {
            result_.reset();
            return 0;
        }
        if (returned == 0 || !instance)
            return 1;

        VariantValue value;
        if (FAILED(instance->Get(name, 0, value.put(), nullptr, nullptr))) {
            result_.reset();
            return 0;
        }
        std::size_t copied = zor::CopyVariantToOutput(value.get(), output, outputBytes);
        if (bytesWritten && copied)
            *bytesWritten = copied;
    }
}

void CWmiQuery::ReleaseResult() {
    result_.reset();
}

void CWmiQuery::Disconnect() {
    ReleaseResult();
    services_.reset();
    locator_.reset();
    UninitializeCom();
}
