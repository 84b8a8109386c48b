// Small helpers shared by the XML reader's tests.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "zor_xml_reader.h"

inline int LoadText(CZorXMLReader& reader, const std::string& document) {
    return reader.LoadBuffer(document.data(), document.size());
}

// "name" for elements, "name=text" for text and CDATA nodes, in child-list order.
inline std::vector<std::wstring> DescribeChildren(const CZorXMLNode* parent) {
    std::vector<std::wstring> out;
    for (const CZorXMLNode* c = parent->GetFirstChild(); c != nullptr; c = c->GetNextSibling()) {
        std::wstring entry = c->GetNodeName();
        if (c->GetNodeType() == CZorXMLNode::kText)
            entry += L"=" + std::wstring(c->GetText());
        out.push_back(entry);
    }
    return out;
}

// The value of attribute |name| of each child, in child-list order ("-" when absent).
inline std::vector<std::wstring> ChildAttributes(const CZorXMLNode* parent, const wchar_t* name) {
    std::vector<std::wstring> out;
    for (const CZorXMLNode* c = parent->GetFirstChild(); c != nullptr; c = c->GetNextSibling()) {
        const wchar_t* v = c->GetAttribute(name);
        out.push_back(v != nullptr ? v : L"-");
    }
    return out;
}

inline const char* OrderName(XmlChildOrder order) {
    return order == XmlChildOrder::Launcher ? "Launcher" : "Plugin";
}

// Lets GoogleTest name the rule set in its messages.
inline void PrintTo(XmlChildOrder order, std::ostream* out) {
    *out << OrderName(order);
}
