# Shared by the fuzz smoke run (sanitize-and-fuzz.sh) and the long run (fuzz-long.sh); sourced.

# Configures and builds every libFuzzer target into build/fuzz (clang, no Qt front end).
fuzz_build() {
  CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DORVEK_FUZZ=ON -DORVEK_GUI=OFF -DORVEK_BENCH=OFF -DORVEK_TESTS=OFF
  cmake --build build/fuzz -j"$(nproc)"
}

# The built targets, one path a line.
fuzz_targets() {
  for target in build/fuzz/fuzz/fuzz_*; do
    if [ -x "$target" ]; then echo "$target"; fi
  done
}

# Fills the working corpus folder $2 of target $1 with the sample files and the target's seeds.
fuzz_seed_corpus() {
  mkdir -p "$2"
  cp samples/*.cdd "$2"/ 2>/dev/null || true
  cp fuzz/corpus/"$1"/* "$2"/ 2>/dev/null || true
}
