// Hostile documents: each gives a clean result code, with no crash and bounded memory.
#include <gtest/gtest.h>
#include <windows.h>

#include <climits>
#include <cstdint>
#include <random>
#include <string>

#include "win_handles.h"
#include "xml_test_support.h"

namespace {

// Counts the nodes under |root| without recursion; also checks every parent link.
std::size_t CountNodes(const CZorXMLNode* root) {
    std::size_t count = 0;
    std::vector<const CZorXMLNode*> pending{root};
    while (!pending.empty()) {
        const CZorXMLNode* n = pending.back();
        pending.pop_back();
        ++count;
        for (const CZorXMLNode* c = n->GetFirstChild(); c != nullptr; c = c->GetNextSibling()) {
            EXPECT_EQ(c->GetParent(), n);
            pending.push_back(c);
        }
    }
    return count;
}

std::string Repeat(const std::string& piece, std::size_t times) {
    std::string out;
    out.reserve(piece.size() * times);
    for (std::size_t i = 0; i < times; ++i)
        out += piece;
    return out;
}

TEST(XmlHostile, MalformedDocumentsTable) {
    const struct {
        const char* label;
        std::string doc;
    } cases[] = {
        {"empty", ""},
        {"whitespace only", "  \r\n "},
        {"byte order mark only", "\xEF\xBB\xBF"},
        {"declaration only", "<?xml version=\"1.0\"?>"},
        {"two document elements", "<a/><b/>"},
        {"text outside the document element", "<a/>tail"},
        {"unclosed element", "<a><b></b>"},
        {"unterminated start tag", "<a"},
        {"unterminated attribute value", "<a x=\"1/>"},
        {"attribute without quotes", "<a x=1/>"},
        {"unterminated CDATA", "<a><![CDATA[abc</a>"},
        {"unterminated comment", "<a><!-- </a>"},
        {"undefined entity", "<a>&nope;</a>"},
        {"character reference to NUL", "<a>&#0;</a>"},
        {"character reference to a surrogate", "<a>&#xD800;</a>"},
        {"NUL byte in content", std::string("<a>x\0y</a>", 10)},
        {"lone UTF-16 surrogate", std::string("\xFF\xFE<\0a\0>\0\x00\xD8<\0/\0a\0>\0", 18)},
        {"element name starting with a digit", "<1a/>"},
        {"recursive entity", "<!DOCTYPE a [<!ENTITY e \"&e;\">]><a>&e;</a>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        for (XmlChildOrder order : {XmlChildOrder::Launcher, XmlChildOrder::Plugin}) {
            CZorXMLReader reader(order);
            EXPECT_EQ(LoadText(reader, c.doc), 5);
            EXPECT_FALSE(reader.IsLoaded());
            EXPECT_EQ(reader.FindChild(nullptr, L"a"), nullptr);
        }
    }
}

TEST(XmlHostile, NoBufferOrHugeLength) {
    CZorXMLReader reader(XmlChildOrder::Plugin);
    EXPECT_EQ(reader.LoadBuffer(nullptr, 0), 5);
    EXPECT_EQ(reader.LoadBuffer(nullptr, 10), 5);
    // A length beyond what the parser takes is refused before the buffer is touched.
    const char small[] = "<a/>";
    EXPECT_EQ(reader.LoadBuffer(small, static_cast<std::size_t>(INT_MAX) + 1), 5);
    EXPECT_FALSE(reader.IsLoaded());
}

TEST(XmlHostile, EveryTruncationFailsCleanly) {
    const std::string doc = "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\n"
                            "<!DOCTYPE p [<!ENTITY v \"1.0\">]>\n"
                            "<p a=\"&v;\"><n>x&amp;y</n><![CDATA[raw]]><e \x93\xFA=\"\xB1\"/></p>";
    for (std::size_t cut = 0; cut < doc.size(); ++cut) {
        CZorXMLReader reader(cut % 2 ? XmlChildOrder::Launcher : XmlChildOrder::Plugin);
        ASSERT_EQ(LoadText(reader, doc.substr(0, cut)), 5) << "cut at " << cut;
    }
    CZorXMLReader reader(XmlChildOrder::Plugin);
    EXPECT_EQ(LoadText(reader, doc), 0);
}

// Destroying the tree once recursed per level and per sibling and overflowed the stack.
TEST(XmlHostile, DeepNestingAndLongSiblingLists) {
    const std::size_t kDepth = 100000;
    const std::string deep = Repeat("<d>", kDepth) + "x" + Repeat("</d>", kDepth);
    const std::string wide = "<r>" + Repeat("<i/>", 200000) + "</r>";
    for (XmlChildOrder order : {XmlChildOrder::Launcher, XmlChildOrder::Plugin}) {
        SCOPED_TRACE(OrderName(order));
        CZorXMLReader reader(order);
        ASSERT_EQ(LoadText(reader, deep), 0);
        const CZorXMLNode* n = reader.GetRoot();
        std::size_t depth = 0;
        while (n->GetFirstChild() != nullptr &&
               n->GetFirstChild()->GetNodeType() == CZorXMLNode::kElement) {
            n = n->GetFirstChild();
            ++depth;
        }
        EXPECT_EQ(depth, kDepth);
        EXPECT_STREQ(n->GetFirstChild()->GetText(), L"x");

        ASSERT_EQ(LoadText(reader, wide), 0); // frees the deep tree
        EXPECT_EQ(CountNodes(reader.GetRoot()), 200000u + 2u);
        reader.Reset(); // frees the wide tree
    }
}

TEST(XmlHostile, HugeAttributeCount) {
    const int kCount = 50000;
    std::string doc = "<a";
    for (int i = 0; i < kCount; ++i)
        doc += " k" + std::to_string(i) + "=\"" + std::to_string(i) + "\"";
    doc += "/>";
    CZorXMLReader reader(XmlChildOrder::Plugin);
    ASSERT_EQ(LoadText(reader, doc), 0);
    const CZorXMLNode* a = reader.FindChild(nullptr, L"a");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->GetAttributeCount(), static_cast<std::size_t>(kCount));
    EXPECT_STREQ(a->GetAttribute(L"k49999"), L"49999");
    EXPECT_NE(reader.FindChild(nullptr, L"a", L"k0", L"0"), nullptr);

