// bench-charge: real-time exchanges on a busy machine. lumicom-tool send (COM1) keys the
// laser of lumicom-sim and lumicom-tool receive (COM2) reads it, with 0, 2 and 4
// processes spinning beside them at normal priority. For each load, coding and speed:
// the share of messages received exactly, every element of light in the simulator's
// journal against its nominal length, the receiver's missed ticks, and whether each
// station was granted real-time priority. Prints a table, asserts nothing.
//
// A fast reception spends about 20 s downloading its recording after the emission has
// ended: the two fast codings of a speed take turns on two pairs of stations (COM1 to
// COM2, COM3 to COM4), each message emitted while the other pair downloads. Emissions
// never overlap.

#include "bench/exactitude.h"
#include "bench/motifs.h"
#include "bench/processusbanc.h"
#include "codes/windows1252.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <vector>

namespace {

QLocale francais(QLocale::French, QLocale::France);
QTextStream sortie(stdout);
QTextStream erreurs(stderr);

// The goal: every message exact; with real-time priority, the 99th percentile of the
// deviations and the shortening of any element within this many milliseconds.
constexpr double objectifMs = 2.0;
constexpr int vitesses[] = {1, 2};
// --exemples lists at most this many elements beyond the goal in each cell.
constexpr int elementsListes = 20;
// --garde: the folder where the simulator's journal and the fast recordings are kept.
QString dossierGarde;
// Where the emitting stations note the instants of their keying commands.
QString dossierTraces;

QString nombre(double v, int decimales) {
    return francais.toString(v, 'f', decimales);
}

QString duree(double secondes) {
    const int s = int(std::lround(secondes));
    return QStringLiteral("%1 h %2 min %3 s")
        .arg(s / 3600)
        .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'));
}

bool rapide(const QString& codage) {
    return codage.size() == 2;
}

bool morse(const QString& codage) {
    return codage.startsWith(u'm');
}

// ---- Messages ----------------------------------------------------------------------

int tirage(std::mt19937& hasard, int min, int max) {
    return std::uniform_int_distribution<int>(min, max)(hasard);
}

// Morse: 2 to 4 lower-case letters and digits; in one message of two, a blank takes an
// inner place (never the first or the last: the emitter's darkness around the message
// would swallow it).
QString texteMorse(std::mt19937& hasard) {
    static const QString alphabet = QStringLiteral("abcdefghijklmnopqrstuvwxyz0123456789");
    QString texte;
    for (int n = tirage(hasard, 2, 4); n > 0; --n)
        texte += alphabet[tirage(hasard, 0, int(alphabet.size()) - 1)];
    if (texte.size() > 2 && tirage(hasard, 0, 1) == 1)
        texte[tirage(hasard, 1, int(texte.size()) - 2)] = u' ';
    return texte;
}

// Binary: 2 to 4 printable Windows-1252 characters (32 to 255 but DEL and the five codes
// without a character), the no-break space included; no blank first or last (by design
// it merges with the darkness around the message) nor two in a row.
QString texteBinaire(std::mt19937& hasard) {
    static const std::vector<QChar> caracteres = [] {
        std::vector<QChar> c;
        for (int code = 32; code <= 255; ++code)
            if (code != 127 && code != 0x81 && code != 0x8D && code != 0x8F && code != 0x90 &&
                code != 0x9D)
                c.push_back(caractereWindows1252(code));
        return c;
    }();
    const int longueur = tirage(hasard, 2, 4);
    QString texte;
    while (texte.size() < longueur) {
        const QChar c = caracteres[size_t(tirage(hasard, 0, int(caracteres.size()) - 1))];
        const bool bord = texte.isEmpty() || texte.size() == longueur - 1;
        if (c == u' ' && (bord || texte.endsWith(u' ')))
            continue;
        texte += c;
    }
    return texte;
}

// The messages of a coding: the same for both speeds and every load; the slow and the
// fast coding of a family share them.
std::vector<QString> textes(const QString& codage, int nombreMessages) {
    std::mt19937 hasard(morse(codage) ? 2041 : 2042);
    std::vector<QString> t;
    for (int i = 0; i < nombreMessages; ++i)
        t.push_back(morse(codage) ? texteMorse(hasard) : texteBinaire(hasard));
    return t;
}

// A text between guillemets, its no-break spaces made visible.
QString visible(QString texte) {
    texte.replace(QChar(0x00A0), QChar(0x237D));
    return u'«' + texte + u'»';
}

// ---- The machine's load --------------------------------------------------------------

// `nombre` child processes spinning at normal priority, killed with this object (or
// with this program).
class ProcessusOccupes {
public:
    explicit ProcessusOccupes(int nombre) {
        const pid_t parent = ::getpid();
        for (int i = 0; i < nombre; ++i) {
            const pid_t pid = ::fork();
            if (pid == 0) {
                ::prctl(PR_SET_PDEATHSIG, SIGKILL);
                if (::getppid() != parent) // this program ended before the request
                    ::_exit(0);
                volatile unsigned long tours = 0;
                for (;;)
                    tours = tours + 1;
            }
            if (pid > 0)
                enfants_.push_back(pid);
        }
    }
    ~ProcessusOccupes() {
        for (const pid_t pid : enfants_)
            ::kill(pid, SIGKILL);
        for (const pid_t pid : enfants_)
            ::waitpid(pid, nullptr, 0);
    }
    ProcessusOccupes(const ProcessusOccupes&) = delete;
    ProcessusOccupes& operator=(const ProcessusOccupes&) = delete;
    int lances() const { return int(enfants_.size()); }

private:
    std::vector<pid_t> enfants_;
};

// ---- The simulator's journal ---------------------------------------------------------

// The changes of SB0 in the journal, read as it grows: instant and level, for each port.
class JournalSB0 {
public:
    explicit JournalSB0(const QString& chemin) : fichier_(chemin) {}

