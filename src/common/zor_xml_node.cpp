#include "zor_xml_node.h"

#include <cwchar>
#include <utility>

CZorXMLNode::CZorXMLNode(int32_t type, std::wstring name) : type_(type), name_(std::move(name)) {}

CZorXMLNode::~CZorXMLNode() {
    DestroySubtree(firstChild_.release());
    DestroySubtree(nextSibling_.release());
}

void CZorXMLNode::DestroySubtree(CZorXMLNode* node) noexcept {
    // Rotate each first child up into its parent's place until the node at the top has no
    // child, then free it and continue with its next sibling. Every node is freed once, with
    // both of its links already empty, so its own destructor does no further work.
    while (node != nullptr) {
        if (CZorXMLNode* child = node->firstChild_.release()) {
            node->firstChild_.reset(child->nextSibling_.release());
            child->nextSibling_.reset(node);
            node = child;
        } else {
            CZorXMLNode* next = node->nextSibling_.release();
            delete node;
            node = next;
        }
    }
}

const wchar_t* CZorXMLNode::GetText() const noexcept {
    return type_ == kText ? value_.c_str() : nullptr;
}

const wchar_t* CZorXMLNode::GetAttribute(const wchar_t* name) const noexcept {
    if (name == nullptr)
        return nullptr;
    for (std::size_t i = 0; i + 1 < attributes_.size(); i += 2) {
        if (attributes_[i] == name)
            return attributes_[i + 1].c_str();
    }
    return nullptr;
}

const CZorXMLNode* CZorXMLNode::FindChildByName(const wchar_t* name) const noexcept {
    const CZorXMLNode* child = firstChild_.get();
    if (child == nullptr || name == nullptr)
        return nullptr;
    if (child->name_ == name)
        return child;
    return child->FindNextSiblingByName(name);
}

const CZorXMLNode* CZorXMLNode::FindNextSiblingByName(const wchar_t* name) const noexcept {
    if (name == nullptr)
        return nullptr;
    for (const CZorXMLNode* n = nextSibling_.get(); n != nullptr; n = n->nextSibling_.get()) {
        if (n->name_ == name)
            return n;
    }
    return nullptr;
}
