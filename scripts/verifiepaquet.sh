#!/usr/bin/env bash
# Builds the Debian package of an already built directory (`cpack -G DEB`) and checks it:
# exactly the three programs and the bench's launcher, the two desktop entries, the icons,
# the manual pages and the package's documentation; Qt libraries in Depends, a maintainer
# with an address; valid desktop entries whose Exec and Icon are in the package; manual
# pages that read and name every option of their program's help; the copyright in Debian's
# machine-readable format; programs that start and give the package's version.
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
programmes="lumicom lumicom-banc lumicom-sim lumicom-tool"
attendus="$(
    for programme in $programmes; do
        echo "./usr/bin/$programme"
        echo "./usr/share/man/fr/man1/$programme.1.gz"
        echo "./usr/share/man/man1/$programme.1.gz"
    done
    echo ./usr/share/applications/lumicom-banc.desktop
    echo ./usr/share/applications/lumicom.desktop
    echo ./usr/share/doc/lumicom/changelog.Debian.gz
    echo ./usr/share/doc/lumicom/copyright
    echo ./usr/share/icons/hicolor/64x64/apps/lumicom.png
    echo ./usr/share/icons/hicolor/scalable/apps/lumicom.svg
)"
attendus="$(sort <<<"$attendus")"
dpkg-deb -c "$paquet" >"$travail/contenu.txt"
awk '$1 !~ /^d/ { print $6 }' "$travail/contenu.txt" | sort >"$travail/fichiers.txt"
if ! diff <(echo "$attendus") "$travail/fichiers.txt" >"$travail/ecarts.txt"; then
    echec "les fichiers du paquet ne sont pas ceux attendus (< manquant, > en trop) :"
    cat "$travail/ecarts.txt" >&2
fi
# Directories only where those files go (no stray lib or include).
while read -r dossier; do
    case "$dossier" in
        ./ | ./usr/ | ./usr/bin/ | ./usr/share/ | ./usr/share/applications/ | ./usr/share/icons/*) ;;
        ./usr/share/man/ | ./usr/share/man/man1/ | ./usr/share/man/fr/ | ./usr/share/man/fr/man1/) ;;
        ./usr/share/doc/ | ./usr/share/doc/lumicom/) ;;
        *) echec "dossier inattendu dans le paquet : $dossier" ;;
    esac
done < <(awk '$1 ~ /^d/ { print $6 }' "$travail/contenu.txt")
for programme in $programmes; do
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
grep -qE '^[^<>]+ <[^<>@ ]+@[^<>@ ]+\.[^<>@ ]+>$' <<<"$(champ Maintainer)" ||
    echec "Maintainer sans adresse : « $(champ Maintainer) »"
version="$(champ Version)"

# The desktop entries, read from the package itself.
dpkg-deb -x "$paquet" "$travail/racine"
racine="$travail/racine"
for entree in "$racine"/usr/share/applications/*.desktop; do
    [ -f "$entree" ] || continue
    nom="$(basename "$entree")"
    if command -v desktop-file-validate >/dev/null; then
        desktop-file-validate --no-hints "$entree" >"$travail/validation.txt" 2>&1 || {
            echec "desktop-file-validate refuse l'entrée de menu $nom :"
            cat "$travail/validation.txt" >&2
        }
    else
        echo "desktop-file-validate absent (paquet desktop-file-utils) : $nom non validée"
    fi
    exec_="$(sed -n 's/^Exec=//p' "$entree")"
    [ -x "$racine/usr/bin/${exec_%% *}" ] ||
        echec "la commande de l'entrée de menu $nom ($exec_) n'est pas un programme du paquet"
    icone="$(sed -n 's/^Icon=//p' "$entree")"
    [ -f "$racine/usr/share/icons/hicolor/scalable/apps/$icone.svg" ] ||
        echec "l'icône de l'entrée de menu $nom ($icone) n'est pas dans le paquet"
    grep -qE '^Categories=(.*;)?Education;(.*;)?Science;' "$entree" ||
        grep -qE '^Categories=(.*;)?Science;(.*;)?Education;' "$entree" ||
        echec "l'entrée de menu $nom n'est pas dans les catégories Education et Science"
done

# The packaged programs start and say the package's version: neither needs a display
# nor a port for it.
for programme in $programmes; do
    binaire="$racine/usr/bin/$programme"
    [ -x "$binaire" ] || continue
    "$binaire" --help >"$travail/aide-$programme.txt" 2>&1 ||
        echec "$programme --help du paquet a échoué (statut $?)"
    lue="$("$binaire" --version 2>&1)" || echec "$programme --version du paquet a échoué"
    [ "$lue" = "$programme $version" ] ||
        echec "$programme --version donne « $lue », « $programme $version » attendu"
done
# The help of each subcommand of the tool too, for its manual page.
if [ -x "$racine/usr/bin/lumicom-tool" ]; then
    for sous in $(sed -n 's/^  \([a-z][a-z-]*\) .*/\1/p' "$travail/aide-lumicom-tool.txt"); do
        "$racine/usr/bin/lumicom-tool" "$sous" --help >>"$travail/aide-lumicom-tool.txt" 2>&1 ||
            echec "lumicom-tool $sous --help du paquet a échoué"
    done
fi

# The manual pages: the French one and the default one are the same, read without a
# warning, and name every option their program's help names.
for programme in $programmes; do
    page="$racine/usr/share/man/fr/man1/$programme.1.gz"
    [ -f "$page" ] || continue
    gzip -t "$page" 2>/dev/null || { echec "$programme.1.gz n'est pas un fichier gzip"; continue; }
    cmp -s "$page" "$racine/usr/share/man/man1/$programme.1.gz" ||
        echec "les pages de manuel de $programme diffèrent entre man1 et fr/man1"
    if command -v man >/dev/null; then
        LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" >/dev/null 2>"$travail/man.txt"
        if [ -s "$travail/man.txt" ]; then
            echec "la page de manuel de $programme se lit avec des avertissements :"
            cat "$travail/man.txt" >&2
        fi
    fi
    zcat "$page" | sed 's/\\-/-/g' >"$travail/page.txt"
    grep -q "$version" "$travail/page.txt" ||
        echec "la page de manuel de $programme ne donne pas la version $version"
    for option in $(grep -oE -- '--[a-z][a-z0-9-]*' "$travail/aide-$programme.txt" | sort -u); do
        grep -qF -- "$option" "$travail/page.txt" ||
            echec "la page de manuel de $programme ne dit rien de $option"
    done
done

# The package's documentation.
copyright="$racine/usr/share/doc/lumicom/copyright"
if [ -f "$copyright" ]; then
    [ "$(head -n 1 "$copyright")" = \
        "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" ] ||
        echec "copyright n'est pas au format lisible par machine de Debian (ligne Format)"
    grep -qx "Copyright: 2026 L'équipe lumicom" "$copyright" ||
        echec "copyright ne nomme pas « 2026 L'équipe lumicom »"
    [ "$(grep -c '^License: GPL-3.0-or-later$' "$copyright")" -eq 2 ] ||
        echec "copyright : la licence GPL-3.0-or-later doit être nommée et donnée"
fi
journal="$racine/usr/share/doc/lumicom/changelog.Debian.gz"
if [ -f "$journal" ]; then
    zcat "$journal" | head -n 1 | grep -q "^lumicom ($version) " ||
        echec "changelog.Debian.gz ne commence pas par la version $version du paquet"
fi

if [ "$erreurs" -ne 0 ]; then
    echo "Paquet Debian : $erreurs erreur(s)" >&2
    exit 1
fi
echo "Paquet Debian vérifié : $(basename "$paquet")"
