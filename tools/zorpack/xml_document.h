// A small XML reader for the package checks, built over expat on every platform. It keeps the
// launcher's tree rules, so that a lookup here finds what the launcher will find: children are
// searched last-in-document-order first, element names compare exactly, filter values compare
// ignoring case, and an element's text follows the launcher's rules for character data.
// Names and texts are UTF-8 whatever character type expat was built with.
#pragma once
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace zorpack {

struct XmlNode {
    enum class Kind { Element, Text };
    Kind kind = Kind::Element;
    // Element name; "#TEXT" or "#CDATA" for text; "#DOCROOT" for the document root.
    std::string name;
    std::vector<std::pair<std::string, std::string>> attributes; // document order
    std::string text;                                            // text nodes only
    std::size_t parent = 0;
    std::vector<std::size_t> children; // indexes, in document order
};

class XmlDocument {
public:
    // Parses a whole document; false with a message (and the line) when it is not well-formed
    // or its encoding is not supported. Documents in Shift_JIS are decoded as the launcher
    // decodes them.
    bool parse(const std::vector<unsigned char>& bytes, std::string& error);
    bool loaded() const { return loaded_; }

    const XmlNode* root() const { return nodes_.empty() ? nullptr : &nodes_.front(); }

    // The first child of `parent` (null: the document root) in the launcher's order, that is
    // the LAST matching one in document order, named exactly `name` and, when `attrName` is
    // given, carrying that attribute with a value equal to `attrValue` ignoring case.
    const XmlNode* findChild(const XmlNode* parent, const std::string& name,
                             const char* attrName = nullptr,
                             const std::string& attrValue = std::string()) const;

    // The children of `parent` in the launcher's order (last in document order first).
    std::vector<const XmlNode*> childrenInLauncherOrder(const XmlNode& parent) const;

    // The text of an element: its first child in the launcher's order when that child is text
    // or CDATA; else null.
    const std::string* elementText(const XmlNode* element) const;

    // The first CDATA child in the launcher's order, else the element text.
    const std::string* elementTextOrCdata(const XmlNode* element) const;

private:
    friend class XmlTreeBuilder;
    std::vector<XmlNode> nodes_;
    bool loaded_ = false;
};

// The value of the first attribute named exactly `name`, or null.
const std::string* attributeOf(const XmlNode& node, const char* name);

// Compares UTF-8 texts ignoring the case of Latin letters (ASCII and Latin-1), the letters that
// package filter values (language codes, setting names, switches, numbers) are written in.
bool equalsIgnoringCase(const std::string& a, const std::string& b);

} // namespace zorpack
