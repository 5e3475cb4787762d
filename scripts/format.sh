#!/usr/bin/env bash
# Formats every tracked C++ file by the repository's .clang-format.
#   scripts/format.sh           rewrites the files in place
#   scripts/format.sh --check   changes nothing; lists the files that would change and
#                               exits 1 when there are any (CI runs this)
set -euo pipefail
cd "$(dirname "$0")/.."

check=false
case "${1:-}" in
  "") ;;
  --check) check=true ;;
  *) echo "usage: scripts/format.sh [--check]" >&2; exit 2 ;;
esac
command -v clang-format >/dev/null || { echo "format.sh: clang-format is not installed (scripts/setup.sh)" >&2; exit 2; }

mapfile -d '' files < <(git ls-files -z -- '*.cpp' '*.cc' '*.h' '*.hpp')
[ ${#files[@]} -gt 0 ] || exit 0
if ! $check; then
  clang-format -i --style=file "${files[@]}"
  exit 0
fi
# One clang-format for all files names every place that would change; a broken
# .clang-format fails here rather than passing every file.
if ! report=$(clang-format --dry-run --style=file "${files[@]}" 2>&1); then
  echo "$report" >&2
  exit 2
fi
mapfile -t differing < <(sed -n 's/^\(.*\):[0-9]*:[0-9]*: warning: code should be clang-formatted.*/\1/p' <<<"$report" | sort -u)
[ ${#differing[@]} -eq 0 ] && exit 0
printf '%s\n' "${differing[@]}"
echo "format.sh: these files differ from .clang-format; run scripts/format.sh" >&2
exit 1
