#!/usr/bin/env bash
# Performance figures (never part of the tests): extraction of a large package under Wine
# against unzip on the same archive, and the time to open an archive of 10,000 members.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
export ZOR_WINEPREFIX="$top/build/wineprefix-bench"
source "$top/scripts/wine-env.sh"
zor_wine_stop
rm -rf "$WINEPREFIX"
trap 'zor_wine_stop; wineserver -w >/dev/null 2>&1 || true' EXIT
zor_wine_ready

work="$top/build/bench"
rm -rf "$work"
mkdir -p "$work/src"

# About 2,000 members and 200 MB: half compressible text, half random bytes.
python3 - "$work/src" <<'PY'
import os, random, sys
root = sys.argv[1]
rng = random.Random(7)
total = 0
for i in range(2000):
    folder = os.path.join(root, "d%02d" % (i % 40))
    os.makedirs(folder, exist_ok=True)
    size = rng.randint(20_000, 180_000)
    if i % 2:
        data = rng.randbytes(size)
    else:
        line = b"package payload line %d with some repeating text\r\n" % i
        data = (line * (size // len(line) + 1))[:size]
    with open(os.path.join(folder, "f%04d.bin" % i), "wb") as f:
        f.write(data)
    total += size
print("generated %d bytes in 2000 members" % total)
PY
# A package definition and a setup utility that exits at once, so that the same package also
# measures the launcher's own cost of a silent install.
cat > "$work/src/big.xml" <<'XML'
<?xml version="1.0"?>
<zor_package version="2.0.1.0"><filename>big.exe</filename>
  <name><name_xlate lang="en">Benchmark</name_xlate></name><version value="1.0.0.0"/>
  <sw_keys><sw_keys_and><sw_key name="ZorBenchmark"><sw_key_expectedpath>bench</sw_key_expectedpath>
  </sw_key></sw_keys_and></sw_keys>
  <installation><install><command>vazuvuda.exe</command></install></installation>
</zor_package>
XML
cp "$top/build/win64/bin/fake_setup.exe" "$work/src/vazuvuda.exe"
"$top/build/host/bin/zorpack" --mtime 0 -o "$work/big.exe" --stub "$top/build/win64/bin/zorstub.exe" "$work/src" >/dev/null || exit 1
ls -l "$work/big.exe" | awk '{print "package size:", $5, "bytes"}'

now() { date +%s.%N; }
mkdir -p "$work/wine_out" "$work/unzip_out"
out_win=$(winepath -w "$work/wine_out")
t0=$(now); wine "$work/big.exe" "/extract:$out_win" </dev/null >/dev/null 2>&1; rc=$?; t1=$(now)
t2=$(now); unzip -qo "$work/big.exe" -d "$work/unzip_out" 2>/dev/null; t3=$(now)
launcher=$(echo "$t1 - $t0" | bc -l); unz=$(echo "$t3 - $t2" | bc -l)
printf 'extraction under Wine: %.2f s (exit %d)\nunzip -qo natively:    %.2f s\nratio:                 %.2f\n' \
    "$launcher" "$rc" "$unz" "$(echo "$launcher / $unz" | bc -l)"
diff -r "$work/wine_out" "$work/unzip_out" >/dev/null && echo "outputs identical" || echo "OUTPUTS DIFFER"

# The launcher's own cost of a silent install of the same package: everything but extraction
# and the fixed pause before the folder is removed is the launcher's overhead.
t4=$(now); wine "$work/big.exe" /s </dev/null >/dev/null 2>&1; rc=$?; t5=$(now)
install=$(echo "$t5 - $t4" | bc -l)
pause=2.0
printf 'silent install:        %.2f s (exit %d)\n  extraction:          %.2f s (as measured above)\n  fixed pause:         %.2f s\n  everything else:     %.2f s\n' \
    "$install" "$rc" "$launcher" "$pause" "$(echo "$install - $launcher - $pause" | bc -l)"

bench_exe="$top/build/win64/bin/vozoru_bench.exe"
if [ -f "$bench_exe" ]; then
    many=$(winepath -w "$work/many.zip")
    wine "$bench_exe" make "$many" 10000 </dev/null 2>/dev/null | tr -d '\r'
    printf 'open 10,000 members: '
    wine "$bench_exe" open "$many" 5 </dev/null 2>/dev/null | tr -d '\r'
fi
