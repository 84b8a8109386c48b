#include "zor_xml_shift_jis.h"

#include <windows.h>

namespace {

// Windows' Shift_JIS code page. The code page is fixed rather than taken from the user's
// locale so that Japanese documents decode the same on every system.
constexpr UINT kShiftJisCodePage = 932;

// Map entries understood by expat: -1 an invalid byte, -2 the first byte of a two-byte
// sequence (decoded by ConvertTwoByteSequence); other entries are the character itself.
constexpr int kInvalidByte = -1;
constexpr int kLeadByte = -2;
// Single bytes 0xA0-0xDF are the half-width katakana block starting at U+FF60.
constexpr int kHalfWidthBase = 0xFF60;

bool IsShiftJisName(const XML_Char* name) noexcept {
    static const char kName[] = "shift_jis";
    for (int i = 0;; ++i) {
        XML_Char c = name[i];
        if (c >= L'A' && c <= L'Z')
            c = static_cast<XML_Char>(c - L'A' + L'a');
        if (c != static_cast<XML_Char>(kName[i]))
            return false;
        if (c == 0)
            return true;
    }
}

int MapByte(int byte) noexcept {
    if (byte <= 0x08)
        return kInvalidByte;
    if (byte <= 0x0F)
        return byte;
    if (byte <= 0x1F)
        return kInvalidByte;
    if (byte <= 0x7F)
        return byte;
    if (byte <= 0x9F)
        return kLeadByte;
    if (byte <= 0xDF)
        return kHalfWidthBase + (byte - 0xA0);
    if (byte <= 0xFE)
        return kLeadByte;
    return kInvalidByte;
}

// expat calls this with |bytes| at a lead byte followed by its trail byte. A pair that is not
// a Shift_JIS character yields -1, which expat treats as a well-formedness error.
int XMLCALL ConvertTwoByteSequence(void*, const char* bytes) {
    wchar_t decoded[2] = {};
    const int count =
        MultiByteToWideChar(kShiftJisCodePage, MB_ERR_INVALID_CHARS, bytes, 2, decoded, 2);
    if (count != 1)
        return -1;
    return static_cast<int>(decoded[0]);
}

} // namespace

int XMLCALL ZorXmlUnknownEncodingHandler(void*, const XML_Char* name, XML_Encoding* info) {
    if (name == nullptr || info == nullptr || !IsShiftJisName(name))
        return 0;
    for (int byte = 0; byte < 256; ++byte)
        info->map[byte] = MapByte(byte);
    info->data = nullptr;
    info->convert = &ConvertTwoByteSequence;
    info->release = nullptr;
    return 1;
}
