// One node of a parsed XML document: the document root, an element, or a piece of element
// text (plain text or a CDATA section). A node owns its first child and its next sibling, so
// the root owns the whole tree.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class ZorXmlTreeBuilder;

class CZorXMLNode {
public:
    static constexpr int32_t kUnset = -1;
    // Elements and the "#DOCROOT" node.
    static constexpr int32_t kElement = 0;
    // "#TEXT" and "#CDATA" nodes; their content is GetText().
    static constexpr int32_t kText = 1;

    virtual ~CZorXMLNode();
    CZorXMLNode(const CZorXMLNode&) = delete;
    CZorXMLNode& operator=(const CZorXMLNode&) = delete;

    const wchar_t* GetNodeName() const noexcept { return name_.c_str(); }
    int32_t GetNodeType() const noexcept { return type_; }
    // The content of a text or CDATA node (possibly empty); nullptr for elements.
    const wchar_t* GetText() const noexcept;

    const CZorXMLNode* GetFirstChild() const noexcept { return firstChild_.get(); }
    const CZorXMLNode* GetNextSibling() const noexcept { return nextSibling_.get(); }
    const CZorXMLNode* GetParent() const noexcept { return parent_; }

    // The value of the first attribute with exactly this name, or nullptr.
    const wchar_t* GetAttribute(const wchar_t* name) const noexcept;
    std::size_t GetAttributeCount() const noexcept { return attributes_.size() / 2; }

    // The first child whose name equals |name| exactly, or nullptr.
    const CZorXMLNode* FindChildByName(const wchar_t* name) const noexcept;
    // The nearest following sibling (this node excluded) named exactly |name|, or nullptr.
    const CZorXMLNode* FindNextSiblingByName(const wchar_t* name) const noexcept;

private:
    friend class ZorXmlTreeBuilder;
    friend class CZorXMLReader;

    CZorXMLNode(int32_t type, std::wstring name);

    // Frees a subtree linked through first-child and next-sibling pointers without recursion,
    // so that very deep or very wide documents cannot exhaust the stack.
    static void DestroySubtree(CZorXMLNode* node) noexcept;

    int32_t type_;
    std::wstring name_;
    // Name, value, name, value, ... in document order.
    std::vector<std::wstring> attributes_;
    std::wstring value_;
    std::unique_ptr<CZorXMLNode> nextSibling_;
    std::unique_ptr<CZorXMLNode> firstChild_;
    CZorXMLNode* parent_ = nullptr;
};
