#!/usr/bin/env bash
# The main job on a built-in default: installs what is missing, builds the release preset,
# makes a small sample network of folders and, with mirrorvault-cli, captures computer PC1
# from it and lists the snapshot. Everything lands in build/demo.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

bash tools/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release --target mirrorvault-cli
cli="$PWD/build/release/cli/mirrorvault-cli"
demo="$PWD/build/demo"
rm -rf "$demo"
mkdir -p "$demo/snapshots"
bash tools/sample/make-sample-tree.sh "$demo/network"

help="$("$cli" --help)"
has_command() { grep -qE "^  $1( |$)" <<<"$help"; }
if ! has_command capture || ! has_command ls; then
  echo "Built $cli and the sample network in $demo/network;"
  echo "mirrorvault-cli has no 'capture' and 'ls' yet, so there is nothing to capture."
  exit 0
fi

echo
echo "== capturing \\\\PC1 (shares Docs and Music)"
snapshot="$("$cli" capture --snapshots "$demo/snapshots" --group WORKGROUP --computer PC1 \
  --shares "Docs;Music" --unc-root "$demo/network")"
echo "$snapshot"
if has_command library; then
  echo
  echo "== the snapshot library"
  "$cli" library "$demo/snapshots"
fi
echo
echo "== shares in the snapshot"
"$cli" ls "$snapshot"
echo
echo "== \\\\PC1\\Docs, largest first"
"$cli" ls "$snapshot" Docs --sort size --desc