    // The changes of COM `numport` dated between `debut` and `fin` (monotonic clock).
    std::vector<std::pair<double, bool>> changements(int numport, double debut, double fin) {
        litLaSuite();
        std::vector<std::pair<double, bool>> resultat;
        for (const auto& c : changements_[numport])
            if (c.first >= debut && c.first <= fin)
                resultat.push_back(c);
        return resultat;
    }

private:
    void litLaSuite() {
        // Unbuffered: each reading takes what the simulator has added since the last one.
        if (!fichier_.isOpen() && !fichier_.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
            return;
        reste_ += fichier_.readAll();
        qsizetype debut = 0;
        for (qsizetype fin = reste_.indexOf('\n'); fin >= 0; fin = reste_.indexOf('\n', debut)) {
            const QList<QByteArray> champs = reste_.mid(debut, fin - debut).split(' ');
            debut = fin + 1;
            if (champs.size() == 4 && champs[2] == "SB0" && champs[1].startsWith("COM"))
                changements_[champs[1].mid(3).toInt()].emplace_back(champs[0].toDouble(),
                                                                    champs[3] == "1");
        }
        reste_.remove(0, debut); // a line the simulator has not finished waits
    }

    QFile fichier_;
    QByteArray reste_;
    std::map<int, std::vector<std::pair<double, bool>>> changements_;
};

// ---- Results ---------------------------------------------------------------------------

// A load: processes spinning beside the stations, or (fenetre) each station's own window
// thread kept busy 0.3 s every second (the stations run with --fenetre-occupee).
struct Charge {
    int processus = 0;
    bool fenetre = false;
    QString etiquette() const {
        return fenetre ? QStringLiteral("fen.") : QString::number(processus);
    }
};

struct Cellule {
    Charge charge;
    QString codage;
    int vitesse = 1;
    double f() const { return 1.0 / vitesse; }
};

struct ResultatCellule {
    int messages = 0;
    int exacts = 0;
    int sansReception = 0;
    std::vector<double> ecarts; // measured − nominal length of each element, ms
    int comptesDifferents = 0;  // messages whose count of changes is not the nominal one
    int niveauxFaux = 0;        // messages with a change to the wrong level
    int elementsHorsObjectif = 0;
    // The same elements timed by the emitter's own writing of its keying commands, and the
    // time from each writing to the change in the journal, ms.
    std::vector<double> ecartsEmetteur;
    std::vector<double> livraisons;
    int tracesIncompletes = 0; // messages whose keying commands could not be matched
    qint64 ticsManques = 0;
    qint64 tics = 0;
    int emetteursAccordes = 0, emetteurs = 0;
    int recepteursAccordes = 0, recepteurs = 0;
    QStringList echecs;
};

double centile(std::vector<double> v, double fraction) {
    std::sort(v.begin(), v.end());
    const auto rang = static_cast<std::size_t>(std::ceil(fraction * double(v.size())));
    return v[std::clamp<std::size_t>(rang, 1, v.size()) - 1];
}

// "oui" when all were granted, "non" when none was, else how many of how many.
QString accordes(int accordes, int total) {
    if (total == 0)
        return QStringLiteral("?");
    if (accordes == total)
        return QStringLiteral("oui");
    if (accordes == 0)
        return QStringLiteral("non");
    return QStringLiteral("%1/%2").arg(accordes).arg(total);
}

bool ligneAccordee(const QByteArray& erreurs) {
    return erreurs.contains("priorité temps réel : accordée");
}

// ---- The stations ----------------------------------------------------------------------

// A receiving station (lumicom-tool receive) on COM `port`, for one cell; started again
// when a message does not arrive. Keeps the count of its missed ticks across restarts.
class Recepteur {
public:
    Recepteur(int port, const Cellule& c, ResultatCellule& r) : port_(port), c_(c), r_(r) {
        demarre();
    }
    ~Recepteur() { arrete(); }

    // Lines received so far by this instance.
    int lignes() const { return outil_ ? int(outil_->sortieLue().count('\n')) : 0; }

