#include "souscommande.h"

#include <cstdio>

void ecritLigne(const QString& ligne) {
    const QByteArray octets = (ligne + u'\n').toUtf8();
    std::fwrite(octets.constData(), 1, size_t(octets.size()), stdout);
}

void ecritErreur(const QString& message) {
    const QByteArray octets = (QStringLiteral("lumicom-tool : ") + message + u'\n').toUtf8();
    std::fwrite(octets.constData(), 1, size_t(octets.size()), stderr);
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
