# Sourced by run.sh and test.sh: installs the Debian packages the build needs when missing.
zorim_packages="cmake ninja-build g++ qt6-base-dev qt6-translations-l10n libgl-dev libjpeg-dev
libgtest-dev libbenchmark-dev fonts-dejavu-core breeze-icon-theme libqt6svg6 poppler-utils
libenchant-2-dev libenchant-2-2 hunspell-sk libquazip1-qt6-dev"
# Only the tests need these: the word processors the interop tests have read what we write,
# the metadata validator of the install test, an English dictionary for the spelling of runs
# in English, and an X server of its own with the GTK theme for the tests that run the
# program on a real display.
zorim_test_packages="libreoffice-writer-nogui abiword appstream hunspell-en-us xvfb xauth qt6-gtk-platformtheme"

zorim_install_deps() {
    local missing=()
    local p
    for p in $zorim_packages "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
}

zorim_configure() {
    local dir="$1"; shift
    cmake -S "$zorim_root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
}