    // The same attribute many times over is still a duplicate.
    EXPECT_EQ(LoadText(reader, "<a" + Repeat(" k=\"v\"", 1000) + "/>"), 5);
}

TEST(XmlHostile, EntityExpansionAttacksAreStopped) {
    std::string laughs = "<?xml version=\"1.0\"?>\n<!DOCTYPE lolz [\n"
                         "<!ENTITY lol0 \"lollollollollollollollollollol\">\n";
    for (int i = 1; i <= 9; ++i) {
        laughs += "<!ENTITY lol" + std::to_string(i) + " \"" +
                  Repeat("&lol" + std::to_string(i - 1) + ";", 10) + "\">\n";
    }
    laughs += "]>\n<lolz>&lol9;</lolz>";
    // One large entity referenced many times: little nesting, a lot of output.
    const std::string quadratic = "<!DOCTYPE q [<!ENTITY a \"" + std::string(50000, 'a') +
                                  "\">]><q>" + Repeat("&a;", 50000) + "</q>";
    const std::string inAttribute = "<!DOCTYPE q [<!ENTITY a \"" + std::string(50000, 'a') +
                                    "\">]><q v=\"" + Repeat("&a;", 50000) + "\"/>";
    const std::string* attacks[] = {&laughs, &quadratic, &inAttribute};
    for (const std::string* doc : attacks) {
        CZorXMLReader reader(XmlChildOrder::Launcher);
        EXPECT_EQ(LoadText(reader, *doc), 5);
        EXPECT_FALSE(reader.IsLoaded());
    }
}

// External entities are never fetched: the document loads and the file's content is absent.
TEST(XmlHostile, ExternalEntitiesAreNotRead) {
    wchar_t temp[MAX_PATH] = {};
    ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
    const std::wstring secretPath = std::wstring(temp) + L"zor_xml_secret.txt";
    {
        const std::string secret = "SECRET";
        zor::FileHandle file(CreateFileW(secretPath.c_str(), GENERIC_WRITE, 0, nullptr,
                                         CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(file.valid());
        DWORD written = 0;
        ASSERT_TRUE(WriteFile(file.get(), secret.data(), static_cast<DWORD>(secret.size()),
                              &written, nullptr));
    }
    std::string path(secretPath.begin(), secretPath.end());
    const std::string doc = "<!DOCTYPE a [<!ENTITY ext SYSTEM \"" + path + "\">]><a>t&ext;</a>";
    CZorXMLReader reader(XmlChildOrder::Launcher);
    const int rc = LoadText(reader, doc);
    DeleteFileW(secretPath.c_str());
    ASSERT_EQ(rc, 0);
    const CZorXMLNode* a = reader.FindChild(nullptr, L"a");
    ASSERT_NE(a, nullptr);
    ASSERT_NE(a->GetFirstChild(), nullptr);
    EXPECT_STREQ(a->GetFirstChild()->GetText(), L"t");
}

// Thousands of mutated documents from a fixed seed: each loads or fails with 5, and a loaded
// tree is consistent.
TEST(XmlHostile, MutationRun) {
    const std::string base = "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\n"
                             "<!DOCTYPE zor_package [<!ENTITY v \"2.1\">]>\n"
                             "<zor_package ver=\"&v;\">\n"
                             "  <name lang=\"en\">Net &amp; \x93\xFA\x96\x7B</name>\n"
                             "  <cmd><![CDATA[setup.exe /s\n/q]]></cmd>\n"
                             "  <os id=\"1\"/><os id=\"2\">\xB1\xB2</os>\n"
                             "</zor_package>\n";
    std::mt19937 random(20240611u);
    const char interesting[] = {'<', '>',  '&',    ';',    '"',  '/', '!', '[',
                                ']', '\0', '\x93', '\xFF', '\n', ' ', '=', '?'};
    for (int round = 0; round < 3000; ++round) {
        std::string doc = base;
        const int edits = 1 + static_cast<int>(random() % 4);
        for (int e = 0; e < edits && !doc.empty(); ++e) {
            const std::size_t at = random() % doc.size();
            switch (random() % 4) {
            case 0:
                doc[at] = static_cast<char>(random() & 0xFF);
                break;
            case 1:
                doc[at] = interesting[random() % sizeof(interesting)];
                break;
            case 2:
                doc.erase(at, 1 + random() % 8);
                break;
            default:
                doc.insert(at, doc.substr(random() % doc.size(), 1 + random() % 16));
                break;
            }
        }
        CZorXMLReader reader(round % 2 ? XmlChildOrder::Launcher : XmlChildOrder::Plugin);
        const int rc = LoadText(reader, doc);
        ASSERT_TRUE(rc == 0 || rc == 5) << "round " << round << " gave " << rc;
        EXPECT_EQ(reader.IsLoaded(), rc == 0);
        CountNodes(reader.GetRoot());
    }
}

} // namespace
