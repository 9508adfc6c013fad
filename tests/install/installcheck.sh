#!/usr/bin/env bash
# The Debian package as a user's machine and the desktop's tools see it.
#   installcheck.sh package BUILD WORK         packs BUILD into WORK/package and unpacks the
#                                              package into WORK/root (the fixture of the others)
#   installcheck.sh CHECK BUILD WORK SOURCE    one check of the package or of what it unpacks to
set -euo pipefail

check=$1 build=$2 work=$3 source=${4:-}
root=$work/root
id=org.vimbrel.Vimbrel
entry=$root/usr/share/applications/$id.desktop
metainfo=$root/usr/share/metainfo/$id.metainfo.xml

fail() {
    echo "FAIL: $*" >&2
    exit 1
}
# The tools come with scripts/test (scripts/common.sh lists them).
need() { command -v "$1" >/dev/null || fail "$1 is missing: install the package $2"; }
package_file() { ls "$work"/package/vimbrel_*.deb; }

case "$check" in
package)
    need dpkg-shlibdeps dpkg-dev
    rm -rf "$work/package" "$root"
    cpack_command=$(dirname "$(command -v cmake)")/cpack
    "$cpack_command" -G DEB --config "$build/CPackConfig.cmake" -B "$work/package"
    dpkg-deb -x "$(package_file)" "$root"
    ;;

entry)
    need desktop-file-validate desktop-file-utils
    need update-desktop-database desktop-file-utils
    desktop-file-validate "$entry"
    # The entry must claim no file types: the desktop's type cache must not name it, so it can
    # never become the program that opens folders or pictures.
    cache=$(mktemp -d)
    trap 'rm -rf "$cache"' EXIT
    cp "$entry" "$cache/"
    update-desktop-database "$cache"
    if grep -s "$id" "$cache/mimeinfo.cache"; then fail "the menu entry claims file types"; fi
    ;;

metainfo)
    need appstreamcli appstream
    appstreamcli validate --no-net "$metainfo"
    ;;

lintian)
    need lintian lintian
    # Errors fail; warnings and notes are listed.
    lintian --fail-on error --display-info "$(package_file)" 2>&1 |
        { grep -v '^running with root' || true; }
    ;;

versions)
    # The program's own answer, the package, the store's release, the manual and the changelog
    # all name one version.
    program=$(cd "$(mktemp -d)" && "$root/usr/bin/vimbrel" --version)
    package=$(dpkg-deb -f "$(package_file)" Version)
    release=$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' "$metainfo")
    manual=$(zcat "$root/usr/share/man/man1/vimbrel.1.gz" | sed -n 's/^\.TH .*"Vimbrel \([^"]*\)".*/\1/p')
    changelog=$(zcat "$root/usr/share/doc/vimbrel/changelog.gz" | sed -n '1s/^vimbrel (\(.*\)).*/\1/p')
    printf 'program: %s\npackage: %s\nrelease: %s\nmanual: %s\nchangelog: %s\n' \
        "$program" "$package" "$release" "$manual" "$changelog"
    [ "$program" = "Vimbrel $package" ] || fail "the program says '$program', the package $package"
    for v in "$release" "$manual" "$changelog"; do
        [ "$v" = "$package" ] || fail "version $v beside the package's $package"
    done
    ;;

dependencies)
    # What the program loads at run time without linking it (the browser engine's process, the
    # TIFF and WebP codecs, Qt's Traditional Chinese texts): the packages that hold these files
    # on this machine are named in Depends.
    depends=" $(dpkg-deb -f "$(package_file)" Depends | sed 's/([^)]*)//g; s/[,|]/ /g') "
    for file in '*/QtWebEngineProcess' '*/qt6/plugins/imageformats/libqtiff.so' \
        '*/qt6/plugins/imageformats/libqwebp.so' '*/qt6/translations/qtbase_zh_TW.qm'; do
        owner=$(dpkg -S "$file" | head -n1 | cut -d: -f1)
        echo "$file: $owner"
        [[ "$depends" == *" $owner "* ]] || fail "$owner (for $file) is not in Depends:$depends"
    done
    ;;

paths)
    # Everything lies under /usr, and nothing installed points back into the build or source
    # folder.
    outside=$(find "$root" -mindepth 1 -maxdepth 1 ! -name usr)
    [ -z "$outside" ] || fail "installed outside /usr: $outside"
    found=$(grep -rlF -e "$build" -e "$source" "$root" || true)
    [ -z "$found" ] || fail "paths of the build left in: $found"
    ;;

start)
    # The menu entry's command, with the unpacked package first on PATH, opens a folder on the
    # offscreen platform in a home of its own, then ends cleanly on SIGTERM.
    home=$(mktemp -d)
    trap 'kill -KILL "${pid:-}" 2>/dev/null || true; rm -rf "$home"' EXIT
    mkdir -p "$home/pictures" "$home/runtime"
    chmod 700 "$home/runtime"
    cp "$root/usr/share/icons/hicolor/48x48/apps/$id.png" "$home/pictures/a.png"
    exec_line=$(sed -n 's/^Exec=//p' "$entry")
    read -r -a command <<<"${exec_line//%f/$home/pictures}"
    export PATH="$root/usr/bin:$PATH"
    [ "$(command -v "${command[0]}")" = "$root/usr/bin/vimbrel" ] ||
        fail "the entry starts '${command[0]}', not the installed program"
    env -u QTWEBENGINE_CHROMIUM_FLAGS -u QT_LOGGING_RULES QT_QPA_PLATFORM=offscreen \
        HOME="$home/home" XDG_CACHE_HOME="$home/cache" XDG_CONFIG_HOME="$home/config" \
        XDG_DATA_HOME="$home/data" XDG_RUNTIME_DIR="$home/runtime" \
        "${command[@]}" >"$home/out.log" 2>&1 &
    pid=$!
    page=$home/cache/ulvo/Tpc.htm
    for _ in $(seq 600); do
        grep -qs 'a\.png' "$page" && break
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    grep -qs 'a\.png' "$page" || { cat "$home/out.log"; fail "no page of the folder in $page"; }

    # The entries the program writes for the user's folder menus shadow nothing installed.
    while IFS= read -r -d '' written; do
        [ ! -e "$root/usr/share/${written#./}" ] || fail "the program's own $written hides the installed one"
        echo "written at start: $written"
    done < <(cd "$home/data" && find . -type f -print0)

    kill -TERM "$pid"
    status=0
    wait "$pid" || status=$?
    pid=
    cat "$home/out.log"
    [ "$status" -eq 0 ] || fail "ended with status $status on SIGTERM"
    [ ! -e "$page" ] || fail "the page file is left after the end"
    ;;

*)
    fail "unknown check $check"
    ;;
esac
