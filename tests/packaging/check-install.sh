#!/bin/sh
# Usage: check-install.sh <cmake> <build-dir> <expected absolute path>...
# Installs the build under /usr into a staging directory and checks that it
# holds exactly the expected files, that each installed program finds all of
# its shared libraries outside the build tree, and that each desktop entry
# starts an installed program and shows an installed icon.
set -eu
cmake=$1 build=$2
shift 2
staging=$(mktemp -d)
trap 'rm -rf "$staging"' EXIT
root="$staging/root"

DESTDIR="$root" "$cmake" --install "$build" --prefix /usr >/dev/null

printf '%s\n' "$@" | sort >"$staging/expected"
(cd "$root" && find . ! -type d | sed 's|^\.||' | sort) >"$staging/installed"
if ! diff -u "$staging/expected" "$staging/installed"; then
  echo "installed files differ from the expected ones (- expected, + installed)"
  exit 1
fi

for program in "$root"/usr/bin/*; do
  [ -x "$program" ] || { echo "$program is not executable"; exit 1; }
  if ldd "$program" | grep 'not found'; then
    echo "$program misses the libraries above"
    exit 1
  fi
done

for entry in "$root"/usr/share/applications/*.desktop; do
  program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")
  icon=$(sed -n 's/^Icon=//p' "$entry")
  [ -x "$root/usr/bin/$program" ] || { echo "$entry starts $program, which is not installed"; exit 1; }
  if [ -z "$(find "$root/usr/share/icons" -name "$icon.*")" ]; then
    echo "$entry shows icon $icon, which is not installed"
    exit 1
  fi
done
