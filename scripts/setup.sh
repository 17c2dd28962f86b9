# Shared by run.sh and test.sh: makes sure the Debian packages are there.
# Sourced, not run.

QUORVEX_PACKAGES="cmake ninja-build g++ pkg-config qt6-base-dev qt6-base-dev-tools qt6-charts-dev qt6-svg-dev libqt6opengl6-dev libgl-dev \
libgtest-dev libgmock-dev libbenchmark-dev fonts-liberation2 libjpeg-dev libgif-dev xvfb xauth \
libcsv-dev libexpat1-dev libicu-dev libzip-dev librsvg2-bin poppler-utils appstream desktop-file-utils shared-mime-info dpkg-dev file xdg-utils libglib2.0-bin man-db ${QUORVEX_EXTRA_PACKAGES:-}"

quorvex_missing_packages() {
    local missing=""
    for p in $QUORVEX_PACKAGES; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
            missing="$missing $p"
        fi
    done
    echo "$missing"
}

quorvex_install_packages() {
    local missing
    missing=$(quorvex_missing_packages)
    [ -z "$missing" ] && return 0
    if [ "$(id -u)" = "0" ]; then
        echo "Installing:$missing"
        export DEBIAN_FRONTEND=noninteractive
        apt-get update -qq || return 1
        apt-get install -y -qq --no-install-recommends $missing || return 1
    else
        echo "Missing Debian packages. Run as root:"
        echo "  apt-get install -y$missing"
        return 1
    fi
}

quorvex_configure_and_build() {
    local dir=$1
    shift
    cmake -S "$QUORVEX_ROOT" -B "$dir" -G Ninja "$@" || return 1
    cmake --build "$dir" -j "$(nproc)" || return 1
}

# The program and the files it reads at start (templates, row backgrounds, the
# help document), without the tests, benchmarks and the command-line tool.
# The folder is configured as the test script configures it, so a later
# ./test.sh in the same folder builds the rest instead of reconfiguring.
QUORVEX_PROGRAM_TARGETS="quorvex templates backgrounds manual"
quorvex_configure_and_build_program() {
    local dir=$1
    shift
    cmake -S "$QUORVEX_ROOT" -B "$dir" -G Ninja "$@" || return 1
    cmake --build "$dir" -j "$(nproc)" --target $QUORVEX_PROGRAM_TARGETS || return 1
}
