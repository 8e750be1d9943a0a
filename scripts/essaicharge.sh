#!/usr/bin/env bash
# A trial of the two-window bench driven as a user drives it, on a machine kept busy by
# CPU-bound processes: under Xvfb with a window manager, the launcher starts the bench,
# the start-up boxes are answered, then for each coding both stations are set through
# their menus, station 2 sends a text typed in its Texte1 and station 1's Texte2 is read
# back and compared. Prints a table of the exchanges; exit status 0 when all are exact.
# Needs no display of its own; installs what it needs. The program's settings are those of
# a first run: the user's own are not touched. The French help is the text below.
#   scripts/essaicharge.sh [--charges N] [--fois K] [--codages m,b,br,mr] [--gestes]
set -euo pipefail
racine="$(cd "$(dirname "$0")/.." && pwd)"

aide() {
    cat <<'TEXTE'
Utilisation : scripts/essaicharge.sh [--charges N] [--fois K] [--codages LISTE] [--gestes]

Essai du banc simulé à deux postes, mené dans les fenêtres comme le ferait un
utilisateur, sur un ordinateur occupé par des programmes qui calculent sans arrêt.
Sous Xvfb (sans écran à soi), le script lance le banc par scripts/lumicom-banc avec
les programmes de build/, répond aux boîtes du démarrage des deux postes, puis, pour
chaque codage, le choisit sur les deux postes par leurs menus, tape un texte dans la
zone verte du poste 2, lance l'émission, attend que le poste 1 affiche le texte reçu
dans sa zone jaune, le lit et le compare au texte envoyé.

Codages, dans cet ordre :
  m    morse lent                        texte « sos »
  b    binaire lent                      texte « Bonjour ! »
  br   binaire rapide                    texte « Salut ! »
  mr   morse rapide (par blocs)          texte « sos 73 »
Les codages rapides s'ouvrent par « Codages rapides » du menu « Options » ; le morse
rapide se fait avec « Téléchargement morse rapide par blocs (plus rapide) » coché.

Options :
  --charges N      programmes de calcul lancés à côté pendant l'essai (défaut : 3 ;
                   0 pour un ordinateur au repos)
  --fois K         essais par codage (défaut : 3)
  --codages LISTE  les codages à essayer, séparés par des virgules (défaut :
                   m,b,br,mr ; ils passent toujours dans l'ordre ci-dessus)
  --gestes         pendant les échanges, ce qu'un utilisateur fait d'autre dans les
                   fenêtres : en Morse lent, « A propos » ouvert 4 s sur le poste qui
                   reçoit ; en binaire rapide, « A propos » ouvert 4 s sur le poste qui
                   émet et la durée d'enregistrement du poste qui reçoit changée pendant
                   « PATIENTEZ » (premier essai), puis la fenêtre du poste qui émet
                   déplacée et agrandie pendant l'émission (essais suivants). Une capture
                   de l'écran de chaque geste est gardée dans le dossier de l'essai.
  -h, --help       affiche cette aide

Le script affiche un tableau (codage, essai, attendu, reçu, exact, secondes : du
lancement de l'émission à la fin de la réception), le compte des échanges exacts
par codage et la charge de l'ordinateur (/proc/loadavg) au début et à la fin. Des
blancs qui finiraient un texte reçu en codage rapide sont comptés à part (« +2
blancs »). À chaque échec, une capture de
l'écran est gardée dans le dossier de l'essai, avec le journal de l'interface
simulée ; le script dit où.

Code de sortie : 0 quand tous les échanges sont exacts, 1 sinon, 2 pour une ligne de
commande erronée.
TEXTE
}

erreur() {
    echo "essaicharge : $1" >&2
    echo "essayez « scripts/essaicharge.sh --help »" >&2
    exit 2
}

charges=3
fois=3
liste="m,b,br,mr"
gestes=0
while [ $# -gt 0 ]; do
    case "$1" in
        -h | --help) aide; exit 0 ;;
        --gestes) gestes=1; shift; continue ;;
        --charges | --fois | --codages)
            if [ $# -lt 2 ] || [ -z "$2" ]; then erreur "valeur manquante après « $1 »"; fi
            valeur="$2"
            option="$1"
            shift 2
            ;;
        --charges=* | --fois=* | --codages=*)
            valeur="${1#*=}"
            option="${1%%=*}"
            [ -n "$valeur" ] || erreur "valeur manquante dans « $1 »"
            shift
            ;;
        *) erreur "option inconnue : « $1 »" ;;
    esac
    case "$option" in
        --charges) charges="$valeur" ;;
        --fois) fois="$valeur" ;;
        --codages) liste="$valeur" ;;
    esac
