#!/usr/bin/env bash
# Makes the screenshots of the README again, under Xvfb with a window manager: the two-window
# bench as its launcher starts it, the main form, the signal window, the recording viewer,
# the fast codings opened from the menu Options and the help browser, into docs/captures/.
# Needs no display of its own; installs what it needs. The program's settings are those of
# a first run: the user's own are not touched.
#   scripts/captures.sh
set -euo pipefail
racine="$(cd "$(dirname "$0")/.." && pwd)"
source "$racine/scripts/preparation.sh"
# shellcheck source=scripts/fenetresx.sh
source "$racine/scripts/fenetresx.sh"
prepare_paquets xvfb xauth openbox xdotool x11-apps netpbm
construit "$racine/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo

sortie="$racine/docs/captures"
mkdir -p "$sortie"
travail="$(mktemp -d "${TMPDIR:-/tmp}/lumicom-captures.XXXXXX")"
ecran=$((90 + RANDOM % 9))
export DISPLAY=":$ecran"
export XDG_RUNTIME_DIR="$travail/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
export XDG_CONFIG_HOME="$travail/config"
# The bench's launcher makes its folder here, where the light's pipe can be found.
TMPDIR_ORIGINE="${TMPDIR:-/tmp}"
export TMPDIR="$travail/tmp"
mkdir "$TMPDIR"
pids=()
arrete() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    sleep 0.5
    rm -rf "$travail"
}
trap arrete EXIT

demarreecran

# The bench as the desktop starts it: the launcher, given the programs of the build.
"$racine/scripts/lumicom-banc" --lumicom "$racine/build/app/lumicom" \
    --simulateur "$racine/build/sim/lumicom-sim" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do compgen -G "$TMPDIR/lumicom-banc.*/ports/COM2" >/dev/null && break; sleep 0.05; done
ports="$(echo "$TMPDIR"/lumicom-banc.*/ports)"
sleep 3

# When a window does not come or a box does not answer: the screen is kept outside the
# work folder, which goes at exit.
echec_fenetres() {
    local ecran="${TMPDIR_ORIGINE:-/tmp}/lumicom-captures-echec.png"
    xwd -silent -root | xwdtopnm 2>/dev/null | pnmtopng >"$ecran" 2>/dev/null || true
    echo "captures : $1 (écran : $ecran)" >&2
    exit 1
}

# A window with its frame, as a PNG.
capture() {
    xwd -silent -frame -id "$1" | xwdtopnm 2>/dev/null | pnmtopng >"$sortie/$2"
    echo "  $sortie/$2"
}

# The port box of station 1, which found the interface on its port.
boiteport() {
    [ "$1" = 1 ] || return 0
    local boite
    boite="$(attends "port COM" "Poste 1")"
    xdotool windowactivate --sync "$boite" >/dev/null 2>&1 || true
    sleep 0.5
    capture "$boite" interface-trouvee.png
}
demarrepostes boiteport
sleep 1

echo "Captures dans $sortie :"
# The two stations as the launcher opened them.
xwd -silent -root | xwdtopnm 2>/dev/null | pnmcut -top 0 -height 610 | pnmscale -width 1200 |
    pnmtopng >"$sortie/banc-bureau.png"
echo "  $sortie/banc-bureau.png"

# Station 1 with a message typed: the estimate at its foot.
xdotool windowactivate --sync "$p1" >/dev/null 2>&1 || true
clique "$p1" 300 130
xdotool key --clearmodifiers ctrl+a BackSpace
xdotool type --delay 20 "Bonjour, message de la classe de physique !"
sleep 0.5
capture "$p1" fenetre-principale.png

# The light of station 2 lit by hand a few times, seen in its signal window.
# Menus by their Alt letter: "Affichage" is Alt+H, its first item the signal window.
menu "$p2" alt+h Return
signal="$(attends "Signal lumineux" "Poste 2")"
for _ in 1 2 3; do
    echo "eclaire 2" >"$ports/lumiere"; sleep 0.8
    echo "normale 2" >"$ports/lumiere"; sleep 1.2
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
menu "$p1" alt+h Down Return
sleep 1
xdotool type --delay 10 "$racine/tests/enregistrements/binaire-salut.rrr"
xdotool key Return
visionneuse="$(attends "Enregistrement binaire-salut" "Poste 1")"
sleep 1
capture "$visionneuse" visionneuse.png
xdotool windowclose "$visionneuse" 2>/dev/null || xdotool key --window "$visionneuse" alt+F4

