// How parse events become the tree: text pieces, CDATA, and each deliverable's child order.
#include <gtest/gtest.h>

#include "xml_test_support.h"

namespace {

using Children = std::vector<std::wstring>;

// The children of the document element <a> after loading |doc|, for each rule set.
struct TreeCase {
    const char* label;
    const char* doc;
    Children launcher;
    Children plugin;
};

const TreeCase kTreeCases[] = {
    {"plain text", "<a>x</a>", {L"#TEXT=x"}, {L"#TEXT=x"}},
    // A line end is a piece of its own and starts with whitespace, so it is dropped.
    {"two lines", "<a>line1\nline2</a>", {L"#TEXT=line1line2"}, {L"#TEXT=line1line2"}},
    {"CRLF line end", "<a>line1\r\nline2</a>", {L"#TEXT=line1line2"}, {L"#TEXT=line1line2"}},
    // "A", " ", "&", " B": the last piece starts with a space and is dropped.
    {"entity pieces", "<a>A &amp; B</a>", {L"#TEXT=A &"}, {L"#TEXT=A &"}},
    {"leading space", "<a> x</a>", {}, {}},
    {"comment inside text", "<a>x<!--c-->y</a>", {L"#TEXT=xy"}, {L"#TEXT=xy"}},
    {"empty element", "<a/>", {}, {}},
    {"CDATA between line ends",
     "<a>\n<![CDATA[one\ntwo <b>&amp;]]>\n</a>",
     {L"#CDATA=one\ntwo <b>&amp;"},
     {L"#CDATA=one\ntwo <b>&amp;"}},
    {"text after a child", "<a>x<b/>y</a>", {L"#TEXT=y", L"b", L"#TEXT=x"}, {L"#TEXT=x", L"b"}},
    // The plug-in keeps a text node only when it is the element's first child.
    {"text only after a child", "<a><b/>x</a>", {L"#TEXT=x", L"b"}, {L"b"}},
    {"indented children",
     "<a>\n  <b/>\n  <c/>\n  <d/>\n</a>",
     {L"d", L"c", L"b"},
     {L"b", L"d", L"c"}},
    {"elements and CDATA mixed",
     "<a><b/><![CDATA[z]]><c/></a>",
     {L"c", L"#CDATA=z", L"b"},
     {L"b", L"c", L"#CDATA=z"}},
    // U+3000 IDEOGRAPHIC SPACE is whitespace only in the plug-in's wide-character class.
    {"ideographic space first", "<a>\xE3\x80\x80x</a>", {L"#TEXT=\x3000x"}, {}},
};

class TreeRules : public ::testing::TestWithParam<XmlChildOrder> {};

TEST_P(TreeRules, ChildrenOfDocumentElement) {
    const XmlChildOrder order = GetParam();
    for (const TreeCase& c : kTreeCases) {
        SCOPED_TRACE(c.label);
        CZorXMLReader reader(order);
        ASSERT_EQ(LoadText(reader, c.doc), 0);
        const CZorXMLNode* a = reader.FindChild(nullptr, L"a");
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->GetParent(), reader.GetRoot());
        EXPECT_EQ(DescribeChildren(a), order == XmlChildOrder::Launcher ? c.launcher : c.plugin);
        for (const CZorXMLNode* n = a->GetFirstChild(); n != nullptr; n = n->GetNextSibling()) {
            EXPECT_EQ(n->GetParent(), a);
        }
    }
}

TEST_P(TreeRules, ElementTextIsFirstChildOfTypeText) {
    CZorXMLReader reader(GetParam());
    ASSERT_EQ(LoadText(reader, "<?xml version=\"1.0\"?>\n<a>x</a>\n"), 0);
    EXPECT_TRUE(reader.IsLoaded());
    const CZorXMLNode* root = reader.GetRoot();
    EXPECT_STREQ(root->GetNodeName(), L"#DOCROOT");
    EXPECT_EQ(root->GetNodeType(), CZorXMLNode::kElement);
    const CZorXMLNode* a = reader.FindChild(nullptr, L"a");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->GetNodeType(), CZorXMLNode::kElement);
    EXPECT_EQ(a->GetText(), nullptr);
    const CZorXMLNode* text = a->GetFirstChild();
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->GetNodeType(), CZorXMLNode::kText);
    EXPECT_STREQ(text->GetNodeName(), L"#TEXT");
    EXPECT_STREQ(text->GetText(), L"x");
    EXPECT_EQ(text->GetFirstChild(), nullptr);
}

TEST_P(TreeRules, EmptyCdataHasEmptyText) {
    CZorXMLReader reader(GetParam());
    ASSERT_EQ(LoadText(reader, "<a><![CDATA[]]></a>"), 0);
    const CZorXMLNode* cdata = reader.FindChild(nullptr, L"a")->GetFirstChild();
    ASSERT_NE(cdata, nullptr);
    EXPECT_STREQ(cdata->GetNodeName(), L"#CDATA");
    ASSERT_NE(cdata->GetText(), nullptr);
    EXPECT_STREQ(cdata->GetText(), L"");
}

// Text after a closed child once was appended to the child's own text.
TEST_P(TreeRules, TextAfterChildDoesNotLeakIntoChildText) {
    CZorXMLReader reader(GetParam());
    ASSERT_EQ(LoadText(reader, "<a><b>y</b>z<c>w</c>v</a>"), 0);
    const CZorXMLNode* a = reader.FindChild(nullptr, L"a");
    ASSERT_NE(a, nullptr);
    const CZorXMLNode* b = a->FindChildByName(L"b");
    const CZorXMLNode* c = a->FindChildByName(L"c");
    ASSERT_NE(b, nullptr);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(DescribeChildren(b), Children{L"#TEXT=y"});
    EXPECT_EQ(DescribeChildren(c), Children{L"#TEXT=w"});
}

TEST_P(TreeRules, NestedElementsKeepTheirOwnText) {
    CZorXMLReader reader(GetParam());
    const char* doc = "<pkg>\n"
                      "  <name>Driver</name>\n"
                      "  <version>1.2</version>\n"
                      "  <files><file>a.sys</file></files>\n"
                      "</pkg>\n";
    ASSERT_EQ(LoadText(reader, doc), 0);
    const CZorXMLNode* pkg = reader.FindChild(nullptr, L"pkg");
    ASSERT_NE(pkg, nullptr);
    EXPECT_EQ(pkg->GetFirstChild()->GetNodeType(), CZorXMLNode::kElement);
    const struct {
        const wchar_t* name;
        const wchar_t* text;
    } expected[] = {{L"name", L"Driver"}, {L"version", L"1.2"}};
    for (const auto& e : expected) {
        const CZorXMLNode* n = reader.FindChild(pkg, e.name);
        ASSERT_NE(n, nullptr);
        ASSERT_NE(n->GetFirstChild(), nullptr);
        EXPECT_STREQ(n->GetFirstChild()->GetText(), e.text);
    }
    const CZorXMLNode* file = reader.FindChild(reader.FindChild(pkg, L"files"), L"file");
    ASSERT_NE(file, nullptr);
    EXPECT_STREQ(file->GetFirstChild()->GetText(), L"a.sys");
}

INSTANTIATE_TEST_SUITE_P(BothDeliverables, TreeRules,
                         ::testing::Values(XmlChildOrder::Launcher, XmlChildOrder::Plugin),
                         [](const ::testing::TestParamInfo<XmlChildOrder>& info) {
                             return std::string(OrderName(info.param));
                         });

} // namespace
