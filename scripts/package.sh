#!/usr/bin/env bash
# Builds the Debian packages from this tree with debhelper (debian/) and
# checks them with lintian:
#
#   scripts/package.sh [OUT_DIR]      (default out/deb)
#
# quellix (the program, quellixctl, skin, defaults, desktop and udev files),
# quellix-tools (quellix-sim) and their -dbgsym packages land in OUT_DIR
# with the .changes file and lintian's report (lintian.txt).  The build runs
# in a copy of the tree (tracked and not-ignored files, so uncommitted
# changes count) in a temporary folder: the tree and its parent stay clean.
# Installs the build dependencies first when run as root.  Fails when
# lintian reports an error or a warning.
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-out/deb}")

tools=(dpkg-dev debhelper fakeroot lintian)
missing=()
for p in "${tools[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [[ $(id -u) -eq 0 ]]; then
    export DEBIAN_FRONTEND=noninteractive
    if ((${#missing[@]})); then
        apt-get update -qq
        apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
    fi
    # Build-Depends of debian/control.
    if ! dpkg-checkbuilddeps 2>/dev/null; then
        apt-get build-dep -y -qq ./ >/dev/null
    fi
elif ((${#missing[@]})); then
    echo "package: missing packages: ${missing[*]}; run as root or install them" >&2
    exit 1
fi

# The packaged version is the project's.
project_version=$(sed -n 's/^project(quellix.*VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
package_version=$(dpkg-parsechangelog -S Version)
if [[ ${package_version%%-*} != "$project_version" ]]; then
    echo "package: debian/changelog says $package_version, CMakeLists.txt $project_version;" \
        "add a debian/changelog entry (dch -v $project_version)" >&2
    exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
src=$work/quellix-$project_version
mkdir "$src"
git ls-files -z --cached --others --exclude-standard |
    while IFS= read -r -d '' f; do [[ -e $f ]] && printf '%s\0' "$f"; done |
    tar --null -T - -cf - | tar -xf - -C "$src"

echo "package: building quellix $package_version in $src"
mkdir -p "$out"
rm -f "$out"/*.deb "$out"/*.changes "$out"/*.buildinfo "$out"/lintian.txt "$out"/build.log
(cd "$src" && dpkg-buildpackage -b -uc -us -j"$(nproc)") >"$out/build.log" 2>&1 || {
    tail -50 "$out/build.log"
    echo "package: dpkg-buildpackage failed (the whole log: $out/build.log)" >&2
    exit 1
}
compiler_warning='^[^ ]+:[0-9]+:[0-9]+: warning:'
if grep -qE "$compiler_warning" "$out/build.log"; then
    grep -E "$compiler_warning" "$out/build.log" | sort -u
    echo "package: the compiler warned (with Debian's hardening flags)" >&2
    exit 1
fi
cp "$work"/*.deb "$work"/*.changes "$work"/*.buildinfo "$out"/
changes=$(echo "$out"/*.changes)

# Warnings and errors fail; the informational tags are reported too.
status=0
lintian --info --display-info --fail-on error,warning "$changes" >"$out/lintian.txt" 2>&1 ||
    status=$?
echo "package: lintian ($(wc -l <"$out/lintian.txt") lines; $out/lintian.txt)"
cat "$out/lintian.txt"
if ((status)); then
    echo "package: lintian found errors or warnings" >&2
    exit 1
fi
ls -1 "$out"/*.deb