done
if ! [[ "$charges" =~ ^[0-9]+$ ]] || [ "$charges" -gt 64 ]; then
    erreur "« --charges $charges » : un nombre de 0 à 64 est attendu"
fi
if ! [[ "$fois" =~ ^[0-9]+$ ]] || [ "$fois" -lt 1 ] || [ "$fois" -gt 100 ]; then
    erreur "« --fois $fois » : un nombre de 1 à 100 est attendu"
fi
declare -A demandes=()
IFS=',' read -ra morceaux <<<"$liste"
for c in "${morceaux[@]}"; do
    case "$c" in
        m | b | br | mr) demandes[$c]=1 ;;
        *) erreur "« --codages $liste » : codage inconnu « $c » (m, b, br ou mr)" ;;
    esac
done
[ ${#demandes[@]} -gt 0 ] || erreur "« --codages » : aucun codage"
codages=()
for c in m b br mr; do
    [ -n "${demandes[$c]:-}" ] && codages+=("$c")
done

# What each coding sends, what the receiving station shows of it, how the coding is named,
# and the title its windows take once chosen. The darkness around a message gives no
# blank: what is received is what was sent. Blanks a fast reception would still end with
# are counted apart.
declare -A textes=([m]="sos" [b]="Bonjour !" [br]="Salut !" [mr]="sos 73")
declare -A attendus=([m]="sos" [b]="Bonjour !" [br]="Salut !" [mr]="sos 73")
declare -A noms=([m]="morse lent" [b]="binaire lent" [br]="binaire rapide" [mr]="morse rapide")
declare -A titres=([m]="Morse (lent)" [b]="binaire 8 bits ASCII (lent)"
    [br]="binaire ASCII (rapide)" [mr]="Morse (rapide)")

# shellcheck source=scripts/preparation.sh
source "$racine/scripts/preparation.sh"
# shellcheck source=scripts/fenetresx.sh
source "$racine/scripts/fenetresx.sh"
prepare_paquets xvfb xauth openbox xdotool x11-apps netpbm xclip
# Only the two programs the trial runs are built: the machine may be shared.
if [ ! -f "$racine/build/build.ninja" ]; then
    cmake -S "$racine" -B "$racine/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$racine/build" -j "$(nproc)" --target lumicom lumicom-sim

travail="$(mktemp -d "${TMPDIR:-/tmp}/lumicom-essaicharge.XXXXXX")"
# A display nobody else uses (other trials and captures may run on this machine).
for _ in $(seq 50); do
    ecran=$((100 + RANDOM % 400))
    [ -e "/tmp/.X$ecran-lock" ] || [ -e "/tmp/.X11-unix/X$ecran" ] || break
done
export DISPLAY=":$ecran"
export XDG_RUNTIME_DIR="$travail/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
# A first run's settings, and the control copy of the fast Morse receptions kept apart.
export XDG_CONFIG_HOME="$travail/config"
export XDG_DATA_HOME="$travail/donnees"
# The bench's launcher makes its folder here.
export TMPDIR="$travail/tmp"
mkdir "$TMPDIR"
journal="$travail/journal-interface.txt"

pids=()
banc=""
chargeurs=()
# Stops the loads, the bench (its launcher stops both windows, then the simulator), then
# the display. The trial's folder stays, with the simulated interface's journal, only when
# it holds a failure's screenshot.
# shellcheck disable=SC2317 # called by the trap
arrete() {
    for p in "${chargeurs[@]}"; do kill "$p" 2>/dev/null || true; done
    if [ -n "$banc" ]; then
        kill "$banc" 2>/dev/null || true
        for _ in $(seq 100); do kill -0 "$banc" 2>/dev/null || break; sleep 0.1; done
    fi
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    sleep 0.5
    if compgen -G "$travail/*.png" >/dev/null; then
        rm -rf "$XDG_RUNTIME_DIR" "$TMPDIR" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$travail"/*.pnm
    else
        rm -rf "$travail"
    fi
}
trap arrete EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

demarreecran

echo "Charge avant les programmes de calcul : $(cat /proc/loadavg)"
for _ in $(seq "$charges"); do
    sh -c 'while :; do :; done' &
    chargeurs+=($!)
done
[ "$charges" -gt 0 ] && echo "$charges programmes de calcul lancés à côté."

# The bench as ./run starts it: the launcher, given the programs of the build.
"$racine/scripts/lumicom-banc" --lumicom "$racine/build/app/lumicom" \
    --simulateur "$racine/build/sim/lumicom-sim" --journal "$journal" >/dev/null 2>&1 &
banc=$!

# The whole screen as a PNG in the trial's folder (an open menu comes out black).
garde_ecran() {
    xwd -silent -root | xwdtopnm 2>/dev/null | pnmtopng >"$travail/$1.png" 2>/dev/null || true
    echo "$travail/$1.png"
}

# When a window does not come or a box does not answer: the screen is kept.
echec_fenetres() {
    echo "essaicharge : $1 (écran : $(garde_ecran echec-demarrage))" >&2
    exit 1
}

# Where the drawn form lies in a window now. The form is drawn in twips and grows with
# the window; its menu bar may take more rows and its foot more lines. The light green of
# the emission area (Etiquette1 at 120 twips from the top, Texte1 down to 2535, both from
# 120 to 11775 across) gives the place and the scale. Sets X0, SX, Y0, SY of the window:
# pixel = X0 + twips × SX.
declare -A X0 Y0 SX SY
# The pixels of a netpbm image, one "r g b" a line.
pixels() {
    pnmtoplainpnm | awk '{ for (i = 1; i <= NF; i++) v[n++] = $i }
        END { for (i = 4; i + 2 < n; i += 3) print v[i], v[i + 1], v[i + 2] }'
}
# The first run of a colour along a line of pixels, holes of glyphs and frames allowed.
premierepassee() {
    awk -v c="$1" '$0 == c { if (debut < 0) debut = NR - 1; else if (NR - 1 - fin > 25) exit
                             fin = NR - 1 }
                   BEGIN { debut = -1 } END { print debut, fin }'
}
mesure() {
    local w="$1" image="$travail/fenetre.pnm" haut="" bas="" gauche="" droite=""
    xwd -silent -id "$w" 2>/dev/null | xwdtopnm 2>/dev/null | pamdepth 255 2>/dev/null >"$image"
    trace "mesure $w : $(head -c 20 "$image" | sed -n 2p)"
    read -r haut bas < <(pnmcut -left 12 -width 1 "$image" 2>/dev/null | pixels |
        premierepassee "192 255 192")
    [[ "$haut" =~ ^[0-9]+$ ]] && [ "$bas" -gt "$haut" ] || return 1
    read -r gauche droite < <(pnmcut -top $((haut + 2)) -height 1 "$image" 2>/dev/null | pixels |
        premierepassee "192 255 192")
    [[ "$gauche" =~ ^[0-9]+$ ]] && [ "$droite" -gt "$gauche" ] || return 1
    # Texte1's frame, a pixel or two, is not green.
    SY[$w]=$(awk -v h="$haut" -v b="$bas" 'BEGIN { print (b + 2 - h) / (2535 - 120) }')
    Y0[$w]=$(awk -v h="$haut" -v s="${SY[$w]}" 'BEGIN { print h - 120 * s }')
    SX[$w]=$(awk -v g="$gauche" -v d="$droite" 'BEGIN { print (d + 1 - g) / (11775 - 120) }')
    X0[$w]=$(awk -v g="$gauche" -v s="${SX[$w]}" 'BEGIN { print g - 120 * s }')
    trace "mesure $w : vert de $haut à $bas, de $gauche à $droite"
}
# A point of the form, in twips, as pixels of its window.
px() { awk -v o="${X0[$1]}" -v s="${SX[$1]}" -v t="$2" 'BEGIN { printf "%d", o + t * s + 0.5 }'; }
py() { awk -v o="${Y0[$1]}" -v s="${SY[$1]}" -v t="$2" 'BEGIN { printf "%d", o + t * s + 0.5 }'; }
cliqueforme() { clique "$1" "$(px "$1" "$2")" "$(py "$1" "$3")"; }
# The colour of a point of the form: "vert", "jaune" or what it is.
couleur() {
    local c
    c="$(xwd -silent -id "$1" 2>/dev/null | xwdtopnm 2>/dev/null | pamdepth 255 2>/dev/null |
        pnmcut -left "$(px "$1" "$2")" -top "$(py "$1" "$3")" -width 1 -height 1 | pixels)"
    case "$c" in
        "192 255 192") echo vert ;;
        "255 255 192") echo jaune ;;
        *) echo "$c" ;;
    esac
}
# Inside Texte1 at its bottom right, and Etiquette2 at its right end, clear of their texts.
texte1() { couleur "$1" 11300 2350; }
etiquette2() { couleur "$1" 11500 4300; }

