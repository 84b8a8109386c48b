#!/usr/bin/env bash
# Checks that CCmpLog has the same virtual slots and field offsets under the MSVC ABI (what a
# setup utility built with MSVC sees) as our mingw build asserts in cmp_log_layout.h.
# clang compiles a small user of the class for each target and dumps the compiler's own vtable
# and record layouts; the dump is compared with the slot list and the ZOR_CHECK_OFFSET /
# ZOR_CHECK_SIZE lines of the header. The static_asserts themselves are compiled as well.
# Usage: check_msvc_layout.sh <folder with cmp_log.h> [clang++]
set -u
include_dir=${1:?folder with cmp_log.h}
clang=${2:-clang++}
layout_header="$include_dir/cmp_log_layout.h"
[ -f "$layout_header" ] || { echo "missing $layout_header"; exit 2; }
command -v "$clang" >/dev/null || { echo "missing $clang"; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# No MSVC headers exist here: the log header only needs these three, which clang's freestanding
# C headers provide.
mkdir -p "$work/shim"
cat >"$work/shim/cstdint" <<'EOF'
#include <stdint.h>
namespace std { using ::int8_t; using ::int16_t; using ::int32_t; using ::int64_t;
using ::uint8_t; using ::uint16_t; using ::uint32_t; using ::uint64_t;
using ::intptr_t; using ::uintptr_t; }
EOF
cat >"$work/shim/cstdarg" <<'EOF'
#include <stdarg.h>
namespace std { using ::va_list; }
EOF
cat >"$work/shim/cstddef" <<'EOF'
#include <stddef.h>
namespace std { using ::size_t; using ::ptrdiff_t; }
EOF
# A caller of every slot, so that the compiler lays out the virtual table.
cat >"$work/use_log.cpp" <<'EOF'
#include "cmp_log_layout.h"
int UseLog(CCmpLog* log) {
    log->SetVerbose(1);
    int result = log->Open();
    log->BeginSession();
    log->Write(kLogBoth, kLogError, L"use_log.cpp", 1, L"%s", L"text");
    log->EndSession(1);
    result += log->Close();
    log->Destroy(1);
    return result + static_cast<int>(sizeof(CmpLogLayout));
}
EOF

# Expected values, one "kind name value" line each, for the pointer width given as x86 or x64.
expected() {
    local width=$1
    sed -n 's/^ *kSlot\([A-Za-z]*\) = \([0-9]*\),.*/slot \1 \2/p' "$layout_header" |
        sed 's/^slot Count \([0-9]*\)/slots count \1/'
    sed -n 's/^ *ZOR_CHECK_OFFSET(\([A-Za-z_]*\), \([A-Za-z_]*\), \([0-9]*\), \([0-9]*\));.*/\1 \2 \3 \4/p' \
        "$layout_header" | while read -r type field x86 x64; do
        if [ "$width" = x64 ]; then echo "offset $type.$field $x64"; else echo "offset $type.$field $x86"; fi
    done
    sed -n 's/^ *ZOR_CHECK_SIZE(\([A-Za-z_]*\), \([0-9]*\), \([0-9]*\));.*/\1 \2 \3/p' "$layout_header" |
        while read -r type x86 x64; do
            if [ "$width" = x64 ]; then echo "size $type $x64"; else echo "size $type $x86"; fi
        done
    echo "offset CCmpLog.vptr 0"
}

# The same lines read from clang's layout dump.
actual() {
    awk '
    /^VF?Table indices for .CCmpLog. \(/ {
        inslots = 1; n = $0; sub(/.*\(/, "", n); sub(/ entries.*/, "", n)
        print "slots count " n; next
    }
    inslots && /^ *[0-9]+ \| / {
        idx = $1; sig = $0; sub(/\(.*/, "", sig); sub(/.*::/, "", sig)
        print "slot " sig " " idx; next
    }
    inslots { inslots = 0 }
    /^\*\*\* Dumping AST Record Layout/ {
        getline; n = split($0, w, " "); record = ""
        for (i = 1; i < n; ++i) if (w[i] == "class" || w[i] == "struct") record = w[i + 1]
        next
    }
    record != "" && /vftable pointer\)|vtable pointer\)/ { print "offset " record ".vptr " $1; next }
    record != "" && /^ *[0-9]+ \| / { n = split($0, w, " "); print "offset " record "." w[n] " " $1; next }
    record != "" && /\[sizeof=/ {
        s = $0; sub(/.*sizeof=/, "", s); sub(/,.*/, "", s); print "size " record " " s; record = ""
    }
    '
}

status=0
for target in x86_64-pc-windows-msvc:x64 i686-pc-windows-msvc:x86 \
              x86_64-w64-windows-gnu:x64 i686-w64-windows-gnu:x86; do
    triple=${target%%:*}
    width=${target##*:}
    if ! "$clang" -target "$triple" -std=c++17 -ffreestanding -nostdinc++ -isystem "$work/shim" \
        -I"$include_dir" -S -emit-llvm -o /dev/null -Xclang -fdump-vtable-layouts \
        -Xclang -fdump-record-layouts "$work/use_log.cpp" >"$work/dump-$triple.txt" 2>&1; then
        echo "FAIL $triple: the layout header does not compile (a static_assert failed?)"
        grep -E "error" "$work/dump-$triple.txt" | head -20
        status=1
        continue
    fi
    expected "$width" | sort -u >"$work/expected-$triple.txt"
    actual <"$work/dump-$triple.txt" | sort -u >"$work/actual-$triple.txt"
    # Every expected line must be in the dump; missing ones name the difference.
    missing=$(comm -23 "$work/expected-$triple.txt" "$work/actual-$triple.txt")
    slot_lines=$(grep -c '^slot ' "$work/actual-$triple.txt")
    if [ -n "$missing" ] || [ "$slot_lines" -eq 0 ]; then
        echo "FAIL $triple: layout differs from cmp_log_layout.h"
        echo "expected but not found:"
        echo "${missing:-  (no virtual table dump)}"
        echo "compiler says:"
        grep -E '^(slot|offset|size)' "$work/actual-$triple.txt" | sed 's/^/  /'
        status=1
    else
        echo "ok   $triple: $(wc -l <"$work/expected-$triple.txt") slot, offset and size facts match"
    fi
done
exit $status
