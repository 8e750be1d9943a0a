// lumicom-tool receive: one station of the program in its idle loop, receiving; each
// text it shows is printed on standard output, one line each, as soon as it is shown.

#include "souscommande.h"

#include "codes/formats.h"
#include "receive/progressiontelechargement.h"
#include "receive/telechargement.h"
#include "recording/debit.h"
#include "recording/fichierenregistrement.h"
#include "tools/postereel.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QTimer>
#include <cstdio>

namespace {

int executeReception(const QStringList& arguments) {
    QMap<QString, QString> valeurs;
    PosteReel::Reglages reglages;
    QString erreur;
    if (!litoptions(arguments,
                    {QStringLiteral("port"), QStringLiteral("coding"), QStringLiteral("count"),
                     QStringLiteral("timeout"), QStringLiteral("speed"), QStringLiteral("samples"),
                     QStringLiteral("save-dir")},
                    valeurs, erreur, {QStringLiteral("robuste"), QStringLiteral("blocs")}) ||
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

    const QString dossier = valeurs.value(QStringLiteral("save-dir"));
    if (valeurs.contains(QStringLiteral("save-dir"))) {
        if (!reglages.rapide())
            return erreurUsage(sousCommandeReceive,
                               QStringLiteral("--save-dir : seules les réceptions rapides (mr, br) "
                                              "ont un enregistrement"));
        const QFileInfo infos(dossier);
        if (!infos.isDir() || !infos.isWritable())
            return erreurUsage(sousCommandeReceive,
                               QStringLiteral("le dossier « %1 » n'existe pas ou n'est pas "
                                              "accessible en écriture")
                                   .arg(dossier));
    }

    reglages.attendretourliaison = true;
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
    // The download on one line of standard error, written again in place as it goes.
    poste.ecran().surProgression = [](const ProgressionTelechargement& p) {
        ecritErreurEnPlace(ligneprogression(p, conseiloptionblocs(QStringLiteral("--blocs"))),
                           p.fini);
    };
    s.observateurs.finTelechargement = [&](const BilanTelechargement& bilan) {
        ecritErreur(QStringLiteral("téléchargement : %1 valeurs sur %2 en %3 s (%4 octets "
                                   "envoyés, %5 reçus)%6")
                        .arg(bilan.valeursRecues)
                        .arg(bilan.valeursDemandees)
                        .arg(secondes(bilan.duree))
                        .arg(bilan.octetsEcrits)
                        .arg(bilan.octetsLus)
                        .arg(causeabandon(bilan).isEmpty()
                                 ? QString()
                                 : QStringLiteral(" ; ") + causeabandon(bilan)));
    };
    // What the light of each message carried, measured on the light itself.
    poste.ecran().surDebit = [](const DebitMessage& debit) {
        if (debitmesure(debit))
            ecritErreur(textedebitdetaille(debit));
    };
    s.observateurs.finReception = [&] {
        ecritLigne(s.etat.messagerecu);
        std::fflush(stdout);
        // Since start-up: the ticks that expected a reading, and those that got none.
        const Echantillonneur& ech = s.liaison.echantillonneur();
        ecritErreur(
            QStringLiteral("tics manqués : %1 sur %2").arg(ech.ticsManques()).arg(ech.tics()));
        if (!dossier.isEmpty()) {
            // In place of the save chooser: one file per reception, named by its time.
            const QString nom = QDateTime::currentDateTime().toString(
                QStringLiteral("'reception-'yyyyMMdd-HHmmss'.rrr'"));
            const QString chemin = QDir(dossier).filePath(nom);
            QString raison;
            if (ecritenregistrement(chemin, s.etat.tabmesures, s.etat.nbmesures, &raison))
                ecritErreur(QStringLiteral("enregistrement écrit : %1").arg(chemin));
            else
                ecritErreur(raison);
        }
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
    "--port N --coding m|b|mr|br [--count C] [--timeout S] [--speed K]\n"
    "      [--samples 6400|12800] [--save-dir DOSSIER] [--robuste] [--blocs]",
    "un poste reçoit par la photodiode du port COM N et écrit chaque message reçu sur une\n"
    "      ligne de la sortie standard ; s'arrête après C messages, après S secondes sans\n"
    "      marque de départ, ou sur Ctrl+C (code 0). En codage rapide (mr, br), l'interface\n"
    "      enregistre 6400 mesures (ou 12800) ; avec --save-dir, chaque enregistrement est\n"
    "      écrit dans DOSSIER sous le nom reception-AAAAMMJJ-HHMMSS.rrr ; --robuste et --blocs\n"
    "      cochent les articles du menu Options (décodage robuste, Morse rapide par blocs).\n"
    "      Seuil, avancement,\n"
    "      téléchargement et débit de chaque message (mesuré sur la lumière reçue) sur la\n"
    "      sortie d'erreur. Code 2 : port impossible à ouvrir ou ligne\n"
    "      de commande erronée",
    executeReception,
};