# What a text box holds, through the clipboard: a click into it, Ctrl+A, Ctrl+C. A mark
# put in the clipboard first tells an empty box from a copy that did not happen.
marque="@@rien copié@@"
copie() {
    local w="$1" lu
    for _ in 1 2 3; do
        printf '%s' "$marque" | xclip -selection clipboard -i >/dev/null 2>&1
        cliqueforme "$w" "$2" "$3"
        xdotool key --clearmodifiers ctrl+a ctrl+c
        sleep 0.5
        lu="$(timeout 10 xclip -o -selection clipboard 2>/dev/null || true)"
        [ "$lu" != "$marque" ] && { printf '%s' "$lu"; return 0; }
    done
    return 1
}

demarrepostes
sleep 2

# Each station places its window in its half of the screen, the first on the left. A
# window that overlaps the other is put back by hand, as a user would drag it, and said:
# the trial reads each window's own pixels, which an overlapping window would hide.
separe() {
    # shellcheck disable=SC2034 # all set by the output of xdotool --shell
    local X Y WIDTH HEIGHT SCREEN WINDOW x1 y1 l1 h1 x2 y2 l2 h2
    eval "$(xdotool getwindowgeometry --shell "$p1" 2>/dev/null)" || return 0
    x1=$X y1=$Y l1=$WIDTH h1=$HEIGHT
    eval "$(xdotool getwindowgeometry --shell "$p2" 2>/dev/null)" || return 0
    x2=$X y2=$Y l2=$WIDTH h2=$HEIGHT
    if [ $((x1 + l1)) -gt "$x2" ] && [ $((x2 + l2)) -gt "$x1" ] &&
        [ $((y1 + h1)) -gt "$y2" ] && [ $((y2 + h2)) -gt "$y1" ]; then
        echo "Note : les fenêtres des deux postes se chevauchent (poste 1 en $x1,$y1, poste 2 en $x2,$y2) : remises côte à côte (écran : $(garde_ecran chevauchement))."
        xdotool windowmove "$p1" 0 0
        xdotool windowmove "$p2" 800 0
        sleep 1
    fi
}
separe

