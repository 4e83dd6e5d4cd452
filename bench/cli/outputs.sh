#!/bin/bash
# The answers of find, diff and export over a corpus of varied snapshots, one file per
# command, so that two builds can be held against each other byte for byte (diff -r).
#   bench/cli/outputs.sh corpus DIR        makes the corpus in DIR (captured trees: ANSI and
#                                          UTF-8 names, hostile names, deep folders, several
#                                          shares; generated and damaged files)
#   bench/cli/outputs.sh run CLI DIR OUT   writes the answers of CLI over DIR's corpus to OUT
set -u
here=$(cd "$(dirname "$0")" && pwd)

make_tree() {  # ROOT VARIANT
  local r=$1 v=$2
  mkdir -p "$r/PC1/Docs/Reports/2026" "$r/PC1/Media/Photos" "$r/PC1/Ünïcode/日本語"
  printf 'x%.0s' $(seq 1 $((10 + v))) >"$r/PC1/Docs/Reports/2026/budget.xlsx"
  echo a >"$r/PC1/Docs/Reports/résumé.docx"
  echo b >"$r/PC1/Docs/=HYPERLINK(evil).csv"
  echo c >"$r/PC1/Docs/a,b \"quoted\".txt"
  echo d >"$r/PC1/Docs/semi;;colon;;f;;1;;1.1.2020"
  echo e >"$r/PC1/Docs/$(printf 'esc\033[2Jctl')"
  echo f >"$r/PC1/Docs/$(printf 'new\nline')"
  echo g >"$r/PC1/Docs/<script>alert(1)</script>.html"
  echo h >"$r/PC1/Docs/+plus -minus @at.txt"
  echo i >"$r/PC1/Ünïcode/日本語/ファイル.txt"
  echo j >"$r/PC1/Ünïcode/émoji 😀.png"
  echo k >"$r/PC1/Media/Photos/IMG_0001.JPG"
  echo l >"$r/PC1/Media/Photos/img_0001.jpg.bak"
  local d="$r/PC1/Docs/deep"
  for i in $(seq 1 60); do d="$d/level$i"; done
  mkdir -p "$d" && echo m >"$d/bottom.txt"
  for i in $(seq 1 300); do echo "$i" >"$r/PC1/Media/track$i.mp3"; done
  if [ "$v" = 1 ]; then  # churn
    rm "$r/PC1/Docs/Reports/résumé.docx" "$r/PC1/Media/track7.mp3"
    rm -r "$r/PC1/Media/Photos"
    echo new >"$r/PC1/Docs/Reports/RÉSUMÉ.DOCX"
    echo longer-now >"$r/PC1/Media/track9.mp3"
    mkdir -p "$r/PC1/Docs/Added/Sub" && echo n >"$r/PC1/Docs/Added/Sub/n.txt"
    mkdir -p "$r/PC1/NewShare" && echo o >"$r/PC1/NewShare/o.txt"
  fi
  mkdir -p "$r/PC2/Plain/A/B" && echo p >"$r/PC2/Plain/A/B/report Quokka.pdf"
  echo q >"$r/PC2/Plain/café.txt"
}

