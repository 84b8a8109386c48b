#include "zor_xml_tree_builder.h"

#include <climits>
#include <cwctype>
#include <string>
#include <utility>

#include "zor_xml_shift_jis.h"

namespace {

struct ParserDeleter {
    void operator()(XML_ParserStruct* parser) const noexcept { XML_ParserFree(parser); }
};
using ParserOwner = std::unique_ptr<XML_ParserStruct, ParserDeleter>;

ZorXmlTreeBuilder& Builder(void* self) noexcept {
    return *static_cast<ZorXmlTreeBuilder*>(self);
}

} // namespace

ZorXmlTreeBuilder::ZorXmlTreeBuilder(CZorXMLNode& root, XmlChildOrder order) noexcept
    : order_(order), current_(&root) {}

bool ZorXmlTreeBuilder::Parse(const char* data, std::size_t length) noexcept {
    // expat takes the length as an int; a larger document is refused rather than cut.
    if (length > static_cast<std::size_t>(INT_MAX))
        return false;
    if (data == nullptr && length != 0)
        return false;

    ParserOwner parser(XML_ParserCreate(nullptr));
    if (!parser)
        return false;
    parser_ = parser.get();
    XML_SetUserData(parser_, this);
    XML_SetElementHandler(parser_, &OnElementStart, &OnElementEnd);
    XML_SetCharacterDataHandler(parser_, &OnCharacterData);
    XML_SetCdataSectionHandler(parser_, &OnCdataStart, &OnCdataEnd);
    XML_SetUnknownEncodingHandler(parser_, &ZorXmlUnknownEncodingHandler, nullptr);

    const XML_Status status = XML_Parse(parser_, data, static_cast<int>(length), XML_TRUE);
    parser_ = nullptr;
    return status == XML_STATUS_OK && !failed_;
}

// The handlers run inside expat's C code, so no exception may leave them: an allocation
// failure stops the parse and the load reports a failed parse.
void XMLCALL ZorXmlTreeBuilder::OnElementStart(void* self, const XML_Char* name,
                                               const XML_Char** atts) {
    ZorXmlTreeBuilder& b = Builder(self);
    if (b.failed_)
        return;
    try {
        b.ElementStart(name, atts);
    } catch (...) {
        b.Abort();
    }
}

void XMLCALL ZorXmlTreeBuilder::OnElementEnd(void* self, const XML_Char*) {
    ZorXmlTreeBuilder& b = Builder(self);
    if (b.failed_)
        return;
    // The text flags are deliberately left as they are: see CharacterData.
    b.MoveToParent();
}

void XMLCALL ZorXmlTreeBuilder::OnCharacterData(void* self, const XML_Char* piece, int length) {
    ZorXmlTreeBuilder& b = Builder(self);
    if (b.failed_ || piece == nullptr || length <= 0)
        return;
    try {
        b.CharacterData(piece, static_cast<std::size_t>(length));
    } catch (...) {
        b.Abort();
    }
}

void XMLCALL ZorXmlTreeBuilder::OnCdataStart(void* self) {
    ZorXmlTreeBuilder& b = Builder(self);
    if (b.failed_)
        return;
    try {
        b.CdataStart();
    } catch (...) {
        b.Abort();
    }
}

void XMLCALL ZorXmlTreeBuilder::OnCdataEnd(void* self) {
    ZorXmlTreeBuilder& b = Builder(self);
    if (b.failed_)
        return;
    b.inCdata_ = false;
    b.textAllowed_ = false;
    b.MoveToParent();
}

void ZorXmlTreeBuilder::ElementStart(const XML_Char* name, const XML_Char** atts) {
    textAllowed_ = true;
    noTextYet_ = true;
    std::unique_ptr<CZorXMLNode> node(new CZorXMLNode(CZorXMLNode::kElement, name));
    if (atts != nullptr) {
        for (const XML_Char** a = atts; a[0] != nullptr && a[1] != nullptr; a += 2) {
            node->attributes_.emplace_back(a[0]);
            node->attributes_.emplace_back(a[1]);
        }
    }
    current_ = AttachNode(*current_, std::move(node));
}

// expat hands text over in pieces: every line end is a piece of its own, and so is every
// character or entity reference. An element's text is collected from its first piece that
// does not start with whitespace; a whitespace-led piece before that means the element holds
// indented markup, and later whitespace-led pieces (line ends of multi-line text) are dropped.
void ZorXmlTreeBuilder::CharacterData(const XML_Char* piece, std::size_t length) {
    if (inCdata_) {
        current_->value_.append(piece, length);
        return;
    }
    if (!textAllowed_)
        return;
    const bool startsWithSpace = IsWhitespace(piece[0]);
    if (noTextYet_) {
        if (startsWithSpace) {
            textAllowed_ = false;
            return;
        }
        std::unique_ptr<CZorXMLNode> text(new CZorXMLNode(CZorXMLNode::kText, L"#TEXT"));
        text->value_.assign(piece, length);
        currentText_ = AttachText(*current_, std::move(text));
        noTextYet_ = false;
        return;
    }
    if (startsWithSpace)
        return;
    // Text that follows a closed child element belongs to the enclosing element, never to the
    // child's text node, so only a text node of the current element is extended.
    if (currentText_ != nullptr && currentText_->parent_ == current_) {
        currentText_->value_.append(piece, length);
    }
}

void ZorXmlTreeBuilder::CdataStart() {
    textAllowed_ = true;
    inCdata_ = true;
    std::unique_ptr<CZorXMLNode> node(new CZorXMLNode(CZorXMLNode::kText, L"#CDATA"));
    current_ = AttachNode(*current_, std::move(node));
}

void ZorXmlTreeBuilder::MoveToParent() noexcept {
    if (current_->parent_ != nullptr)
        current_ = current_->parent_;
}

void ZorXmlTreeBuilder::Abort() noexcept {
    failed_ = true;
    if (parser_ != nullptr)
        XML_StopParser(parser_, XML_FALSE);
}

bool ZorXmlTreeBuilder::IsWhitespace(wchar_t c) const noexcept {
    if (order_ == XmlChildOrder::Plugin)
        return std::iswspace(static_cast<std::wint_t>(c)) != 0;
    return c == L' ' || (c >= L'\t' && c <= L'\r');
}

CZorXMLNode* ZorXmlTreeBuilder::AttachNode(CZorXMLNode& parent,
                                           std::unique_ptr<CZorXMLNode> node) noexcept {
    CZorXMLNode* attached = node.get();
    attached->parent_ = &parent;
    CZorXMLNode* first = parent.firstChild_.get();
    if (order_ == XmlChildOrder::Launcher || first == nullptr) {
        attached->nextSibling_ = std::move(parent.firstChild_);
        parent.firstChild_ = std::move(node);
    } else {
        attached->nextSibling_ = std::move(first->nextSibling_);
        first->nextSibling_ = std::move(node);
    }
    return attached;
}

CZorXMLNode* ZorXmlTreeBuilder::AttachText(CZorXMLNode& parent,
                                           std::unique_ptr<CZorXMLNode> node) noexcept {
    if (order_ == XmlChildOrder::Plugin && parent.firstChild_ != nullptr)
        return nullptr;
    return AttachNode(parent, std::move(node));
}
