// lumicom-tool decode-recording morse|binary FICHIER: the program's decoder of a recording
// of that coding run on FICHIER, without any window. Prints the code string (Morse), or
// the display string that Texte1 shows (binary), then messagerecu, always the last line.

#include "souscommande.h"

#include "recording/debit.h"
#include "recording/decodagefichier.h"
#include "recording/messagerapide.h"
#include "recording/mesuresfichier.h"
#include "recording/resultatreception.h"

namespace {

// What the light of the recorded message carried, measured on its samples at 1.3 ms each.
void ecritdebit(const ResultatReception& resultat) {
    const DebitMessage debit = debitreception(resultat);
    if (debitmesure(debit))
        ecritErreur(textedebitdetaille(debit));
}

int executeDecodeRecording(const QStringList& argumentsdonnes) {
    // --robuste, anywhere: the decoders' robust rules, as the option of the menu gives them.
    QStringList arguments = argumentsdonnes;
    const Regles regles =
        arguments.removeAll(QStringLiteral("--robuste")) > 0 ? Regles::Robustes : Regles::Corrigees;
    if (arguments.size() != 2)
        return erreurUsage(sousCommandeDecodeRecording,
                           QStringLiteral("decode-recording attend un codage et un fichier "
                                          "(%1 argument(s) donné(s))")
                               .arg(arguments.size()));
    const QString& codage = arguments.at(0);
    if (codage != u"morse" && codage != u"binary")
        return erreurUsage(sousCommandeDecodeRecording,
                           QStringLiteral("codage inconnu « %1 » (morse ou binary)").arg(codage));
    const QString& chemin = arguments.at(1);
    MesuresFichier mesures;
    QString erreur;
    if (!litmesuresfichier(chemin, mesures, &erreur)) {
        ecritErreur(erreur);
        return sortieUsage;
    }
    if (mesures.tronque)
        ecritErreur(avisfichiertronque(chemin));
    if (codage == u"morse") {
        const MessageMorseRapide d = decodefichiermorse(mesures, regles);
        if (d.mesure.coupe != Coupure::non)
            ecritErreur(avismessagecoupe(int(mesures.valeurs.size()) - 1, d.mesure.coupe));
        ecritdebit(resultatfichier(mesures, chemin, d, regles));
        ecritLigne(d.mesure.codemorse);
        ecritLigne(surUneLigne(d.messagerecu));
    } else {
        const MessageBinaireRapide d = decodefichierbinaire(mesures, regles);
        if (d.mesure.coupe != Coupure::non)
            ecritErreur(avismessagecoupe(int(mesures.valeurs.size()) - 1, d.mesure.coupe));
        ecritdebit(resultatfichier(mesures, chemin, d, regles));
        ecritLigne(surUneLigne(d.mesure.affichagebinaire));
        ecritLigne(surUneLigne(d.messagerecu));
    }
    return sortieSucces;
}

} // namespace

const SousCommande sousCommandeDecodeRecording = {
    "decode-recording",
    "[--robuste] morse|binary FICHIER",
    "décode l'enregistrement FICHIER (*.rrr) comme le programme le décode : affiche la\n"
    "      chaîne de code (Morse) ou la chaîne d'affichage de Texte1 (binaire), puis\n"
    "      messagerecu en dernière ligne ; le débit du message sur la sortie d'erreur ;\n"
    "      --robuste : le décodage robuste du menu Options ;\n"
    "      un fichier illisible, ou qui n'est pas un enregistrement, donne le code 2",
    executeDecodeRecording,
};
