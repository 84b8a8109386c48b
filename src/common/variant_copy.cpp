#include "variant_copy.h"

#include <oleauto.h>

#include <cstdint>
#include <cstring>

namespace zor {
namespace {

constexpr std::size_t kMaxTextUnits = 256;

std::size_t CopyText(BSTR text, void* output, std::size_t outputBytes) {
    std::size_t capacity = outputBytes / sizeof(wchar_t);
    if (capacity > kMaxTextUnits)
        capacity = kMaxTextUnits;
    if (capacity == 0)
        return 0;
    // A BSTR may be null (an empty string) and knows its own length; stop at an embedded
    // terminator as a text copy would.
    std::size_t length = text ? SysStringLen(text) : 0;
    for (std::size_t i = 0; i < length; ++i) {
        if (text[i] == L'\0') {
            length = i;
            break;
        }
    }
    if (length > capacity - 1)
        length = capacity - 1;
    wchar_t* out = static_cast<wchar_t*>(output);
    if (length)
        std::memcpy(out, text, length * sizeof(wchar_t));
    out[length] = L'\0';
    return (length + 1) * sizeof(wchar_t);
}

std::size_t CopyBytes(SAFEARRAY* array, void* output, std::size_t outputBytes) {
    if (!array || SafeArrayGetDim(array) != 1 || SafeArrayGetElemsize(array) != 1)
        return 0;
    LONG lower = 0;
    LONG upper = -1;
    if (FAILED(SafeArrayGetLBound(array, 1, &lower)) ||
        FAILED(SafeArrayGetUBound(array, 1, &upper)) || upper < lower) {
        return 0;
    }
    std::size_t count = static_cast<std::size_t>(static_cast<std::int64_t>(upper) - lower + 1);
    if (count > outputBytes)
        count = outputBytes;
    void* data = nullptr;
    if (FAILED(SafeArrayAccessData(array, &data)))
        return 0;
    std::memcpy(output, data, count);
    SafeArrayUnaccessData(array);
    return count;
}

} // namespace

std::size_t CopyVariantToOutput(const VARIANT& value, void* output, std::size_t outputBytes) {
    if (!output || outputBytes == 0)
        return 0;
    switch (V_VT(&value)) {
    case VT_BSTR:
        return CopyText(V_BSTR(&value), output, outputBytes);
    case VT_I4: {
        if (outputBytes < sizeof(std::int32_t))
            return 0;
        std::int32_t number = V_I4(&value);
        std::memcpy(output, &number, sizeof number);
        return sizeof number;
    }
    case VT_ARRAY | VT_UI1:
        return CopyBytes(V_ARRAY(&value), output, outputBytes);
    default:
        return 0;
    }
}

} // namespace zor
