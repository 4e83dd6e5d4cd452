# One generated snapshot on standard output, with exactly `lines` non-empty lines (CR LF):
# four shares of 64 directories, the files spread over the directories. Names mix a few
# words; about one in a thousand holds "Quokka" (what the find benchmark looks for).
# variant=1 gives the same snapshot with 1% of its files changed: half of them in size, half
# renamed (one entry removed, one added).
# awk -v lines=N -v computer=NAME -v seed=S -v variant=0|1 -f make_snapshot.awk
BEGIN {
  ORS = "\r\n"
  split("report invoice budget photo scan draft notes backup setup archive letter summary " \
        "minutes plan schedule contract", words, " ")
  split("docx pdf xlsx jpg png txt zip iso msi pptx", exts, " ")
  print "Mirrorvault file"; print "VERSION: 1.0"; print "COMPUTER: " computer
  print "GROUP: BENCH"; print "DATE CREATED: 05.12.2026 09:04:05"; print ""
  shares = 4; dirs = 64
  files = lines - 5 - shares * (1 + dirs) - 1
  per = int(files / (shares * dirs)); extra = files - per * shares * dirs; k = 0; n = 0
  for (s = 0; s < shares; s++) {
    print "SHARENAME: Share" s
    for (d = 0; d < dirs; d++)
      printf "Projects%03d;;d;;0;;%d.%d.%d\r\n", d, d % 12 + 1, d % 28 + 1, 2000 + d % 20
    for (d = 0; d < dirs; d++) {
      count = per + (k < extra ? 1 : 0); k++
      for (f = 0; f < count; f++) {
        n++
        h = (n * 2654435761 + seed * 97) % 1000003
        word = words[h % 16 + 1]
        if (h % 1000 == 7) word = word " Quokka"
        size = (h * 7919) % 50000000
        tail = "final"
        if (variant == 1 && (n * 40503) % 100 == 0) {
          if (int(n / 100) % 2) size++; else tail = "draft"
        }
        printf "Projects%03d\\%s %06d %s.%s;;f;;%d;;%d.%d.%d\r\n", d, word, n, tail,
               exts[int(h / 1000) % 10 + 1], size, h % 12 + 1, h % 28 + 1, 2000 + h % 25
      }
    }
  }
  print "END"
}
