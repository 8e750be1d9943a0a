#include "recording/fichierenregistrement.h"

#include "codes/formats.h"
#include "recording/raisonfichier.h"

#include <QSaveFile>
#include <iterator>

namespace {

const QByteArray finligne = QByteArrayLiteral("\r\n");

// The header the Regressi program expects, line for line. 0xFB is "û" in code page 1252;
// the markers give the number of lines of their section that follow them.
const char* const lignesentete[] = {
    "EVARISTE REGRESSI 2.0",
    "",
    " n R",
    "",
    "",
    "\xFB"
    "2 EXPR VARIABLE",
    "",
    "",
    "\xFB"
    "2 INCERT VARIABLE",
    "",
    "",
    "\xFB"
    "2 UNITE VARIABLE ",
    "",
    "",
    "\xFB"
    "17 CFG",
    "n",
    "R",
    "n",
    "",
    "",
    "FALSE",
    "FALSE",
    "FALSE",
    "0",
    "1",
    "TRUE",
    "TRUE",
    "FALSE",
    "RAD",
    "2",
    "FALSE",
    "FALSE",
    "\xFB"
    "1 INTERFACE ",
    "Clavier  ",
    "\x7F",
};
static_assert(std::size(lignesentete) == lignesenteteenregistrement);

// Writes all the bytes. The system may accept only part of them (a file-size limit, a
// disk about to be full) without an error: the rest is offered again, so that a real
// failure shows with its error rather than as a silently shortened file.
bool ecrittout(QSaveFile& fichier, const QByteArray& octets) {
    qsizetype ecrits = 0;
    while (ecrits < octets.size()) {
        const qint64 n = fichier.write(octets.constData() + ecrits, octets.size() - ecrits);
        if (n <= 0)
            return false;
        ecrits += n;
    }
    return true;
}

} // namespace

QByteArray enteteenregistrement() {
    QByteArray entete;
    for (const char* ligne : lignesentete)
        entete += ligne + finligne;
    return entete;
}

QByteArray ligneenregistrement(int k, const QByteArray& valeur) {
    return ' ' + nombreavecblanc(k).toLatin1() + ' ' + valeur + ' ';
}

QByteArray contenuenregistrement(const std::vector<QByteArray>& tabmesures, int nbmesures) {
    // Built whole in memory and written at once: under 200 kB for 12801 lines.
    QByteArray contenu = enteteenregistrement();
    contenu.reserve(contenu.size() + (qMax(nbmesures, 0) + 1) * 14);
    const QByteArray vide;
    for (int k = 0; k <= nbmesures; ++k) {
        const bool stocke = static_cast<std::size_t>(k) < tabmesures.size();
        contenu += ligneenregistrement(k, stocke ? tabmesures[k] : vide);
        contenu += finligne;
    }
    return contenu;
}

bool ecritenregistrement(const QString& chemin, const std::vector<QByteArray>& tabmesures,
                         int nbmesures, QString* erreur) {
    if (erreur)
        erreur->clear();
    if (chemin.isEmpty())
        return false;

    const QByteArray contenu = contenuenregistrement(tabmesures, nbmesures);
    QSaveFile fichier(chemin);
    bool reussi = fichier.open(QIODevice::WriteOnly);
    if (reussi)
        reussi = ecrittout(fichier, contenu);
    QString raison;
    if (!reussi)
        raison = raisonechecfichier(chemin, fichier, UsageFichier::ecriture);
    if (fichier.isOpen()) {
        // A failed write is abandoned: the temporary file goes, the name is not touched.
        if (!reussi)
            fichier.cancelWriting();
        if (!fichier.commit() && reussi) {
            reussi = false;
            raison = raisonechecfichier(chemin, fichier, UsageFichier::ecriture);
        }
    }
    if (!reussi && erreur)
        *erreur = QStringLiteral("Impossible d'enregistrer le fichier « %1 » : %2")
                      .arg(cheminaffiche(chemin), raison);
    return reussi;
}
