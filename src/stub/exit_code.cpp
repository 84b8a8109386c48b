#include "exit_code.h"

namespace zor {

int32_t ExitCodeFor(int32_t runResult, bool dosConvention) {
    if (dosConvention) return runResult != kRunFailed ? 0 : 1;
    return runResult;
}

} // namespace zor
