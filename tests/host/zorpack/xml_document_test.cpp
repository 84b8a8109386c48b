// The checks' XML reader must read package documents as the launcher does: the same element
// texts, the last matching element first, filter values ignoring case, Shift_JIS decoded, and
// hostile documents refused or survived without harm.
#include "xml_document.h"

#include <gtest/gtest.h>

namespace zorpack {
namespace {

std::vector<unsigned char> bytesOf(const std::string& text) {
    return std::vector<unsigned char>(text.begin(), text.end());
}

// The text of the element `a` directly below the document root, or "(null)".
std::string textOfA(const std::string& xml) {
    XmlDocument document;
    std::string error;
    EXPECT_TRUE(document.parse(bytesOf(xml), error)) << error;
    const std::string* text = document.elementText(document.findChild(nullptr, "a"));
    return text != nullptr ? *text : "(null)";
}

TEST(XmlDocument, ElementTextFollowsTheLauncherRules) {
    const struct {
        const char* xml;
        const char* text;
    } cases[] = {
        {"<a>demo.exe</a>", "demo.exe"},
        {"<a>x&amp;y</a>", "x&y"},
        {"<a>  indented</a>", "(null)"}, // whitespace-led: the element holds markup
        {"<a>\n  demo.exe\n</a>", "(null)"},
        {"<a>one\ntwo</a>", "onetwo"}, // line ends inside text are dropped
        {"<a>text<b/></a>", "(null)"}, // the child element comes first
        {"<a><b/>after</a>", "after"},
        {"<a><b>inner</b></a>", "(null)"},
        {"<a><![CDATA[ raw <x> ]]></a>", " raw <x> "},
        {"<a></a>", "(null)"},
        {"<a>caf\xC3\xA9</a>", "caf\xC3\xA9"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(textOfA(c.xml), c.text) << c.xml;
}

TEST(XmlDocument, FindsTheLastMatchComparingFilterValuesIgnoringCase) {
    XmlDocument document;
    std::string error;
    ASSERT_TRUE(document.parse(bytesOf("<r><v name='A' n='1'/><w/><v name='b' n='2'/>"
                                       "<v name='a' n='3'/><V name='a' n='4'/></r>"),
                               error));
    const XmlNode* root = document.findChild(nullptr, "r");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(*attributeOf(*document.findChild(root, "v"), "n"), "3");
    EXPECT_EQ(*attributeOf(*document.findChild(root, "v", "name", "B"), "n"), "2");
    EXPECT_EQ(*attributeOf(*document.findChild(root, "v", "name", "A"), "n"), "3");
    EXPECT_EQ(document.findChild(root, "v", "name", "c"), nullptr);
    EXPECT_EQ(document.findChild(root, "v", "missing", "a"), nullptr);
    EXPECT_TRUE(equalsIgnoringCase("CAF\xC3\x89", "caf\xC3\xA9"));
    EXPECT_FALSE(equalsIgnoringCase("en", "en-us"));
}

TEST(XmlDocument, DecodesShiftJis) {
    // "デモ" in Shift_JIS, and a half-width katakana byte.
    const std::string xml = "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?><a>\x83\x66\x83\x82"
                            "\xB1</a>";
    EXPECT_EQ(textOfA(xml), "\xE3\x83\x87\xE3\x83\xA2\xEF\xBD\xB1");
}

TEST(XmlDocument, RefusesOrSurvivesHostileDocuments) {
    const char* const refused[] = {
        "",
        "<a>",
        "<a></b>",
        "<a x='1' x='2'/>",
        "<?xml version=\"1.0\" encoding=\"EBCDIC-XYZ\"?><a/>",
        "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?><a>\x81\x20</a>",
        "<!DOCTYPE a [<!ENTITY e \"&e;\">]><a>&e;</a>",
    };
    for (const char* xml : refused) {
        XmlDocument document;
        std::string error;
        EXPECT_FALSE(document.parse(bytesOf(xml), error)) << xml;
        EXPECT_FALSE(error.empty());
        EXPECT_FALSE(document.loaded());
        EXPECT_EQ(document.findChild(nullptr, "a"), nullptr);
    }

    // Very deep nesting is kept in a flat node table, so neither building nor destroying the
    // tree recurses.
    std::string deep;
    for (int i = 0; i < 200000; ++i)
        deep += "<a>";
    for (int i = 0; i < 200000; ++i)
        deep += "</a>";
    XmlDocument document;
    std::string error;
    EXPECT_TRUE(document.parse(bytesOf(deep), error)) << error;
}

TEST(XmlDocument, ReportsTheLineOfAnError) {
    XmlDocument document;
    std::string error;
    ASSERT_FALSE(document.parse(bytesOf("<a>\n<b>\n</a>"), error));
    EXPECT_EQ(error.rfind("line 3: ", 0), 0u) << error;
}

} // namespace
} // namespace zorpack
