# Sourced by the benchmarks, from the repository root with `root`, `size` and
# `rux` set: builds build/ (rux unless --rux named another binary), makes
# bench/data and bench/out, and generates the corpus of `size` MB once. Sets
# `data`, `work` and `corpus`. With `twin=1` it also writes, once, the corpus's UTF-8
# twin (each line converted by rux's own converter, CR LF kept) and sets `corpus_utf8`.
bash scripts/build.sh build >/dev/null
[ -n "$rux" ] || rux=$root/build/rux
data=$root/bench/data
work=$root/bench/out
mkdir -p "$data" "$work"
corpus=$data/corpus-$size.txt
[ -f "$corpus" ] || "$root/build/rux_corpus" "$size" "$corpus"
if [ "${twin:-0}" = 1 ]; then
  corpus_utf8=$data/corpus-$size.utf8.txt
  [ -f "$corpus_utf8" ] || "$root/build/rux_convert_bench" twin "$corpus" "$corpus_utf8" >/dev/null
fi
