# Shared by scripts/run and scripts/test: install what is missing, then configure and build.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD="$ROOT/build"

PACKAGES=(cmake ninja-build g++ qt6-base-dev qt6-webengine-dev libqt6webenginecore6-bin
          qt6-image-formats-plugins libgl-dev googletest libgtest-dev libgmock-dev
          libbenchmark-dev xvfb xauth qt6-httpserver-dev
          qt6-websockets-dev qt6-translations-l10n xdg-utils desktop-file-utils
          librsvg2-bin dpkg-dev file appstream lintian clang-format)

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

install_missing() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "Installing: ${missing[*]}"
        as_root apt-get update
        as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
    fi
}

# The interface is in Traditional Chinese: make sure some CJK font is there, or every caption
# and button glyph shows as boxes.
install_cjk_font() {
    if ! fc-list :lang=zh-tw 2>/dev/null | grep -q .; then install_missing fonts-noto-cjk; fi
}

build() {
    cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
    cmake --build "$BUILD" --parallel "$(nproc)"
}

# Qt WebEngine refuses its sandbox when run as root.
if [ "$(id -u)" -eq 0 ]; then export QTWEBENGINE_DISABLE_SANDBOX=1; fi
