#include "shift_jis.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

#include <cstring>

namespace zorpack {
namespace {

// Map entries understood by expat: -1 an invalid byte, -2 the first byte of a two-byte
// sequence; other entries are the character itself.
constexpr int kInvalidByte = -1;
constexpr int kLeadByte = -2;
// Single bytes 0xA0-0xDF are the half-width katakana block starting at U+FF60.
constexpr int kHalfWidthBase = 0xFF60;

template <typename Char> bool isShiftJisName(const Char* name) {
    static const char kName[] = "shift_jis";
    for (int i = 0;; ++i) {
        Char c = name[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<Char>(c - 'A' + 'a');
        if (c != static_cast<Char>(kName[i]))
            return false;
        if (c == 0)
            return true;
    }
}

int mapByte(int byte) {
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

#ifdef _WIN32

void* openConverter() {
    static int marker = 0;
    return &marker; // the system converter needs no state
}

void closeConverter(void*) {}

// A pair that is not a Shift_JIS character yields -1, which expat treats as an error.
int XMLCALL convertPair(void*, const char* bytes) {
    wchar_t decoded[2] = {};
    const int count = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes, 2, decoded, 2);
    return count == 1 ? static_cast<int>(decoded[0]) : -1;
}

#else

void* openConverter() {
    const iconv_t converter = iconv_open("UTF-32LE", "CP932");
    return converter == reinterpret_cast<iconv_t>(-1) ? nullptr : converter;
}

void closeConverter(void* data) {
    if (data != nullptr)
        iconv_close(static_cast<iconv_t>(data));
}

int XMLCALL convertPair(void* data, const char* bytes) {
    const auto converter = static_cast<iconv_t>(data);
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    char input[2] = {bytes[0], bytes[1]};
    unsigned char output[8] = {};
    char* in = input;
    char* out = reinterpret_cast<char*>(output);
    std::size_t inLeft = sizeof input, outLeft = sizeof output;
    if (iconv(converter, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1) ||
        inLeft != 0 || sizeof output - outLeft != 4)
        return -1;
    const unsigned long cp = output[0] | (output[1] << 8) | (output[2] << 16) |
                             (static_cast<unsigned long>(output[3]) << 24);
    // Code page 932 decodes to the Basic Multilingual Plane only.
    return cp <= 0xFFFF ? static_cast<int>(cp) : -1;
}

#endif

void XMLCALL releaseConverter(void* data) {
    closeConverter(data);
}

} // namespace

int XMLCALL shiftJisEncodingHandler(void*, const XML_Char* name, XML_Encoding* info) {
    if (name == nullptr || info == nullptr || !isShiftJisName(name))
        return 0;
    void* converter = openConverter();
    if (converter == nullptr)
        return 0;
    for (int byte = 0; byte < 256; ++byte)
        info->map[byte] = mapByte(byte);
    info->data = converter;
    info->convert = &convertPair;
    info->release = &releaseConverter;
    return 1;
}

} // namespace zorpack
