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
    # Through env, after sudo: sudo drops the caller's environment, and a question of a
    # package's configuration would wait for an answer nobody gives.
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -q
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${manquants[@]}"
}

# The generator a build folder was configured with, empty when it has none yet.
generateur_de() {
    [ -f "$1/CMakeCache.txt" ] || return 0
    sed -n 's/^CMAKE_GENERATOR:INTERNAL=//p' "$1/CMakeCache.txt"
}

configure() {
    local dossier="$1"
    shift
    local generateur
    generateur=$(generateur_de "$dossier")
    if [ -z "$generateur" ]; then
        cmake -S "$racine" -B "$dossier" -G Ninja "$@"
    else
        # A folder configured by hand, with Ninja or another generator (Unix Makefiles by
        # default), is built with its own: cmake refuses to change a folder's generator.
        # Options given to a folder made before they existed take effect too.
        [ "$generateur" = "Ninja" ] || echo "$dossier : construit avec le générateur « $generateur » choisi à sa configuration (pour Ninja : effacer ce dossier, il sera refait)"
        if [ $# -gt 0 ] || { [ ! -f "$dossier/build.ninja" ] && [ ! -f "$dossier/Makefile" ]; }; then
            cmake -S "$racine" -B "$dossier" "$@" >/dev/null
        fi
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
