// Turns expat's parse events into a CZorXMLNode tree under a given root.
#pragma once

#include <cstddef>
#include <memory>

#include <expat.h>

#include "zor_xml_child_order.h"
#include "zor_xml_node.h"

class ZorXmlTreeBuilder {
public:
    ZorXmlTreeBuilder(CZorXMLNode& root, XmlChildOrder order) noexcept;
    ZorXmlTreeBuilder(const ZorXmlTreeBuilder&) = delete;
    ZorXmlTreeBuilder& operator=(const ZorXmlTreeBuilder&) = delete;

    // Parses the whole document in one final piece. False when the document is not
    // well-formed, its encoding is not supported, or memory ran out; the nodes built so far
    // stay under the root either way.
    bool Parse(const char* data, std::size_t length) noexcept;

private:
    static void XMLCALL OnElementStart(void* self, const XML_Char* name, const XML_Char** atts);
    static void XMLCALL OnElementEnd(void* self, const XML_Char* name);
    static void XMLCALL OnCharacterData(void* self, const XML_Char* piece, int length);
    static void XMLCALL OnCdataStart(void* self);
    static void XMLCALL OnCdataEnd(void* self);

    void ElementStart(const XML_Char* name, const XML_Char** atts);
    void CharacterData(const XML_Char* piece, std::size_t length);
    void CdataStart();
    void MoveToParent() noexcept;
    // Records a failure (out of memory) and stops the parser; later events are ignored.
    void Abort() noexcept;

    bool IsWhitespace(wchar_t c) const noexcept;
    // Links an element or CDATA node under |parent| by the deliverable's insertion rule.
    CZorXMLNode* AttachNode(CZorXMLNode& parent, std::unique_ptr<CZorXMLNode> node) noexcept;
    // Links a "#TEXT" node; nullptr when the deliverable's rule does not keep it.
    CZorXMLNode* AttachText(CZorXMLNode& parent, std::unique_ptr<CZorXMLNode> node) noexcept;

    XmlChildOrder order_;
    XML_Parser parser_ = nullptr;
    bool failed_ = false;

    CZorXMLNode* current_;
    bool textAllowed_ = false;
    bool inCdata_ = false;
    bool noTextYet_ = false;
    CZorXMLNode* currentText_ = nullptr;
};
