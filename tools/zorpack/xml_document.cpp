#include "xml_document.h"

#include "shift_jis.h"

#include <expat.h>

#include <climits>
#include <memory>

namespace zorpack {
namespace {

void appendCodePoint(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// expat reports UTF-8 in a narrow build and UTF-16 in a wide-character build; both become
// UTF-8 here. expat never reports unpaired surrogates, but one would become U+FFFD.
template <typename Char> void appendUtf8(std::string& out, const Char* text, std::size_t length) {
    if constexpr (sizeof(Char) == 1) {
        out.append(reinterpret_cast<const char*>(text), length);
    } else {
        for (std::size_t i = 0; i < length; ++i) {
            char32_t cp = static_cast<char32_t>(text[i]);
            const char32_t next = i + 1 < length ? static_cast<char32_t>(text[i + 1]) : 0;
            if (sizeof(Char) == 2 && cp >= 0xD800 && cp <= 0xDBFF && next >= 0xDC00 &&
                next <= 0xDFFF) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (next - 0xDC00);
                ++i;
            } else if ((cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) {
                cp = 0xFFFD;
            }
            appendCodePoint(out, cp);
        }
    }
}

template <typename Char> std::string utf8Of(const Char* text) {
    std::string out;
    if (text == nullptr)
        return out;
    std::size_t length = 0;
    while (text[length] != 0)
        ++length;
    appendUtf8(out, text, length);
    return out;
}

// The launcher's whitespace for deciding whether character data starts an element's text.
bool isLauncherWhitespace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// Folds ASCII and Latin-1 capital letters to small ones on one decoded code point.
char32_t foldCase(char32_t cp) {
    if ((cp >= 'A' && cp <= 'Z') || (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7))
        return cp + 0x20;
    return cp;
}

// Decodes the next code point of well-formed UTF-8 (as expat delivers it); a stray byte counts
// as one code point of its own value.
char32_t nextCodePoint(const std::string& s, std::size_t& pos) {
    const auto lead = static_cast<unsigned char>(s[pos++]);
    std::size_t extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
    char32_t cp = extra == 3   ? lead & 0x07
                  : extra == 2 ? lead & 0x0F
                  : extra == 1 ? lead & 0x1F
                               : lead;
    for (; extra > 0 && pos < s.size(); --extra)
        cp = (cp << 6) | (static_cast<unsigned char>(s[pos++]) & 0x3F);
    return cp;
}

struct ParserDeleter {
    void operator()(XML_ParserStruct* parser) const { XML_ParserFree(parser); }
};

} // namespace

bool equalsIgnoringCase(const std::string& a, const std::string& b) {
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size())
        if (foldCase(nextCodePoint(a, i)) != foldCase(nextCodePoint(b, j)))
            return false;
    return i == a.size() && j == b.size();
}

const std::string* attributeOf(const XmlNode& node, const char* name) {
    for (const auto& attribute : node.attributes)
        if (attribute.first == name)
            return &attribute.second;
    return nullptr;
}

// Turns expat's events into the node tree, with the launcher's rules for element text:
// character data arrives in pieces (every line end and every reference is a piece of its own);
// an element's text starts with its first piece that does not start with whitespace, a
// whitespace-led piece before that means the element holds markup and ends text collection,
// and later whitespace-led pieces are dropped.
class XmlTreeBuilder {
public:
    explicit XmlTreeBuilder(std::vector<XmlNode>& nodes) : nodes_(nodes) {}

    bool parse(const std::vector<unsigned char>& bytes, std::string& error) {
        if (bytes.size() > static_cast<std::size_t>(INT_MAX)) {
            error = "the document is too large";
            return false;
        }
        std::unique_ptr<XML_ParserStruct, ParserDeleter> parser(XML_ParserCreate(nullptr));
        if (!parser) {
            error = "out of memory";
            return false;
        }
        parser_ = parser.get();
        XML_SetUserData(parser_, this);
        XML_SetElementHandler(parser_, &onStart, &onEnd);
        XML_SetCharacterDataHandler(parser_, &onText);
        XML_SetCdataSectionHandler(parser_, &onCdataStart, &onCdataEnd);
        XML_SetUnknownEncodingHandler(parser_, &shiftJisEncodingHandler, nullptr);
        const char* data = bytes.empty() ? "" : reinterpret_cast<const char*>(bytes.data());
        const XML_Status status =
            XML_Parse(parser_, data, static_cast<int>(bytes.size()), XML_TRUE);
        if (status != XML_STATUS_OK || failed_) {
            error = failed_ ? "out of memory"
                            : "line " + std::to_string(XML_GetCurrentLineNumber(parser_)) + ": " +
                                  utf8Of(XML_ErrorString(XML_GetErrorCode(parser_)));
            return false;
        }
        return true;
    }

private:
    static XmlTreeBuilder& self(void* data) { return *static_cast<XmlTreeBuilder*>(data); }

    // No exception may pass through expat's C frames: a failed allocation stops the parse.
    template <typename Step> static void guarded(void* data, Step step) {
        XmlTreeBuilder& b = self(data);
        if (b.failed_)
            return;
        try {
            step(b);
        } catch (...) {
            b.failed_ = true;
            XML_StopParser(b.parser_, XML_FALSE);
        }
    }

