#include "cp1252.h"

#include <cstdint>
#include <cstdio>

namespace zorpack {
namespace {

// Code points of the bytes 0x80-0x9F; 0 marks the bytes that code page 1252 leaves undefined.
// Every other byte maps to the code point of the same value.
constexpr char32_t kHighControlRange[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

bool codePointToCp1252(char32_t cp, unsigned char& byte) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
        byte = static_cast<unsigned char>(cp);
        return true;
    }
    for (unsigned i = 0; i < 32; ++i) {
        if (kHighControlRange[i] != 0 && kHighControlRange[i] == cp) {
            byte = static_cast<unsigned char>(0x80 + i);
            return true;
        }
    }
    return false;
}

// Decodes one UTF-8 sequence at `pos`, rejecting overlong forms, surrogates and values beyond
// U+10FFFF. Advances `pos` past the sequence on success.
bool decodeUtf8(const std::string& s, std::size_t& pos, char32_t& cp) {
    const auto lead = static_cast<unsigned char>(s[pos]);
    std::size_t extra;
    char32_t min;
    if (lead < 0x80) {
        cp = lead;
        ++pos;
        return true;
    } else if ((lead & 0xE0) == 0xC0) {
        extra = 1, cp = lead & 0x1F, min = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2, cp = lead & 0x0F, min = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3, cp = lead & 0x07, min = 0x10000;
    } else {
        return false;
    }
    if (s.size() - pos <= extra)
        return false;
    for (std::size_t i = 1; i <= extra; ++i) {
        const auto next = static_cast<unsigned char>(s[pos + i]);
        if ((next & 0xC0) != 0x80)
            return false;
        cp = (cp << 6) | (next & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return false;
    pos += extra + 1;
    return true;
}

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        // Code page 1252 reaches no further than the Basic Multilingual Plane.
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::string hexByte(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "\\x%02X", value & 0xFFu);
    return text;
}

} // namespace

bool utf8ToCp1252(const std::string& utf8, std::string& cp1252, std::string& problem) {
    cp1252.clear();
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        char32_t cp = 0;
        const std::size_t start = pos;
        if (!decodeUtf8(utf8, pos, cp)) {
            problem = "invalid UTF-8 byte " + hexByte(static_cast<unsigned char>(utf8[start]));
            return false;
        }
        unsigned char byte = 0;
        if (!codePointToCp1252(cp, byte)) {
            char text[16];
            std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(cp));
            problem = "character " + std::string(text) + " (\"" + utf8.substr(start, pos - start) +
                      "\") has no Windows-1252 form";
            return false;
        }
        cp1252 += static_cast<char>(byte);
    }
    return true;
}

std::string cp1252ToDisplayUtf8(const std::string& cp1252) {
    std::string out;
    for (const char c : cp1252) {
        const auto byte = static_cast<unsigned char>(c);
        char32_t cp = byte;
        if (byte >= 0x80 && byte < 0xA0)
            cp = kHighControlRange[byte - 0x80];
        if (byte < 0x20 || byte == 0x7F || cp == 0)
            out += hexByte(byte);
        else
            appendUtf8(out, cp);
    }
    return out;
}

} // namespace zorpack
