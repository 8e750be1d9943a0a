#include "recording/lectureenregistrement.h"

#include "link/valeurnumerique.h"
#include "recording/fichierenregistrement.h"
#include "recording/raisonfichier.h"

#include <QFileInfo>
#include <algorithm>

namespace {

constexpr qsizetype tailletampon = 64 * 1024;

} // namespace

bool LectureEnregistrement::ouvre(const QString& chemin, QString* erreur) {
    ferme();
    if (erreur)
        erreur->clear();
    fichier_.setFileName(chemin);
    // Only an ordinary file: a named pipe or a device could block the opening or never
    // end.
    const bool ordinaire = QFileInfo(chemin).isFile();
    if (!ordinaire || !fichier_.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        if (erreur)
            *erreur = QStringLiteral("Impossible d'ouvrir le fichier « %1 » : %2")
                          .arg(cheminaffiche(chemin),
                               raisonechecfichier(chemin, fichier_, UsageFichier::lecture));
        return false;
    }
    source_ = &fichier_;
    sauteentete();
    return true;
}

void LectureEnregistrement::ouvre(QIODevice& appareil) {
    ferme();
    source_ = &appareil;
    sauteentete();
}

void LectureEnregistrement::sauteentete() {
    QByteArray ligne;
    while (lignesentete_ < lignesenteteenregistrement && lisligne(ligne))
        ++lignesentete_;
}

bool LectureEnregistrement::suivante(double& valeur) {
    QByteArray ligne;
    if (!lisligne(ligne))
        return false;
    valeur = valeurligne(ligne);
    if (portevaleur(ligne))
        ++lignesavecvaleur_;
    return true;
}

void LectureEnregistrement::ferme() {
    if (fichier_.isOpen())
        fichier_.close();
    source_ = nullptr;
    tampon_.clear();
    position_ = 0;
    apresCR_ = false;
    lignesentete_ = 0;
    lignesavecvaleur_ = 0;
    binaire_ = false;
}

double LectureEnregistrement::valeurligne(const QByteArray& ligne) {
    qsizetype i = 0;
    while (i < ligne.size() && ligne[i] == ' ')
        ++i;
    const qsizetype blanc = ligne.indexOf(' ', i);
    if (blanc < 0)
        return 0;
    return valeurnumerique(ligne.mid(blanc + 1));
}

bool LectureEnregistrement::portevaleur(const QByteArray& ligne) {
    const auto chiffre = [&ligne](qsizetype i) {
        return i < ligne.size() && ligne[i] >= '0' && ligne[i] <= '9';
    };
    qsizetype i = 0;
    while (i < ligne.size() && ligne[i] == ' ')
        ++i;
    const qsizetype indice = i;
    while (chiffre(i))
        ++i;
    if (i == indice || i >= ligne.size() || ligne[i] != ' ')
        return false;
    ++i;
    while (i < ligne.size() && (ligne[i] == ' ' || ligne[i] == '\t'))
        ++i;
    if (i < ligne.size() && (ligne[i] == '-' || ligne[i] == '+'))
        ++i;
    return chiffre(i);
}

bool LectureEnregistrement::octetbinaire(char octet) {
    const auto u = static_cast<unsigned char>(octet);
    return u < 0x20 && !(u >= 0x09 && u <= 0x0D) && u != 0x1A;
}

// Next line into `debut`, at most `longueurgardee` bytes of it. A line ends at CR LF, at
// LF alone or at CR alone, or at the end of the file. False when the file has no more
// lines.
bool LectureEnregistrement::lisligne(QByteArray& debut) {
    debut.clear();
    if (apresCR_) {
        apresCR_ = false;
        if (position_ < tampon_.size() || remplit()) {
            if (tampon_.at(position_) == '\n')
                ++position_;
        }
    }
    bool lue = false;
    for (;;) {
        if (position_ >= tampon_.size() && !remplit())
            return lue;
        lue = true;
        const char* const octets = tampon_.constData();
        qsizetype fin = position_;
        while (fin < tampon_.size() && octets[fin] != '\n' && octets[fin] != '\r')
            ++fin;
        const qsizetype place = longueurgardee - debut.size();
        debut.append(octets + position_, qMin(fin - position_, place));
        position_ = fin;
        if (fin < tampon_.size()) {
            apresCR_ = octets[fin] == '\r';
            ++position_;
            return true;
        }
    }
}

// Reads the next block of the file into the buffer; false at the end of the file, or
// when the file can no longer be read (taken as its end).
bool LectureEnregistrement::remplit() {
    position_ = 0;
    tampon_.resize(tailletampon);
    const qint64 lus = source_ ? source_->read(tampon_.data(), tailletampon) : -1;
    tampon_.resize(lus > 0 ? lus : 0);
    if (!binaire_)
        binaire_ = std::any_of(tampon_.cbegin(), tampon_.cend(), octetbinaire);
    return lus > 0;
}