# The coding chosen on a station through "Type de codage" (Alt+T), as its title says. A
# menu opened from the keyboard starts on its first item: slow Morse, slow binary, then
# the submenus "morse rapide" and "binaire rapide", whose first item is the 15 s message.
choisitcodage() {
    local w="$1" c="$2"
    for _ in 1 2; do
        case "$c" in
            m) menu "$w" alt+t Return ;;
            b) menu "$w" alt+t Down Return ;;
            mr) menu "$w" alt+t Down Down Right Return ;;
            br) menu "$w" alt+t Down Down Down Right Return ;;
        esac
        # A busy machine may take a while to retitle the window.
        for _ in $(seq 20); do
            xdotool getwindowname "$w" | grep -qF "${titres[$c]}" && return 0
            sleep 0.5
        done
        # A menu left open by a key that went astray is closed before the next try.
        xdotool key Escape Escape
    done
    return 1
}

# Items of the menu "Options" (Alt+O): "Décodage robuste", "Téléchargement morse rapide
# par blocs", "Codages rapides". They turn over at each choice, and a first run has them
# all off.
rapides=0
ouvrerapides() {
    [ "$rapides" -eq 1 ] && return 0
    menu "$p1" alt+o Down Down Return
    menu "$p2" alt+o Down Down Return
    rapides=1
}
cocheblocs() {
    menu "$p1" alt+o Down Return
    menu "$p2" alt+o Down Return
}

