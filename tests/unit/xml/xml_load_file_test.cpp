// LoadFile on real files in a temporary folder: success and each failure code.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "win_handles.h"
#include "xml_test_support.h"

namespace {

class XmlLoadFile : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH] = {};
        const DWORD n = GetTempPathW(MAX_PATH, temp);
        ASSERT_GT(n, 0u);
        ASSERT_LT(n, static_cast<DWORD>(MAX_PATH));
        folder_ = std::wstring(temp) + L"zor_xml_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
                  std::to_wstring(GetTickCount());
        ASSERT_TRUE(CreateDirectoryW(folder_.c_str(), nullptr)) << GetLastError();
    }

    void TearDown() override {
        for (const std::wstring& file : created_)
            DeleteFileW(file.c_str());
        RemoveDirectoryW(folder_.c_str());
    }

    std::wstring PathOf(const wchar_t* name) const { return folder_ + L"\\" + name; }

    std::wstring Write(const wchar_t* name, const std::string& bytes) {
        const std::wstring path = PathOf(name);
        created_.push_back(path);
        zor::FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
        EXPECT_TRUE(file.valid());
        DWORD written = 0;
        EXPECT_TRUE(WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                              nullptr));
        EXPECT_EQ(written, bytes.size());
        return path;
    }

    // A file whose first bytes are |head| and whose size is extended (sparsely) to |size|.
    std::wstring WriteExtended(const wchar_t* name, const std::string& head, LONGLONG size) {
        const std::wstring path = Write(name, head);
        zor::FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
        EXPECT_TRUE(file.valid());
        LARGE_INTEGER to = {};
        to.QuadPart = size;
        EXPECT_TRUE(SetFilePointerEx(file.get(), to, nullptr, FILE_BEGIN));
        EXPECT_TRUE(SetEndOfFile(file.get()));
        return path;
    }

    std::wstring folder_;
    std::vector<std::wstring> created_;
};

void ExpectEmptyAndNotLoaded(const CZorXMLReader& reader) {
    EXPECT_FALSE(reader.IsLoaded());
    ASSERT_NE(reader.GetRoot(), nullptr);
    EXPECT_EQ(reader.GetRoot()->GetFirstChild(), nullptr);
    EXPECT_EQ(reader.FindChild(nullptr, L"zor_install"), nullptr);
}

TEST_F(XmlLoadFile, LoadsDocumentFromDisk) {
    const std::wstring path = Write(L"install.xml", "\xEF\xBB\xBF<?xml version=\"1.0\"?>\r\n"
                                                    "<zor_install>\r\n"
                                                    "  <driver type=\"pnp\">net.inf</driver>\r\n"
                                                    "</zor_install>\r\n");
    for (XmlChildOrder order : {XmlChildOrder::Launcher, XmlChildOrder::Plugin}) {
        SCOPED_TRACE(OrderName(order));
        CZorXMLReader reader(order);
        ASSERT_EQ(reader.LoadFile(path.c_str()), 0);
        EXPECT_TRUE(reader.IsLoaded());
        const CZorXMLNode* root = reader.FindChild(nullptr, L"zor_install");
        ASSERT_NE(root, nullptr);
        const CZorXMLNode* driver = reader.FindChild(root, L"driver", L"type", L"PNP");
        ASSERT_NE(driver, nullptr);
        EXPECT_STREQ(driver->GetFirstChild()->GetText(), L"net.inf");
    }
}

TEST_F(XmlLoadFile, FilesThatCannotBeOpened) {
    const std::wstring missingFile = PathOf(L"absent.xml");
    const std::wstring missingFolder = PathOf(L"no_such_folder\\install.xml");
    const struct {
        const char* label;
        const wchar_t* path;
    } cases[] = {
        {"missing file", missingFile.c_str()},
        {"missing folder", missingFolder.c_str()},
        {"a folder", folder_.c_str()},
        {"no path", nullptr},
        {"empty path", L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        CZorXMLReader reader(XmlChildOrder::Plugin);
        ASSERT_EQ(LoadText(reader, "<zor_install/>"), 0);
        EXPECT_EQ(reader.LoadFile(c.path), 3);
        ExpectEmptyAndNotLoaded(reader);
    }
}

TEST_F(XmlLoadFile, FileHeldWithoutReadSharing) {
    const std::wstring path = Write(L"held.xml", "<zor_install/>");
    zor::FileHandle holder(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(holder.valid());
    CZorXMLReader reader(XmlChildOrder::Plugin);
    EXPECT_EQ(reader.LoadFile(path.c_str()), 3);
    ExpectEmptyAndNotLoaded(reader);
}

// A size beyond 4 GiB was once cut to its low 32 bits, so this file read as just "<a/>".
TEST_F(XmlLoadFile, OversizedFilesAreRefused) {
    const struct {
        const wchar_t* name;
        LONGLONG size;
    } cases[] = {
        {L"over_4g.xml", (1LL << 32) + 4},
        {L"over_limit.xml", static_cast<LONGLONG>(CZorXMLReader::kMaxFileBytes) + 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size);
        const std::wstring path = WriteExtended(c.name, "<a/>", c.size);
        CZorXMLReader reader(XmlChildOrder::Plugin);
        EXPECT_EQ(reader.LoadFile(path.c_str()), 4);
        ExpectEmptyAndNotLoaded(reader);
    }
}

TEST_F(XmlLoadFile, EmptyAndMalformedFilesAreNotWellFormed) {
    const struct {
        const wchar_t* name;
        const char* content;
    } cases[] = {
        {L"empty.xml", ""},
        {L"truncated.xml", "<zor_install><driver>"},
        {L"binary.xml", "MZ\x90"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.name)));
        const std::wstring path = Write(c.name, c.content);
        CZorXMLReader reader(XmlChildOrder::Plugin);
        EXPECT_EQ(reader.LoadFile(path.c_str()), 5);
        EXPECT_FALSE(reader.IsLoaded());
        EXPECT_EQ(reader.FindChild(nullptr, L"zor_install"), nullptr);
    }
}

} // namespace
