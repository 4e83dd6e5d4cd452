#!/usr/bin/env bash
# Generates a small sample network as folders: DEST/<COMPUTER>/<SHARE>/..., the layout the
# posix backend's UNC root and Wine's dosdevices/unc both use. Usage: make-sample-tree.sh DEST
set -euo pipefail
if [[ $# -ne 1 ]]; then
  echo "usage: $0 DEST" >&2
  exit 2
fi
dest="$1"
rm -rf "$dest"

file() {  # file PATH BYTES: a file of that size with some text in it
  mkdir -p "$(dirname "$dest/$1")"
  head -c "$2" /dev/zero | tr '\0' 'x' >"$dest/$1"
}

# PC1: documents, and an empty share.
file "PC1/Docs/Letters/2025/to the bank.txt" 1200
file "PC1/Docs/Letters/2025/tax.return.final.v2.pdf" 48000
file "PC1/Docs/Letters/cover letter.doc" 22000
file "PC1/Docs/Photos/Holiday 2024/beach.01.jpg" 310000
file "PC1/Docs/Photos/Holiday 2024/beach.02.jpg" 295000
file "PC1/Docs/readme.txt" 512
file "PC1/Docs/.hidden-settings" 64
mkdir -p "$dest/PC1/Docs/Empty folder" "$dest/PC1/Music"

# PC2: one public share.
file "PC2/Public/Installers/setup.tool.1.2.3.exe" 150000
file "PC2/Public/Installers/notes" 300
file "PC2/Public/shared list.xlsx" 9000

# SERVER: projects and backups, a few levels deep.
file "SERVER/Projects/Mirrorvault/src/main.cpp" 4000
file "SERVER/Projects/Mirrorvault/src/core/walker.cpp" 8000
file "SERVER/Projects/Mirrorvault/docs/design notes.md" 2500
file "SERVER/Projects/Archive.2019/old.project.tar.gz" 120000
mkdir -p "$dest/SERVER/Projects/Archive.2019/empty"
file "SERVER/Backup/weekly/backup.2026.11.29.zip" 640000
file "SERVER/Backup/weekly/.lock" 0
file "SERVER/Backup/daily/backup.2026.12.05.zip" 180000

echo "sample network in $dest: $(find "$dest" -type f | wc -l) files, $(find "$dest" -mindepth 1 -type d | wc -l) folders"
