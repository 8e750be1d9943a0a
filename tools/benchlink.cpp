// lumicom-tool bench-link [OPTIONS]: one message from station 1 to station 2 on the
// virtual bench, with the program's own send and reception routines, in virtual time.
// Prints about station 2's first reception: its code string, the text Texte2 shows at its
// end (the received text, then each notice under it on a line of its own: a message
// longer than the recording, a download abandoned), and messagerecu, the last line,
// exactly. (A binary message can give two receptions: the first one holds the message.)
//
// A received binary text may hold line breaks (a character code 10 or 13 sent, or made
// by a slot error). They are printed as the symbols ␊ (U+240A) and ␍ (U+240D), which no
// Windows-1252 character gives, so each item stays on its own line, messagerecu stays
// the last one, and the exact text can be restored. Nothing else is replaced.

#include "souscommande.h"

#include "codes/windows1252.h"
#include "link/messagesqt.h"
#include "recording/debit.h"
#include "recording/fichierenregistrement.h"
#include "tools/essailiaison.h"

#include <QLocale>
#include <QtGlobal>
#include <cmath>
#include <cstdio>

namespace {

int erreur(const QString& message) {
    return erreurUsage(sousCommandeBenchLink, message);
}

// A number of volts (or of milliseconds, or a share), zero or more.
bool litTension(const QString& valeur, double& tension) {
    bool nombre = false;
    tension = QString(valeur).replace(u',', u'.').toDouble(&nombre);
    return nombre && std::isfinite(tension) && tension >= 0;
}

// What the light of the message carried, as station 2 measured it on the light it received
// and station 1 on its own keying, beside the time the changes of its laser (SB0) give.
void ecritdebits(const ResultatLiaison& resultat, const QString& codage) {
    const auto duree = [](double secondes) {
        return QLocale(QLocale::French).toString(secondes, 'f', 4) + QStringLiteral(" s");
    };
    ecritErreur(QStringLiteral("débit reçu : %1 (%2)")
                    .arg(textedebit(resultat.debitrecu), duree(resultat.debitrecu.duree)));
    ecritErreur(QStringLiteral("débit envoyé : %1 (%2)")
                    .arg(textedebit(resultat.debitemis), duree(resultat.debitemis.duree)));
    ecritErreur(QStringLiteral("lumière du message (SB0 du poste 1) : %1")
                    .arg(duree(dureelumieremessage(resultat.transitions, codage))));
}

int executeBenchLink(const QStringList& arguments) {
    EssaiLiaison essai;
    bool debits = false;
    essai.texte = QStringLiteral("sos");
    QString fichier;
    const QStringList options = {QStringLiteral("--coding"),   QStringLiteral("--speed"),
                                 QStringLiteral("--interval"), QStringLiteral("--text"),
                                 QStringLiteral("--noise"),    QStringLiteral("--flicker"),
                                 QStringLiteral("--seed"),     QStringLiteral("--samples"),
                                 QStringLiteral("--save"),     QStringLiteral("--room-light"),
                                 QStringLiteral("--offset"),   QStringLiteral("--glissement"),
                                 QStringLiteral("--arrets"),   QStringLiteral("--parasites")};
    // Options without a value.
    const QStringList drapeaux = {QStringLiteral("--robuste"), QStringLiteral("--blocs"),
                                  QStringLiteral("--debit")};
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        // "--option valeur" or "--option=valeur"; the last occurrence wins.
        QString option = arguments.at(i);
        QString valeur;
        const qsizetype egal = option.startsWith(u"--") ? option.indexOf(u'=') : -1;
        if (egal > 0) {
            valeur = option.mid(egal + 1);
            option.truncate(egal);
        }
        if (egal < 0 && drapeaux.contains(option)) {
            (option == u"--robuste" ? essai.robuste
             : option == u"--blocs" ? essai.blocs
                                    : debits) = true;
            continue;
        }
        if (!options.contains(option)) {
            return erreur(option.startsWith(u'-')
                              ? QStringLiteral("option inconnue « %1 »").arg(option)
                              : QStringLiteral("argument inattendu « %1 »").arg(option));
        }
        if (egal <= 0) {
            if (i + 1 >= arguments.size())
                return erreur(QStringLiteral("valeur manquante après « %1 »").arg(option));
            valeur = arguments.at(++i);
        }
        if (option == u"--coding") {
            if (valeur != u"m" && valeur != u"b" && valeur != u"mr" && valeur != u"br")
                return erreur(QStringLiteral("codage inconnu « %1 » (m, b, mr ou br)").arg(valeur));
            essai.codage = valeur;
        } else if (option == u"--samples") {
            if (valeur != u"6400" && valeur != u"12800")
                return erreur(QStringLiteral("nombre de mesures « %1 » impossible (6400 ou 12800)")
                                  .arg(valeur));
            essai.nbmesures = valeur.toInt();
        } else if (option == u"--save") {
            if (valeur.isEmpty())
                return erreur(QStringLiteral("nom de fichier vide après --save"));
            fichier = valeur;
        } else if (option == u"--speed") {
            essai.vitesse = articlevitesse(valeur);
            if (!essai.vitesse)
                return erreur(QStringLiteral("vitesse « %1 » absente du menu (0.9, 0.925, 0.95, "
                                             "0.975, 1, 1.1, 1.2, 1.3, 2, 3 ou 4)")
                                  .arg(valeur));
        } else if (option == u"--interval") {
            if (valeur != u"30" && valeur != u"50")
                return erreur(
                    QStringLiteral("intervalle « %1 » impossible (30 ou 50 ms)").arg(valeur));
            essai.intervalle = valeur.toInt();
        } else if (option == u"--text") {
            bool tousCodes = true;
            versWindows1252(valeur, &tousCodes);
            if (!tousCodes)
                return erreur(QStringLiteral("le texte contient un caractère sans code "
                                             "Windows-1252"));
            essai.texte = valeur;
        } else if (option == u"--noise") {
            if (!litTension(valeur, essai.lumiere.bruit))
                return erreur(QStringLiteral("bruit « %1 » impossible (un écart type en volts, "
                                             "positif ou nul)")
                                  .arg(valeur));
        } else if (option == u"--flicker") {
            if (!litTension(valeur, essai.lumiere.scintillement))
                return erreur(QStringLiteral("scintillement « %1 » impossible (une amplitude en "
                                             "volts, positive ou nulle)")
                                  .arg(valeur));
        } else if (option == u"--room-light") {
            if (!litTension(valeur, essai.lumiere.niveauObscur) || essai.lumiere.niveauObscur > 5)
                return erreur(QStringLiteral("lumière de la salle « %1 » impossible (une tension "
                                             "en volts, de 0 à 5)")
                                  .arg(valeur));
        } else if (option == u"--glissement") {
            double ms = 0;
            if (!litTension(valeur, ms) || ms > 1000)
                return erreur(QStringLiteral("glissement « %1 » impossible (un écart type en "
                                             "millisecondes, de 0 à 1000)")
                                  .arg(valeur));
            essai.lumiere.glissement = ms / 1000;
        } else if (option == u"--arrets") {
            if (!litTension(valeur, essai.lumiere.proportionArrets) ||
                essai.lumiere.proportionArrets > 1)
                return erreur(QStringLiteral("arrêts « %1 » impossibles (une part des changements "
                                             "du laser, de 0 à 1)")
                                  .arg(valeur));
        } else if (option == u"--parasites") {
            bool nombre = false;
            essai.lumiere.parasites = valeur.toInt(&nombre);
            if (!nombre || essai.lumiere.parasites < 0 || essai.lumiere.parasites > 100)
                return erreur(QStringLiteral("parasites « %1 » impossibles (un nombre d'éclairs "
                                             "et de creux, de 0 à 100)")
                                  .arg(valeur));
        } else if (option == u"--offset") {
            bool nombre = false;
            essai.debutEnvoi = QString(valeur).replace(u',', u'.').toDouble(&nombre);
            if (!nombre || !std::isfinite(essai.debutEnvoi) || essai.debutEnvoi < 0.5 ||
                essai.debutEnvoi > 60)
                return erreur(QStringLiteral("instant de départ « %1 » impossible (en secondes, "
                                             "de 0,5 à 60)")
                                  .arg(valeur));
        } else if (option == u"--seed") {
            bool nombre = false;
            essai.lumiere.graine = valeur.toULongLong(&nombre);
            if (!nombre)
                return erreur(QStringLiteral("graine « %1 » impossible (un entier positif ou "
                                             "nul)")
                                  .arg(valeur));
        }
    }

