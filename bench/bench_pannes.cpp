// bench-pannes: each fault of the simulated interface injected at one moment of a
// station's life (start-up, waiting, emission, slow reception, fast download), on the
// headless tool over lumicom-sim: `lumicom-tool receive` on COM2, `lumicom-tool send` on
// COM1, the fault given through the simulator's pipe when the tools' standard error or
// the journal shows the moment has come. For each cell: what the station said, whether
// the laser of COM1 ended dark, whether a text or a sample kept was wrong, and whether the
// station was usable again without a restart. Prints a table, asserts nothing.
//
// Each cell runs in a child process of its own (its own simulator and folder), two at a
// time by default; `--cellule PANNE PHASE` runs one and prints its row's fields.

#include "bench/enparallele.h"
#include "bench/processusbanc.h"

#include <QCoreApplication>
#include <QDir>
#include <QRegularExpression>
#include <QTextStream>
#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

QTextStream sortie(stdout);

enum class Phase { demarrage, attente, emission, receptionlente, telechargement };

struct DescriptionPhase {
    Phase phase;
    const char* nom;
};

const DescriptionPhase phases[] = {
    {Phase::demarrage, "démarrage"},
    {Phase::attente, "attente"},
    {Phase::emission, "émission"},
    {Phase::receptionlente, "réception lente"},
    {Phase::telechargement, "téléchargement"},
};

enum class Retour { reparee, revient, jamais };

// The phases a fault is given in, as a mask of bits 1 << Phase.
constexpr unsigned toutes = 0x1f;
constexpr unsigned bit(Phase p) {
    return 1u << unsigned(p);
}

struct Panne {
    const char* nom;
    // The command for the pipe, %1 standing for the port.
    const char* commande;
    bool lumiere;  // a fault of the photodiode (always that of COM2, the receiving one)
    Retour retour; // how the fault ends
    unsigned phases = toutes;
    // Words that say the fault wrongly (an interface silent said to answer): the cell is
    // not said if the station uses them.
    const char* motsfaux = nullptr;
    // Given at start-up while the threshold is measured, rather than before it.
    bool pendantLeSeuil = false;
};

const char* const repondMais = "répond, mais";

const Panne pannes[] = {
    {"muette", "muette %1", false, Retour::reparee, toutes, repondMais},
    {"charabia", "charabia %1", false, Retour::reparee},
    {"retard 0,1 s", "retard %1 0.1", false, Retour::reparee},
    {"retard 0,6 s", "retard %1 0.6", false, Retour::reparee},
    {"coupure, retour 3 s", "coupe %1 3", false, Retour::revient},
    {"coupure sans retour", "coupe %1", false, Retour::jamais},
    {"blocage", "bloque %1", false, Retour::reparee, toutes, repondMais},
    {"lumière allumée", "eclaire %1", true, Retour::reparee},
    {"lumière éteinte", "sombre %1", true, Retour::reparee},
    // The port back after 3 s under another device (an adapter plugged back under another
    // number): the station opens it again by its name, never what the number leads to.
    {"retour, autre nom", "rebranche %1 3", false, Retour::revient},
    // An interface that has answered, then falls silent: said not to answer.
    {"silence après réponses", "muette %1", false, Retour::reparee,
     bit(Phase::attente) | bit(Phase::receptionlente) | bit(Phase::telechargement), repondMais},
    // One reply of the download stopped half-way 0.8 s: dropped, asked for again.
    {"réponse en pause", "pause %1 0.8", false, Retour::reparee, bit(Phase::telechargement)},
    // The port lost while start-up measures the threshold, back 3 s later.
    {"coupure pendant le seuil", "coupe %1 3", false, Retour::revient, bit(Phase::demarrage),
     nullptr, true},
    // The photodiode lit while the threshold is measured, dark after: the station says so
    // and (the headless tool answering yes) measures it again.
    {"seuil mesuré éclairé", "eclaire %1", true, Retour::reparee, bit(Phase::demarrage)},
};

void dors(double secondes) {
    std::this_thread::sleep_for(std::chrono::duration<double>(secondes));
}

// Waits until `condition` holds or `delai` seconds have passed; whether it held.
template <typename Condition> bool attendsQue(Condition condition, double delai) {
    const double fin = maintenant() + delai;
    while (!condition()) {
        if (maintenant() > fin)
            return false;
        dors(0.05);
    }
    return true;
}