    // Between two messages: every reception it began has been shown.
    bool auRepos() const {
        return outil_ && outil_->lu().count("réception d'un message") <= lignes();
    }

    // Waits until it has shown `n` lines and is back to waiting.
    bool attends(int n, double delai) {
        return outil_ &&
               outil_->attendsQue([&] { return lignes() >= n && auRepos(); }, std::max(delai, 0.0));
    }

    // The file of the recording saved after line `rang` (fast codings with --garde), once
    // the station has said it; empty when there is none.
    QString enregistrement(int rang) {
        static const QByteArray annonce = QByteArrayLiteral("enregistrement écrit : ");
        if (!outil_ || dossierGarde.isEmpty() || !rapide(c_.codage))
            return {};
        outil_->attendsQue([&] { return outil_->lu().count(annonce) > rang; }, 5);
        const QList<QByteArray> lignes = outil_->lu().split('\n');
        int vues = 0;
        for (const QByteArray& ligne : lignes)
            if (const qsizetype i = ligne.indexOf(annonce); i >= 0 && vues++ == rang)
                return QString::fromUtf8(ligne.mid(i + annonce.size()));
        return {};
    }

    // Lines `de` to the last, joined by " | " when there are several.
    QString lignesDepuis(int de) const {
        if (!outil_)
            return {};
        QStringList l = QString::fromUtf8(outil_->sortieLue()).split(u'\n');
        l.removeLast(); // after the last line break
        return l.mid(de).join(QStringLiteral(" | "));
    }

    void redemarre() {
        arrete();
        demarre();
    }

private:
    void demarre() {
        QStringList arguments{QStringLiteral("receive"),
                              QStringLiteral("--port"),
                              QString::number(port_),
                              QStringLiteral("--coding"),
                              c_.codage,
                              QStringLiteral("--speed"),
                              QString::number(c_.vitesse)};
        // Fast Morse downloads by blocks of 32 values (seconds instead of two minutes).
        if (c_.codage == u"mr")
            arguments << QStringLiteral("--blocs");
        if (c_.charge.fenetre)
            arguments << QStringLiteral("--fenetre-occupee");
        if (!dossierGarde.isEmpty() && rapide(c_.codage)) {
            const QString dossier = QStringLiteral("%1/COM%2").arg(dossierGarde).arg(port_);
            QDir().mkpath(dossier);
            arguments << QStringLiteral("--save-dir") << dossier;
        }
        outil_ = std::make_unique<Outil>(arguments, true);
        if (!outil_->attends("en attente d'un message", 60))
            erreurs << "bench-charge : le poste récepteur de COM" << port_
                    << " ne se met pas en attente : " << outil_->lu() << Qt::endl;
        ++r_.recepteurs;
        r_.recepteursAccordes += ligneAccordee(outil_->lu()) ? 1 : 0;
    }

    // Ctrl+C, then the missed ticks of its last line.
    void arrete() {
        if (!outil_)
            return;
        ::kill(outil_->pid(), SIGINT);
        int statut = 0;
        double processeur = 0;
        outil_->termine(10, statut, processeur);
        static const QRegularExpression forme(QStringLiteral("tics manqués : (\\d+) sur (\\d+)"));
        QRegularExpressionMatch derniere;
        auto it = forme.globalMatch(QString::fromUtf8(outil_->lu()));
        while (it.hasNext())
            derniere = it.next();
        if (derniere.hasMatch()) {
            r_.ticsManques += derniere.captured(1).toLongLong();
            r_.tics += derniere.captured(2).toLongLong();
        }
        outil_.reset();
    }

    int port_;
    const Cellule& c_;
    ResultatCellule& r_;
    std::unique_ptr<Outil> outil_;
};

// One pair of stations: the emitter on COM `emetteur`, the receiver on the port its laser
// lights. Messages go one at a time; the last one's reception is gathered before the next
// one is sent, or when the cell ends.
class Paire {
public:
    Paire(int emetteur, const Cellule& c, ResultatCellule& r, JournalSB0& journal)
        : emetteur_(emetteur), c_(c), r_(r), journal_(journal), recepteur_(emetteur + 1, c, r) {}

