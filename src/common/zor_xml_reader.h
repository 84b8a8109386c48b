// Reads a whole XML document into a CZorXMLNode tree and answers the package code's queries.
#pragma once

#include <cstddef>
#include <memory>

#include "zor_xml_child_order.h"
#include "zor_xml_node.h"

class CZorXMLReader {
public:
    // Result codes of LoadFile and LoadBuffer.
    static constexpr int kLoaded = 0;
    static constexpr int kNoRoot = 1;
    static constexpr int kCannotOpen = 3;
    static constexpr int kCannotRead = 4;
    static constexpr int kNotWellFormed = 5;

    // Files larger than this are refused with kCannotRead; package documents are a few tens
    // of kilobytes and the whole file is held in memory while it is parsed.
    static constexpr unsigned long long kMaxFileBytes = 64ull * 1024 * 1024;

    explicit CZorXMLReader(XmlChildOrder order);
    virtual ~CZorXMLReader();
    CZorXMLReader(const CZorXMLReader&) = delete;
    CZorXMLReader& operator=(const CZorXMLReader&) = delete;

    // Drops the tree and starts a new empty "#DOCROOT" root. Also sets the runtime library's
    // locale to the user's default, which case-insensitive comparison and the plug-in's
    // whitespace rule use.
    void Reset() noexcept;

    // 0 loaded; 1 no root node; 3 the file cannot be opened; 4 it cannot be read (or is too
    // large); 5 not well-formed or in an unsupported encoding.
    int LoadFile(const wchar_t* path) noexcept;
    // 0 loaded; 1 no root node; 5 not well-formed or in an unsupported encoding.
    int LoadBuffer(const void* bytes, std::size_t length) noexcept;

    bool IsLoaded() const noexcept { return loaded_; }
    const CZorXMLNode* GetRoot() const noexcept { return root_.get(); }

    // The first child of |parent| (nullptr: the root), in child-list order, named exactly
    // |name| and, when both |attrName| and |attrValue| are given, carrying that attribute
    // with a value equal to |attrValue| ignoring case. nullptr when nothing is loaded.
    const CZorXMLNode* FindChild(const CZorXMLNode* parent, const wchar_t* name,
                                 const wchar_t* attrName = nullptr,
                                 const wchar_t* attrValue = nullptr) const noexcept;

private:
    int Parse(const void* bytes, std::size_t length) noexcept;

    XmlChildOrder order_;
    std::unique_ptr<CZorXMLNode> root_;
    bool loaded_ = false;
};
