// Copies a WMI property value into caller storage, bounded by the storage's size.
#pragma once
#include <windows.h>

#include <oaidl.h>

#include <cstddef>

namespace zor {

// Writes the value of `value` into `output` (capacity `outputBytes`) by its type:
// - VT_BSTR: UTF-16 text, cut to fit and always terminated, at most 256 units with the
//   terminator (the width of the system's text fields);
// - VT_I4: a 32-bit integer, only when the storage holds four bytes;
// - VT_ARRAY | VT_UI1: the array's bytes from its first element, as many as fit.
// Any other type writes nothing. Returns the number of bytes written.
std::size_t CopyVariantToOutput(const VARIANT& value, void* output, std::size_t outputBytes);

} // namespace zor
