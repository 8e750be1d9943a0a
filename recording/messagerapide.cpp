#include "recording/messagerapide.h"

#include "recording/decodagebinairerapide.h"
#include "recording/decodagemorserapide.h"

#include <QLocale>

QString messagerecurapide(const SourceEchantillons& source, bool morse, Regles regles) {
    return morse ? decodemessagemorserapide(source, regles).messagerecu
                 : decodemessagebinairerapide(source, regles).messagerecu;
}

QString avismessagecoupe(int nbmesures, Coupure coupe) {
    if (coupe == Coupure::non)
        return QString();
    const QString duree = QLocale(QLocale::French).toString(nbmesures * periodeechantillon, 'f', 1);
    const QString conseil =
        nbmesures < 12800
            ? QStringLiteral("Choisir « durée maxi du message : 30 s » sur les deux postes, ou "
                             "envoyer un texte plus court.")
            : QStringLiteral("Envoyer un texte plus court, ou le couper en plusieurs messages.");
    if (coupe == Coupure::peutetre)
        return QStringLiteral("Réception peut-être incomplète : le message a pu durer plus "
                              "longtemps que l'enregistrement (%1 mesures, %2 s) ; sa fin n'a "
                              "peut-être pas été reçue. %3")
            .arg(nbmesures)
            .arg(duree, conseil);
    return QStringLiteral("Réception incomplète : le message a duré plus longtemps que "
                          "l'enregistrement (%1 mesures, %2 s) ; sa fin n'a pas été reçue. %3")
        .arg(nbmesures)
        .arg(duree, conseil);
}
