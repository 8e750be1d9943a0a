#include "souscommande.h"

#include <cstdio>

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

void termineLigneEnPlace() {
    if (longueurEnPlace >= 0)
        ecritOctetsErreur(QStringLiteral("\n"));
    longueurEnPlace = -1;
}

} // namespace

void ecritErreur(const QString& message) {
    termineLigneEnPlace();
    ecritOctetsErreur(QStringLiteral("lumicom-tool : ") + message + u'\n');
}

void ecritErreurEnPlace(const QString& message, bool fin) {
    const QString ligne = QStringLiteral("lumicom-tool : ") + message;
    // A line begun goes back to its start; blanks cover what a longer text left.
    QString texte = longueurEnPlace >= 0 ? u'\r' + ligne : ligne;
    if (longueurEnPlace > ligne.size())
        texte += QString(longueurEnPlace - ligne.size(), u' ');
    longueurEnPlace = ligne.size();
    ecritOctetsErreur(texte);
    if (fin)
        termineLigneEnPlace();
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
