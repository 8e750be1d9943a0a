# Shared by scripts/captures.sh and scripts/essaicharge.sh: finding and driving the
# stations' windows under X with xdotool, as a user would with the keyboard and the mouse.
# Sourced, not run. The sourcing script defines `echec_fenetres MESSAGE`, which says
# MESSAGE (a window that did not come, a box that did not answer) and stops the script.

# A screen of its own on DISPLAY (Xvfb, 1600 × 1000) with a window manager (openbox),
# as a desktop frames and places windows; their processes are added to pids.
demarreecran() {
    Xvfb "$DISPLAY" -screen 0 1600x1000x24 -nolisten tcp >/dev/null 2>&1 &
    pids+=($!)
    sleep 1
    openbox >/dev/null 2>&1 &
    pids+=($!)
    sleep 1
}

# The window whose name holds both texts (xdotool's own pattern stumbles on "—").
fenetre() {
    for w in $(xdotool search --name "$1" 2>/dev/null); do
        xdotool getwindowname "$w" 2>/dev/null | grep -qF "$2" && { echo "$w"; return 0; }
    done
    return 1
}

# Waits for that window, at most LIMITE tenths of a second (default 300): a loaded
# machine may take a while to open it.
attends() {
    local limite="${3:-300}"
    for _ in $(seq "$limite"); do fenetre "$1" "$2" && return 0; sleep 0.1; done
    echec_fenetres "la fenêtre « $1 » du $2 n'est pas venue"
}

# Closes a window with a key, again if the key went elsewhere; 1 when it stays.
ferme() {
    for _ in 1 2 3; do
        xdotool windowactivate --sync "$1" >/dev/null 2>&1 || true
        xdotool windowfocus --sync "$1" >/dev/null 2>&1 || true
        sleep 0.3
        xdotool key --clearmodifiers "$2"
        # A loaded machine may take a while: a second key too soon would answer the next box.
        for _ in $(seq 100); do
            xdotool getwindowname "$1" >/dev/null 2>&1 || return 0
            sleep 0.1
        done
    done
    return 1
}

# Answers a box of a station with a key.
repond() {
    local w
    w="$(attends "$1" "$2")"
    ferme "$w" "$3" && return 0
    echec_fenetres "la boîte « $1 » du $2 ne répond pas"
}

# Opens a menu of a window by its Alt letter, then presses keys within it.
menu() {
    xdotool windowactivate --sync "$1" >/dev/null 2>&1 || true
    sleep 0.3
    xdotool key --clearmodifiers "$2"
    sleep 0.7
    shift 2
    for touche in "$@"; do
        xdotool key "$touche"
        sleep 0.4
    done
}

# Clicks at a point of a window, from the top left corner of its inside.
clique() {
    xdotool windowactivate --sync "$1" >/dev/null 2>&1 || true
    xdotool mousemove --window "$1" "$2" "$3" click 1
    sleep 0.7
}

# Start-up of both stations of the bench: slow binary, the port offered, no receiver test.
# Sets p1 and p2 to their main windows. The function named by the first argument, if any,
# runs with the station's number while its port box is up, before it is answered.
demarrepostes() {
    for poste in 1 2; do
        repond "Choix du type" "Poste $poste" Escape
        if [ -n "${1:-}" ]; then "$1" "$poste"; fi
        repond "port COM" "Poste $poste" Return
        repond "Branchement" "Poste $poste" Return
        repond "Test du montage" "Poste $poste" Escape
        repond "TENSION SEUIL" "Poste $poste" Return
    done
    p1="$(attends "Communication" "Poste 1")"
    p2="$(attends "Communication" "Poste 2")"
}