    filtremessagesqt();
    const ResultatLiaison resultat = essaieliaison(essai);
    if (resultat.receptions == 0)
        ecritErreur(QStringLiteral("le poste 2 n'a terminé aucune réception"));
    else if (resultat.receptions > 1)
        ecritErreur(QStringLiteral("le poste 2 a terminé %1 réceptions : voici la première")
                        .arg(resultat.receptions));
    if (resultat.enCours)
        ecritErreur(QStringLiteral("une réception du poste 2 était encore en cours à la fin"));
    if (resultat.telechargementInterrompu)
        ecritErreur(QStringLiteral("le téléchargement du poste 2 a été interrompu"));
    if (debits)
        ecritdebits(resultat, essai.codage);
    if (!fichier.isEmpty()) {
        if (!essai.codage.endsWith(u'r')) {
            ecritErreur(QStringLiteral("--save : seul un codage rapide (mr ou br) enregistre les "
                                       "mesures ; aucun fichier écrit"));
            return sortieUsage;
        }
        QString raison;
        if (resultat.receptions == 0 ||
            !ecritenregistrement(fichier, resultat.tabmesures, resultat.nbmesures, &raison)) {
            ecritErreur(resultat.receptions == 0 ? QStringLiteral("aucun enregistrement à écrire")
                                                 : raison);
            return sortieUsage;
        }
    }
    ecritLigne(surUneLigne(resultat.code));
    // Texte2: the text received, then its notices, each on its own line.
    const bool avecavis = resultat.texte2.startsWith(resultat.messagerecu + u'\n');
    ecritLigne(surUneLigne(avecavis ? resultat.messagerecu : resultat.texte2));
    if (avecavis)
        for (const QString& avis :
             resultat.texte2.mid(resultat.messagerecu.size() + 1).split(u'\n'))
            ecritLigne(avis);
    ecritLigne(surUneLigne(resultat.messagerecu));
    return sortieSucces;
}

} // namespace

