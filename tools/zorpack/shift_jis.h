// Shift_JIS documents: the launcher reads package documents declared as Shift_JIS (common for
// Japanese texts), so the checks must read them too. expat does not know that encoding; this
// handler supplies it with the launcher's byte map and code page 932 for two-byte characters
// (the system's conversion on Windows, the C library's CP932 converter elsewhere).
#pragma once
#include <expat.h>

namespace zorpack {

// expat's unknown-encoding handler: accepts "Shift_JIS" (any case) and refuses every other name.
int XMLCALL shiftJisEncodingHandler(void* handlerData, const XML_Char* name, XML_Encoding* info);

} // namespace zorpack
