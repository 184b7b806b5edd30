#!/usr/bin/env bash
# Installs the built programs into a scratch root and checks every installed
# file as the desktop's tools read it.
#   check_install.sh install BUILD SCRATCH   cmake --install with DESTDIR
#   check_install.sh deb BUILD SCRATCH       the Debian package, unpacked with dpkg-deb -x
# The validators are used where they are installed (tools/install-deps.sh
# installs them); without one its file is checked for the required parts.
set -uo pipefail
mode=$1 build=$2 scratch=$3 cpack=${CPACK:-cpack}
root=$scratch/root usr=$scratch/root/usr
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
has() { command -v "$1" >/dev/null 2>&1; }

rm -rf "$scratch" && mkdir -p "$scratch" || exit 1
case $mode in
  install)
    DESTDIR=$root cmake --install "$build" --prefix /usr --strip >"$scratch/install.log" 2>&1 ||
      { cat "$scratch/install.log"; exit 1; }
    ;;
  deb)
    if ! has dpkg-deb || ! has dpkg-shlibdeps; then
      echo "dpkg-deb or dpkg-shlibdeps (dpkg-dev) is missing"
      exit 77
    fi
    "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/deb" >"$scratch/cpack.log" 2>&1 ||
      { cat "$scratch/cpack.log"; exit 1; }
    deb=$(echo "$scratch"/deb/tavlin_"$version"_*.deb)
    [ -f "$deb" ] || { echo "no package in $scratch/deb"; exit 1; }
    dpkg-deb -x "$deb" "$root" || exit 1
    depends=$(dpkg-deb -f "$deb" Depends)
    for lib in libc6 libqt6widgets6 libpng16-16 libgif7; do
      [[ $depends == *"$lib ("* ]] || fail "the package does not depend on $lib: $depends"
    done
    stray=$(dpkg-deb -c "$deb" | awk '{print $6}' | grep -v '^\./usr/' | grep -v '^\./$')
    [ -z "$stray" ] && [ ! -d "$root/usr/lib" ] || fail "files outside /usr/bin and /usr/share: $stray"
    for field in Homepage Suggests; do
      [ -n "$(dpkg-deb -f "$deb" $field)" ] || fail "the package has no $field"
    done
    # Debian's package checker accepts the package: no error, no warning.
    if has lintian; then
      tags=$(lintian --no-tag-display-limit --fail-on none "$deb" 2>&1 | grep -E '^[EW]: ')
      [ -z "$tags" ] || fail "lintian reports:
$tags"
    else
      fail "lintian is not installed (tools/install-deps.sh installs it)"
    fi
    ;;
  *) echo "unknown mode $mode"; exit 2 ;;
esac

# The programs are stripped, built with Debian's hardening, and come with
# the copyright file and the changelog.
for program in tavlin tavlin-cli; do
  file=$usr/bin/$program
  [ -f "$file" ] || continue
  if has readelf; then
    # Read whole first: grep -q ending early would fail the pipe.
    sections=$(readelf -S -W "$file") dynamic=$(readelf -d -W "$file") symbols=$(readelf --dyn-syms -W "$file")
    grep -q '\.symtab' <<<"$sections" && fail "$program is not stripped"
    # A sanitizer build, or one configured without them, has no hardening flags to check.
    if [ "${HARDENED:-ON}" = ON ]; then
      grep -q 'BIND_NOW\|FLAGS.*NOW' <<<"$dynamic" || fail "$program is not bound at once (-z now)"
      grep -q '__[a-z_]*_chk' <<<"$symbols" || fail "$program has no fortified calls"
    fi
  fi
done
[ -s "$usr/share/doc/tavlin/copyright" ] || fail "no copyright file"
gzip -t "$usr/share/doc/tavlin/changelog.gz" 2>/dev/null || fail "no changelog.gz"

# The programs run, without a display, and say their version and usage.
for program in tavlin tavlin-cli; do
  [ -x "$usr/bin/$program" ] || fail "$program is not installed"
  out=$(env -u DISPLAY -u WAYLAND_DISPLAY "$usr/bin/$program" --version 2>&1)
  [ "$out" = "$program $version" ] || fail "$program --version says '$out'"
  out=$(env -u DISPLAY -u WAYLAND_DISPLAY "$usr/bin/$program" --help 2>&1)
  [[ $out == "Usage: $program "* ]] || fail "$program --help says '$out'"
done

# The desktop entry opens RIC files with the program on the PATH and shows the icon.
entry=$usr/share/applications/tavlin.desktop
if has desktop-file-validate; then
  out=$(desktop-file-validate "$entry" 2>&1) && [ -z "$out" ] || fail "desktop entry: $out"
