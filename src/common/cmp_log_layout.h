// The binary layout of CCmpLog that every module sharing log objects relies on, for 32-bit and
// 64-bit builds. The MSVC-ABI check in the log tests reads the ZOR_CHECK_* lines and the slot
// list below and compares them with the compiler's own layout dump, so keep one entry a line.
#pragma once

#include "cmp_log.h"

#include <cstddef>

// offsetof on a class with a virtual table is accepted by every compiler we build with; GCC
// and clang only warn that the standard leaves it conditionally supported.
#if defined(__GNUC__) || defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winvalid-offsetof"
#endif

#define ZOR_CHECK_OFFSET(type, field, x86, x64)                                                    \
    static_assert(offsetof(type, field) == (sizeof(void*) == 8 ? (x64) : (x86)),                   \
                  #type "::" #field " moved")
#define ZOR_CHECK_SIZE(type, x86, x64)                                                             \
    static_assert(sizeof(type) == (sizeof(void*) == 8 ? (x64) : (x86)), #type " changed size")

// Virtual slot indices of CCmpLog.
enum CmpLogSlot : int {
    kSlotDestroy = 0,
    kSlotOpen = 1,
    kSlotClose = 2,
    kSlotBeginSession = 3,
    kSlotWrite = 4,
    kSlotEndSession = 5,
    kSlotSetVerbose = 6,
    kSlotCount = 7,
};

struct CmpLogLayout {
    ZOR_CHECK_OFFSET(LogFileRecord, folder, 0, 0);
    ZOR_CHECK_OFFSET(LogFileRecord, name, 520, 520);
    ZOR_CHECK_OFFSET(LogFileRecord, isOpen, 1032, 1032);
    ZOR_CHECK_OFFSET(LogFileRecord, handle, 1036, 1040);
    ZOR_CHECK_SIZE(LogFileRecord, 1040, 1048);

    ZOR_CHECK_OFFSET(CCmpLog, m_stubVersion, 4, 8);
    ZOR_CHECK_OFFSET(CCmpLog, m_status, 8, 16);
    ZOR_CHECK_OFFSET(CCmpLog, m_files, 12, 24);
    ZOR_CHECK_OFFSET(CCmpLog, m_fileCount, 16, 32);
    ZOR_CHECK_OFFSET(CCmpLog, m_fileCapacity, 20, 36);
    ZOR_CHECK_OFFSET(CCmpLog, m_verbose, 24, 40);
    ZOR_CHECK_SIZE(CCmpLog, 28, 48);
};

#if defined(__GNUC__) || defined(__clang__)
#pragma GCC diagnostic pop
#endif