    static void XMLCALL onStart(void* data, const XML_Char* name, const XML_Char** atts) {
        guarded(data, [&](XmlTreeBuilder& b) { b.elementStart(name, atts); });
    }
    static void XMLCALL onEnd(void* data, const XML_Char*) {
        // The text flags stay as they are, as in the launcher: text after a closed child
        // element may still start the parent's text.
        guarded(data, [](XmlTreeBuilder& b) { b.current_ = b.nodes_[b.current_].parent; });
    }
    static void XMLCALL onText(void* data, const XML_Char* piece, int length) {
        if (piece == nullptr || length <= 0)
            return;
        guarded(data, [&](XmlTreeBuilder& b) {
            std::string text;
            appendUtf8(text, piece, static_cast<std::size_t>(length));
            b.characterData(text);
        });
    }
    static void XMLCALL onCdataStart(void* data) {
        guarded(data, [](XmlTreeBuilder& b) {
            b.textAllowed_ = true;
            b.inCdata_ = true;
            b.current_ = b.attach(XmlNode::Kind::Text, "#CDATA");
        });
    }
    static void XMLCALL onCdataEnd(void* data) {
        guarded(data, [](XmlTreeBuilder& b) {
            b.inCdata_ = false;
            b.textAllowed_ = false;
            b.current_ = b.nodes_[b.current_].parent;
        });
    }

    void elementStart(const XML_Char* name, const XML_Char** atts) {
        textAllowed_ = true;
        noTextYet_ = true;
        const std::size_t node = attach(XmlNode::Kind::Element, utf8Of(name));
        for (const XML_Char** a = atts; a != nullptr && a[0] != nullptr && a[1] != nullptr; a += 2)
            nodes_[node].attributes.emplace_back(utf8Of(a[0]), utf8Of(a[1]));
        current_ = node;
    }

    void characterData(const std::string& piece) {
        if (inCdata_) {
            nodes_[current_].text += piece;
            return;
        }
        if (!textAllowed_)
            return;
        const bool startsWithSpace = isLauncherWhitespace(piece[0]);
        if (noTextYet_) {
            if (startsWithSpace) {
                textAllowed_ = false;
                return;
            }
            currentText_ = attach(XmlNode::Kind::Text, "#TEXT");
            nodes_[currentText_].text = piece;
            haveText_ = true;
            noTextYet_ = false;
            return;
        }
        // Text after a closed child belongs to the enclosing element, never to the child's
        // text node, so only a text node of the current element grows.
        if (!startsWithSpace && haveText_ && nodes_[currentText_].parent == current_)
            nodes_[currentText_].text += piece;
    }

    std::size_t attach(XmlNode::Kind kind, std::string name) {
        XmlNode node;
        node.kind = kind;
        node.name = std::move(name);
        node.parent = current_;
        nodes_.push_back(std::move(node));
        const std::size_t index = nodes_.size() - 1;
        nodes_[current_].children.push_back(index);
        return index;
    }

    std::vector<XmlNode>& nodes_;
    XML_Parser parser_ = nullptr;
    bool failed_ = false;
    std::size_t current_ = 0;
    bool textAllowed_ = false;
    bool inCdata_ = false;
    bool noTextYet_ = false;
    bool haveText_ = false;
    std::size_t currentText_ = 0;
};

bool XmlDocument::parse(const std::vector<unsigned char>& bytes, std::string& error) {
    nodes_.clear();
    loaded_ = false;
    XmlNode root;
    root.name = "#DOCROOT";
    nodes_.push_back(std::move(root));
    XmlTreeBuilder builder(nodes_);
    loaded_ = builder.parse(bytes, error);
    return loaded_;
}

std::vector<const XmlNode*> XmlDocument::childrenInLauncherOrder(const XmlNode& parent) const {
    std::vector<const XmlNode*> children;
    children.reserve(parent.children.size());
    for (auto it = parent.children.rbegin(); it != parent.children.rend(); ++it)
        children.push_back(&nodes_[*it]);
    return children;
}

const XmlNode* XmlDocument::findChild(const XmlNode* parent, const std::string& name,
                                      const char* attrName, const std::string& attrValue) const {
    if (!loaded_)
        return nullptr;
    const XmlNode* from = parent != nullptr ? parent : root();
    for (auto it = from->children.rbegin(); it != from->children.rend(); ++it) {
        const XmlNode& child = nodes_[*it];
        if (child.kind != XmlNode::Kind::Element || child.name != name)
            continue;
        if (attrName == nullptr)
            return &child;
        const std::string* value = attributeOf(child, attrName);
        if (value != nullptr && equalsIgnoringCase(*value, attrValue))
            return &child;
    }
    return nullptr;
}

const std::string* XmlDocument::elementText(const XmlNode* element) const {
    if (element == nullptr || element->children.empty())
        return nullptr;
    const XmlNode& first = nodes_[element->children.back()];
    return first.kind == XmlNode::Kind::Text ? &first.text : nullptr;
}

const std::string* XmlDocument::elementTextOrCdata(const XmlNode* element) const {
    if (element == nullptr)
        return nullptr;
    for (auto it = element->children.rbegin(); it != element->children.rend(); ++it)
        if (nodes_[*it].name == "#CDATA")
            return &nodes_[*it].text;
    return elementText(element);
}

} // namespace zorpack
