// lumicom-tool send: one station of the program sends a message, as a user would type it
// in Texte1 and click the send button of the coding, then quits. The station runs its
// real start-up over the serial port and keys the laser of its interface in real time.

#include "souscommande.h"

#include "app/feuillelumivox1.h"
#include "codes/windows1252.h"
#include "emit/btonenvoiebinaire.h"
#include "emit/btonenvoiemorse.h"
#include "tools/postereel.h"

#include <QPlainTextEdit>
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
                     QStringLiteral("speed")},
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
    const auto envoie = [&] {
        ecritErreur(
            QStringLiteral("envoi en %1 sur COM %2 : début de la marque de départ")
                .arg(reglages.morse ? QStringLiteral("Morse lent") : QStringLiteral("binaire lent"))
                .arg(reglages.numport));
        const double debut = s.plateforme.horloge();
        if (reglages.morse)
            Btonenvoiemorse_Click(s);
        else
            Btonenvoiebinaire_Click(s);
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
    poste.demarre([&] {
        s.feuille->Texte1->setPlainText(texte);
        QTimer::singleShot(delaiClic, clique);
    });
    return sortieSucces;
}

} // namespace

const SousCommande sousCommandeSend = {
    "send",
    "--port N --coding m|b --text TEXTE [--speed K]",
    "un poste envoie TEXTE par le laser du port COM N (m : Morse lent, b : binaire lent),\n"
    "      démarrage du programme compris, puis s'arrête ; K : facteur du menu de vitesse\n"
    "      (0.9 à 4, défaut 1). Avancement sur la sortie d'erreur. Code 2 : port impossible\n"
    "      à ouvrir (message du programme) ou ligne de commande erronée",
    executeEnvoi,
};
