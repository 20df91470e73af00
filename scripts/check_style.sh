#!/usr/bin/env bash
# Checks the house rules a reader relies on to find things: file names, test file names, include paths,
# the include folders the libraries export, the first letter of type names, and include arrows against the
# libraries' links. Prints every breach and exits 1 when there is one. The rules themselves are in
# CONTRIBUTING.md.
set -uo pipefail
cd "$(dirname "$0")/.."

failures=0
fail() {
  echo "style: $*"
  failures=$((failures + 1))
}

mapfile -t sources < <(git ls-files -co --exclude-standard -- src tests tools bench | grep -E '\.(h|cpp)$')

# 1. File names are snake_case nouns.
for f in "${sources[@]}"; do
  base=$(basename "$f")
  [[ $base =~ ^[a-z0-9_]+\.(h|cpp)$ ]] || fail "$f: file names are snake_case (lower case, digits, _)"
done

# 2. Tests are tests/<folder>/<source>_test.cpp (or <source>_<aspect>_test.cpp), and only such files hold
#    test cases. Tests of a tool are named after the tool.
for f in "${sources[@]}"; do
  [[ $f == tests/* ]] || continue
  base=$(basename "$f")
  # tests/app/editor mirrors src/app/editor: the folder is the whole path below tests/.
  folder=$(dirname "${f#tests/}")
  if [[ $base == *_test.cpp ]]; then
    stem=${base%_test.cpp}
    if [[ $folder == tools ]]; then
      tool_dirs=$(ls tools | tr '-' '_')
      ok=0
      for t in $tool_dirs; do [[ $stem == "$t" || $stem == "$t"_* ]] && ok=1; done
      [ $ok -eq 1 ] || fail "$f: a tool's test is named <tool>_test.cpp"
      continue
    fi
    if [ ! -d "src/$folder" ]; then
      fail "$f: tests/$folder has no src/$folder to mirror"
      continue
    fi
    ok=0
    for s in src/"$folder"/*.cpp src/"$folder"/*.h src/"$folder"/*/*.cpp src/"$folder"/*/*.h; do
      [ -e "$s" ] || continue
      s=$(basename "$s")
      s=${s%.*}
      [[ $stem == "$s" || $stem == "$s"_* ]] && ok=1 && break
    done
    [ $ok -eq 1 ] || fail "$f: no src/$folder/<source> named like ${stem}"
  elif [[ $base == *.cpp ]] && grep -qE '^(TEST|TEST_F|TEST_P|TYPED_TEST)\(' "$f"; then
    fail "$f: holds test cases, so it is named <source>_test.cpp"
  fi
done

# 2b. The main window is put together in one place: only the program's entry point, the window itself and
#     its own tests (and the benchmarks that time it) name its header. The editor, the measure tools and the
#     frame are handed the scene session instead.
while IFS= read -r f; do
  case "$f" in
    src/app/main.cpp | src/app/window/* | tests/app/window/* | tests/support/window_fixture.* | bench/app/timer_rate_bench.cpp | bench/app/paused_cpu_bench.cpp) ;;
    *) fail "$f: includes app/window/main_form.h; hand it the scene session instead" ;;
  esac
done < <(grep -lE '#[[:space:]]*include[[:space:]]+"app/window/main_form\.h"' "${sources[@]}")

# 3. Project headers are included by their path from src/ (tests and benchmarks also from tests/, a tool
#    also from tools/); never by a bare name that only works through a folder's own include path.
for f in "${sources[@]}"; do
  case "$f" in
    src/*) roots=(src) ;;
    tests/* | bench/*) roots=(src tests) ;;
    tools/*) roots=(src tools) ;;
  esac
  while IFS= read -r inc; do
    found=0
    for r in "${roots[@]}"; do [ -f "$r/$inc" ] && found=$((found + 1)); done
    if [ $found -eq 0 ]; then
      fail "$f: #include \"$inc\" is not a path from ${roots[*]// / or }/"
    elif [ $found -gt 1 ]; then
      fail "$f: #include \"$inc\" names files in more than one of ${roots[*]}"
    elif [[ $inc != */* ]]; then
      fail "$f: #include \"$inc\" needs its folder"
    fi
  done < <(sed -nE 's/^[[:space:]]*#[[:space:]]*include[[:space:]]+"([^"]+)".*/\1/p' "$f")
done

# 4. A library under src/ exports src/ and nothing else.
while IFS= read -r line; do
  file=${line%%:*}
  [[ $line == *'${PROJECT_SOURCE_DIR}/src)'* ]] || fail "$file: a library exports \${PROJECT_SOURCE_DIR}/src only: ${line#*:}"
done < <(grep -Hn 'target_include_directories' $(git ls-files 'src/*CMakeLists.txt'))

# 5. Types start with T (interfaces with I); exceptions start with E.
for f in "${sources[@]}"; do
  [[ $f == src/* || $f == tools/* || $f == tests/support* ]] || continue
  while IFS= read -r name; do
    [[ $name =~ ^[TIE][A-Z0-9] ]] || fail "$f: type $name starts with T (an interface with I, an exception with E)"
  done < <(sed -nE 's/^[[:space:]]*(class|struct|enum class|enum)[[:space:]]+([A-Za-z_][A-Za-z0-9_]*)[[:space:]]*(:[^:]|\{|;|$).*/\2/p' "$f" |
    grep -vE '^(GLUquadric|Q[A-Z][A-Za-z0-9]*|sigaction|stat)$')  # Qt's own classes, declared ahead
  while IFS= read -r name; do
    [[ $name =~ ^E[A-Z] ]] || fail "$f: exception $name starts with E"
  done < <(sed -nE 's/^[[:space:]]*class[[:space:]]+([A-Za-z_][A-Za-z0-9_]*)[[:space:]]*:[[:space:]]*public[[:space:]]+std::[a-z_]*(error|exception)\b.*/\1/p' "$f")
done

# 6. Include arrows follow the libraries' links: a file includes headers of its own target and of the targets
#    it links (directly or through their public links) only, so never one of a higher layer.
if command -v python3 >/dev/null; then
  while IFS= read -r breach; do
    fail "$breach"
  done < <(python3 scripts/check_include_layers.py)
else
  fail "python3 is needed to check the include layers (scripts/check_include_layers.py)"
fi

if [ $failures -gt 0 ]; then
  echo "style: $failures breach(es); see CONTRIBUTING.md"
  exit 1
fi
echo "style: file names, includes, include layers and type names follow the house rules"