    // Sends `texte`; returns when the emitting station has ended, its reception pending.
    void envoie(const QString& texte) {
        recueille();
        if (!recepteur_.auRepos())
            recepteur_.redemarre();
        const Motif m = motif(c_.codage, texte, c_.f());
        const QString trace = QStringLiteral("%1/COM%2.txt").arg(dossierTraces).arg(emetteur_);
        QFile::remove(trace);
        enCours_ = EnCours{texte, maintenant(), 0, recepteur_.lignes(), true, trace};
        QStringList arguments{QStringLiteral("send"),
                              QStringLiteral("--port"),
                              QString::number(emetteur_),
                              QStringLiteral("--coding"),
                              c_.codage,
                              QStringLiteral("--text"),
                              texte,
                              QStringLiteral("--speed"),
                              QString::number(c_.vitesse)};
        if (c_.charge.fenetre)
            arguments << QStringLiteral("--fenetre-occupee");
        Outil envoi(arguments, false,
                    {QStringLiteral("LD_PRELOAD=" LUMICOM_TRACE_ECRITURES),
                     QStringLiteral("LUMICOM_TRACE_ECRITURES=") + trace});
        int statut = -1;
        double processeur = 0;
        const bool fini = envoi.termine(dureeMotif(m) + 60, statut, processeur);
        enCours_->fin = maintenant();
        enCours_->envoye = fini && statut == 0;
        ++r_.emetteurs;
        r_.emetteursAccordes += ligneAccordee(envoi.lu()) ? 1 : 0;
        if (!enCours_->envoye)
            r_.echecs << QStringLiteral("%1 : l'émission échoue (statut %2) : %3")
                             .arg(visible(texte))
                             .arg(statut)
                             .arg(QString::fromUtf8(envoi.lu()).simplified());
    }

    // Gathers the reception of the last message sent, waiting for it as long as a
    // reception may take once the emitter has ended.
    void recueille() {
        if (!enCours_)
            return;
        const EnCours e = *enCours_;
        enCours_.reset();
        ++r_.messages;
        const double delai = rapide(c_.codage) ? 90 : 20;
        const bool recu = recepteur_.attends(e.lignesAvant + 1, e.fin + delai - maintenant());
        const QString texteRecu = recepteur_.lignesDepuis(e.lignesAvant);
        const bool exact =
            recu && recepteur_.lignes() == e.lignesAvant + 1 &&
            (rapide(c_.codage) ? recuExactementRapide(e.texte, texteRecu)
                               : recuExactement(e.texte, texteRecu, morse(c_.codage)));
        if (exact)
            ++r_.exacts;
        else if (!recu && recepteur_.lignes() == e.lignesAvant)
            ++r_.sansReception;
        if (!exact && e.envoye) {
            const QString fichier = recu ? recepteur_.enregistrement(e.lignesAvant) : QString();
            r_.echecs << QStringLiteral("%1 -> %2%3")
                             .arg(visible(e.texte),
                                  recu || !texteRecu.isEmpty() ? visible(texteRecu)
                                                               : QStringLiteral("rien"),
                                  fichier.isEmpty() ? QString()
                                                    : QStringLiteral(" (%1)").arg(fichier));
        }
        if (!recu)
            recepteur_.redemarre();
        if (e.envoye)
            compareLumiere(e);
    }

private:
    struct EnCours {
        QString texte;
        double debut, fin;
        int lignesAvant;
        bool envoye;
        QString trace; // the instants of its keying commands
    };

    // The changes of level among the keying commands the emitter wrote: instant and level.
    static std::vector<std::pair<double, bool>> changementsEcrits(const QString& trace) {
        std::vector<std::pair<double, bool>> changements;
        QFile f(trace);
        if (!f.open(QIODevice::ReadOnly))
            return changements;
        bool niveau = false; // the laser is off when the station starts
        for (const QByteArray& ligne : f.readAll().split('\n')) {
            const QList<QByteArray> champs = ligne.split(' ');
            if (champs.size() != 2)
                continue;
            const bool allume = champs[1] == "1";
            if (allume != niveau)
                changements.emplace_back(champs[0].toDouble(), allume);
            niveau = allume;
        }
        return changements;
    }

    // Each element of light between two changes of SB0, against its nominal length.
    void compareLumiere(const EnCours& e) {
        const auto nominaux = changementsNominaux(motif(c_.codage, e.texte, c_.f()));
        const auto mesures = journal_.changements(emetteur_, e.debut, e.fin);
        if (mesures.size() != nominaux.size()) {
            ++r_.comptesDifferents;
            r_.echecs << QStringLiteral("%1 : %2 changements de SB0 au lieu de %3")
                             .arg(visible(e.texte))
                             .arg(mesures.size())
                             .arg(nominaux.size());
            return;
        }
        bool niveauFaux = false;
        for (std::size_t k = 0; k < mesures.size(); ++k) {
            niveauFaux = niveauFaux || mesures[k].second != nominaux[k].second;
            if (k == 0)
                continue;
            const double nominal = nominaux[k].first - nominaux[k - 1].first;
            const double ecart = (mesures[k].first - mesures[k - 1].first - nominal) * 1e3;
            r_.ecarts.push_back(ecart);
            if (std::abs(ecart) > objectifMs && ++r_.elementsHorsObjectif <= elementsListes)
                r_.echecs << QStringLiteral("%1 : élément %2 (%3, %4 ms), de %5 à %6 s au "
                                            "journal : écart %7 ms")
                                 .arg(visible(e.texte))
                                 .arg(k)
                                 .arg(nominaux[k - 1].second ? QStringLiteral("lumière")
                                                             : QStringLiteral("obscurité"))
                                 .arg(nombre(nominal * 1e3, 1))
                                 .arg(QString::number(mesures[k - 1].first, 'f', 6),
                                      QString::number(mesures[k].first, 'f', 6))
                                 .arg(nombre(ecart, 2));
        }
        r_.niveauxFaux += niveauFaux ? 1 : 0;

        const auto ecrits = changementsEcrits(e.trace);
        if (ecrits.size() != mesures.size()) {
            ++r_.tracesIncompletes;
            return;
        }
        for (std::size_t k = 0; k < ecrits.size(); ++k) {
            r_.livraisons.push_back((mesures[k].first - ecrits[k].first) * 1e3);
            if (k > 0)
                r_.ecartsEmetteur.push_back((ecrits[k].first - ecrits[k - 1].first -
                                             (nominaux[k].first - nominaux[k - 1].first)) *
                                            1e3);
        }
    }

