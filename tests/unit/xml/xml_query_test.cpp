// Queries on a loaded document: FindChild with its attribute filter, attributes, name walks.
#include <gtest/gtest.h>

#include "xml_test_support.h"

namespace {

const char kThreeItems[] = "<r><i n=\"1\"/><i n=\"2\"/><i n=\"3\"/></r>";

TEST(XmlChildOrder, ThreeChildrenWalkAndFirstMatch) {
    const struct {
        XmlChildOrder order;
        std::vector<std::wstring> walk;
        const wchar_t* firstFound;
    } cases[] = {
        {XmlChildOrder::Launcher, {L"3", L"2", L"1"}, L"3"},
        {XmlChildOrder::Plugin, {L"1", L"3", L"2"}, L"1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(OrderName(c.order));
        CZorXMLReader reader(c.order);
        ASSERT_EQ(LoadText(reader, kThreeItems), 0);
        const CZorXMLNode* r = reader.FindChild(nullptr, L"r");
        ASSERT_NE(r, nullptr);
        EXPECT_EQ(ChildAttributes(r, L"n"), c.walk);
        const CZorXMLNode* first = reader.FindChild(r, L"i");
        ASSERT_NE(first, nullptr);
        EXPECT_STREQ(first->GetAttribute(L"n"), c.firstFound);
        const CZorXMLNode* two = reader.FindChild(r, L"i", L"n", L"2");
        ASSERT_NE(two, nullptr);
        EXPECT_STREQ(two->GetAttribute(L"n"), L"2");
    }
}

TEST(XmlFindChild, AttributeFilter) {
    // The launcher walks these children last first, so the element without attributes and
    // those lacking the filter attribute are passed over before a match is found.
    const char* doc = "<os>"
                      "<lang id=\"x\" tag=\"id\"/>"
                      "<Lang code=\"en\" tag=\"upper-name\"/>"
                      "<lang CODE=\"en\" tag=\"upper-attr\"/>"
                      "<lang code=\"EN\" tag=\"match\"/>"
                      "<lang code=\"fr\" tag=\"fr\"/>"
                      "<lang/>"
                      "</os>";
    CZorXMLReader reader(XmlChildOrder::Launcher);
    ASSERT_EQ(LoadText(reader, doc), 0);
    const CZorXMLNode* os = reader.FindChild(nullptr, L"os");
    ASSERT_NE(os, nullptr);

    const struct {
        const wchar_t* name;
        const wchar_t* attrName;
        const wchar_t* attrValue;
        const wchar_t* expectedTag; // nullptr: no match; L"-": matched a node without "tag"
    } cases[] = {
        {L"lang", L"code", L"en", L"match"}, // value ignores case
        {L"lang", L"code", L"En", L"match"},
        {L"lang", L"code", L"FR", L"fr"},
        {L"lang", L"code", L"de", nullptr},
        {L"LANG", L"code", L"en", nullptr}, // element name is case-sensitive
        {L"lang", L"Code", L"en", nullptr}, // attribute name is case-sensitive
        {L"lang", L"code", L"e", nullptr},  // whole value, not a prefix
        {L"lang", L"code", L"english", nullptr},
        {L"Lang", L"code", L"EN", L"upper-name"},
        {L"lang", L"code", nullptr, L"-"}, // one half of the filter: no filter
        {L"lang", nullptr, L"en", L"-"},
        {L"lang", L"id", L"X", L"id"},
        {L"missing", nullptr, nullptr, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "name=" << testing::PrintToString(std::wstring(c.name)) << " value="
                     << (c.attrValue ? testing::PrintToString(std::wstring(c.attrValue)) : "null"));
        const CZorXMLNode* found = reader.FindChild(os, c.name, c.attrName, c.attrValue);
        if (c.expectedTag == nullptr) {
            EXPECT_EQ(found, nullptr);
            continue;
        }
        ASSERT_NE(found, nullptr);
        const wchar_t* tag = found->GetAttribute(L"tag");
        EXPECT_STREQ(tag != nullptr ? tag : L"-", c.expectedTag);
    }
    EXPECT_EQ(reader.FindChild(os, nullptr), nullptr);
}

TEST(XmlFindChild, NoParentMeansDocumentRoot) {
    CZorXMLReader reader(XmlChildOrder::Plugin);
    ASSERT_EQ(LoadText(reader, "<zor_package><zor_package/></zor_package>"), 0);
    const CZorXMLNode* top = reader.FindChild(nullptr, L"zor_package");
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(top->GetParent(), reader.GetRoot());
    const CZorXMLNode* inner = reader.FindChild(top, L"zor_package");
    ASSERT_NE(inner, nullptr);
    EXPECT_NE(inner, top);
}

TEST(XmlNode, Attributes) {
    CZorXMLReader reader(XmlChildOrder::Plugin);
    ASSERT_EQ(LoadText(reader, "<x:e xmlns:x=\"urn:z\" b=\"2\" a=\"1\" empty=\"\" "
                               "ref=\"&lt;&amp;&#x41;\"><plain/></x:e>"),
              0);
    // Names are kept as written, namespace prefix included.
    const CZorXMLNode* e = reader.FindChild(nullptr, L"x:e");
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->GetAttributeCount(), 5u);
    EXPECT_STREQ(e->GetAttribute(L"xmlns:x"), L"urn:z");
    EXPECT_STREQ(e->GetAttribute(L"a"), L"1");
    EXPECT_STREQ(e->GetAttribute(L"b"), L"2");
    EXPECT_STREQ(e->GetAttribute(L"empty"), L"");
    EXPECT_STREQ(e->GetAttribute(L"ref"), L"<&A");
    EXPECT_EQ(e->GetAttribute(L"A"), nullptr);
    EXPECT_EQ(e->GetAttribute(L"missing"), nullptr);
    EXPECT_EQ(e->GetAttribute(nullptr), nullptr);

    const CZorXMLNode* plain = e->GetFirstChild();
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->GetAttributeCount(), 0u);
    EXPECT_EQ(plain->GetAttribute(L"a"), nullptr);
}

