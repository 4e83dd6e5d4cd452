#!/usr/bin/env bash
# help.chm holds every page of the user guide: each page of the pages folder is listed by
# chmls, the help file reader of Free Pascal.
#   help_pages_test.sh help.chm docs/help
set -euo pipefail
listing="$(chmls --no-page --name-only list "$1")"
missing=0
for page in "$2"/*.html; do
  if ! grep -qxF "/$(basename "$page")" <<<"$listing"; then
    echo "help_pages_test: $(basename "$page") is not in $1" >&2
    missing=1
  fi
done
exit "$missing"
