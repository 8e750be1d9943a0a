# Shared by ./run and ./test: installs the Debian packages the project needs when they
# are missing, then configures and builds a build directory incrementally.
# Sourced, not run: `prepare_paquets` and `construit DIR [cmake options...]`.

paquets_projet=(
    cmake ninja-build g++ lld pkg-config
    qt6-base-dev qt6-serialport-dev qt6-translations-l10n libgl-dev fonts-liberation2
    dpkg-dev file desktop-file-utils
)

prepare_paquets() {
    local manquants=()
    for p in "${paquets_projet[@]}" "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || manquants+=("$p")
    done
    [ ${#manquants[@]} -eq 0 ] && return 0
    echo "Installation des paquets manquants : ${manquants[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -q
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${manquants[@]}"
}

configure() {
    local dossier="$1"
    shift
    if [ ! -f "$dossier/build.ninja" ]; then
        cmake -S "$racine" -B "$dossier" -G Ninja "$@"
    elif [ $# -gt 0 ]; then
        # Options given to a build folder made before they existed take effect too.
        cmake -S "$racine" -B "$dossier" "$@" >/dev/null
    fi
}

construit() {
    local dossier="$1"
    shift
    configure "$dossier" "$@"
    cmake --build "$dossier" -j "$(nproc)"
}

# `construit_cibles DIR "CIBLES..." [cmake options...]`: only those targets (and what they
# need).
construit_cibles() {
    local dossier="$1" cibles="$2"
    shift 2
    configure "$dossier" "$@"
    # shellcheck disable=SC2086
    cmake --build "$dossier" -j "$(nproc)" --target $cibles
}
