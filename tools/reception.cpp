// lumicom-tool receive: one station of the program in its idle loop, receiving; each
// text it shows is printed on standard output, one line each, as soon as it is shown.

#include "souscommande.h"

#include "app/formats.h"
#include "tools/postereel.h"

#include <QTimer>
#include <cstdio>

namespace {

int executeReception(const QStringList& arguments) {
    QMap<QString, QString> valeurs;
    PosteReel::Reglages reglages;
    QString erreur;
    if (!litoptions(arguments,
                    {QStringLiteral("port"), QStringLiteral("coding"), QStringLiteral("count"),
                     QStringLiteral("timeout"), QStringLiteral("speed")},
                    valeurs, erreur) ||
        !lisreglagesposte(valeurs, reglages, erreur))
        return erreurUsage(sousCommandeReceive, erreur);
    bool nombre = true;
    const int nombremessages = valeurs.contains(QStringLiteral("count"))
                                   ? valeurs.value(QStringLiteral("count")).toInt(&nombre)
                                   : 0;
    if (!nombre || nombremessages < 0)
        return erreurUsage(sousCommandeReceive, QStringLiteral("nombre de messages invalide « %1 »")
                                                    .arg(valeurs.value(QStringLiteral("count"))));
    const double delai = valeurs.contains(QStringLiteral("timeout"))
                             ? QString(valeurs.value(QStringLiteral("timeout")))
                                   .replace(u',', u'.')
                                   .toDouble(&nombre)
                             : 0;
    if (!nombre || delai < 0 || delai > 2e6)
        return erreurUsage(
            sousCommandeReceive,
            QStringLiteral("délai invalide « %1 »").arg(valeurs.value(QStringLiteral("timeout"))));

    PosteReel poste(reglages);
    Station& s = poste.station();
    // Without a start mark for `delai` seconds, outside a reception, the station stops.
    QTimer attente;
    attente.setSingleShot(true);
    attente.setInterval(static_cast<int>(delai * 1000));
    QObject::connect(&attente, &QTimer::timeout, [&] {
        ecritErreur(
            QStringLiteral("aucune marque de départ depuis %1 s : arrêt").arg(secondes(delai)));
        poste.termine(sortieSucces);
    });
    const auto guette = [&] {
        if (delai > 0)
            attente.start();
    };
    int recus = 0;
    s.observateurs.debutReception = [&] {
        attente.stop();
        ecritErreur(QStringLiteral("réception d'un message"));
    };
    s.observateurs.finReception = [&] {
        ecritLigne(s.etat.messagerecu);
        std::fflush(stdout);
        if (nombremessages > 0 && ++recus >= nombremessages)
            poste.termine(sortieSucces);
        guette();
    };
    poste.demarre([&] {
        ecritErreur(QStringLiteral("tension seuil %1 V ; en attente d'un message sur COM %2")
                        .arg(formattension(s.etat.tensionseuil))
                        .arg(reglages.numport));
        guette();
    });
    return sortieSucces;
}

} // namespace

const SousCommande sousCommandeReceive = {
    "receive",
    "--port N --coding m|b [--count C] [--timeout S] [--speed K]",
    "un poste reçoit par la photodiode du port COM N et écrit chaque message reçu sur une\n"
    "      ligne de la sortie standard ; s'arrête après C messages, après S secondes sans\n"
    "      marque de départ, ou sur Ctrl+C (code 0). Seuil et avancement sur la sortie\n"
    "      d'erreur. Code 2 : port impossible à ouvrir ou ligne de commande erronée",
    executeReception,
};
