#!/usr/bin/env bash
# Makes the screenshots of the README again, under Xvfb with a window manager: the main
# form, the two-window bench, the signal window and the recording viewer, into
# docs/captures/. Needs no display of its own; installs what it needs.
#   scripts/captures.sh
set -euo pipefail
racine="$(cd "$(dirname "$0")/.." && pwd)"
source "$racine/scripts/preparation.sh"
prepare_paquets xvfb xauth openbox xdotool x11-apps netpbm
construit "$racine/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo

sortie="$racine/docs/captures"
mkdir -p "$sortie"
travail="$(mktemp -d "${TMPDIR:-/tmp}/lumicom-captures.XXXXXX")"
ecran=$((90 + RANDOM % 9))
export DISPLAY=":$ecran"
export XDG_RUNTIME_DIR="$travail/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
pids=()
arrete() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    sleep 0.5
    rm -rf "$travail"
}
trap arrete EXIT

Xvfb "$DISPLAY" -screen 0 1600x1000x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
sleep 1
openbox >/dev/null 2>&1 &
pids+=($!)
sleep 1

"$racine/build/sim/lumicom-sim" --dir "$travail/ports" --journal "$travail/journal.txt" >/dev/null &
pids+=($!)
for _ in $(seq 100); do [ -e "$travail/ports/COM2" ] && break; sleep 0.05; done
for poste in 1 2; do
    LUMICOM_PORTS="$travail/ports" "$racine/build/app/lumicom" --poste "$poste" \
        --codages-rapides >/dev/null 2>&1 &
    pids+=($!)
done
sleep 3

# The window whose name holds both texts (xdotool's own pattern stumbles on "—").
fenetre() {
    for w in $(xdotool search --name "$1" 2>/dev/null); do
        xdotool getwindowname "$w" | grep -q "$2" && { echo "$w"; return 0; }
    done
    return 1
}
attends() {
    for _ in $(seq 100); do fenetre "$1" "$2" && return 0; sleep 0.1; done
    echo "captures : la fenêtre « $1 » du $2 n'est pas venue (écran : $travail/echec.png)" >&2
    xwd -silent -root | xwdtopnm 2>/dev/null | pnmtopng >"${TMPDIR:-/tmp}/lumicom-captures-echec.png"
    exit 1
}
# Answers a box of a station with a key, again if the key went elsewhere.
repond() {
    local w
    w="$(attends "$1" "$2")"
    for _ in 1 2 3; do
        xdotool windowactivate --sync "$w" >/dev/null 2>&1 || true
        xdotool windowfocus --sync "$w" >/dev/null 2>&1 || true
        sleep 0.3
        xdotool key --clearmodifiers "$3"
        # A loaded machine may take a while: a second key too soon would answer the next box.
        for _ in $(seq 60); do
            xdotool getwindowname "$w" >/dev/null 2>&1 || return 0
            sleep 0.1
        done
    done
    echo "captures : la boîte « $1 » du $2 ne répond pas" >&2
    exit 1
}
# A window with its frame, as a PNG.
capture() {
    xwd -silent -frame -id "$1" | xwdtopnm 2>/dev/null | pnmtopng >"$sortie/$2"
    echo "  $sortie/$2"
}
# Clicks at a point of a window, from the top left corner of its inside.
clique() {
    xdotool mousemove --window "$1" "$2" "$3" click 1
    sleep 0.7
}

# Start-up of both stations: slow binary, the port offered, no receiver test.
for poste in 1 2; do
    repond "Choix du type" "Poste $poste" Escape
    repond "priorit" "Poste $poste" Return
    repond "port COM" "Poste $poste" Return
    repond "Branchement" "Poste $poste" Return
    repond "Test du montage" "Poste $poste" Escape
    repond "TENSION SEUIL" "Poste $poste" Return
done
p1="$(attends "Communication" "Poste 1")"
p2="$(attends "Communication" "Poste 2")"
sleep 1

echo "Captures dans $sortie :"
# Station 1 with a message typed: the estimate at its foot.
xdotool windowactivate --sync "$p1" >/dev/null 2>&1 || true
clique "$p1" 300 130
xdotool key --clearmodifiers ctrl+a BackSpace
xdotool type --delay 20 "Bonjour, message de la classe de physique !"
sleep 0.5
capture "$p1" fenetre-principale.png

# The light of station 2 lit by hand a few times, seen in its signal window.
xdotool windowactivate --sync "$p2" >/dev/null 2>&1 || true
clique "$p2" "${AFFICHAGE_X:-660}" "${AFFICHAGE_Y:-27}"
clique "$p2" "${AFFICHAGE_X:-660}" $(( ${AFFICHAGE_Y:-27} + 22 ))
signal="$(attends "Signal lumineux" "Poste 2")"
for _ in 1 2 3; do
    echo "eclaire 2" >"$travail/ports/lumiere"; sleep 0.8
    echo "normale 2" >"$travail/ports/lumiere"; sleep 1.2
done
xdotool windowmove "$signal" 120 560
sleep 0.5
capture "$signal" signal-lumineux.png
xdotool windowminimize "$signal" || true

# The two stations side by side.
sleep 0.5
xwd -silent -root | xwdtopnm 2>/dev/null | pnmcut -top 0 -height 610 | pnmscale -width 1200 |
    pnmtopng >"$sortie/banc.png"
echo "  $sortie/banc.png"

# The recording viewer, on a reference recording.
xdotool windowactivate --sync "$p1" >/dev/null 2>&1 || true
clique "$p1" "${AFFICHAGE_X:-660}" "${AFFICHAGE_Y:-27}"
clique "$p1" "${AFFICHAGE_X:-660}" $(( ${AFFICHAGE_Y:-27} + 44 ))
sleep 1
xdotool type --delay 10 "$racine/tests/enregistrements/binaire-salut.rrr"
xdotool key Return
visionneuse="$(attends "Enregistrement binaire-salut" "Poste 1")"
sleep 1
capture "$visionneuse" visionneuse.png