    int emetteur_;
    const Cellule& c_;
    ResultatCellule& r_;
    JournalSB0& journal_;
    Recepteur recepteur_;
    std::optional<EnCours> enCours_;
};

// The cells of `groupe` (one coding, or the fast codings of one speed), each on its own
// pair of stations (COM1 to COM2, COM3 to COM4, ...), their messages taking turns.
std::vector<ResultatCellule> mesureGroupe(const std::vector<Cellule>& groupe, int nombreMessages,
                                          JournalSB0& journal) {
    std::vector<ResultatCellule> resultats(groupe.size());
    std::vector<std::unique_ptr<Paire>> paires;
    std::vector<std::vector<QString>> t;
    for (std::size_t k = 0; k < groupe.size(); ++k) {
        paires.push_back(std::make_unique<Paire>(int(1 + 2 * k), groupe[k], resultats[k], journal));
        t.push_back(textes(groupe[k].codage, nombreMessages));
    }
    for (int i = 0; i < nombreMessages; ++i)
        for (std::size_t k = 0; k < groupe.size(); ++k)
            paires[k]->envoie(t[k][std::size_t(i)]);
    for (auto& p : paires)
        p->recueille();
    paires.clear(); // the receivers stop and give their missed ticks
    return resultats;
}

// ---- Estimate of the run ---------------------------------------------------------------

// Seconds from the start of lumicom-tool to its start mark, and after a slow emission's
// last change to the end of the process (the final pause): measured on this machine.
constexpr double demarrageEmetteur = 1.8;
constexpr double finEmetteurLent = 1.2;
// A fast exchange: the emitting station lives 2 + 6400 × 1.3 ms after its start-up and
// start mark; the receiver then downloads for about 20 s (the bytes at 960 a second).
constexpr double vieEmetteurRapide = demarrageEmetteur + 10.5;
constexpr double telechargement = 20.0;
constexpr double demarrageRecepteur = 1.6;

double estimationLente(const QString& codage, int vitesse, const std::vector<QString>& t) {
    double s = demarrageRecepteur;
    for (const QString& texte : t)
        s += demarrageEmetteur + dureeMotif(motif(codage, texte, 1.0 / vitesse)) + finEmetteurLent;
    return s;
}

// The fast codings of one speed: alone, each message waits for its download; two take
// turns, each emitting during the other's download.
double estimationRapide(int codagesRapides, int nombreMessages) {
    if (codagesRapides == 0)
        return 0;
    const double seul = vieEmetteurRapide + telechargement;
    if (codagesRapides == 1)
        return demarrageRecepteur + nombreMessages * seul;
    const double attente = std::max(0.0, (telechargement - vieEmetteurRapide) / 2);
    return 2 * demarrageRecepteur + nombreMessages * 2 * (vieEmetteurRapide + attente) +
           telechargement;
}

// ---- Tables -----------------------------------------------------------------------------

// Median, 99th percentile and maximum of the absolute values, and the smallest value, of
// deviations in ms.
struct Resume {
    explicit Resume(const std::vector<double>& valeurs) : connu(!valeurs.empty()) {
        if (!connu)
            return;
        std::vector<double> absolus;
        for (const double v : valeurs)
            absolus.push_back(std::abs(v));
        mediane = centile(absolus, 0.5);
        p99 = centile(absolus, 0.99);
        maximum = centile(absolus, 1.0);
        minimum = *std::min_element(valeurs.begin(), valeurs.end());
    }
    QString ms(double v) const { return connu ? nombre(v, 2) : QStringLiteral("—"); }

