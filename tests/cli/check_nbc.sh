#!/usr/bin/env bash
# Compiles what `tavlin-cli convert` exports with Debian's NXC/NBC compiler
# (`nbc -EF`, the enhanced firmware's GraphicArrayOut) and checks that the
# compiled program holds the picture's bytes, in one piece, for the real files
# of tests/data and for generated documents; also the README's recipes as
# they stand, and the include guard and --name that let one program hold two
# exports. The compiler is used for nothing but compiling.
#   check_nbc.sh TAVLIN-CLI DATA README SCRATCH
set -uo pipefail
cli=$1 data=$2 readme=$3 scratch=$4
if ! command -v nbc >/dev/null 2>&1; then
  echo "nbc is not installed (tools/install-deps.sh installs Debian's nbc package)"
  exit 77
fi
rm -rf "$scratch" && mkdir -p "$scratch" && cd "$scratch" || exit 1
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
# nbc prints its progress on standard output; only a failure shows it.
compile() {
  local log=$1.log
  nbc "$@" >"$log" 2>&1 || { fail "nbc $*: $(grep -i -m5 error "$log")"; return 1; }
}
# Whether the compiled program holds the bytes of RIC file $2 in one piece.
# The bytes of a file as hexadecimal pairs, one space between them.
hexbytes() { od -An -v -tx1 "$1" | tr -s ' \n' '  ' | sed 's/^ //; s/ $//'; }
holds() { [[ " $(hexbytes "$1") " == *" $(hexbytes "$2") "* ]]; }

# Generated documents: every element kind, parameters, odd sprite rows, and
# one of nearly 65,535 bytes, the most an array holds.
{
  echo 'desc( 0, 100, 64 );'
  echo 'sprite( 1, 0110, 1111, 0X9F );'
  echo 'varmap( 2, f( 0)= 0, f( 255)= 100 );'
  echo 'copybits( 0, 1, 0, 0, 8, 2, arg(3), maparg( 2, 4 ) );'
  echo 'pixel( 0, 10, arg(5), 0 );'
  echo 'line( 4, 0, 0, 99, 63 );'
  echo 'rect( 32, 10, 10, 20, 8 );'
  echo 'circle( 0, 50, 32, 10 );'
  echo 'numbox( 0, 0, 0, maparg( 1, 7 ) );'
  echo 'ellipse( 0, 50, 32, 20, 10 );'
  echo 'polygon( 0, 10, 10, 90, 10, 50, arg(2) );'
} >kinds.rs
{
  echo 'desc( 0, 100, 64 );'
  for ((i = 0; i < 4680; i++)); do echo "line( 0, $((i % 100)), $((i % 64)), 99, 63 );"; done
} >large.rs
for script in kinds large; do
  "$cli" convert "$script.rs" "$script.ric" || fail "$script.rs does not convert"
done
[ "$(stat -c %s large.ric)" -gt 65000 ] || fail "large.ric has $(stat -c %s large.ric) bytes"

for ric in "$data"/*.ric kinds.ric large.ric; do
  name=$(basename "$ric" .ric)
  for style in macros bytes nbc; do
    out=$name-$style
    if [ $style = nbc ]; then
      "$cli" convert "$ric" "$out.nbc" --name pic || { fail "$ric: no NBC export"; continue; }
      printf '#include "%s.nbc"\nthread main\n  GraphicArrayOut(0, 0, pic)\n  exit\nendt\n' "$out" >"$out-main.nbc"
      compile -EF -O="$out.rxe" "$out-main.nbc" || continue
    else
      "$cli" convert "$ric" "$out.nxc" --style $style --name pic || { fail "$ric: no NXC export"; continue; }
      # Included twice: the guard keeps it one array.
      printf '#include "%s.nxc"\n#include "%s.nxc"\ntask main() { GraphicArrayOut(0, 0, pic); }\n' \
        "$out" "$out" >"$out-main.nxc"
      compile -EF -O="$out.rxe" "$out-main.nxc" || continue
    fi
    holds "$out.rxe" "$ric" || fail "$out.rxe does not hold the bytes of $ric"
  done
done

# Two files whose default names would clash, told apart by --name.
cp "$data/letters.ric" a-b.ric && cp "$data/two-circles.ric" a_b.ric
"$cli" convert a-b.ric one.nxc --name one && "$cli" convert a_b.ric two.nxc --name two ||
  fail "--name exports"
printf '#include "one.nxc"\n#include "two.nxc"\ntask main() { GraphicArrayOut(0, 0, one); GraphicArrayOut(0, 0, two); }\n' >both.nxc
compile -EF -O=both.rxe both.nxc && { holds both.rxe a-b.ric && holds both.rxe a_b.ric || fail "both.rxe lacks a picture"; }

# The README's recipes, copied as they stand: the NXC program with the export
# of gauge.ric, compiled as the README says (-EF), and the standard
# firmware's, compiled without it.
cp "$data/numgrid.ric" gauge.ric && "$cli" convert gauge.ric gauge.nxc || fail "gauge.nxc"
awk '/^```c$/ { n++; inside = 1; next } /^```$/ { inside = 0 } inside { print > ("recipe" n ".nxc") }' "$readme"
[ -f recipe1.nxc ] && [ -f recipe2.nxc ] || fail "the README has no two NXC recipes"
grep -q 'nbc -EF -O=gauge.rxe main.nxc' "$readme" || fail "the README does not compile with nbc -EF"
cp recipe1.nxc main.nxc && compile -EF -O=gauge.rxe main.nxc && { holds gauge.rxe gauge.ric || fail "gauge.rxe lacks gauge.ric"; }
cp recipe2.nxc main.nxc && compile -O=stock.rxe main.nxc

[ "$failures" -eq 0 ] || exit 1
echo "every export compiles with nbc -EF and holds its picture's bytes"