# The whole screen with the program's open menus. Open menus come out black in a capture of
# the whole screen: each is captured on its own and laid where it stands.
ecranavecmenus() {
    xwd -silent -root | xwdtopnm 2>/dev/null >"$1"
    while read -r id position; do
        xwininfo -id "$id" 2>/dev/null | grep -q "Override Redirect State: yes" || continue
        xwininfo -id "$id" 2>/dev/null | grep -q "IsViewable" || continue
        x="${position#+}"; y="${x#*+}"; x="${x%%+*}"
        xwd -silent -id "$id" | xwdtopnm 2>/dev/null >"$travail/menu.pnm"
        pnmpaste "$travail/menu.pnm" "$x" "$y" "$1" >"$travail/colle.pnm"
        mv "$travail/colle.pnm" "$1"
    done < <(xwininfo -root -tree | awk '/\("lumicom" "lumicom"\)/ { print $1, $NF }')
}

# The fast codings opened from the menu Options of station 1, station 2 out of the way:
# "Codages rapides" (its third item) ticked, then, below, the menu "Type de codage" with
# its submenu "binaire rapide" (its fourth item) open. A menu opened from the keyboard
# starts on its first item.
xdotool windowminimize "$p2" || true
menu "$p1" alt+o Down Down Return
menu "$p1" alt+o
ecranavecmenus "$travail/options.pnm"
xdotool key Escape
menu "$p1" alt+t Down Down Down Right
sleep 0.5
ecranavecmenus "$travail/type.pnm"
xdotool key Escape Escape
pnmcat -tb <(pnmcut -left 0 -top 0 -width 1260 -height 170 "$travail/options.pnm") \
    <(pnmcut -left 0 -top 0 -width 1260 -height 200 "$travail/type.pnm") |
    pnmtopng >"$sortie/codages-rapides-menu.png"
echo "  $sortie/codages-rapides-menu.png"
sleep 0.3

# The help browser, F1 from station 1, at the wiring found by its search.
xdotool windowactivate --sync "$p1" >/dev/null 2>&1 || true
xdotool key --clearmodifiers F1
aide="$(attends "Aide de lumicom" "Poste 1")"
xdotool windowactivate --sync "$aide" >/dev/null 2>&1 || true
xdotool key --clearmodifiers ctrl+f
xdotool type --delay 20 "borne 5 V"
xdotool key Return
sleep 0.8
capture "$aide" aide.png

# A pulled cable: the link of station 2 cut by the simulator, as a USB adapter knocked out.
# The station says so in a box that does not stop it, and tries the port again every second.
xdotool windowclose "$aide" 2>/dev/null || true
xdotool windowminimize "$p1" || true
echo "coupe 2" >"$ports/lumiere"
perte="$(attends "Liaison avec l'interface perdue" "Poste 2")"
xdotool windowactivate --sync "$perte" >/dev/null 2>&1 || true
sleep 0.5
capture "$perte" cable-debranche.png

# A wrong port: a station started on a port with nothing answering behind it (an interface
# that is off, or another device), here an interface of a second simulator that never
# answers. The start-up says so before any threshold, and offers the port box again.
muets="$travail/muets"
mkdir -p "$muets"
"$racine/build/sim/lumicom-sim" --dir "$muets" --interfaces 1 --muette 1 >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -e "$muets/COM1" ] && break; sleep 0.05; done
LUMICOM_PORTS="$muets" "$racine/build/app/lumicom" --poste 3 >/dev/null 2>&1 &
pids+=($!)
repond "Choix du type" "Poste 3" Escape
# The port box offers COM 3 to station 3: COM 1 typed instead.
boite="$(attends "port COM" "Poste 3")"
xdotool windowactivate --sync "$boite" >/dev/null 2>&1 || true
sleep 0.3
xdotool key --clearmodifiers ctrl+a
xdotool type --delay 20 "1"
repond "port COM" "Poste 3" Return
repond "Branchement" "Poste 3" Return
muet="$(attends "L'interface ne répond pas" "Poste 3")"
xdotool windowactivate --sync "$muet" >/dev/null 2>&1 || true
sleep 0.5
capture "$muet" mauvais-port.png

# The light of the bench at hand, from the menu Options of station 1 (its sixth item), the
# room lit to 1.5 V on station 2's photodiode.
xdotool windowclose "$muet" 2>/dev/null || true
xdotool windowactivate --sync "$p1" >/dev/null 2>&1 || true
echo "salle 2 1.5" >"$ports/lumiere"
menu "$p1" alt+o Down Down Down Down Down Return
lumiere="$(attends "Lumière du banc" "Poste 1")"
xdotool windowactivate --sync "$lumiere" >/dev/null 2>&1 || true
sleep 1.5
capture "$lumiere" lumiere-banc.png