TEST(XmlNode, FindByNameWalksSiblingsOnly) {
    CZorXMLReader reader(XmlChildOrder::Plugin);
    ASSERT_EQ(LoadText(reader, "<r><a k=\"1\"/><b><a k=\"nested\"/></b><A/><a k=\"2\"/></r>"), 0);
    const CZorXMLNode* r = reader.FindChild(nullptr, L"r");
    ASSERT_NE(r, nullptr);
    // Plug-in order: a1, a2, A, b.
    const CZorXMLNode* a1 = r->FindChildByName(L"a");
    ASSERT_NE(a1, nullptr);
    EXPECT_STREQ(a1->GetAttribute(L"k"), L"1");
    const CZorXMLNode* a2 = a1->FindNextSiblingByName(L"a");
    ASSERT_NE(a2, nullptr);
    EXPECT_STREQ(a2->GetAttribute(L"k"), L"2");
    EXPECT_EQ(a2->FindNextSiblingByName(L"a"), nullptr);
    const CZorXMLNode* b = r->FindChildByName(L"b");
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->FindNextSiblingByName(L"b"), nullptr);
    EXPECT_EQ(r->FindChildByName(L"c"), nullptr);
    EXPECT_EQ(b->GetFirstChild()->FindChildByName(L"a"), nullptr);
}

TEST(XmlReader, NothingLoadedFindsNothing) {
    CZorXMLReader reader(XmlChildOrder::Launcher);
    EXPECT_FALSE(reader.IsLoaded());
    ASSERT_NE(reader.GetRoot(), nullptr);
    EXPECT_EQ(reader.FindChild(nullptr, L"a"), nullptr);

    ASSERT_EQ(LoadText(reader, "<a/>"), 0);
    ASSERT_NE(reader.FindChild(nullptr, L"a"), nullptr);
    reader.Reset();
    EXPECT_FALSE(reader.IsLoaded());
    EXPECT_EQ(reader.GetRoot()->GetFirstChild(), nullptr);
    EXPECT_EQ(reader.FindChild(nullptr, L"a"), nullptr);
}

TEST(XmlReader, FailedParseFindsNothing) {
    const char* documents[] = {
        "<a x=\"1\" x=\"2\"/>", // duplicate attribute
        "<a><b></a></b>",       // mismatched end tag
        "<a><b/>",              // unclosed element after a good child
    };
    for (const char* doc : documents) {
        SCOPED_TRACE(doc);
        CZorXMLReader reader(XmlChildOrder::Plugin);
        ASSERT_EQ(LoadText(reader, "<a/>"), 0);
        EXPECT_EQ(LoadText(reader, doc), 5);
        EXPECT_FALSE(reader.IsLoaded());
        EXPECT_EQ(reader.FindChild(nullptr, L"a"), nullptr);
    }
}

} // namespace