const SousCommande sousCommandeBenchLink = {
    "bench-link",
    "[--coding m|b|mr|br] [--speed K] [--interval 30|50] [--text TEXTE] [--noise SIGMA] "
    "[--flicker VOLTS] [--seed N] [--room-light VOLTS] [--offset SECONDES] [--glissement MS] "
    "[--arrets P] [--parasites N] [--samples 6400|12800] [--save FICHIER] [--robuste] "
    "[--blocs] [--debit]",
    "le poste 1 envoie TEXTE (défaut « sos ») au poste 2 sur le banc virtuel, en temps\n"
    "      virtuel (m : Morse lent, défaut ; b : binaire lent ; mr, br : Morse et binaire\n"
    "      rapides, avec un enregistrement de 6400 mesures, ou 12800 avec --samples 12800 ;\n"
    "      --save écrit dans FICHIER l'enregistrement que le poste 2 garde) ; affiche, de la "
    "première\n"
    "      réception, la chaîne de code (Morse, ou codebinaire), le texte de Texte2 à sa fin,\n"
    "      puis messagerecu en dernière ligne ; un saut de ligne reçu s'y écrit ␊, un retour\n"
    "      chariot ␍. K : facteur du menu de vitesse (0.9 0.925 0.95 0.975 1 1.1 1.2 1.3 2 3\n"
    "      4, défaut 1) et intervalle de la minuterie en ms (défaut : 50 en Morse, 30 en\n"
    "      binaire), choisis sur les deux postes ; bruit (écart type) et scintillement à\n"
    "      100 Hz (amplitude) de la lumière en volts, défaut 0 ; graine du hasard, défaut 1 ;\n"
    "      lumière de la salle sur la photodiode (tension sans laser), défaut 0,05 V ;\n"
    "      instant où le poste 1 clique sur le bouton d'envoi, en secondes après le\n"
    "      démarrage des deux postes, défaut 2 (il déplace la phase des mesures sur la\n"
    "      lumière) ; glissements d'un émetteur occupé : chaque changement du laser vu par\n"
    "      la photodiode déplacé d'un tirage gaussien d'écart type MS millisecondes, défaut 0,\n"
    "      et la part P des changements (de 0 à 1) retardés en plus de 100 ms, défaut 0 ;\n"
    "      N parasites d'une mesure (1,3 ms), chacun un éclair dans l'obscurité ou un creux\n"
    "      dans la lumière, tirés sur la lumière du message (en rapide : de la fin de la\n"
    "      marque de début à l'obscurité qui suit le dernier élément), défaut 0 ;\n"
    "      --robuste et --blocs cochent les articles du menu Options sur les deux postes ;\n"
    "      --debit écrit sur la sortie d'erreur le débit du message mesuré par le poste 2\n"
    "      sur la lumière reçue, par le poste 1 sur ses touches, et la durée que donnent\n"
    "      les changements du laser du poste 1.\n"
    "      Code 0 quel que soit le texte décodé",
    executeBenchLink,
};