fi
for line in 'Exec=tavlin %f' 'Icon=tavlin' 'MimeType=application/x-lego-mindstorms-ric;'; do
  grep -qxF "$line" "$entry" || fail "the desktop entry lacks '$line'"
done

# The file types, compiled as the system compiles them.
mime=$scratch/mime
mkdir -p "$mime/packages" && cp "$usr/share/mime/packages/tavlin.xml" "$mime/packages/"
if has xmllint; then xmllint --noout "$mime/packages/tavlin.xml" || fail "the MIME package is no XML"; fi
if has update-mime-database; then
  update-mime-database "$mime" >/dev/null 2>&1 || fail "update-mime-database refuses the MIME package"
  compiled=$(cat "$mime/globs2" "$mime/subclasses" 2>/dev/null)
else
  compiled=$(tr -d '\n' <"$mime/packages/tavlin.xml")
fi
for claim in ':application/x-lego-mindstorms-ric:\*\.ric$' ':text/x-ricscript:\*\.rs$' '^text/x-ricscript text/plain$'; do
  has update-mime-database || break
  grep -q "$claim" <<<"$compiled" || fail "the compiled file types lack $claim"
done

# The icon: one PNG for each size and the drawing itself.
for size in 16 22 24 32 48 64 128 256; do
  png=$usr/share/icons/hicolor/${size}x${size}/apps/tavlin.png
  # The signature, then the header's width and height as big-endian words.
  header=$(od -An -tx1 -N24 "$png" 2>/dev/null | tr -d ' \n')
  expected=$(printf '89504e470d0a1a0a0000000d49484452%08x%08x' "$size" "$size")
  [ "$header" = "$expected" ] || fail "$png is not a $size x $size PNG"
done
svg=$usr/share/icons/hicolor/scalable/apps/tavlin.svg
grep -q '<svg' "$svg" || fail "no scalable icon"
if has xmllint; then xmllint --noout "$svg" || fail "the scalable icon is no XML"; fi

# The software-centre description names the entry and passes the validator.
metainfo=$(echo "$usr"/share/metainfo/*.metainfo.xml)
grep -qF '<launchable type="desktop-id">tavlin.desktop</launchable>' "$metainfo" ||
  fail "the metainfo does not launch tavlin.desktop"
if has appstreamcli; then
  out=$(appstreamcli validate --no-net "$metainfo" 2>&1) || fail "appstreamcli: $out"
else
  for tag in id metadata_license project_license name summary description; do
    grep -q "<$tag>" "$metainfo" || fail "the metainfo lacks <$tag>"
  done
fi

# The manual pages format without warnings.
for page in tavlin tavlin-cli; do
  file=$usr/share/man/man1/$page.1.gz
  text=$(gzip -dc "$file") || { fail "$file is no gzip file"; continue; }
  grep -q "^\.TH .*Tavlin $version" <<<"$text" || fail "$page(1) does not name version $version"
  if has groff; then
    out=$(LC_ALL=C.UTF-8 groff -man -Tutf8 -ww -z <<<"$text" 2>&1)
    [ -z "$out" ] || fail "$page(1): $out"
  fi
done

# The completion offers the commands, a command's options and the files each place takes.
completion=$usr/share/bash-completion/completions/tavlin-cli
mkdir -p "$scratch/files/folder" && touch "$scratch"/files/{a.ric,B.RIC,c.rs,d.png,e.txt,f.rpa}
out=$(cd "$scratch/files" && bash -c '
  source "$0" || exit 1
  complete -p tavlin-cli >/dev/null || exit 1
  offer() {
    COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _tavlin_cli
    printf "%s\n" "${COMPREPLY[@]}" | sort | tr "\n" " "; echo "|"
  }
  offer tavlin-cli ""
  offer tavlin-cli render a.ric --z
  offer tavlin-cli render ""
  offer tavlin-cli render --zoom 2 a.ric ""
  offer tavlin-cli render a.ric out.png --params ""
  offer tavlin-cli render a.ric out.png --brick ""
  offer tavlin-cli check --brick lego ""' "$completion" 2>&1)
expected='--help --version check convert dump help info render |
--zoom |
B.RIC a.ric c.rs folder |
d.png folder |
f.rpa folder |
enhanced131 enhanced132 lego |
B.RIC a.ric c.rs folder |'
[ "$out" = "$expected" ] || fail "the completion offers:
$out
instead of:
$expected"

[ "$failures" -eq 0 ] || exit 1
echo "the installed files are complete and valid ($mode)"
