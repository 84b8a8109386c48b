// The launcher's string table: every id exists in English, Japanese and Chinese, the
// translations are real, and format strings keep their placeholders in every language.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "res/resource.h"
#include "resource_text.h"

namespace {

const UINT kIds[] = {IDS_CAPTION,          IDS_VIEW_CONTENTS,   IDS_VERSION,
                     IDS_LAST_CONFIGURED,  IDS_BROWSE_TITLE,    IDS_PROMPT_BOTH,
                     IDS_PROMPT_INSTALL,   IDS_PROMPT_EXTRACT,  IDS_REBOOT_REQUIRED,
                     IDS_REBOOT_CAPTION,   IDS_REBOOT_QUESTION, IDS_REBOOT_INITIATING,
                     IDS_LOG_NOT_OPENED,   IDS_DISKS_CAPTION,   IDS_DISKS_FOUND,
                     IDS_NOT_A_PACKAGE,    IDS_BAD_EXTRACT_FOLDER, IDS_DISK_SPACE,
                     IDS_CANNOT_START,     IDS_CANNOT_EXTRACT,  IDS_VIRTUAL_GUEST,
                     IDS_WMI_MISSING,      IDS_COLUMN_DATE,     IDS_COLUMN_TIME,
                     IDS_COLUMN_SIZE,      IDS_COLUMN_FILENAME, IDS_DESCRIPTION_FONT,
                     IDS_TPM_CAUTION};

const LANGID kEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
const LANGID kJapanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);
const LANGID kChinese = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);

std::wstring Load(LANGID language, UINT id) {
    zor::SetResourceLanguage(language);
    std::wstring text = zor::LoadLocalizedString(id);
    zor::SetResourceLanguage(kEnglish);
    return text;
}

size_t Count(const std::wstring& text, const wchar_t* what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::wstring::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

bool HasNonAscii(const std::wstring& text) {
    for (wchar_t c : text)
        if (c > 0x7F) return true;
    return false;
}

TEST(StringTable, EnglishTextsAreExact) {
    EXPECT_EQ(Load(kEnglish, IDS_CAPTION), L"Arvex Package Setup");
    EXPECT_EQ(Load(kEnglish, IDS_NOT_A_PACKAGE),
              L"A package definition file was not found.  The file is not a valid Package.");
    EXPECT_EQ(Load(kEnglish, IDS_DESCRIPTION_FONT), L"Arial");
    EXPECT_NE(Load(kEnglish, IDS_TPM_CAUTION).find(L"is to \"disable\" BitLocker prior"),
              std::wstring::npos);
}

TEST(StringTable, EveryIdIsTranslatedInJapaneseAndChinese) {
    for (UINT id : kIds) {
        const std::wstring english = Load(kEnglish, id);
        ASSERT_FALSE(english.empty()) << id;
        for (LANGID language : {kJapanese, kChinese}) {
            const std::wstring text = Load(language, id);
            ASSERT_FALSE(text.empty()) << id << " in " << language;
            if (id != IDS_DESCRIPTION_FONT) {
                EXPECT_TRUE(HasNonAscii(text)) << id << " in " << language;
            }
            EXPECT_NE(text, english) << id << " in " << language;
        }
    }
}

TEST(StringTable, PlaceholdersSurviveTranslation) {
    for (LANGID language : {kEnglish, kJapanese, kChinese}) {
        EXPECT_EQ(Count(Load(language, IDS_DISK_SPACE), L"%lu"), 3u) << language;
        EXPECT_EQ(Count(Load(language, IDS_CANNOT_START), L"%s"), 1u) << language;
        EXPECT_EQ(Count(Load(language, IDS_CANNOT_START), L"%"), 1u) << language;
    }
}

TEST(StringTable, MissingStringIsEmpty) { EXPECT_TRUE(Load(kEnglish, 4321).empty()); }

TEST(StringTable, LengthIsBoundedByCaller) {
    EXPECT_EQ(zor::LoadLocalizedString(IDS_CAPTION, 5), L"Arvex");
}

} // namespace
