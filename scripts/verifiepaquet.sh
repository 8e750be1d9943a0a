#!/usr/bin/env bash
# Builds the Debian package of an already built directory (`cpack -G DEB`) and checks it:
# exactly the three programs, the desktop entry and the icons; Qt libraries in Depends;
# a valid desktop entry whose Exec and Icon are in the package; programs that start.
#   scripts/verifiepaquet.sh DOSSIER_DE_CONSTRUCTION
set -euo pipefail

if [ $# -ne 1 ] || [ ! -f "$1/CPackConfig.cmake" ]; then
    echo "usage : $0 DOSSIER_DE_CONSTRUCTION (un dossier configuré et construit par CMake)" >&2
    exit 2
fi
construction="$(cd "$1" && pwd)"

erreurs=0
echec() {
    echo "ÉCHEC : $*" >&2
    erreurs=$((erreurs + 1))
}

travail="$(mktemp -d "${TMPDIR:-/tmp}/lumicom-paquet.XXXXXX")"
trap 'rm -rf "$travail"' EXIT

# A package left by an earlier run must not be checked in place of the new one.
rm -f "$construction"/lumicom_*.deb
echo "Construction du paquet Debian dans $construction"
if ! (cd "$construction" && cpack -G DEB) >"$travail/cpack.txt" 2>&1; then
    cat "$travail/cpack.txt" >&2
    echo "ÉCHEC : cpack n'a pas produit le paquet" >&2
    exit 1
fi
paquets=("$construction"/lumicom_*.deb)
if [ ${#paquets[@]} -ne 1 ] || [ ! -f "${paquets[0]}" ]; then
    cat "$travail/cpack.txt" >&2
    echo "ÉCHEC : un seul paquet lumicom_*.deb attendu dans $construction" >&2
    exit 1
fi
paquet="${paquets[0]}"
echo "Paquet : $paquet"

# The files of the package, without the directories, must be exactly these.
attendus="./usr/bin/lumicom
./usr/bin/lumicom-sim
./usr/bin/lumicom-tool
./usr/share/applications/lumicom.desktop
./usr/share/icons/hicolor/64x64/apps/lumicom.png
./usr/share/icons/hicolor/scalable/apps/lumicom.svg"
dpkg-deb -c "$paquet" >"$travail/contenu.txt"
awk '$1 !~ /^d/ { print $6 }' "$travail/contenu.txt" | sort >"$travail/fichiers.txt"
if ! diff <(echo "$attendus") "$travail/fichiers.txt" >"$travail/ecarts.txt"; then
    echec "les fichiers du paquet ne sont pas ceux attendus (< manquant, > en trop) :"
    cat "$travail/ecarts.txt" >&2
fi
# Directories only where those files go (no stray share/doc, lib or include).
while read -r dossier; do
    case "$dossier" in
        ./ | ./usr/ | ./usr/bin/ | ./usr/share/ | ./usr/share/applications/ | ./usr/share/icons/*) ;;
        *) echec "dossier inattendu dans le paquet : $dossier" ;;
    esac
done < <(awk '$1 ~ /^d/ { print $6 }' "$travail/contenu.txt")
for programme in lumicom lumicom-tool lumicom-sim; do
    grep -qE "^-rwxr-xr-x root/root .* \./usr/bin/$programme\$" "$travail/contenu.txt" ||
        echec "usr/bin/$programme n'est pas un exécutable de root (droits rwxr-xr-x)"
done

# Control fields.
champ() { dpkg-deb -f "$paquet" "$1"; }
[ "$(champ Package)" = lumicom ] || echec "nom du paquet : « $(champ Package) », lumicom attendu"
dependances="$(champ Depends)"
echo "Depends: $dependances"
for bibliotheque in libqt6core6 libqt6gui6 libqt6widgets6 libqt6serialport6 qt6-qpa-plugins libc6; do
    grep -qE "(^|, )$bibliotheque( |,|$)" <<<"$dependances" ||
        echec "Depends ne mentionne pas $bibliotheque"
done
echo "Taille installée : $(champ Installed-Size) Kio"

# The desktop entry, read from the package itself.
dpkg-deb -x "$paquet" "$travail/racine"
entree="$travail/racine/usr/share/applications/lumicom.desktop"
if [ -f "$entree" ]; then
    if command -v desktop-file-validate >/dev/null; then
        desktop-file-validate --no-hints "$entree" >"$travail/validation.txt" 2>&1 || {
            echec "desktop-file-validate refuse l'entrée de menu :"
            cat "$travail/validation.txt" >&2
        }
    else
        echo "desktop-file-validate absent (paquet desktop-file-utils) : entrée de menu non validée"
    fi
    exec_="$(sed -n 's/^Exec=//p' "$entree")"
    [ -x "$travail/racine/usr/bin/${exec_%% *}" ] ||
        echec "la commande de l'entrée de menu ($exec_) n'est pas un programme du paquet"
    icone="$(sed -n 's/^Icon=//p' "$entree")"
    [ -f "$travail/racine/usr/share/icons/hicolor/scalable/apps/$icone.svg" ] ||
        echec "l'icône de l'entrée de menu ($icone) n'est pas dans le paquet"
    grep -qE '^Categories=(.*;)?Education;(.*;)?Science;' "$entree" ||
        grep -qE '^Categories=(.*;)?Science;(.*;)?Education;' "$entree" ||
        echec "l'entrée de menu n'est pas dans les catégories Education et Science"
fi

# The packaged programs start: their help needs neither a display nor a port.
for programme in lumicom lumicom-tool lumicom-sim; do
    binaire="$travail/racine/usr/bin/$programme"
    [ -x "$binaire" ] || continue
    "$binaire" --help >"$travail/aide.txt" 2>&1 ||
        echec "$programme --help du paquet a échoué (statut $?)"
done

if [ "$erreurs" -ne 0 ]; then
    echo "Paquet Debian : $erreurs erreur(s)" >&2
    exit 1
fi
echo "Paquet Debian vérifié : $(basename "$paquet")"