QByteArray litFichier(const QString& chemin) {
    QFile f(chemin);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A station run by lumicom-tool, what it printed kept in a file.
struct Poste {
    Poste(const QStringList& arguments, const QString& fichier)
        : fichier(fichier), outil(arguments, false, {}, fichier.toLocal8Bit()) {}

    // The texts shown so far, one a line of standard output.
    QStringList textes() const {
        QStringList lignes = QString::fromUtf8(litFichier(fichier)).split(u'\n');
        lignes.removeLast(); // after the last line end: not yet a whole line
        return lignes;
    }
    // A reception begun and not yet shown.
    bool recoit() {
        outil.litDisponible();
        return outil.lu().count("réception d'un message") > textes().size();
    }
    bool enVie() {
        if (!fini)
            fini = outil.fini(statut);
        return !fini;
    }
    bool attends(const QByteArray& texte, double delai) {
        return attendsQue(
                   [&] {
                       outil.litDisponible();
                       return outil.lu().contains(texte) || !enVie();
                   },
                   delai) &&
               outil.lu().contains(texte);
    }
    // Stops the tool as Ctrl+C would, if it still runs, and reads all it said.
    void arrete() {
        if (enVie()) {
            ::kill(outil.pid(), SIGTERM);
            attendsQue([&] { return !enVie(); }, 10);
        }
        outil.litDisponible();
    }

    QString fichier;
    Outil outil;
    bool fini = false;
    int statut = 0;
};

// What the station says that is not its usual progress, line by line.
QStringList ditsParLePoste(const QByteArray& erreurs) {
    static const QRegularExpression courant(QStringLiteral(
        "^lumicom-tool : (priorité temps réel|tension seuil|réception d'un message|tics manqués|"
        "envoi en|fin de l'émission|enregistrement écrit|arrêt demandé|Téléchargement :|"
        "Débit :)"));
    QStringList dits;
    for (const QString& ligne : QString::fromUtf8(erreurs).split(u'\n')) {
        if (ligne.trimmed().isEmpty() || courant.match(ligne).hasMatch())
            continue;
        QString dit = ligne;
        dit.remove(QStringLiteral("lumicom-tool : "));
        dits << dit.simplified();
    }
    dits.removeDuplicates();
    return dits;
}

// The same, shortened for the table: the device behind a port, the bytes of a download
// and the end of long lines left out.
QString enBref(const QStringList& dits) {
    static const QRegularExpression peripherique(QStringLiteral(" \\([^)]*/COM\\d\\)"));
    static const QRegularExpression octets(
        QStringLiteral(" \\(\\d+ octets envoyés, \\d+ reçus\\)"));
    QStringList brefs;
    for (QString dit : dits) {
        dit.remove(peripherique);
        dit.remove(octets);
        brefs << (dit.size() > 70 ? dit.left(69) + u'…' : dit);
    }
    return brefs.isEmpty() ? QStringLiteral("(rien)") : brefs.join(QStringLiteral(" | "));
}

// A fault said by the station, in its own words.
bool ditUnePanne(const QStringList& dits) {
    static const QRegularExpression avis(
        QStringLiteral("ne répond pas|répond, mais|n'existe pas|liaison perdue|cessé de répondre|"
                       "incomplète|interrompue|aucun caractère|impossible|lumière|éclairée"));
    for (const QString& d : dits)
        if (avis.match(d).hasMatch())
            return true;
    return false;
}

// Whether the station said the fault in words that are wrong for it.
bool ditAutreChose(const QStringList& dits, const char* motsfaux) {
    if (!motsfaux)
        return false;
    for (const QString& d : dits)
        if (d.contains(QString::fromUtf8(motsfaux)))
            return true;
    return false;
}

// The samples of a recording file: index -> value, an empty entry as -1.
std::vector<int> echantillons(const QString& chemin) {
    std::vector<int> valeurs;
    const QList<QByteArray> lignes = litFichier(chemin).split('\n');
    for (qsizetype k = 35; k < lignes.size(); ++k) {
        const QList<QByteArray> champs = lignes[k].simplified().split(' ');
        if (champs.isEmpty() || champs[0].isEmpty())
            continue;
        valeurs.push_back(champs.size() >= 2 ? champs[1].toInt() : -1);
    }
    return valeurs;
}

// Each recording of COM2 that the simulator made, as its journal gives it.
std::vector<std::vector<int>> memoiresEnregistrees(const QByteArray& journal) {
    std::vector<std::vector<int>> memoires;
    for (const QByteArray& ligne : journal.split('\n')) {
        const QList<QByteArray> champs = ligne.split(' ');
        if (champs.size() != 4 || champs[1] != "COM2" || champs[2] != "valeurs")
            continue;
        std::vector<int> valeurs;
        for (const QByteArray& v : champs[3].split(','))
            valeurs.push_back(v.toInt());
        memoires.push_back(std::move(valeurs));
    }
    return memoires;
}

// Samples kept wrong: a stored value that differs from what the interface recorded. An
// empty entry, or a 0 where the download said it stopped, is a value that did not come.
int echantillonsFaux(const std::vector<int>& garde, const std::vector<int>& memoire,
                     bool ditIncomplet) {
    int faux = 0;
    for (std::size_t k = 0; k < garde.size(); ++k) {
        const int attendu = k < memoire.size() ? memoire[k] : -1;
        if (garde[k] == attendu || garde[k] < 0 || (ditIncomplet && garde[k] == 0))
            continue;
        ++faux;
    }
    return faux;
}

struct Resultat {
    QString dit;
    bool ditOk = false;
    bool laserEteint = false;
    QString faux; // what was kept wrong, empty for nothing
    QString reutilisable;
    bool reutilisableOk = false;
};

Resultat mesureCellule(const Panne& panne, Phase phase) {
    Resultat r;
    Simulateur simulateur;
    if (!simulateur.pret()) {
        r.dit = QStringLiteral("lumicom-sim ne démarre pas");
        return r;
    }
    QTemporaryDir dossier;
    // --garde: the cell's files stay, for a look at what went wrong.
    const bool garde = qEnvironmentVariableIsSet("BENCH_PANNES_GARDE");
    dossier.setAutoRemove(!garde);
    const bool rapide = phase == Phase::telechargement;
    const QString codage = rapide ? QStringLiteral("br") : QStringLiteral("m");
    const QString texte1 = rapide ? QStringLiteral("ok") : QStringLiteral("te");
    const QString texte2 = rapide ? QStringLiteral("si") : QStringLiteral("et");
    const int portPanne = !panne.lumiere && phase == Phase::emission ? 1 : 2;
    const QString tube = simulateur.dossierPorts() + QStringLiteral("/lumiere");
    const auto commande = [&](const QString& ligne) {
        QFile f(tube);
        if (f.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            f.write((ligne + u'\n').toUtf8());
    };
    const auto injecte = [&] { commande(QString::fromUtf8(panne.commande).arg(portPanne)); };
    const auto envoie = [&](const QString& texte, int n) {
        return std::make_unique<Poste>(QStringList{QStringLiteral("send"), QStringLiteral("--port"),
                                                   QStringLiteral("1"), QStringLiteral("--coding"),
                                                   codage, QStringLiteral("--text"), texte},
                                       dossier.filePath(QStringLiteral("envoi%1.txt").arg(n)));
    };

    QStringList argumentsReception = {QStringLiteral("receive"), QStringLiteral("--port"),
                                      QStringLiteral("2"), QStringLiteral("--coding"), codage};
    if (rapide)
        argumentsReception << QStringLiteral("--save-dir") << dossier.path();
    if (phase == Phase::demarrage && !panne.pendantLeSeuil) {
        injecte();
        dors(0.3);
    }
    Poste recepteur(argumentsReception, dossier.filePath(QStringLiteral("recus.txt")));
    if (panne.pendantLeSeuil) {
        // The interface answers from the second tick on; the threshold is measured over
        // the second after that: the eighth request falls inside it.
        attendsQue(
            [&] {
                return litFichier(simulateur.cheminJournal()).count("COM2 commande XEA 0") >= 8;
            },
            30);
        injecte();
    }
    const bool pret = recepteur.attends("en attente d'un message", 30);

    std::unique_ptr<Poste> envoi1;
    bool message1 = false; // a first message was sent during the fault
    switch (phase) {
    case Phase::demarrage:
        dors(3);
        break;
    case Phase::attente:
        dors(1);
        injecte();
        dors(4);
        break;
    case Phase::emission:
        envoi1 = envoie(texte1, 1);
        message1 = true;
        if (envoi1->attends("début de la marque de départ", 30))
            dors(4);
        injecte();
        envoi1->attends("\x01", 40); // to its end
        break;
    case Phase::receptionlente:
        envoi1 = envoie(texte1, 1);
        message1 = true;
        if (recepteur.attends("réception d'un message", 40))
            dors(2);
        injecte();
        dors(4);
        break;
    case Phase::telechargement: {
        envoi1 = envoie(texte1, 1);
        message1 = true;
        // A few dozen blocks downloaded: the fault falls in the middle of the download.
        attendsQue(
            [&] {
                return litFichier(simulateur.cheminJournal()).count("COM2 commande XRESUL") >= 40;
            },
            90);
        injecte();
        dors(4);
        break;
    }
    }

    // The fault ends: mended by hand, the port back by itself, or never.
    switch (panne.retour) {
    case Retour::reparee:
        commande(QStringLiteral("repare %1").arg(portPanne));
        dors(1.5);
        // A threshold measured in the light is said after 5 s of darkness, then measured
        // again.
        if (panne.lumiere && phase == Phase::demarrage)
            dors(8);
        break;
    case Retour::revient:
        attendsQue(
            [&] { return litFichier(simulateur.cheminJournal()).contains("(connexion rétablie)"); },
            10);
        dors(2.5); // the station opens its port again every second
        break;
    case Retour::jamais:
        dors(5);
        break;
    }
    if (envoi1)
        envoi1->attends("\x01", 60);
    // The end of the first message, if its reception began.
    if (message1 && recepteur.outil.lu().contains("réception d'un message"))
        attendsQue([&] { return !recepteur.textes().isEmpty() || !recepteur.enVie(); },
                   rapide ? 90 : 40);

    // A second message, once the fault is over.
    std::unique_ptr<Poste> envoi2;
    if (!pret) {
        r.reutilisable = QStringLiteral("pas démarré");
    } else if (panne.retour == Retour::jamais) {
        r.reutilisable = QString();
    } else if (recepteur.enVie()) {
        // The station idle again: no reception begun by what the fault left (the end of
        // the first message, light by hand) still runs.
        attendsQue([&] { return !recepteur.recoit() || !recepteur.enVie(); }, rapide ? 90 : 40);
        dors(1);
        const qsizetype recusAvant = recepteur.textes().size();
        envoi2 = envoie(texte2, 2);
        envoi2->attends("\x01", 60);
        dors(0.5);
        attendsQue([&] { return !recepteur.recoit() || !recepteur.enVie(); }, rapide ? 90 : 20);
        const QStringList apres = recepteur.textes().mid(recusAvant);
        r.reutilisableOk = std::any_of(apres.begin(), apres.end(),
                                       [&](const QString& t) { return t.trimmed() == texte2; });
        r.reutilisable =
            r.reutilisableOk ? QStringLiteral("oui")
            : apres.isEmpty()
                ? QStringLiteral("non (rien reçu)")
                : QStringLiteral("non (reçu « %1 »)").arg(apres.first().trimmed().left(12));
    }
    const bool recepteurEnVie = recepteur.enVie();
    recepteur.arrete();
    if (!pret || panne.retour == Retour::jamais || !recepteurEnVie) {
        // The station could not go on: its documented end, or its wait for the port.
        int statutEnvoi = 0;
        const bool envoiFini = envoi1 && envoi1->enVie() == false;
        if (envoi1 && envoiFini)
            statutEnvoi = envoi1->statut;
        if (!recepteurEnVie)
            r.reutilisable = QStringLiteral("fin, code %1").arg(recepteur.statut);
        else if (phase == Phase::emission && envoiFini)
            r.reutilisable = QStringLiteral("envoi : code %1").arg(statutEnvoi);
        else if (r.reutilisable.isEmpty())
            r.reutilisable = QStringLiteral("attend encore");
        // Documented ends: 2 a port that cannot be opened, 3 a port lost during an
        // emission, 4 an interface that does not answer.
        const auto documente = [](int code) { return code >= 2 && code <= 4; };
        if (phase == Phase::emission && panne.retour == Retour::jamais)
            r.reutilisableOk = envoiFini && documente(statutEnvoi);
        else if (!recepteurEnVie)
            r.reutilisableOk = documente(recepteur.statut);
        else
            r.reutilisableOk = panne.retour == Retour::jamais;
    }
    if (envoi1)
        envoi1->arrete();
    if (envoi2)
        envoi2->arrete();

    // What the stations said.
    QByteArray erreurs = recepteur.outil.lu();
    if (envoi1)
        erreurs += envoi1->outil.lu();
    QStringList dits = ditsParLePoste(erreurs);
    // A slow reception says on its screen, after the text, why it stopped, or that its
    // light formed no character.
    const auto ditDansLeTexte = [](const QString& t) {
        return t.contains(QStringLiteral("interrompue")) ||
               t.contains(QStringLiteral("aucun caractère reçu"));
    };
    for (const QString& t : recepteur.textes())
        if (ditDansLeTexte(t))
            dits << QStringLiteral("texte : ") + t.simplified();
    dits.removeDuplicates();
    r.dit = enBref(dits);

    // The texts kept: each the text sent, empty, or said incomplete.
    const bool ditIncomplet =
        QRegularExpression(
            QStringLiteral("cessé de répondre|pas par des mesures|incomplète|liaison perdue"))
            .match(QString::fromUtf8(erreurs))
            .hasMatch();
    QStringList fauxTextes;
    const QStringList textes = recepteur.textes();
    for (const QString& t : textes) {
        const QString s = t.trimmed();
        if (s.isEmpty() || s == texte1 || s == texte2 || ditDansLeTexte(s))
            continue;
        if (ditIncomplet)
            continue;
        fauxTextes << QStringLiteral("« %1 »").arg(s.left(20));
    }
    // Each recording kept against the interface's memory, in the order they were made.
    if (rapide) {
        QStringList fichiers =
            QDir(dossier.path()).entryList({QStringLiteral("*.rrr")}, QDir::Files, QDir::Name);
        const auto memoires = memoiresEnregistrees(litFichier(simulateur.cheminJournal()));
        int faux = 0;
        for (qsizetype k = 0; k < fichiers.size(); ++k) {
            const std::vector<int> garde = echantillons(dossier.filePath(fichiers[k]));
            faux += echantillonsFaux(
                garde, k < qsizetype(memoires.size()) ? memoires[k] : std::vector<int>{},
                ditIncomplet);
        }
        if (faux > 0)
            fauxTextes << QStringLiteral("%1 mesures").arg(faux);
    }
    r.faux = fauxTextes.join(QStringLiteral(", "));

    // The laser of the emitting port is dark at the end.
    const auto changements = simulateur.changementsSB0(1);
    r.laserEteint = changements.empty() || !changements.back().second;

    // The fault had an effect when the first message did not come exact, when nothing
    // should have come and something did, or when a station stopped.
    const QStringList exacts = textes.filter(
        QRegularExpression(QStringLiteral("^\\s*%1\\s*$").arg(QRegularExpression::escape(texte1))));
    const bool effet = (message1 && exacts.isEmpty()) ||
                       (!message1 && textes.size() > (r.reutilisableOk && envoi2 ? 1 : 0)) ||
                       !recepteurEnVie || (envoi1 && envoi1->statut != 0);
    if (garde) {
        QFile::copy(simulateur.cheminJournal(), dossier.filePath(QStringLiteral("journal.txt")));
        std::fprintf(stderr, "fichiers de la case : %s\n", qPrintable(dossier.path()));
    }
    r.ditOk = !ditAutreChose(dits, panne.motsfaux) && (ditUnePanne(dits) || !effet);
    return r;
}

QString oui(bool v) {
    return v ? QStringLiteral("oui") : QStringLiteral("NON");
}

int celluleSeule(int p, int f) {
    const Resultat r = mesureCellule(pannes[p], phases[f].phase);
    sortie << r.dit << '\t' << (r.ditOk ? 1 : 0) << '\t' << (r.laserEteint ? 1 : 0) << '\t'
           << r.faux << '\t' << r.reutilisable << '\t' << (r.reutilisableOk ? 1 : 0) << Qt::endl;
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() == 4 && arguments[1] == u"--cellule")
        return celluleSeule(arguments[2].toInt(), arguments[3].toInt());
    int processus = 2;
    if (arguments.contains(QStringLiteral("--garde")))
        qputenv("BENCH_PANNES_GARDE", "1"); // inherited by the cells
    QStringList seulement;                  // --phase NOM and --panne NOM restrict the table
    for (qsizetype i = 1; i + 1 < arguments.size(); i += 2) {
        if (arguments[i] == u"--garde")
            --i; // no value
        else if (arguments[i] == u"--processus")
            processus = std::max(1, arguments[i + 1].toInt());
        else
            seulement << arguments[i] + u'=' + arguments[i + 1];
    }
    const auto retenue = [&](const QString& option, const QString& nom) {
        const QStringList valeurs = seulement.filter(option + u'=');
        return valeurs.isEmpty() || valeurs.contains(option + u'=' + nom);
    };

    std::vector<std::pair<int, int>> cellules;
    std::vector<QStringList> appels;
    for (int f = 0; f < int(std::size(phases)); ++f)
        for (int p = 0; p < int(std::size(pannes)); ++p)
            if ((pannes[p].phases & bit(phases[f].phase)) &&
                retenue(QStringLiteral("--phase"), QString::fromUtf8(phases[f].nom)) &&
                retenue(QStringLiteral("--panne"), QString::fromUtf8(pannes[p].nom))) {
                cellules.emplace_back(p, f);
                appels.push_back(
                    {QStringLiteral("--cellule"), QString::number(p), QString::number(f)});
            }

    sortie << "Pannes de l'interface simulée pendant la vie d'un poste, en temps réel sur "
              "lumicom-sim\n"
           << "(charge de la machine au départ : " << chargeMachine() << ")\n"
           << "lumicom-tool receive sur COM2, send sur COM1 ; Morse lent (« te » puis « et »), "
              "binaire rapide\n"
           << "(« ok » puis « si ») pour le téléchargement. La panne touche l'interface de COM1 "
              "pendant l'émission,\n"
           << "celle de COM2 sinon ; la lumière, toujours la photodiode de COM2. Elle cesse par "
              "« repare N »,\n"
           << "par le retour du port (coupure, retour 3 s ; retour, autre nom : sous un autre "
              "pseudo-terminal ;\n"
           << "coupure pendant le seuil : donnée pendant la mesure de la tension seuil du "
              "démarrage), ou jamais.\n"
           << "« seuil mesuré éclairé » : la photodiode éclairée pendant le démarrage, puis dans "
              "le noir.\n"
           << "Objectif de chaque case : dit en français (une panne qui change quelque chose ; "
              "une interface\n"
           << "qui se tait n'est pas dite « répond, mais »), laser éteint,\n"
           << "rien de faux gardé (texte ni mesure), de nouveau utilisable sans redémarrer (un "
              "second message\n"
           << "arrive exact ; sinon la fin documentée de l'outil : code 3 ou 4, ou l'attente du "
              "port qui ne revient pas).\n\n";
    const auto sorties = lanceenparallele(appels, processus);
    sortie << QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8")
                  .arg(QStringLiteral("phase"), -15)
                  .arg(QStringLiteral("panne"), -24)
                  .arg(QStringLiteral("dit"), -3)
                  .arg(QStringLiteral("laser"), -5)
                  .arg(QStringLiteral("faux gardé"), -14)
                  .arg(QStringLiteral("réutilisable"), -24)
                  .arg(QStringLiteral("but"), -4)
                  .arg(QStringLiteral("ce que le poste a dit"))
           << Qt::endl;
    int atteints = 0;
    for (std::size_t k = 0; k < cellules.size(); ++k) {
        const auto [p, f] = cellules[k];
        QStringList champs;
        if (sorties[k])
            champs = QString::fromUtf8(*sorties[k]).trimmed().split(u'\t');
        if (champs.size() != 6) {
            sortie << QStringLiteral("%1 %2 (la mesure a échoué)")
                          .arg(QString::fromUtf8(phases[f].nom), -15)
                          .arg(QString::fromUtf8(pannes[p].nom), -24)
                   << Qt::endl;
            continue;
        }
        const bool dit = champs[1] == u"1", laser = champs[2] == u"1",
                   rienDeFaux = champs[3].isEmpty(), reutilisable = champs[5] == u"1";
        const bool but = dit && laser && rienDeFaux && reutilisable;
        atteints += but ? 1 : 0;
        sortie << QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8")
                      .arg(QString::fromUtf8(phases[f].nom), -15)
                      .arg(QString::fromUtf8(pannes[p].nom), -24)
                      .arg(oui(dit), -3)
                      .arg(oui(laser), -5)
                      .arg(rienDeFaux ? QStringLiteral("rien") : champs[3], -14)
                      .arg(champs[4], -24)
                      .arg(but ? QStringLiteral("oui") : QStringLiteral("NON"), -4)
                      .arg(champs[0])
               << Qt::endl;
    }
    sortie << "\nObjectif atteint dans " << atteints << " cases sur " << cellules.size()
           << " (charge à la fin : " << chargeMachine() << ")" << Qt::endl;
    return 0;
}
