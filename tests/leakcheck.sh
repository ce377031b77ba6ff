#!/usr/bin/env bash
# Runs the binary of a build (default build/) under valgrind with every stage
# switched on, once with a text watermark and once with a picture watermark, on
# a small generated image. Fails on any invalid access or definite leak; the
# caches fontconfig and pango keep for the life of the process show up as
# "still reachable" or "possibly lost" and are not counted, and the one block
# fontconfig itself loses while parsing its configuration is suppressed
# (tests/valgrind.supp).
#   tests/leakcheck.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
binary=${1:-build}/velmora
[[ -x $binary ]] || { echo "no binary at $binary" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/out" "$work/runtime"

# A 160x120 24-bit Targa input and a 32x24 24-bit BMP for the picture mark.
python3 - "$work" <<'EOF'
import struct, sys
folder = sys.argv[1]
w, h = 160, 120
pixels = bytearray()
for y in range(h):
    for x in range(w):
        pixels += bytes([200, (y * 11) % 256, (x * 7) % 256])
with open(folder + "/photo.tga", "wb") as f:
    f.write(struct.pack("<BBBHHBHHHHBB", 0, 0, 2, 0, 0, 0, 0, 0, w, h, 24, 0x20) + pixels)
w, h = 32, 24
row = bytes([0, 0, 255] * w)  # red, 96 bytes: already a multiple of 4
data = row * h
with open(folder + "/logo.bmp", "wb") as f:
    f.write(b"BM" + struct.pack("<IHHI", 54 + len(data), 0, 0, 54))
    f.write(struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0) + data)
EOF

stages=(--rotation-type=advanced --rotation=30 --width=120 --height=90 --flip-horizontal --flip-vertical
        --brightness=10 --contrast=-15 --gamma=1.4 --invert
        --fr-solid-left=6 --fr-solid-right=6 --fr-solid-top=6 --fr-solid-bottom=6 --fr-solid-opacity=200)
marks=("--wm-text=Size %width%x%height% Café 猫の写真 🎉"
       "--wm-image=$work/logo.bmp")

status=0
for mark in "${marks[@]}"; do
  echo "== ${mark%%=*}"
  if ! XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/runtime/config" \
      valgrind --leak-check=full --errors-for-leak-kinds=definite --error-exitcode=9 \
      --num-callers=40 --suppressions=tests/valgrind.supp --log-file="$work/valgrind.log" \
      "$binary" -q -i "$work/photo.tga" -o "$work/out" "${stages[@]}" "$mark" </dev/null; then
    status=1
  fi
  grep -E "ERROR SUMMARY|definitely lost|indirectly lost|possibly lost|still reachable|suppressed:|Invalid (read|write|free)|uninitialised" \
    "$work/valgrind.log" | sed 's/^==[0-9]*== /  /'
  [[ -s $work/out/photo.jpg ]] || { echo "  no output written"; status=1; }
  rm -f "$work/out/photo.jpg"
done
exit $status