maintenant() { date +%s.%N; }
# What the trial sees, on the error output, when ESSAICHARGE_TRACE is set.
trace() { if [ -n "${ESSAICHARGE_TRACE:-}" ]; then echo "  [$(date +%T)] $*" >&2; fi; }
ecoule() { awk -v a="$1" -v b="$(maintenant)" 'BEGIN { printf "%.1f", b - a }'; }

# The gestures of --gestes, each once in an exchange, from the wait loop: `etat` is where
# the exchange is (attente: station 2 emits, station 1 not receiving yet; reception), `vu`
# whether station 2's emission has been seen.
GESTE_FAIT=0
garde_geste() {
    local image
    image="$(garde_ecran "geste-$1")"
    echo "    geste : $2 (écran : $image)"
}
apropos() {
    local w="$1" poste="$2" boite=""
    menu "$w" alt+a
    for _ in $(seq 50); do
        boite="$(fenetre "A propos" "$poste")" && break
        boite=""
        sleep 0.1
    done
    if [ -z "$boite" ]; then
        echo "    geste : « A propos » ne s'est pas ouvert sur le $poste"
        return
    fi
    # The box drawn before its screenshot.
    sleep 1
    garde_geste "$3" "« A propos » ouvert 4 s sur le $poste"
    sleep 3
    ferme "$boite" Return || echo "    geste : « A propos » ne se ferme pas"
}
geste() {
    local c="$1" essai="$2" etat="$3" vu="$4"
    [ "$gestes" -eq 1 ] && [ "$GESTE_FAIT" -eq 0 ] || return 0
    case "$c" in
        m)
            [ "$etat" = reception ] || return 0
            GESTE_FAIT=1
            apropos "$p1" "Poste 1" "m-$essai-apropos-recepteur"
            ;;
        br)
            [ "$vu" = oui ] || return 0
            GESTE_FAIT=1
            if [ "$essai" -eq 1 ]; then
                apropos "$p2" "Poste 2" "br-$essai-apropos-emetteur"
                # The receiver records, "PATIENTEZ" on its labels: the 30 s item of
                # "binaire rapide" chosen on it.
                menu "$p1" alt+t Down Down Down Right Down Return
                garde_geste "br-$essai-duree" "durée d'enregistrement changée (30 s) sur le Poste 1 pendant « PATIENTEZ »"
            else
                # shellcheck disable=SC2034 # set by the output of xdotool --shell
                local X Y WIDTH HEIGHT SCREEN WINDOW
                eval "$(xdotool getwindowgeometry --shell "$p2")"
                xdotool windowmove "$p2" 500 200
                sleep 0.5
                xdotool windowsize "$p2" 1000 750
                sleep 1
                garde_geste "br-$essai-deplacee" "fenêtre du Poste 2 déplacée et agrandie pendant l'émission"
                xdotool windowsize "$p2" "$WIDTH" "$HEIGHT"
                xdotool windowmove "$p2" "$X" "$Y"
                sleep 1
            fi
            ;;
    esac
}

