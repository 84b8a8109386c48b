// Decoding of documents that declare the Shift_JIS encoding, which expat does not know itself.
#pragma once

#include <expat.h>

// expat's handler for encodings it does not know: fills |info| for "Shift_JIS" (any letter
// case) and returns 1; returns 0 for every other name, which fails the parse.
int XMLCALL ZorXmlUnknownEncodingHandler(void* data, const XML_Char* name, XML_Encoding* info);
