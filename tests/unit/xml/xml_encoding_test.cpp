// Declared document encodings: those expat decodes itself, Shift_JIS through our handler,
// and the refusal of every other unknown encoding.
#include <gtest/gtest.h>

#include <string>

#include "xml_test_support.h"
#include "zor_xml_shift_jis.h"

namespace {

std::string Declared(const char* encoding, const std::string& body) {
    return std::string("<?xml version=\"1.0\" encoding=\"") + encoding + "\"?>\n" + body;
}

// "日本" followed by half-width katakana "ｱ", as Shift_JIS bytes and as UTF-16.
const char kShiftJisText[] = "\x93\xFA\x96\x7B\xB1";
const wchar_t kShiftJisDecoded[] = L"\x65E5\x672C\xFF71";

TEST(XmlEncoding, ShiftJisInAnyLetterCase) {
    const std::string body = std::string("<a n=\"\x93\xFA\">") + kShiftJisText + "</a>";
    for (const char* name : {"Shift_JIS", "shift_jis", "SHIFT_JIS", "sHiFt_JiS"}) {
        SCOPED_TRACE(name);
        CZorXMLReader reader(XmlChildOrder::Launcher);
        ASSERT_EQ(LoadText(reader, Declared(name, body)), 0);
        const CZorXMLNode* a = reader.FindChild(nullptr, L"a", L"n", L"\x65E5");
        ASSERT_NE(a, nullptr);
        ASSERT_NE(a->GetFirstChild(), nullptr);
        EXPECT_STREQ(a->GetFirstChild()->GetText(), kShiftJisDecoded);
    }
}

TEST(XmlEncoding, EncodingsTheParserKnows) {
    const std::wstring utf16Body =
        L"\xFEFF<?xml version=\"1.0\" encoding=\"UTF-16\"?><a>\x65E5</a>";
    const std::string utf16(reinterpret_cast<const char*>(utf16Body.data()),
                            utf16Body.size() * sizeof(wchar_t));
    const struct {
        const char* label;
        std::string doc;
        const wchar_t* text;
    } cases[] = {
        {"ISO-8859-1", Declared("ISO-8859-1", "<a>caf\xE9</a>"), L"caf\xE9"},
        {"US-ASCII", Declared("US-ASCII", "<a>plain</a>"), L"plain"},
        {"UTF-8", Declared("UTF-8", "<a>\xE6\x97\xA5</a>"), L"\x65E5"},
        {"undeclared UTF-8", "<a>\xE6\x97\xA5</a>", L"\x65E5"},
        {"UTF-16 with BOM", utf16, L"\x65E5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        CZorXMLReader reader(XmlChildOrder::Plugin);
        ASSERT_EQ(LoadText(reader, c.doc), 0);
        const CZorXMLNode* a = reader.FindChild(nullptr, L"a");
        ASSERT_NE(a, nullptr);
        ASSERT_NE(a->GetFirstChild(), nullptr);
        EXPECT_STREQ(a->GetFirstChild()->GetText(), c.text);
    }
}

TEST(XmlEncoding, UnsupportedEncodingsAndBadBytesAreRefused) {
    const struct {
        const char* label;
        std::string doc;
    } cases[] = {
        {"EUC-JP", Declared("EUC-JP", "<a>x</a>")},
        {"windows-1252", Declared("windows-1252", "<a>x</a>")},
        {"name with a suffix", Declared("Shift_JIS2", "<a>x</a>")},
        {"name prefix", Declared("Shift", "<a>x</a>")},
        {"US-ASCII with a high byte", Declared("US-ASCII", "<a>caf\xE9</a>")},
        {"Shift_JIS byte 0xFF", Declared("Shift_JIS", "<a>\xFF</a>")},
        {"Shift_JIS bad trail byte", Declared("Shift_JIS", "<a>\x81\x20</a>")},
        {"Shift_JIS lead byte 0x80", Declared("Shift_JIS", "<a>\x80\x40</a>")},
        {"Shift_JIS control byte", Declared("Shift_JIS", "<a>\x01</a>")},
        {"Shift_JIS lead byte at the end", Declared("Shift_JIS", "<a/>\x93")},
        {"invalid UTF-8", "<a>\xC3\x28</a>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        CZorXMLReader reader(XmlChildOrder::Plugin);
        EXPECT_EQ(LoadText(reader, c.doc), 5);
        EXPECT_FALSE(reader.IsLoaded());
    }
}

TEST(XmlEncoding, ShiftJisByteMapBoundaries) {
    XML_Encoding info = {};
    ASSERT_EQ(ZorXmlUnknownEncodingHandler(nullptr, L"Shift_JIS", &info), 1);
    const struct {
        int byte;
        int entry;
    } cases[] = {
        {0x00, -1},     {0x08, -1},     {0x09, 0x09}, {0x0F, 0x0F}, {0x10, -1},
        {0x1F, -1},     {0x20, 0x20},   {0x7F, 0x7F}, {0x80, -2},   {0x9F, -2},
        {0xA0, 0xFF60}, {0xDF, 0xFF9F}, {0xE0, -2},   {0xFE, -2},   {0xFF, -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(info.map[c.byte], c.entry) << std::hex << c.byte;
    }
    ASSERT_NE(info.convert, nullptr);
    EXPECT_EQ(info.release, nullptr);
    EXPECT_EQ(info.convert(info.data, "\x93\xFA"), 0x65E5);
    EXPECT_EQ(info.convert(info.data, "\xEA\xA4"), 0x7199); // last row of JIS level 2
    EXPECT_EQ(info.convert(info.data, "\x81\x20"), -1);

    XML_Encoding other = {};
    EXPECT_EQ(ZorXmlUnknownEncodingHandler(nullptr, L"EUC-JP", &other), 0);
}

} // namespace