# One exchange: station 2 sends, station 1 receives. Prints what station 1 shows, or why
# there is nothing to read; returns 1 when the exchange went wrong before the reading.
ECHANGE_RECU=""
ECHANGE_NOTE=""
ECHANGE_DEBUT=""
ECHANGE_DUREE=""
ECHANGE_BLANCS=0
echange() {
    local c="$1" texte="${textes[$1]}" etat vu lu pret=0
    ECHANGE_RECU=""
    ECHANGE_NOTE=""
    ECHANGE_DEBUT=""
    ECHANGE_DUREE=""
    ECHANGE_BLANCS=0
    GESTE_FAIT=0
    # Station 2 back from its last emission, station 1 waiting.
    for _ in $(seq 120); do
        separe
        if mesure "$p2" && mesure "$p1" && [ "$(etiquette2 "$p2")" = jaune ] &&
            [ "$(texte1 "$p1")" = vert ]; then
            pret=1
            break
        fi
        sleep 0.5
    done
    if [ "$pret" -eq 0 ]; then
        ECHANGE_NOTE="les postes ne sont pas revenus à l'attente"
        return 1
    fi
    sleep 2

    # The text typed in the emission area of station 2, and read back.
    cliqueforme "$p2" 6000 1500
    xdotool key --clearmodifiers ctrl+a BackSpace
    xdotool type --delay 40 "$texte"
    sleep 0.5
    lu="$(copie "$p2" 6000 1500 || true)"
    if [ "$lu" != "$texte" ]; then
        ECHANGE_NOTE="texte tapé lu « $lu »"
        return 1
    fi
    # The foot of the window may have taken more lines with the estimate.
    mesure "$p2" || true

    # The send button of the coding: Alt+N and Alt+E for the slow ones; the fast ones have
    # no Alt letter and are clicked.
    ECHANGE_DEBUT="$(maintenant)"
    case "$c" in
        m) xdotool windowactivate --sync "$p2" >/dev/null 2>&1 || true; xdotool key --clearmodifiers alt+n ;;
        b) xdotool windowactivate --sync "$p2" >/dev/null 2>&1 || true; xdotool key --clearmodifiers alt+e ;;
        mr) cliqueforme "$p2" 1687 3247 ;;
        br) cliqueforme "$p2" 4987 3247 ;;
    esac

    # The reception starts (the emission area of station 1 turns yellow), then ends (green
    # again). The emission is seen by the green of station 2's reception area.
    vu=non
    etat=attente
    while :; do
        local t
        t="$(ecoule "$ECHANGE_DEBUT")"
        separe
        geste "$c" "$essai" "$etat" "$vu"
        trace "$etat : poste 1 Texte1 $(texte1 "$p1"), poste 2 Etiquette2 $(etiquette2 "$p2")"
        if [ "$etat" = attente ]; then
            [ "$(etiquette2 "$p2")" = vert ] && vu=oui
            [ "$(texte1 "$p1")" = jaune ] && etat=reception
            if [ "$etat" = attente ] && awk -v t="$t" 'BEGIN { exit !(t > 60) }'; then
                ECHANGE_NOTE="pas de réception au bout de 60 s (émission vue : $vu)"
                return 1
            fi
        else
            [ "$(texte1 "$p1")" = vert ] && break
            if awk -v t="$t" 'BEGIN { exit !(t > 400) }'; then
                ECHANGE_NOTE="réception sans fin au bout de 400 s"
                return 1
            fi
        fi
        sleep 0.3
    done
    ECHANGE_DUREE="$(ecoule "$ECHANGE_DEBUT")"

    # After a fast reception, station 1 offers to save the recording: cancelled.
    if [ "$c" = br ] || [ "$c" = mr ]; then
        local boite=""
        for _ in $(seq 100); do
            boite="$(fenetre "Enregistrement d'un fichier" "Poste 1")" && break
            boite=""
            sleep 0.1
        done
        if [ -z "$boite" ]; then
            ECHANGE_NOTE="pas de fenêtre d'enregistrement"
        elif ! ferme "$boite" Escape; then
            ECHANGE_NOTE="la fenêtre d'enregistrement ne se ferme pas"
        fi
    fi

    # The reception area of station 1: the slow Morse shows the code, " = ", then the
    # text; the fast codings put their notices on the lines after the text.
    mesure "$p1" || true
    if ! lu="$(copie "$p1" 6000 5200)"; then
        ECHANGE_NOTE="zone de réception vide"
        return 0
    fi
    [ "$c" = m ] && lu="${lu#* = }"
    ECHANGE_RECU="${lu%%$'\n'*}"
    if [ "$ECHANGE_RECU" != "$lu" ]; then
        local avis="${lu#*$'\n'}"
        ECHANGE_NOTE="${ECHANGE_NOTE:+$ECHANGE_NOTE ; }${avis//$'\n'/ | }"
    fi
    if [ "$c" = br ] || [ "$c" = mr ]; then
        local texte="${ECHANGE_RECU%"${ECHANGE_RECU##*[! ]}"}"
        ECHANGE_BLANCS=$((${#ECHANGE_RECU} - ${#texte}))
        ECHANGE_RECU="$texte"
    fi
    return 0
}

declare -A exacts=()
echecs=0
# Columns padded by characters, French texts and guillemets included.
ligne() {
    local champ largeur largeurs=(15 6 13 28 6 0) i=0 sortie=""
    for champ in "$@"; do
        largeur=${largeurs[$i]}
        sortie+="$champ"
        while [ "${#champ}" -lt "$largeur" ]; do champ+=" "; sortie+=" "; done
        sortie+=" "
        i=$((i + 1))
    done
    echo "${sortie% }"
}
echo "Charge au début : $(cat /proc/loadavg)"
echo
ligne codage essai attendu reçu exact secondes
for c in "${codages[@]}"; do
    case "$c" in
        br) ouvrerapides ;;
        mr) ouvrerapides; cocheblocs ;;
    esac
    for w in "$p1" "$p2"; do
        if ! choisitcodage "$w" "$c"; then
            echecs=$((echecs + 1))
            echo "essaicharge : le codage ${noms[$c]} n'a pas pu être choisi sur « $(xdotool getwindowname "$w") » (écran : $(garde_ecran "echec-$c-menu"))" >&2
            exit 1
        fi
    done
    exacts[$c]=0
    for essai in $(seq "$fois"); do
        if ! echange "$c" && [ -n "$ECHANGE_DEBUT" ]; then
            ECHANGE_DUREE="$(ecoule "$ECHANGE_DEBUT")"
        fi
        if [ "$ECHANGE_RECU" = "${attendus[$c]}" ]; then
            exact=oui
            exacts[$c]=$((exacts[$c] + 1))
        else
            exact=non
        fi
        recu="«$ECHANGE_RECU»"
        [ "$ECHANGE_BLANCS" -gt 0 ] && recu+=" +$ECHANGE_BLANCS blancs"
        ligne "${noms[$c]}" "$essai" "«${attendus[$c]}»" "$recu" "$exact" "${ECHANGE_DUREE:--}"
        [ -n "$ECHANGE_NOTE" ] && echo "    note : $ECHANGE_NOTE"
        if [ "$exact" = non ]; then
            echecs=$((echecs + 1))
            echo "    écran : $(garde_ecran "echec-$c-$essai")"
        fi
    done
done
echo
for c in "${codages[@]}"; do
    echo "${noms[$c]} : exact ${exacts[$c]}/$fois"
done
echo "Charge à la fin : $(cat /proc/loadavg)"
if compgen -G "$travail/*.png" >/dev/null; then
    echo "Captures d'écran et journal de l'interface simulée : $travail"
fi
[ "$echecs" -eq 0 ] || exit 1
