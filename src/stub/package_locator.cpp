#include "package_locator.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "ansi_text.h"
#include "archive_member.h"
#include "zip_file.h"
#include "zor_xml_reader.h"

namespace zor {
namespace {

bool HasXmlExtension(const char* name) {
    const size_t length = std::strlen(name);
    return length >= 4 && _stricmp(name + length - 4, ".xml") == 0;
}

bool IsPackageDefinition(vozoru::ZIP_FileEntry& entry) {
    const uint32_t size = entry.GetUncompressedSize();
    if (size == 0 || size > kMaxMemberBytes) return false;
    std::vector<unsigned char> bytes(size);
    // A member that does not extract cleanly simply fails to parse below.
    entry.ExtractToMemory(bytes.data(), size);
    CZorXMLReader reader(XmlChildOrder::Launcher);
    if (reader.LoadBuffer(bytes.data(), bytes.size()) != CZorXMLReader::kLoaded) return false;
    return reader.FindChild(nullptr, L"zor_package", L"version", kDefinitionVersion) != nullptr;
}

} // namespace

bool LocatePackageDefinition(vozoru::ZIP_File& archive, std::wstring& memberName) {
    memberName.clear();
    for (uint32_t i = 0; i < archive.GetEntryCount(); ++i) {
        vozoru::ZIP_FileEntry* entry = archive.GetEntry(i);
        if (!entry || !HasXmlExtension(entry->GetName())) continue;
        if (IsPackageDefinition(*entry)) {
            memberName = AnsiToWide(entry->GetName());
            return !memberName.empty();
        }
    }
    return false;
}

} // namespace zor
