// Each value type lands in caller storage bounded by the storage's size.
#include <gtest/gtest.h>
#include <windows.h>

#include <oleauto.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "variant_copy.h"

namespace {

// A VARIANT that clears itself.
struct Variant {
    VARIANT v;
    Variant() { VariantInit(&v); }
    ~Variant() { VariantClear(&v); }
};

void MakeBytes(Variant& value, const std::vector<std::uint8_t>& bytes) {
    SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size()));
    ASSERT_NE(array, nullptr);
    void* data = nullptr;
    ASSERT_HRESULT_SUCCEEDED(SafeArrayAccessData(array, &data));
    if (!bytes.empty())
        std::memcpy(data, bytes.data(), bytes.size());
    SafeArrayUnaccessData(array);
    V_VT(&value.v) = VT_ARRAY | VT_UI1;
    V_ARRAY(&value.v) = array;
}

} // namespace

TEST(CopyVariantToOutput, TextIsCutToFitAndAlwaysTerminated) {
    struct Case {
        const wchar_t* text;
        std::size_t units;
        std::wstring expected;
    };
    const std::wstring longText(400, L'x');
    const Case cases[] = {
        {L"Model 42", 64, L"Model 42"},
        {L"Model 42", 4, L"Mod"},
        {L"A", 1, L""},
        {L"", 8, L""},
        // Never more than 256 units with the terminator, however large the storage.
        {longText.c_str(), 512, std::wstring(255, L'x')},
    };
    for (const Case& c : cases) {
        Variant value;
        V_VT(&value.v) = VT_BSTR;
        V_BSTR(&value.v) = SysAllocString(c.text);
        std::vector<wchar_t> out(c.units + 8, L'#');
        std::size_t written = zor::CopyVariantToOutput(value.v, out.data(), c.units * 2);
        EXPECT_EQ(std::wstring(out.data()), c.expected) << c.text << " in " << c.units;
        EXPECT_EQ(written, (c.expected.size() + 1) * 2);
        // Nothing beyond the storage (nor beyond the 256-unit limit) is touched.
        std::size_t limit = c.units < 256 ? c.units : 256;
        for (std::size_t i = limit; i < out.size(); ++i)
            ASSERT_EQ(out[i], L'#') << i;
    }
}

TEST(CopyVariantToOutput, NullTextIsEmpty) {
    Variant value;
    V_VT(&value.v) = VT_BSTR;
    V_BSTR(&value.v) = nullptr;
    wchar_t out[4] = {L'#', L'#', L'#', L'#'};
    EXPECT_EQ(zor::CopyVariantToOutput(value.v, out, sizeof out), 2u);
    EXPECT_EQ(out[0], L'\0');
}

TEST(CopyVariantToOutput, IntegerNeedsFourBytes) {
    Variant value;
    V_VT(&value.v) = VT_I4;
    V_I4(&value.v) = -123456;
    std::int32_t number = 0;
    EXPECT_EQ(zor::CopyVariantToOutput(value.v, &number, sizeof number), 4u);
    EXPECT_EQ(number, -123456);

    std::uint8_t small[3] = {7, 7, 7};
    EXPECT_EQ(zor::CopyVariantToOutput(value.v, small, sizeof small), 0u);
    EXPECT_EQ(small[0], 7);
}

TEST(CopyVariantToOutput, ByteArrayCopiesWhatFits) {
    const std::vector<std::uint8_t> bytes = {1, 2, 3, 4, 5, 6};
    Variant value;
    MakeBytes(value, bytes);

    std::uint8_t roomy[10];
    std::memset(roomy, 0xEE, sizeof roomy);
    // A shorter array than the storage writes only the array; the caller learns how much.
    EXPECT_EQ(zor::CopyVariantToOutput(value.v, roomy, sizeof roomy), 6u);
    EXPECT_EQ(std::vector<std::uint8_t>(roomy, roomy + 6), bytes);
    EXPECT_EQ(roomy[6], 0xEE);

    std::uint8_t tight[4];
    EXPECT_EQ(zor::CopyVariantToOutput(value.v, tight, sizeof tight), 4u);
    EXPECT_EQ(std::vector<std::uint8_t>(tight, tight + 4), std::vector<std::uint8_t>({1, 2, 3, 4}));
}

TEST(CopyVariantToOutput, EmptyArrayAndOtherTypesWriteNothing) {
    std::uint8_t out[8];
    std::memset(out, 0xEE, sizeof out);

    Variant empty;
    MakeBytes(empty, {});
    EXPECT_EQ(zor::CopyVariantToOutput(empty.v, out, sizeof out), 0u);

    Variant null;
    V_VT(&null.v) = VT_NULL;
    EXPECT_EQ(zor::CopyVariantToOutput(null.v, out, sizeof out), 0u);

    Variant words;
    V_VT(&words.v) = VT_ARRAY | VT_UI2;
    V_ARRAY(&words.v) = SafeArrayCreateVector(VT_UI2, 0, 4);
    EXPECT_EQ(zor::CopyVariantToOutput(words.v, out, sizeof out), 0u);

    Variant number;
    V_VT(&number.v) = VT_I4;
    EXPECT_EQ(zor::CopyVariantToOutput(number.v, nullptr, 4), 0u);

    for (std::uint8_t b : out)
        EXPECT_EQ(b, 0xEE);
}
