#!/usr/bin/env bash
# Fails when a tracked C++ source (*.cpp, *.h) is not formatted as .clang-format says,
# listing those files. Generated files (a "Do not edit" line in their first lines, such
# as preview/pixel_font_data.cpp) are left out: their generator decides their layout.
# clang-format is Debian's (package clang-format); CLANG_FORMAT names another binary.
# To fix the files listed: clang-format -i FILE...
set -euo pipefail
cd "$(dirname "$0")/.."

format=${CLANG_FORMAT:-clang-format}
if ! command -v "$format" >/dev/null; then
  echo "check-format: $format not found (scripts/setup.sh installs it)" >&2
  exit 2
fi

files=()
while IFS= read -r -d '' f; do
  [[ -f $f ]] || continue  # deleted in the working tree
  if head -n 8 -- "$f" | grep -q 'Do not edit'; then
    continue
  fi
  files+=("$f")
done < <(git ls-files -z -- '*.cpp' '*.h')

if ((${#files[@]} == 0)); then
  echo "check-format: no C++ sources found" >&2
  exit 2
fi

# One run over all files; each unformatted place is reported as
# "FILE:LINE:COL: error: code should be clang-formatted".
report=$(printf '%s\0' "${files[@]}" | xargs -0 "$format" --dry-run --Werror 2>&1) && status=0 || status=$?
mapfile -t unformatted < <(sed -n 's/^\(.*\):[0-9]*:[0-9]*: error: code should be clang-formatted.*/\1/p' <<<"$report" | sort -u)

if ((${#unformatted[@]} > 0)); then
  echo "check-format: ${#unformatted[@]} of ${#files[@]} files are not formatted (clang-format -i FILE):"
  printf '  %s\n' "${unformatted[@]}"
  exit 1
fi
if ((status != 0)); then
  # clang-format failed for another reason (a bad .clang-format, an unreadable file).
  echo "$report" >&2
  echo "check-format: clang-format failed" >&2
  exit 2
fi
echo "check-format: ${#files[@]} files formatted"
