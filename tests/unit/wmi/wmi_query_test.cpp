// The query object against the WMI of the running system.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <cwchar>
#include <string>

#include "wmi_query.h"

namespace {

constexpr std::size_t kTextUnits = 256;

} // namespace

TEST(CWmiQuery, ReadsTextOfASingleInstanceClass) {
    CWmiQuery query;
    ASSERT_EQ(query.ErrorCode(), 0) << query.ErrorMessage();
    ASSERT_EQ(query.Connect(L"ROOT\\CIMV2"), 1);

    ASSERT_EQ(query.ExecQuery(L"Win32_ComputerSystem"), 1);
    wchar_t manufacturer[kTextUnits];
    std::size_t written = 0;
    ASSERT_EQ(query.GetPropertyValue(L"Manufacturer", manufacturer, sizeof manufacturer, &written),
              1);
    EXPECT_STREQ(manufacturer, L"The Wine Project");
    EXPECT_EQ(written, sizeof(L"The Wine Project"));

    // A new query replaces the result; the same object reads another class.
    ASSERT_EQ(query.ExecQuery(L"Win32_OperatingSystem"), 1);
    wchar_t caption[kTextUnits] = {};
    ASSERT_EQ(query.GetPropertyValue(L"Caption", caption, sizeof caption), 1);
    EXPECT_NE(std::wstring(caption).find(L"Windows"), std::wstring::npos) << caption;
    query.Disconnect();
    EXPECT_EQ(query.ErrorCode(), 0);
}

TEST(CWmiQuery, ReadsA32BitInteger) {
    CWmiQuery query;
    ASSERT_EQ(query.Connect(L"ROOT\\CIMV2"), 1);
    ASSERT_EQ(query.ExecQuery(L"Win32_ComputerSystem"), 1);
    std::int32_t processors = -1;
    std::size_t written = 0;
    ASSERT_EQ(query.GetPropertyValue(L"NumberOfLogicalProcessors", &processors, sizeof processors,
                                     &written),
              1);
    EXPECT_EQ(written, 4u);
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    EXPECT_EQ(processors, static_cast<std::int32_t>(info.dwNumberOfProcessors));
}

TEST(CWmiQuery, StringIsBoundedByTheStorage) {
    CWmiQuery query;
    ASSERT_EQ(query.Connect(L"ROOT\\CIMV2"), 1);
    ASSERT_EQ(query.ExecQuery(L"Win32_ComputerSystem"), 1);
    wchar_t small[6];
    std::memset(small, 0x55, sizeof small);
    wchar_t guard = L'#';
    ASSERT_EQ(query.GetPropertyValue(L"Manufacturer", small, 4 * sizeof(wchar_t)), 1);
    EXPECT_STREQ(small, L"The");
    EXPECT_EQ(small[4], static_cast<wchar_t>(0x5555));
    EXPECT_EQ(guard, L'#');
}

TEST(CWmiQuery, NoInstancesReadsNothingAndSucceeds) {
    CWmiQuery query;
    ASSERT_EQ(query.Connect(L"ROOT\\CIMV2"), 1);
    ASSERT_EQ(query.ExecQuery(L"Win32_Process WHERE ProcessId = 4294967295"), 1);
    wchar_t text[kTextUnits] = L"untouched";
    std::size_t written = 99;
    EXPECT_EQ(query.GetPropertyValue(L"Name", text, sizeof text, &written), 1);
    EXPECT_STREQ(text, L"untouched");
    EXPECT_EQ(written, 0u);
}

TEST(CWmiQuery, SeveralInstancesLeaveTheLastValue) {
    CWmiQuery query;
    ASSERT_EQ(query.Connect(L"ROOT\\CIMV2"), 1);
    // Every running process matches; the storage holds one of their names, fully terminated.
    ASSERT_EQ(query.ExecQuery(L"Win32_Process WHERE ProcessId > 0"), 1);
    wchar_t name[kTextUnits] = {};
    ASSERT_EQ(query.GetPropertyValue(L"Name", name, sizeof name), 1);
    EXPECT_GT(std::wcslen(name), 0u);
}

