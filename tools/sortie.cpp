#include "souscommande.h"

#include <cstdio>
#include <utility>

void ecritLigne(const QString& ligne) {
    const QByteArray octets = (ligne + u'\n').toUtf8();
    std::fwrite(octets.constData(), 1, size_t(octets.size()), stdout);
}

namespace {

// The characters of the line of standard error being written in place; -1 when none is.
qsizetype longueurEnPlace = -1;

void ecritOctetsErreur(const QString& texte) {
    const QByteArray octets = texte.toUtf8();
    std::fwrite(octets.constData(), 1, size_t(octets.size()), stderr);
    std::fflush(stderr);
}

} // namespace

QString texteEnPlace(const QString& ligne, qsizetype& longueur, bool fin) {
    // A line begun goes back to its start; blanks cover what a longer text left.
    QString texte = longueur >= 0 ? u'\r' + ligne : ligne;
    if (longueur > ligne.size())
        texte += QString(longueur - ligne.size(), u' ');
    longueur = ligne.size();
    if (fin)
        texte += texteFinEnPlace(longueur);
    return texte;
}

QString texteFinEnPlace(qsizetype& longueur) {
    return std::exchange(longueur, -1) >= 0 ? QStringLiteral("\n") : QString();
}

void ecritErreur(const QString& message) {
    ecritOctetsErreur(texteFinEnPlace(longueurEnPlace) + QStringLiteral("lumicom-tool : ") +
                      message + u'\n');
}

void ecritErreurEnPlace(const QString& message, bool fin) {
    ecritOctetsErreur(
        texteEnPlace(QStringLiteral("lumicom-tool : ") + message, longueurEnPlace, fin));
}

int erreurUsage(const SousCommande& commande, const QString& message) {
    ecritErreur(message);
    ecritErreur(QStringLiteral("utilisation : lumicom-tool %1 %2")
                    .arg(QLatin1String(commande.nom), QString::fromUtf8(commande.arguments)));
    return sortieUsage;
}

QString surUneLigne(QString texte) {
    texte.replace(u'\n', QChar(0x240A));
    texte.replace(u'\r', QChar(0x240D));
    return texte;
}