    bool connu;
    double mediane = NAN, p99 = NAN, maximum = NAN, minimum = NAN;
};

QString colonnes(const QStringList& champs, const std::vector<int>& largeurs) {
    QString ligne;
    for (qsizetype i = 0; i < champs.size(); ++i) {
        const int l = i < qsizetype(largeurs.size()) ? largeurs[std::size_t(i)] : 0;
        ligne +=
            i == 0 ? champs[i].leftJustified(l) : QStringLiteral(" ") + champs[i].rightJustified(l);
    }
    return ligne;
}

const std::vector<int> largeursTable{7, 7, 7, 6, 8, 9, 8, 10, 15, 9, 10};
const std::vector<int> largeursOrigine{7, 7, 7, 9, 8, 10, 10, 9, 8};

QStringList entete(const Cellule& c) {
    return {c.charge.etiquette(), c.codage, QStringLiteral("x %1").arg(c.vitesse)};
}

// Prints the cell's row; whether it meets the goal.
bool imprimeCellule(const Cellule& c, const ResultatCellule& r) {
    const bool tousAccordes = r.emetteursAccordes == r.emetteurs &&
                              r.recepteursAccordes == r.recepteurs && r.emetteurs > 0;
    const Resume e(r.ecarts);

    QStringList manque;
    if (r.exacts < r.messages || r.messages == 0)
        manque << QStringLiteral("exact");
    if (tousAccordes) {
        if (!e.connu || e.p99 > objectifMs)
            manque << QStringLiteral("99e");
        if (!e.connu || e.minimum < -objectifMs)
            manque << QStringLiteral("court");
        if (r.comptesDifferents > 0 || r.niveauxFaux > 0)
            manque << QStringLiteral("changem.");
    }
    QString objectif = manque.isEmpty() ? QStringLiteral("oui")
                                        : QStringLiteral("non (") + manque.join(u", ") + u')';
    if (!tousAccordes && manque.isEmpty())
        objectif = QStringLiteral("oui, sans prio.");

    QStringList remarques;
    if (r.elementsHorsObjectif > 0)
        remarques << QStringLiteral("%1 élément%2 à plus de %3 ms")
                         .arg(r.elementsHorsObjectif)
                         .arg(r.elementsHorsObjectif > 1 ? QStringLiteral("s") : QString())
                         .arg(nombre(objectifMs, 0));
    if (r.sansReception > 0)
        remarques << QStringLiteral("%1 sans réception").arg(r.sansReception);
    if (r.comptesDifferents > 0)
        remarques << QStringLiteral("%1 message%2 : changements en nombre différent")
                         .arg(r.comptesDifferents)
                         .arg(r.comptesDifferents > 1 ? QStringLiteral("s") : QString());
    if (r.niveauxFaux > 0)
        remarques << QStringLiteral("%1 avec un niveau faux").arg(r.niveauxFaux);

    sortie << colonnes(
                  entete(c) +
                      QStringList{r.messages ? QStringLiteral("%1 %").arg(
                                                   std::lround(100.0 * r.exacts / r.messages))
                                             : QStringLiteral("?"),
                                  e.ms(e.mediane), e.ms(e.p99), e.ms(e.maximum), e.ms(e.minimum),
                                  rapide(c.codage)
                                      ? QStringLiteral("—")
                                      : QStringLiteral("%1 sur %2").arg(r.ticsManques).arg(r.tics),
                                  accordes(r.emetteursAccordes, r.emetteurs) + u'/' +
                                      accordes(r.recepteursAccordes, r.recepteurs),
                                  objectif},
                  largeursTable)
           << (remarques.isEmpty() ? QString() : QStringLiteral("  ") + remarques.join(u"; "))
           << Qt::endl;
    return manque.isEmpty();
}

// The row of the second table: the same elements timed at the emitter's writing, and the
// time each change took from the writing to the journal.
QString ligneOrigine(const Cellule& c, const ResultatCellule& r) {
    const Resume e(r.ecartsEmetteur);
    const Resume l(r.livraisons);
    return colonnes(entete(c) + QStringList{e.ms(e.p99), e.ms(e.maximum), e.ms(e.minimum),
                                            l.ms(l.mediane), l.ms(l.p99), l.ms(l.maximum)},
                    largeursOrigine) +
           (r.tracesIncompletes > 0
                ? QStringLiteral("  %1 message%2 sans trace utilisable")
                      .arg(r.tracesIncompletes)
                      .arg(r.tracesIncompletes > 1 ? QStringLiteral("s") : QString())
                : QString());
}

// ---- Options ----------------------------------------------------------------------------

struct Options {
    int messages = 10;
    std::vector<Charge> charges{{0, false}, {2, false}, {4, false}, {0, true}};
    QStringList codages{QStringLiteral("m"), QStringLiteral("b"), QStringLiteral("mr"),
                        QStringLiteral("br")};
    bool exemples = false;
    QString garde;
};

int usage(const QString& message) {
    erreurs
        << "bench-charge : " << message << "\n"
        << "utilisation : bench-charge [--messages N] [--charges 0,2,4,F] [--codages m,b,mr,br] "
           "[--exemples] [--garde DOSSIER]\n";
    return 2;
}

std::optional<QString> litOptions(const QStringList& arguments, Options& o) {
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (a == u"--exemples") {
            o.exemples = true;
            continue;
        }
        if (i + 1 >= arguments.size())
            return QStringLiteral("option inconnue ou sans valeur « %1 »").arg(a);
        const QString valeur = arguments[++i];
        if (a == u"--messages") {
            bool ok = false;
            o.messages = valeur.toInt(&ok);
            if (!ok || o.messages < 1)
                return QStringLiteral("nombre de messages invalide « %1 »").arg(valeur);
        } else if (a == u"--charges") {
            o.charges.clear();
            for (const QString& n : valeur.split(u',')) {
                if (n == u"F" || n == u"f") {
                    o.charges.push_back({0, true});
                    continue;
                }
                bool ok = false;
                o.charges.push_back({n.toInt(&ok), false});
                if (!ok || o.charges.back().processus < 0 || o.charges.back().processus > 64)
                    return QStringLiteral("charge invalide « %1 » (0 à 64 processus, ou F)").arg(n);
            }
        } else if (a == u"--garde") {
            o.garde = valeur;
            if (!QDir().mkpath(valeur))
                return QStringLiteral("le dossier « %1 » ne peut pas être créé").arg(valeur);
        } else if (a == u"--codages") {
            o.codages = valeur.split(u',');
            for (const QString& c : o.codages)
                if (c != u"m" && c != u"b" && c != u"mr" && c != u"br")
                    return QStringLiteral("codage inconnu « %1 » (m, b, mr ou br)").arg(c);
        } else {
            return QStringLiteral("option inconnue « %1 »").arg(a);
        }
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    Options options;
    if (const auto erreur = litOptions(QCoreApplication::arguments(), options))
        return usage(*erreur);
    const double debut = maintenant();
    dossierGarde = options.garde.isEmpty() ? QString() : QDir(options.garde).absolutePath();
    const QTemporaryDir traces;
    dossierTraces = traces.path();

    QStringList lents, rapides;
    for (const QString& c : options.codages)
        (rapide(c) ? rapides : lents) << c;

    double estimation = 0;
    for (std::size_t n = 0; n < options.charges.size(); ++n)
        for (const int vitesse : vitesses) {
            for (const QString& c : lents)
                estimation += estimationLente(c, vitesse, textes(c, options.messages));
            estimation += estimationRapide(int(rapides.size()), options.messages);
        }

    Simulateur simulateur(4, {QStringLiteral("--journal-max"), QStringLiteral("0")}, true);
    if (!simulateur.pret()) {
        erreurs << "bench-charge : lumicom-sim ne démarre pas : " << simulateur.erreurs()
                << Qt::endl;
        return 1;
    }
    QByteArray priorite;
    for (int essai = 0; essai < 50 && !simulateur.erreurs().contains("priorité"); ++essai)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    for (const QByteArray& ligne : simulateur.erreurs().split('\n'))
        if (ligne.contains("priorité"))
            priorite = ligne;
    JournalSB0 journal(simulateur.cheminJournal());

    sortie << "Échanges en temps réel sur une machine occupée : lumicom-tool send (COM1) et "
              "receive (COM2) sur\n"
           << "lumicom-sim, avec 0, 2 ou 4 processus qui tournent à vide à côté (priorité "
              "normale), ou (fen.)\n"
           << "chaque poste sur un fil à lui, comme dans le programme, son fil principal, à la "
              "place de la\n"
           << "fenêtre, occupé 0,3 s chaque seconde (--fenetre-occupee). " << options.messages
           << " messages par\n"
           << "case, tirés avec une graine fixe, les mêmes à chaque vitesse et chaque charge "
              "(Morse : 2 à 4\n"
           << "minuscules ou chiffres, parfois un blanc à l'intérieur ; binaire : 2 à 4 "
              "caractères Windows-1252\n"
           << "imprimables, sans blanc au début, à la fin ni deux de suite). Morse rapide : "
              "téléchargement par\n"
           << "blocs (receive --blocs). Les deux codages rapides d'une vitesse alternent sur "
              "deux paires de\n"
           << "postes (COM1 vers COM2, COM3 vers COM4) : chaque message est émis pendant le "
              "téléchargement\n"
           << "de l'autre paire ; deux émissions ne se recouvrent jamais.\n"
           << "Simulateur : "
           << (priorite.isEmpty()
                   ? QStringLiteral("pas de ligne de priorité")
                   : QString::fromUtf8(priorite).section(QStringLiteral(" : "), 1).trimmed())
           << (ligneAccordee(priorite) ? "" : "  (ÉCARTS DU SIMULATEUR COMPRIS)") << "\n\n"
           << "Exact : la ligne reçue est le texte envoyé, sans blanc de plus ni de moins "
              "(l'obscurité autour\n"
           << "des marques et après un message rapide ne donne pas de blanc). Un code e1 à e4 "
              "compte développé.\n"
           << "Écarts : pour chaque changement de SB0 de l'émetteur au journal, la longueur "
              "mesurée de l'élément\n"
           << "qu'il termine moins sa longueur nominale, en ms : médiane, 99e centile et "
              "maximum de la valeur\n"
           << "absolue ; plus court : l'écart le plus négatif (élément raccourci). Tics "
              "manqués : du récepteur,\n"
           << "de son démarrage à son dernier message (lent seulement). Prio. E/R : priorité "
              "temps réel\n"
           << "accordée à l'émetteur et au récepteur.\n"
           << "Durée estimée : " << duree(estimation) << ".\n\n";
    sortie << colonnes({QStringLiteral("charge"), QStringLiteral("codage"),
                        QStringLiteral("vitesse"), QStringLiteral("exact"),
                        QStringLiteral("médiane"), QStringLiteral("99e cent."),
                        QStringLiteral("maximum"), QStringLiteral("plus court"),
                        QStringLiteral("tics manqués"), QStringLiteral("prio. E/R"),
                        QStringLiteral("objectif")},
                       largeursTable)
           << Qt::endl;

    int atteints = 0, cellules = 0;
    QStringList exemples, origines;
    const auto termineCellule = [&](const Cellule& c, const ResultatCellule& r) {
        atteints += imprimeCellule(c, r) ? 1 : 0;
        ++cellules;
        origines << ligneOrigine(c, r);
        for (const QString& e : r.echecs)
            exemples << QStringLiteral("%1 %2 x %3 : %4")
                            .arg(c.charge.etiquette())
                            .arg(c.codage)
                            .arg(c.vitesse)
                            .arg(e);
    };
    for (const Charge& charge : options.charges) {
        ProcessusOccupes occupes(charge.processus);
        sortie << (charge.fenetre
                       ? QStringLiteral("— fenêtre occupée (fen.) : chaque poste sur un fil à lui, "
                                        "son fil principal occupé 0,3 s chaque seconde ; "
                                        "charge au début : %2")
                       : QStringLiteral("— %1 processus occupés ; charge au début : %2")
                             .arg(occupes.lances()))
                      .arg(chargeMachine())
               << Qt::endl;
        for (const int vitesse : vitesses) {
            // Each slow coding alone on COM1 to COM2, then the fast ones taking turns.
            std::vector<std::vector<Cellule>> groupes;
            for (const QString& codage : lents)
                groupes.push_back({{charge, codage, vitesse}});
            if (!rapides.isEmpty())
                groupes.emplace_back();
            for (const QString& codage : rapides)
                groupes.back().push_back({charge, codage, vitesse});
            for (const std::vector<Cellule>& groupe : groupes) {
                const std::vector<ResultatCellule> resultats =
                    mesureGroupe(groupe, options.messages, journal);
                for (std::size_t k = 0; k < groupe.size(); ++k)
                    termineCellule(groupe[k], resultats[k]);
            }
        }
        sortie << QStringLiteral("  charge à la fin : %1").arg(chargeMachine()) << Qt::endl;
    }
    sortie << "\nObjectif : 100 % exact dans chaque case ; avec la priorité temps réel accordée "
              "aux deux postes,\n"
           << "99e centile ≤ " << nombre(objectifMs, 0)
           << " ms et aucun élément raccourci de plus de " << nombre(objectifMs, 0) << " ms.\n"
           << "Cases qui l'atteignent : " << atteints << " sur " << cellules << ".\n";
    sortie << "\nOrigine des écarts : les mêmes éléments mesurés aux écritures des commandes "
              "de l'émetteur\n"
           << "(instants notés dans lumicom-tool send), et la livraison : de l'écriture d'une "
              "commande au\n"
           << "changement de SB0 au journal (pseudo-terminal, lecture par le simulateur, et "
              "1,04 ms de l'octet\n"
           << "sur la ligne à 9600 bauds). Écart au journal = écart à l'écriture + livraison "
              "de sa fin −\n"
           << "livraison de son début. En ms.\n";
    sortie << colonnes({QStringLiteral("charge"), QStringLiteral("codage"),
                        QStringLiteral("vitesse"), QStringLiteral("E 99e"),
                        QStringLiteral("E max."), QStringLiteral("E court"),
                        QStringLiteral("livr. méd."), QStringLiteral("livr. 99e"),
                        QStringLiteral("livr. max")},
                       largeursOrigine)
           << Qt::endl;
    for (const QString& ligne : origines)
        sortie << ligne << Qt::endl;
    sortie << "\nDurée estimée : " << duree(estimation)
           << " ; durée réelle : " << duree(maintenant() - debut) << ".\n";
    if (!dossierGarde.isEmpty()) {
        const QString copie = QDir(dossierGarde).filePath(QStringLiteral("journal.txt"));
        QFile::remove(copie);
        sortie << "Journal du simulateur : "
               << (QFile::copy(simulateur.cheminJournal(), copie) ? copie
                                                                  : QStringLiteral("non copié"))
               << " ; enregistrements rapides : " << dossierGarde << "/COMn.\n";
    }
    if (options.exemples) {
        sortie << "\nÉchecs (envoyé -> reçu ; ⍽ : espace insécable), émissions échouées, "
                  "changements en\nnombre différent, et les "
               << elementsListes << " premiers éléments de chaque case à plus de "
               << nombre(objectifMs, 0) << " ms :\n";
        for (const QString& e : exemples)
            sortie << "  " << e << "\n";
    }
    return 0;
}
