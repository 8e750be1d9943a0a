#include "link/valeurnumerique.h"

namespace {

bool estIgnore(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}
bool estChiffre(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

double valeurnumerique(const QByteArray& texte) {
    // The characters that count, blanks, tabs and line feeds left out.
    QByteArray utiles;
    utiles.reserve(texte.size());
    for (char c : texte)
        if (!estIgnore(c))
            utiles.append(c);

    qsizetype i = 0;
    double signe = 1;
    if (i < utiles.size() && (utiles[i] == '+' || utiles[i] == '-')) {
        signe = utiles[i] == '-' ? -1 : 1;
        ++i;
    }
    double valeur = 0;
    bool chiffreLu = false;
    while (i < utiles.size() && estChiffre(utiles[i])) {
        valeur = valeur * 10 + (utiles[i] - '0');
        chiffreLu = true;
        ++i;
    }
    if (i < utiles.size() && utiles[i] == '.') {
        ++i;
        double poids = 0.1;
        while (i < utiles.size() && estChiffre(utiles[i])) {
            valeur += poids * (utiles[i] - '0');
            poids /= 10;
            chiffreLu = true;
            ++i;
        }
    }
    return chiffreLu ? signe * valeur : 0;
}

double valeurnumerique(const QString& texte) {
    // Characters beyond Latin-1 cannot belong to a number; they stop it like a letter.
    QByteArray octets;
    octets.reserve(texte.size());
    for (QChar c : texte)
        octets.append(c.unicode() < 128 ? static_cast<char>(c.unicode()) : '?');
    return valeurnumerique(octets);
}