corpus() {
  local dir=$1 cli=$2
  mkdir -p "$dir/lib" "$dir/pairs"
  for v in 0 1; do
    rm -rf "$dir/unc$v"
    make_tree "$dir/unc$v" "$v"
    for cp in 1252 932; do
      local shares="Docs;Media;Ünïcode"
      [ "$v" = 1 ] && shares="Docs;Media;Ünïcode;NewShare"
      f=$("$cli" capture --snapshots "$dir/lib" --group WG$cp --computer PC1 --shares "$shares" \
        --codepage $cp --unc-root "$dir/unc$v")
      cp "$f" "$dir/pairs/pc1-$cp-$v.mirvaul"
      # Only names that fit the code page: the file stays in ANSI.
      f=$("$cli" capture --snapshots "$dir/lib" --group WG$cp --computer PC2 --shares "Plain" \
        --codepage $cp --unc-root "$dir/unc$v")
      cp "$f" "$dir/pairs/pc2-$cp-$v.mirvaul"
      sleep 1
    done
  done
  local g="$dir/pairs"
  awk -v lines=20000 -v computer=GEN -v seed=3 -v variant=0 -f "$here/make_snapshot.awk" >"$g/gen-0.mirvaul"
  awk -v lines=20000 -v computer=GEN -v seed=3 -v variant=1 -f "$here/make_snapshot.awk" >"$g/gen-1.mirvaul"
  # Damaged: cut short (no END), a NUL inside lines, lone CRs and bare LFs, a share twice,
  # an unclosed last share, no header, no share, duplicate entries.
  head -c 9000 "$g/gen-1.mirvaul" >"$g/cut.mirvaul"
  sed '200s/;;f;;/\x00;;f;;/; 300s/docx/do\x00cx/' "$g/gen-0.mirvaul" >"$g/nul.mirvaul"
  tr '\n' '\r' <"$g/pc1-1252-0.mirvaul" | sed 's/\r\r/\r/g' >"$g/cr.mirvaul"
  tr -d '\r' <"$g/pc1-1252-1.mirvaul" >"$g/lf.mirvaul"
  { head -n 20 "$g/gen-0.mirvaul"; printf 'SHARENAME: share0\r\ndup.txt;;f;;5;;1.1.2020\r\nProjects000\\quokka dup;;f;;6;;1.1.2020\r\n'
    printf 'Projects000\\quokka dup;;f;;7;;1.1.2020\r\nPROJECTS000\\QUOKKA DUP;;d;;0;;1.1.2020\r\nEND\r\n'; } >"$g/twice.mirvaul"
  { head -n 400 "$g/gen-0.mirvaul"; printf 'SHARENAME: Open\r\nquokka open.txt;;f;;1;;1.1.2020\r\n'; } >"$g/open.mirvaul"
  tail -n +3 "$g/gen-0.mirvaul" >"$g/noheader.mirvaul"
  head -n 6 "$g/gen-0.mirvaul" >"$g/noshare.mirvaul"
  mkdir -p "$dir/lib2"
  cp "$g"/*.mirvaul "$dir/lib2/"
}

run() {
  local cli=$1 dir=$2 out=$3
  mkdir -p "$out"
  local n=0
  for lib in lib lib2; do
    for args in "*" "*.txt" "r*sum*" "quokka" "*quokka*.pdf|--files" "level*|--dirs" "日本*" "*é*" \
      "IMG_0001.JPG|--latest" "*|--computer|PC2" "*|--group|WG932|--codepage|932"; do
      IFS='|' read -r -a a <<<"$args"
      n=$((n + 1))
      "$cli" find "$dir/$lib" "${a[@]}" >"$out/find-$lib-$n.txt" 2>&1; echo "rc $?" >>"$out/find-$lib-$n.txt"
    done
  done
  local p="$dir/pairs"
  for pair in pc1-1252-0:pc1-1252-1 pc1-932-0:pc1-932-1 pc1-1252-0:pc1-932-1 pc2-1252-0:pc2-932-1 \
    pc1-1252-1:pc1-1252-0 gen-0:gen-1 gen-0:cut gen-0:nul gen-0:twice twice:gen-0 gen-0:open \
    cr:lf pc1-1252-0:cr lf:pc1-1252-1 gen-1:gen-1 gen-0:noheader noshare:gen-0 pc2-1252-0:gen-0; do
    a=${pair%%:*} b=${pair#*:}
    for cp in 1252 932; do
      "$cli" diff "$p/$a.mirvaul" "$p/$b.mirvaul" --codepage $cp >"$out/diff-$a-$b-$cp.txt" 2>&1
      echo "rc $?" >>"$out/diff-$a-$b-$cp.txt"
    done
  done
  for f in "$p"/*.mirvaul; do
    b=$(basename "$f" .mirvaul)
    for fmt in csv efu json html; do
      "$cli" export "$f" --format $fmt -o "$out/export-$b.$fmt" >"$out/export-$b.$fmt.log" 2>&1
      echo "rc $?" >>"$out/export-$b.$fmt.log"
    done
    "$cli" export "$f" --format csv --excel-safe --codepage 932 >"$out/export-$b-safe.csv" 2>&1
    echo "rc $?" >>"$out/export-$b-safe.csv"
  done
}

case "${1:-}" in
  corpus) corpus "$2" "${3:-$(cd "$here/../.." && pwd)/build/release/cli/mirrorvault-cli}" ;;
  run) run "$2" "$3" "$4" ;;
  *) echo "usage: $0 corpus DIR [CLI] | run CLI DIR OUT" >&2; exit 2 ;;
esac
