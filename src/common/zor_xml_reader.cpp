#include "zor_xml_reader.h"

#include <windows.h>

#include <clocale>
#include <cwchar>
#include <cwctype>
#include <new>

#include "win_handles.h"
#include "zor_xml_tree_builder.h"

namespace {

// Compares with each character folded to lower case in the runtime library's current locale.
bool EqualsIgnoringCase(const wchar_t* a, const wchar_t* b) noexcept {
    for (;; ++a, ++b) {
        if (std::towlower(static_cast<std::wint_t>(*a)) !=
            std::towlower(static_cast<std::wint_t>(*b))) {
            return false;
        }
        if (*a == 0)
            return true;
    }
}

bool MatchesFilter(const CZorXMLNode& node, const wchar_t* attrName,
                   const wchar_t* attrValue) noexcept {
    if (attrName == nullptr || attrValue == nullptr)
        return true;
    const wchar_t* value = node.GetAttribute(attrName);
    return value != nullptr && EqualsIgnoringCase(value, attrValue);
}

// Reads exactly |length| bytes; false on any read error or when the file ends early.
bool ReadWhole(HANDLE file, char* buffer, unsigned long long length) noexcept {
    constexpr DWORD kChunk = 1u << 20;
    unsigned long long done = 0;
    while (done < length) {
        const unsigned long long left = length - done;
        const DWORD want = left < kChunk ? static_cast<DWORD>(left) : kChunk;
        DWORD got = 0;
        if (!ReadFile(file, buffer + done, want, &got, nullptr) || got == 0)
            return false;
        done += got;
    }
    return true;
}

} // namespace

CZorXMLReader::CZorXMLReader(XmlChildOrder order) : order_(order) {
    Reset();
}

CZorXMLReader::~CZorXMLReader() = default;

void CZorXMLReader::Reset() noexcept {
    root_.reset();
    loaded_ = false;
    std::setlocale(LC_ALL, "");
    try {
        root_.reset(new CZorXMLNode(CZorXMLNode::kElement, L"#DOCROOT"));
    } catch (...) {
        // Left without a root: loads then report kNoRoot.
    }
}

int CZorXMLReader::LoadFile(const wchar_t* path) noexcept {
    Reset();
    if (!root_)
        return kNoRoot;
    if (path == nullptr)
        return kCannotOpen;

    zor::FileHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return kCannotOpen;

    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0)
        return kCannotRead;
    const unsigned long long length = static_cast<unsigned long long>(size.QuadPart);
    if (length > kMaxFileBytes)
        return kCannotRead;

    // One byte at least, so that an empty file still has a buffer to hand to the parser.
    std::unique_ptr<char[]> buffer(new (std::nothrow) char[length + 1]);
    if (!buffer)
        return kCannotRead;
    if (!ReadWhole(file.get(), buffer.get(), length))
        return kCannotRead;

    return Parse(buffer.get(), static_cast<std::size_t>(length));
}

int CZorXMLReader::LoadBuffer(const void* bytes, std::size_t length) noexcept {
    Reset();
    if (!root_)
        return kNoRoot;
    return Parse(bytes, length);
}

int CZorXMLReader::Parse(const void* bytes, std::size_t length) noexcept {
    ZorXmlTreeBuilder builder(*root_, order_);
    if (!builder.Parse(static_cast<const char*>(bytes), length))
        return kNotWellFormed;
    loaded_ = true;
    return kLoaded;
}

const CZorXMLNode* CZorXMLReader::FindChild(const CZorXMLNode* parent, const wchar_t* name,
                                            const wchar_t* attrName,
                                            const wchar_t* attrValue) const noexcept {
    if (!loaded_ || name == nullptr)
        return nullptr;
    const CZorXMLNode* from = parent != nullptr ? parent : root_.get();
    if (from == nullptr)
        return nullptr;
    for (const CZorXMLNode* child = from->GetFirstChild(); child != nullptr;
         child = child->GetNextSibling()) {
        if (std::wcscmp(child->GetNodeName(), name) == 0 &&
            MatchesFilter(*child, attrName, attrValue)) {
            return child;
        }
    }
    return nullptr;
}
