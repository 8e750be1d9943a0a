#include "link/echantillonneur.h"

#include <algorithm>
#include <utility>

double Echantillonneur::lecture(const QByteArray& reponse) {
    // The whole reply must be the number: digits, a decimal point and digits, blanks, tabs
    // and line feeds ignored; a sign, a letter or a second number make it no reading.
    QByteArray nombre;
    for (const char c : reponse)
        if (c != ' ' && c != '\t' && c != '\n')
            nombre += c;
    bool chiffre = false;
    bool point = false;
    for (const char c : nombre) {
        if (c >= '0' && c <= '9')
            chiffre = true;
        else if (c == '.' && !point)
            point = true;
        else
            return -1;
    }
    if (!chiffre || nombre.size() > 8)
        return -1;
    const double valeur = nombre.toDouble();
    return valeur <= 255 ? valeur : -1;
}

Echantillonneur::Releve Echantillonneur::prend(const QByteArray& arrive, double maintenant) {
    reste_ += arrive;
    Releve releve;
    qsizetype debut = 0;
    for (qsizetype fin = reste_.indexOf('\r'); fin >= 0; fin = reste_.indexOf('\r', debut)) {
        const QByteArray reponse = reste_.mid(debut, fin - debut);
        debut = fin + 1;
        if (std::exchange(jetteDebut_, false))
            continue;
        // A CR alone (or after blanks) is no reply: the interface echoes nothing else.
        if (reponse.trimmed().isEmpty())
            continue;
        const double v = lecture(reponse);
        if (v < 0) {
            ++incomprises_;
            derniereIncomprise_ = maintenant;
            continue;
        }
        releve.recue = true;
        releve.valeur = v;
    }
    reste_.remove(0, debut);
    // An interface that never sends a CR must not make the input grow without bound: no
    // reply is that long.
    if (reste_.size() > 64) {
        reste_.clear();
        ++incomprises_;
        derniereIncomprise_ = maintenant;
    }
    // A reply that comes while no request of the tick waits is left over from before it
    // started: no sample.
    if (!attendReponse_)
        releve.recue = false;
    if (releve.recue)
        derniereLecture_ = requete_;
    if (attendReponse_) {
        ++tics_;
        if (!releve.recue)
            ++manques_;
    }
    attendReponse_ = false;
    return releve;
}

void Echantillonneur::reprend(double maintenant, const QByteArray& arrive) {
    const QByteArray anciennes = reste_ + arrive;
    oublie();
    jetteDebut_ = !anciennes.isEmpty() && !anciennes.endsWith('\r');
    depuis_ = maintenant;
}

Echantillonneur::EtatInterface Echantillonneur::etat(double maintenant) const {
    const double debut = std::max(depuis_, derniereLecture_);
    if (maintenant - debut < delaiSilence)
        return EtatInterface::repond;
    // Only replies that keep coming, and are no readings, make an interface that speaks
    // wrongly: one that has fallen silent does not answer, whatever it said last (the last
    // reading dates from its request, any reply from its arrival: the two never compare).
    const bool parle =
        derniereIncomprise_ >= debut && maintenant - derniereIncomprise_ < delaiSilence;
    return parle ? EtatInterface::incomprehensible : EtatInterface::muette;
}
