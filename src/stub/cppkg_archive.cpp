// The parts of the package object that go back to the archive: the configuration file's
// bytes, the package size and the license text.
#include <windows.h>
#include <oleauto.h>

#include <cstring>
#include <string>
#include <vector>

#include "archive_member.h"
#include "cppkg.h"
#include "des_crypt.h"
#include "zip_file.h"

namespace zor {
namespace {

// The definition's file name in the thread's ANSI code page: the key text for encrypted
// configuration files.
std::string AnsiKeyText(const wchar_t* fileName) {
    if (!fileName || !fileName[0]) return std::string();
    int size = ::WideCharToMultiByte(CP_THREAD_ACP, 0, fileName, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) return std::string();
    std::string text(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_THREAD_ACP, 0, fileName, -1, &text[0], size, nullptr, nullptr);
    text.resize(static_cast<size_t>(size - 1));
    return text;
}

// Replaces `target` with a one-dimensional byte array holding `bytes`.
bool StoreByteArray(VARIANT& target, const std::vector<unsigned char>& bytes) {
    SAFEARRAY* array = ::SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size()));
    if (!array) return false;
    if (!bytes.empty()) {
        void* data = nullptr;
        if (FAILED(::SafeArrayAccessData(array, &data))) {
            ::SafeArrayDestroy(array);
            return false;
        }
        std::memcpy(data, bytes.data(), bytes.size());
        ::SafeArrayUnaccessData(array);
    }
    ::VariantClear(&target);
    target.vt = VT_ARRAY | VT_UI1;
    target.parray = array;
    return true;
}

} // namespace

// An encrypted configuration file that cannot be decrypted (bad hexadecimal text) leaves the
// configuration data empty and Load still succeeds: the package stays usable for browsing,
// and the install sequence then fails at its configuration-file step with its own message,
// instead of installing without the configuration the package needs.
bool CPPkg::LoadConfigurationData(vozoru::ZIP_File& archive) {
    std::vector<unsigned char> bytes;
    switch (ReadArchiveMember(archive, configuration_.configFile, bytes)) {
    case MemberRead::Missing: return true;
    case MemberRead::Failed: return false;
    case MemberRead::Read: break;
    }
    if (!configuration_.encrypt) return StoreByteArray(configData_, bytes);

    std::vector<unsigned char> plain;
    try {
        DesCrypt des;
        if (!des.SetPackageKey(AnsiKeyText(GetFileName()).c_str())) return true;
        des.DecryptHex(reinterpret_cast<const char*>(bytes.data()), bytes.size(), &plain);
    } catch (const DesCryptException&) {
        return true;
    }
    return StoreByteArray(configData_, plain);
}

bool CPPkg::GetPackageSize(uint64_t* size) const {
    if (!size) return false;
    *size = 0;
    vozoru::ZIP_File archive;
    if (!IsLoaded() || archive.OpenArchive(archivePath_, true) != 0) return false;
    vozoru::ZIP_File::EntryCursor cursor;
    archive.BeginEntryIteration(&cursor);
    while (const vozoru::ZIP_FileEntry* entry = archive.NextEntry(&cursor))
        *size += entry->GetUncompressedSize();
    archive.EndEntryIteration(&cursor);
    return true;
}

bool CPPkg::GetLicense(char* buffer, uint32_t* length) const {
    if (!packageData_.IsLoaded() || !length) return false;
    vozoru::ZIP_File archive;
    if (!IsLoaded() || archive.OpenArchive(archivePath_, true) != 0) return false;
    const CZorXMLNode* root = packageData_.FindChild(nullptr, L"vx_pkg_data");
    const CZorXMLNode* license = root ? packageData_.FindChild(root, L"license") : nullptr;
    const wchar_t* name = ElementText(FindLocalized(packageData_, license, L"filename"));
    if (!name || !name[0]) return false;
    vozoru::ZIP_FileEntry* entry = archive.FindEntry(name);
    if (!entry || entry->GetUncompressedSize() > kMaxMemberBytes) return false;
    // Room for the text and a few zero bytes after it, so it is always terminated.
    const uint32_t needed = entry->GetUncompressedSize() + 5;
    if (*length < needed) {
        *length = needed;
        return true;
    }
    if (!buffer) return false;
    std::memset(buffer, 0, needed);
    return entry->GetUncompressedSize() == 0 ||
           entry->ExtractToMemory(buffer, entry->GetUncompressedSize()) == 0;
}

} // namespace zor
