#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# desktop_install.sh BUILD_DIR: installs into a temporary prefix and checks what the desktop
# reads there (validators, the program's --version, the manual page), then builds the Debian
# package and checks it with lintian and by unpacking it.
set -uo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
id=org.ostrel.Radio
icons="scalable/apps/$id.svg $(for s in 16 22 24 32 48 64 128 256; do printf '%sx%s/apps/%s.png ' $s $s $id; done)"

# Where a desktop looks: the entry, the metadata, every icon and the manual page.
check_layout() {
    local root=$1 f
    for f in bin/ostrel-radio share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
             share/man/man1/ostrel-radio.1.gz share/doc/ostrel-radio/copyright; do
        [ -f "$root/$f" ] || fail "$root/$f is missing"
    done
    for f in $icons; do [ -f "$root/share/icons/hicolor/$f" ] || fail "icon $f is missing"; done
}

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" > "$work/install.log" 2>&1 || { cat "$work/install.log"; fail "install"; }
check_layout "$prefix"
desktop-file-validate "$prefix/share/applications/$id.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" || fail "appstreamcli validate"
version=$(env -u DISPLAY QT_QPA_PLATFORM=offscreen "$prefix/bin/ostrel-radio" --version)
[[ $version =~ ^Ostrel\ Radio\ [0-9]+\.[0-9]+ ]] || fail "the installed program says '$version' to --version"
zcat "$prefix/share/man/man1/ostrel-radio.1.gz" | grep -q -- 'configure\\-cloud' || fail "the manual page lacks the options"

cpack -G DEB -B "$work/deb" --config "$build/CPackConfig.cmake" > "$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; fail "cpack"; }
deb=$(ls "$work"/deb/*.deb 2>/dev/null | head -n 1)
if [ -z "$deb" ]; then
    fail "no package was built"
else
    # Dependencies come from dpkg-shlibdeps: the Qt and C libraries appear without being listed.
    depends=$(dpkg-deb -f "$deb" Depends)
    [[ $depends == *libc6* && $depends == *libqt6widgets6* ]] || fail "Depends lacks the libraries: $depends"
    lintian --fail-on error --tag-display-limit 0 "$deb" > "$work/lintian.log" 2>&1 || fail "lintian reports errors"
    grep -v "root privileges" "$work/lintian.log"
    dpkg-deb -x "$deb" "$work/unpacked"
    check_layout "$work/unpacked/usr"
fi
echo "$((failures == 0)) passed, $failures failed"
[ $failures -eq 0 ]
