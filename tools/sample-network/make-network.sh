#!/bin/sh
# Writes a network description of any size for the sample network provider (and for the
# in-memory network of the benchmarks): GROUPS groups GROUP1.., each with COMPUTERS computers
# G<g>PC<c>, each with SHARES shares SHARE1..
#
#   tools/sample-network/make-network.sh [GROUPS [COMPUTERS [SHARES]]] > network.txt
#
# The defaults give a large company network: 200 groups, 5,000 computers, 20,000 shares.
set -eu
groups=${1:-200}
computers=${2:-25}
shares=${3:-4}
awk -v groups="$groups" -v computers="$computers" -v shares="$shares" 'BEGIN {
  printf "# %d groups, %d computers each, %d shares each\n", groups, computers, shares
  for (g = 1; g <= groups; g++) {
    printf "group GROUP%d\n", g
    for (c = 1; c <= computers; c++) {
      printf "  computer G%dPC%d\n", g, c
      for (s = 1; s <= shares; s++) printf "    share SHARE%d\n", s
    }
  }
}'
