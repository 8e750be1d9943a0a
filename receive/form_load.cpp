#include "receive/form_load.h"

#include "codes/formats.h"
#include "link/ecran.h"
#include "link/legendes.h"
#include "link/station.h"
#include "link/valeurnumerique.h"
#include "receive/boucledereception.h"
#include "receive/mesureseuil.h"
#include "receive/demarragebanc.h"

#include <QAction>
#include <algorithm>
#include <cmath>
#include <limits>

using enum Ecran::Controle;

namespace {

using Boutons = Dialogues::Boutons;
using Reponse = Dialogues::Reponse;

const QString LF = QStringLiteral("\n");
const QString CR = QStringLiteral("\r");

const QString titreouvertureport = QStringLiteral("Ouverture du port COM impossible");
const QString autreport = QStringLiteral(
    "Cliquer OK pour entrer un autre numéro de port, Annuler pour arrêter le programme.");

const QString titreinterfacemuette = QStringLiteral("L'interface ne répond pas");

// A measurement of the light during start-up: a port lost meanwhile is waited for, and
// Cancel on an interface that gives no reading ends the program.
void attendunemesureoufin(Station& s) {
    if (!attendunemesure(s, QStringLiteral("Annuler pour arrêter le programme.")))
        s.arrete(1);
}

bool choisitmorse(Station& s) {
    return s.dialogues.boiteMessage(
               QStringLiteral("Codage MORSE (lent) cliquer Ok  ou  codage BINAIRE (lent) cliquer "
                              "Annuler  ? "),
               Boutons::OkAnnuler,
               QStringLiteral(" Choix du type de code MORSE ou BINAIRE ?")) == Reponse::Ok;
}

void preparefenetre(Station& s, bool morse) {
    Ecran& f = *s.ecran;
    s.etat.typecodage = morse ? QStringLiteral("m") : QStringLiteral("b");
    f.fixeactif(Btonenvoi_binrap, false);
    f.fixevisible(Btonenvoi_binrap, false);
    f.fixevisible(Btonenvoi_morserapide, false);
    f.fixeactif(Btonenvoi_morserapide, false);
    f.fixeactif(Btonenvoiemorse, morse);
    f.fixeactif(Btonenvoiebinaire, !morse);
    f.fixetitre(morse ? legendemorselent() : legendebinairelent());
    f.fixecoche(menu_typemorse, morse);
    f.fixecoche(menu_typebinaire, !morse);
    f.fixetexte(Etiquette1, morse ? etiquette1morse() : etiquette1binaire());
    if (avertissementprioritewindows)
        s.dialogues.boiteMessage(
            QStringLiteral(
                "Pour les codages en binaire, le programme devra peut-être être placé en "
                "haute priorité (Onglet Processus option Temps réel) grâce au gestionnaire "
                "de tâches") +
                LF +
                QStringLiteral(
                    "si les ordinateurs sont en réseau ou si plusieurs programmes sont déjà "
                    "en mémoire"),
            Boutons::Ok, QStringLiteral("Attention à la priorité Windows accordée"));
    f.fixecoche(menu_30ms, !morse);
    f.fixecoche(menu_50ms, morse);
    s.Minuterie->setInterval(morse ? 50 : 30);
}

// The port number typed, by the numeric-value rule, rounded half to even. An empty
// answer ends the program; a number that no 16-bit port number can hold is refused, and
// the box asks again. Where the station searches for its interface first, the box says
// what the search found and offers the port where one answered.
void demandeport(Station& s) {
    for (;;) {
        QString trouvee;
        int propose = s.portpropose;
        if (s.sondeinterface) {
            const ResultatSonde sonde = s.sondeinterface(s.plateforme, s.portpropose);
            trouvee = textesonde(sonde) + CR + CR;
            if (sonde.trouve > 0)
                propose = sonde.trouve;
        }
        const QString reponse = s.dialogues.boiteSaisie(
            trouvee + QStringLiteral("Entrer le n° de port COM réel ") + CR +
                QStringLiteral(" Orphy branché sur un port COM") + CR +
                QStringLiteral("{voir Panneau de configuration Icône Ajout de matériel Option déjà "
                               "connecté Liste de matériel} "),
            QStringLiteral("N° de port COM ? 1,2,3 ... 8 ? "), QString::number(propose));
        if (reponse.isEmpty())
            s.arrete(0);
        const double numero = std::nearbyint(valeurnumerique(reponse));
        if (numero >= std::numeric_limits<qint16>::min() &&
            numero <= std::numeric_limits<qint16>::max()) {
            s.etat.numport = static_cast<qint16>(numero);
            return;
        }
        if (s.dialogues.boiteMessage(
                QStringLiteral(
                    "Le numéro de port COM « %1 » est hors limites : aucun port ne porte ce "
                    "numéro.")
                        .arg(reponse) +
                    LF + LF + autreport,
                Boutons::OkAnnuler, titreouvertureport) != Reponse::Ok)
            s.arrete(1);
    }
}

void verifiebranchement(Station& s) {
    const QString invite =
        QStringLiteral("* chaque Orphy GTS est relié au port COM ") +
        nombreavecblanc(s.etat.numport) + QStringLiteral(" de chaque ordinateur ") + LF +
        QStringLiteral("* Chaque module test d'Orphy GTS est relié sur la prise A ") + LF + LF +
        QStringLiteral("* un laser modulé est relié à la sortie binaire SB0 d'Orphy (sur le poste "
                       "émetteur simple ou les 2 postes émetteur-récepteur)") +
        LF + LF +
        QStringLiteral("* une photodiode ou un phototransistor (sur borne 5V du module test) est "
                       "connectée en série avec une résistance de 82 kOhm (sur Ref(0V)du module "
                       "test) (sur le poste récepteur simple ou les 2 postes "
                       "émetteur-récepteur)") +
        LF +
        QStringLiteral("* la connexion entre les 2 dipôles est liée à l'entrée EA0 (sur le poste "
                       "récepteur simple ou les 2 postes récepteur-émetteur)") +
        LF + QStringLiteral(" donc la tension sur la résistance de 82 kOhm est envoyée sur EA0 ") +
        LF + LF + QStringLiteral("Si le montage est réalisé; taper OK sinon annuler");
    if (s.dialogues.boiteMessage(invite, Boutons::OkAnnuler,
                                 QStringLiteral("Branchement du matériel nécessaire effectué ?")) !=
        Reponse::Ok)
        s.arrete(0);
}

// Opens the port and starts the tick. A port that cannot be opened: the reason, then OK
// to type another number, Cancel to end the program.
bool ouvrelaliaison(Station& s) {
    QString erreur;
    if (!s.liaison.ouvreport(&erreur)) {
        if (s.dialogues.boiteMessage(erreur + LF + LF + autreport, Boutons::OkAnnuler,
                                     titreouvertureport) != Reponse::Ok)
            s.arrete(1);
        return false;
    }
    s.Minuterie->setEnabled(true);
    return true;
}

// Whether the interface answers the tick within a second of the opening. When it does not,
// says why and what to check, then closes the port: OK to type the number again, Cancel to
// end the program.
bool interfacerepond(Station& s) {
    Plateforme& p = s.plateforme;
    const double debut = p.horloge();
    do {
        p.cede(debut + 1.0);
    } while (p.horloge() - debut <= 1.0 && s.liaison.echantillonneur().derniereLecture() < debut);
    if (s.liaison.echantillonneur().derniereLecture() >= debut)
        return true;
    const QString avis = s.liaison.avisinterface(p.horloge());
    s.Minuterie->setEnabled(false);
    s.liaison.fermeport();
    if (s.dialogues.boiteMessage(avis + LF + LF + autreport, Boutons::OkAnnuler,
                                 titreinterfacemuette) != Reponse::Ok)
        s.arrete(1);
    return false;
}

bool demandetest(Station& s) {
    return s.dialogues.boiteMessage(
               QStringLiteral("Voulez vous tester la hausse de tension aux bornes de ") + LF +
                   QStringLiteral("la résistance de 82 kOhm lors de l'éclairement par laser de la "
                                  "photodiode (ou du phototransistor) (si ce poste est équipé pour "
                                  "la fonction réception)? ") +
                   LF + LF + QStringLiteral("Cliquer OK pour le test   Annuler sinon"),
               Boutons::OkAnnuler, QStringLiteral(" Test du montage récepteur ?")) == Reponse::Ok;
}

void testerecepteur(Station& s) {
    EtatPartage& e = s.etat;
    boitedemarrage(
        s,
        QStringLiteral(" Le programme va mesurer la tension aux bornes de la résistance lorsque ") +
            LF +
            QStringLiteral("la photodiode (ou le phototransistor) n'est pas éclairée par le laser "
                           "de l'autre poste ") +
            LF +
            QStringLiteral("Sur ce poste : vérifier que la photodiode n'est pas éclairée par laser "
                           "SVP ") +
            LF + LF + QStringLiteral("Cliquer OK pour mesurer la tension dite seuil"),
        Boutons::Ok, QStringLiteral(" Mesure de la tension seuil (photodiode non éclairée)"),
        LumiereDemarrage::noire);

    attendunemesureoufin(s);
    e.tensionseuil = e.tensionmesuree + 0.5;

    boitedemarrage(
        s,
        QStringLiteral("La tension Useuil = tension mesurée ") + formattension(e.tensionmesuree) +
            QStringLiteral(" V + 0,5 V = ") + formattension(e.tensionseuil) +
            QStringLiteral(" V ") + LF + LF +
            QStringLiteral("Eclairer maintenant la photodiode (ou le phototransistor) avec le "
                           "laser du poste émetteur ") +
            LF + LF +
            QStringLiteral("Cliquer OK pour mesurer la hausse de tension aux bornes de la "
                           "résistance 82 kOhm "),
        Boutons::Ok, QStringLiteral(" Résultat de mesure de la tension seuil "),
        LumiereDemarrage::eclairee);

    attendunemesureoufin(s);
    // The rise is counted from the threshold, not from the dark voltage.
    const QString r = formattension(e.tensionmesuree);
    const QString h = formattension(e.tensionmesuree - e.tensionseuil);
    const QString mesure = QStringLiteral("La tension mesurée = ") + r +
                           QStringLiteral(" V  soit une hausse de ") + h + QStringLiteral(" V ");
    if (e.tensionmesuree - e.tensionseuil > 1) {
        boitedemarrage(
            s,
            mesure + QStringLiteral(" > 1V CORRECT ! ") + LF + LF +
                QStringLiteral(" Eteindre le laser du poste émetteur et continuer le programme "),
            Boutons::Ok, QStringLiteral(" Résultat du test : CORRECT "), LumiereDemarrage::rendue);
    } else if (boitedemarrage(
                   s,
                   mesure + QStringLiteral(" < 1V TROP FAIBLE POUR UN FONCTIONNEMENT OPTIMAL ") +
                       LF + LF +
                       QStringLiteral(
                           " ETEINDRE LE LASER du poste émetteur et continuer le "
                           "programme en cliquant OK ou annuler et vérifier le montage "),
                   Boutons::OkAnnuler, QStringLiteral(" Résultat du test : INCORRECT "),
                   LumiereDemarrage::rendue) != Reponse::Ok) {
        s.arrete(0);
    }
}

void avertitmesureseuil(Station& s, bool testfait) {
    boitedemarrage(s, invitemesureseuil(testfait), Boutons::Ok, titremesureseuil,
                   LumiereDemarrage::noire);
}

// Writes the laser-off byte again and again for 0.2 s without yielding, so that the
// laser is dark whatever the interface made of the dialogue's traffic. A byte is
// written only when the previous one has left the port: a port fed faster than 9600
// baud would queue thousands of bytes and hold back every later command for minutes.
void rafaleextinction(Station& s) {
    Plateforme& p = s.plateforme;
    const double debut = p.horloge();
    double maintenant = debut;
    do {
        const qint64 enattente = s.liaison.octetsEnAttente();
        if (enattente == 0)
            s.liaison.eteintlaserrapide();
        else
            // Sleeps while the line carries what is queued, rather than spin on the clock.
            p.patiente(std::min(debut + 0.2, maintenant + enattente / 960.0));
        maintenant = p.horloge();
    } while (maintenant - debut < 0.2);
}

} // namespace

void Form_Load(Station& s) {
    EtatPartage& e = s.etat;
    Ecran& f = *s.ecran;

    preparefenetre(s, choisitmorse(s));
    // The port is asked for until one opens whose interface answers; the wiring is
    // checked once.
    bool branchementverifie = false;
    for (;;) {
        demandeport(s);
        if (!branchementverifie)
            verifiebranchement(s);
        branchementverifie = true;
        if (ouvrelaliaison(s) && interfacerepond(s))
            break;
    }

    const bool testfait = demandetest(s);
    if (testfait)
        testerecepteur(s);

    e.taillepolice = 16;
    avertitmesureseuil(s, testfait);
    attendunemesureoufin(s);
    e.tensionseuil = e.tensionmesuree + 0.5;

    f.fixetexte(Texte1, QString());
    f.fixelectureseule(Texte2, true);
    e.facteurvitesse = 1;
    e.nbmesures = 6400;

    rafaleextinction(s);

    e.enregmorseautorise = QStringLiteral("oui");
    e.enregbinautorise = QStringLiteral("oui");
    e.dureeparmesure = 0.0013;
    f.metajourestimation();

    // From here on, an interface that stops answering the tick is said at once.
    s.surveillanceinterface = true;
    boucledereception(s);
}