TEST(CWmiQuery, UnreadablePropertyDropsTheResult) {
    CWmiQuery query;
    ASSERT_EQ(query.Connect(L"ROOT\\CIMV2"), 1);
    ASSERT_EQ(query.ExecQuery(L"Win32_ComputerSystem"), 1);
    wchar_t text[kTextUnits] = L"untouched";
    EXPECT_EQ(query.GetPropertyValue(L"NoSuchProperty", text, sizeof text), 0);
    // The result set is gone until the next query, even for a property that exists.
    EXPECT_EQ(query.GetPropertyValue(L"Manufacturer", text, sizeof text), 0);
    EXPECT_STREQ(text, L"untouched");
    ASSERT_EQ(query.ExecQuery(L"Win32_ComputerSystem"), 1);
    EXPECT_EQ(query.GetPropertyValue(L"Manufacturer", text, sizeof text), 1);
}

TEST(CWmiQuery, RefusesQueriesItCannotRun) {
    CWmiQuery query;
    wchar_t text[kTextUnits] = {};
    // Before Connect there is nothing to query.
    EXPECT_EQ(query.ExecQuery(L"Win32_ComputerSystem"), 0);
    EXPECT_EQ(query.GetPropertyValue(L"Manufacturer", text, sizeof text), 0);

    ASSERT_EQ(query.Connect(L"ROOT\\CIMV2"), 1);
    // A class name too long for the query text is refused, not cut to another name.
    const std::wstring longName = L"Win32_ComputerSystem" + std::wstring(300, L' ');
    EXPECT_EQ(query.ExecQuery(longName.c_str()), 0);
    EXPECT_EQ(query.GetPropertyValue(L"Manufacturer", text, sizeof text), 0);
    EXPECT_EQ(query.ExecQuery(nullptr), 0);
    EXPECT_EQ(query.ErrorCode(), 0);
}

TEST(CWmiQuery, FailedConnectSetsTheErrorAndStaysSafe) {
    {
        CWmiQuery query;
        EXPECT_EQ(query.Connect(L"ROOT\\NoSuchNamespace"), 0);
        EXPECT_EQ(query.ErrorCode(), CWmiQuery::kSetupFailed);
        EXPECT_STREQ(query.ErrorMessage(), L"An error occurred initializing the COM environment.");
        EXPECT_EQ(query.Connect(L"ROOT\\CIMV2"), 0);
        EXPECT_EQ(query.ExecQuery(L"Win32_ComputerSystem"), 0);
        query.Disconnect();
        query.Disconnect();
    }
    // COM was uninitialised once per initialisation: a later object still works.
    CWmiQuery next;
    ASSERT_EQ(next.Connect(L"ROOT\\CIMV2"), 1);
    ASSERT_EQ(next.ExecQuery(L"Win32_ComputerSystem"), 1);
}

TEST(CWmiQuery, NestedObjectsShareTheThreadsCom) {
    CWmiQuery outer;
    ASSERT_EQ(outer.Connect(L"ROOT\\CIMV2"), 1);
    {
        CWmiQuery inner;
        ASSERT_EQ(inner.Connect(L"ROOT\\CIMV2"), 1);
        ASSERT_EQ(inner.ExecQuery(L"Win32_OperatingSystem"), 1);
        // The inner object's destructor disconnects it.
    }
    ASSERT_EQ(outer.ExecQuery(L"Win32_ComputerSystem"), 1);
    wchar_t text[kTextUnits] = {};
    EXPECT_EQ(outer.GetPropertyValue(L"Manufacturer", text, sizeof text), 1);
}

TEST(CWmiQuery, ApartmentThreadIsASetupFailure) {
    ASSERT_HRESULT_SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    {
        CWmiQuery query;
        EXPECT_EQ(query.ErrorCode(), CWmiQuery::kSetupFailed);
        EXPECT_EQ(query.Connect(L"ROOT\\CIMV2"), 0);
    }
    CoUninitialize();
}
