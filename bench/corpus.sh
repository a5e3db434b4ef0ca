# Sourced by the benchmarks, from the repository root with `root`, `size` and
# `rux` set: builds build/ (rux unless --rux named another binary), makes
# bench/data and bench/out, and generates the corpus of `size` MB once. Sets
# `data`, `work` and `corpus`.
bash scripts/build.sh build >/dev/null
[ -n "$rux" ] || rux=$root/build/rux
data=$root/bench/data
work=$root/bench/out
mkdir -p "$data" "$work"
corpus=$data/corpus-$size.txt
[ -f "$corpus" ] || "$root/build/rux_corpus" "$size" "$corpus"
