#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package from the build tree and checks it as a packager would: lintian
# with no error and no warning, the desktop entry, the AppStream metadata, the copyright
# file, the manual pages against --help, and one version everywhere. Needs no network.
# usage: check_package.sh CPACK BUILD_DIR VERSION WORK_DIR
set -euo pipefail
cpack=$1 build=$2 version=$3 work=$4
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

rm -rf "$work"
mkdir -p "$work"
if ! "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log" >&2
  echo "FAIL: cpack" >&2
  exit 1
fi
deb=$(echo "$work"/quillon_*.deb)
root=$work/root
dpkg-deb -x "$deb" "$root"

# lintian: overrides, if any, are installed with the package, each with its reason.
lintian --fail-on error,warning --display-info "$deb" >"$work/lintian.log" 2>&1 && lint=0 || lint=$?
grep -E '^[EWI]:' "$work/lintian.log" >&2 || true
[ "$lint" -eq 0 ] || fail "lintian on $(basename "$deb")"

desktop=$root/usr/share/applications/quillon.desktop
out=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate"
[ -z "$out" ] || fail "desktop-file-validate: $out"

metainfo=$(echo "$root"/usr/share/metainfo/*.metainfo.xml)
appstreamcli validate --no-net --strict "$metainfo" >&2 || fail "appstreamcli validate $metainfo"

# Machine-readable copyright: parsed strictly, and every licence named has its text.
/usr/bin/python3 - "$root/usr/share/doc/quillon/copyright" <<'PY' || fail "copyright file"
import sys
from debian.copyright import Copyright

c = Copyright(open(sys.argv[1], encoding="utf-8"), strict=True)
texts = {p.license.synopsis for p in c.all_license_paragraphs()}
for files in c.all_files_paragraphs():
    for name in files.license.synopsis.replace(" and ", " or ").split(" or "):
        if not files.license.text and name not in texts:
            sys.exit(f"{files.files}: licence {name} has no text")
PY

# One version: the project's, in the package, the changelog, the metainfo and --version.
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "package version is not $version"
changelog=$(zcat "$root/usr/share/doc/quillon/changelog.gz" | dpkg-parsechangelog -l- -SVersion)
[ "$changelog" = "$version" ] || fail "changelog's latest entry is $changelog, not $version"
release=$(grep -o -m1 '<release version="[^"]*"' "$metainfo" | cut -d'"' -f2)
[ "$release" = "$version" ] || fail "metainfo's latest release is $release, not $version"

# No display: quillon must answer --help and --version before it looks for one.
nodisplay=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM)
for program in quillon quillon-decode; do
  first=$("${nodisplay[@]}" "$root/usr/bin/$program" --version | head -n 1) || fail "$program --version exits non-zero"
  [ "$first" = "$program $version" ] || fail "$program --version says \"$first\""
  ! "${nodisplay[@]}" "$root/usr/bin/$program" --version >/dev/full 2>/dev/null ||
    fail "$program --version on a full disk exits 0"

  page=$root/usr/share/man/man1/$program.1.gz
  if ! text=$(MANWIDTH=200 man --warnings -l "$page" 2>"$work/man.err"); then
    fail "man $page"
  fi
  [ ! -s "$work/man.err" ] || fail "man $page: $(cat "$work/man.err")"
  help=$("${nodisplay[@]}" "$root/usr/bin/$program" --help)
  for option in $(grep -o -E '(^|[ ,[])--?[a-z][a-z0-9-]*' <<<"$help" | tr -d ' ,[' | sort -u); do
    grep -q -e "$option" <<<"$text" || fail "$program(1) lacks $option of --help"
  done
done

[ "$failures" -eq 0 ] || exit 1
echo "package $(basename "$deb"): lintian, desktop entry, metainfo, copyright, versions, manual pages"
