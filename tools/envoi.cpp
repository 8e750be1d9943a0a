// lumicom-tool send: one station of the program sends a message, as a user would type it
// in Texte1 and click the send button of the coding, then quits. The station runs its
// real start-up over the serial port and keys the laser of its interface in real time.

#include "souscommande.h"

#include "codes/windows1252.h"
#include "emit/btonenvoibinrap.h"
#include "emit/btonenvoiebinaire.h"
#include "emit/btonenvoiemorse.h"
#include "emit/btonenvoimorserapide.h"
#include "recording/debit.h"
#include "tools/postereel.h"

#include <QTimer>
#include <functional>

namespace {

// Milliseconds between the end of start-up and the click on the send button.
constexpr int delaiClic = 200;

int executeEnvoi(const QStringList& arguments) {
    QMap<QString, QString> valeurs;
    PosteReel::Reglages reglages;
    QString erreur;
    if (!litoptions(arguments,
                    {QStringLiteral("port"), QStringLiteral("coding"), QStringLiteral("text"),
                     QStringLiteral("speed"), QStringLiteral("samples")},
                    valeurs, erreur) ||
        !lisreglagesposte(valeurs, reglages, erreur))
        return erreurUsage(sousCommandeSend, erreur);
    if (!valeurs.contains(QStringLiteral("text")))
        return erreurUsage(sousCommandeSend,
                           QStringLiteral("l'option --text TEXTE est obligatoire"));
    const QString texte = valeurs.value(QStringLiteral("text"));
    bool tousCodes = true;
    versWindows1252(texte, &tousCodes);
    if (!tousCodes) {
        ecritErreur(QStringLiteral("le texte a un caractère sans code Windows-1252"));
        return sortieUsage;
    }

    PosteReel poste(reglages);
    Station& s = poste.station();
    const QMap<QString, QString> nomscodages = {
        {QStringLiteral("m"), QStringLiteral("Morse lent")},
        {QStringLiteral("b"), QStringLiteral("binaire lent")},
        {QStringLiteral("mr"), QStringLiteral("Morse rapide")},
        {QStringLiteral("br"), QStringLiteral("binaire rapide")}};
    const auto envoie = [&] {
        ecritErreur(QStringLiteral("envoi en %1 sur COM %2 : début de la marque de départ")
                        .arg(nomscodages.value(reglages.codage))
                        .arg(reglages.numport));
        const double debut = s.plateforme.horloge();
        if (reglages.codage == u"m")
            Btonenvoiemorse_Click(s);
        else if (reglages.codage == u"b")
            Btonenvoiebinaire_Click(s);
        else if (reglages.codage == u"mr")
            Btonenvoi_morserapide_Click(s);
        else
            Btonenvoi_binrap_Click(s);
        ecritErreur(QStringLiteral("fin de l'émission : %1 s après le début de la marque de "
                                   "départ")
                        .arg(secondes(s.plateforme.horloge() - debut)));
        poste.termine(sortieSucces);
    };
    // The click finds the line free, as a user's click, seconds after start-up, does:
    // otherwise the start mark would wait behind the end of start-up's laser-off burst
    // (which a pseudo-terminal or a USB adapter may still be carrying when the port says
    // it is sent) or behind a sampling request of the tick.
    std::function<void()> clique = [&] {
        if (s.liaison.octetsEnAttente() > 0)
            QTimer::singleShot(1, clique);
        else
            envoie();
    };
    // What the light of the message carried, from the station's own keying.
    poste.ecran().surDebit = [](const DebitMessage& debit) {
        if (debitmesure(debit))
            ecritErreur(textedebitdetaille(debit));
    };
    poste.demarre([&] {
        s.ecran->fixetexte(Ecran::Controle::Texte1, texte);
        QTimer::singleShot(delaiClic, clique);
    });
    return sortieSucces;
}

} // namespace

const SousCommande sousCommandeSend = {
    "send",
    "--port N --coding m|b|mr|br --text TEXTE [--speed K] [--samples 6400|12800]",
    "un poste envoie TEXTE par le laser du port COM N (m : Morse lent, b : binaire lent,\n"
    "      mr : Morse rapide, br : binaire rapide), démarrage du programme compris, puis\n"
    "      s'arrête ; K : facteur du menu de vitesse (0.9 à 4, défaut 1) ; en codage rapide,\n"
    "      la durée d'enregistrement du récepteur (défaut 6400 mesures). Avancement et débit\n"
    "      du message (mesuré sur les commandes du laser) sur la sortie d'erreur. Code 2 :\n"
    "      port impossible à ouvrir (message du programme) ou ligne de commande erronée",
    executeEnvoi,
};
