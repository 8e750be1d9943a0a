#include "receive/telechargement.h"

#include "link/ecran.h"
#include "link/station.h"
#include "link/valeurnumerique.h"
#include "receive/progressiontelechargement.h"

#include <algorithm>
#include <cmath>
#include <utility>

using enum Ecran::Controle;

namespace {

constexpr char DEL = 127;
constexpr double dureeOctet = 1.0 / 960; // one byte at 9600 baud, 8N1

bool blanc(char c) {
    return c == ' ' || c == '\r' || c == '\n' || c == '\t';
}

// Where a reply ends: a single value at its DEL, a block at the "," after its 32nd value
// (a token between two commas holding something else than blanks, CR and LF). The CR after
// a block is no part of any reply. A reply longer than any answer to its request ends
// there too, as no reading: a device that streams without end must not hold the download.
class FinReponse {
public:
    enum class Forme { valeur, bloc };
    explicit FinReponse(Forme forme) : forme_(forme) {}
    // Takes one character; true when it ends a reply (troplongue() then says whether by its
    // length).
    bool fin(char c) {
        if (std::exchange(finie_, false))
            recommence();
        const bool b = blanc(c);
        if (forme_ == Forme::valeur) {
            if (c == DEL)
                return termine(false);
        } else if (c == ',') {
            if (!std::exchange(jetonvide_, true))
                ++valeurs_;
            if (valeurs_ >= 32)
                return termine(false);
        } else {
            jetonvide_ = jetonvide_ && b;
        }
        const int maximum = forme_ == Forme::valeur ? longueurValeur : longueurBloc;
        if (b ? ++blancs_ > std::max(maximum, blancsValeur) : ++signes_ > maximum)
            return termine(true);
        return false;
    }
    bool troplongue() const { return troplongue_; }
    void recommence() {
        valeurs_ = 0;
        jetonvide_ = true;
        signes_ = blancs_ = 0;
        troplongue_ = finie_ = false;
    }

    // The characters other than blanks of the longest answer: three digits before the DEL,
    // or 32 values of three digits, each with its comma. Blanks, CR and LF, which a reply
    // may hold here and there, are allowed as many (a few more around a single value).
    static constexpr int longueurValeur = 3;
    static constexpr int longueurBloc = 32 * 4;
    static constexpr int blancsValeur = 8;

private:
    bool termine(bool troplongue) {
        troplongue_ = troplongue;
        finie_ = true;
        return true;
    }

    Forme forme_;
    int valeurs_ = 0;
    bool jetonvide_ = true;
    int signes_ = 0; // characters of the reply other than blanks
    int blancs_ = 0;
    bool troplongue_ = false;
    bool finie_ = false; // the last character ended a reply: the next starts another
};

// The replies to the download's requests, each read once, one character at a time with a
// yield after each read. A request is written once; it is written again only when nothing
// has come for `delaiRelance` after it left the line (or after the last character), at most
// `relancesMaximum` times, and the caller then starts its value or its block again. The
// interface answers the requests in order: after a request written again, the first whole
// reply is taken, and the late one, if it comes, is read and dropped before the next
// request. A reply that stops half-way for that long is taken for cut; if its end comes
// after all, it comes before any answer to the request written again, and the two would
// read as one, or the end alone as a whole reply: the first reply read whole after such a
// cut is dropped, with all that follows until the line is quiet, and the request is written
// again. What has arrived before a request is written cannot answer it. After `delaiAbandon`
// without any character, or too many requests written again, the interface is given up.
class LectureReponse {
public:
    enum class Issue { caractere, fin, relance, abandon };

    LectureReponse(Station& s, BilanTelechargement& bilan, FinReponse::Forme forme)
        : s_(s), bilan_(bilan), fin_(forme), purge_(forme) {}

    // Writes the request of a new value or block, the replies still due to the previous
    // one read and dropped first, and whatever else has come: it cannot answer it.
    void envoie(const QByteArray& requete) {
        purge();
        while (!s_.liaison.litentree().isEmpty())
            ++bilan_.octetsLus;
        requete_ = requete;
        relances_ = 0;
        partiel_ = false;
        apresCoupure_ = false;
        ecrit();
        silenceDepuis_ = s_.plateforme.horloge();
    }

    // A request no reply is expected to.
    void envoieseule(const QByteArray& requete) {
        s_.liaison.envoiecommande(requete);
        bilan_.octetsEcrits += requete.size();
    }

    // The next character of the reply to the request: `fin` when it ends the reply
    // (troplongue() then says whether it ended by its length, as no reading). `relance`
    // when the request was written again: what came of the reply so far is dropped.
    Issue suivant(char& c) {
        const Issue issue = lit(c);
        if (issue != Issue::caractere)
            return issue;
        partiel_ = partiel_ || !blanc(c);
        if (!fin_.fin(c))
            return Issue::caractere;
        partiel_ = false;
        --attendues_;
        if (std::exchange(apresCoupure_, false))
            return recommenceSurLigneCalme();
        return Issue::fin;
    }

    // The reply that just ended was longer than any answer to its request.
    bool troplongue() const { return fin_.troplongue(); }

    int relances() const { return relances_; }

    // The reply read was no reading: the same request is written again, unless it has
    // been written too many times already (false: the interface is given up).
    bool redemande() {
        if (relances_ >= relancesMaximum)
            return false;
        ++relances_;
        partiel_ = false;
        fin_.recommence();
        ecrit();
        silenceDepuis_ = s_.plateforme.horloge();
        return true;
    }

    static constexpr int relancesMaximum = 5;
    // The interface answers the requests it holds one after the other: a line quiet for this
    // long holds no more of their replies.
    static constexpr double delaiCalme = 0.1;

private:
    // One character, a request written again, or the interface given up.
    Issue lit(char& c) {
        Plateforme& p = s_.plateforme;
        for (;;) {
            const QByteArray lu = s_.liaison.litentree();
            if (s_.liaison.perdu()) {
                s_.notelaperte();
                bilan_.portperdu = true;
                return Issue::abandon;
            }
            const double t = p.horloge();
            if (!lu.isEmpty()) {
                ++bilan_.octetsLus;
                attenteDepuis_ = t;
                silenceDepuis_ = t;
                // Whatever else has arrived is read at the next pass: no sleep.
                p.cede(t);
                c = lu.at(0);
                return Issue::caractere;
            }
            if (t - silenceDepuis_ >= delaiAbandon)
                return Issue::abandon;
            if (t - attenteDepuis_ >= delaiRelance) {
                if (relances_ >= relancesMaximum)
                    return Issue::abandon;
                ++relances_;
                // A reply begun and stopped is cut: the caller drops what came of it, and
                // the reply read next is weighed (its end may come yet).
                if (partiel_) {
                    --attendues_;
                    apresCoupure_ = true;
                }
                partiel_ = false;
                fin_.recommence();
                ecrit();
                p.cede(t);
                return Issue::relance;
            }
            // Sleeps until a character arrives, or until the request is due again.
            p.cede(attenteDepuis_ + delaiRelance);
        }
    }

    // The first reply read whole after a cut one may be the cut one's end, alone (the
    // interface did not answer the same request again while its reply was on the line) or
    // followed by the next reply: it is dropped with everything that follows until the line
    // has been quiet for `delaiCalme` (`delaiAbandon` at most), then the request is written
    // again.
    Issue recommenceSurLigneCalme() {
        Plateforme& p = s_.plateforme;
        const double debut = p.horloge();
        double calme = debut;
        for (;;) {
            const QByteArray lu = s_.liaison.litentree();
            if (s_.liaison.perdu())
                break; // the next read says it
            const double t = p.horloge();
            if (!lu.isEmpty()) {
                ++bilan_.octetsLus;
                calme = t;
                continue;
            }
            if (t - calme >= delaiCalme || t - debut >= delaiAbandon)
                break;
            p.cede(calme + delaiCalme);
        }
        attendues_ = 0;
        purge_.recommence();
        if (!redemande())
            return Issue::abandon;
        return Issue::relance;
    }

    // Reads and drops the replies still due (those of requests written again), until none
    // is due or the line has been silent long enough to show that they were lost.
    void purge() {
        Plateforme& p = s_.plateforme;
        double calme = p.horloge();
        while (attendues_ > 0) {
            const QByteArray lu = s_.liaison.litentree();
            if (s_.liaison.perdu())
                break; // the next read says it
            const double t = p.horloge();
            if (lu.isEmpty()) {
                if (t - calme >= delaiPerte) {
                    attendues_ = 0;
                    break;
                }
                p.cede(calme + delaiPerte);
                continue;
            }
            ++bilan_.octetsLus;
            calme = t;
            if (purge_.fin(lu.at(0)))
                --attendues_;
        }
        purge_.recommence();
        fin_.recommence();
    }

    void ecrit() {
        s_.liaison.envoiecommande(requete_);
        bilan_.octetsEcrits += requete_.size();
        ++attendues_;
        // The silence counts from when the request has left the line.
        attenteDepuis_ = s_.plateforme.horloge() + s_.liaison.octetsEnAttente() * dureeOctet;
    }

    // A reply due and not come after this long, the line silent, was lost: the interface
    // answers a request well within the time after which it is written again.
    static constexpr double delaiPerte = delaiRelance;

    Station& s_;
    BilanTelechargement& bilan_;
    FinReponse fin_;   // the end of the reply being read
    FinReponse purge_; // the end of the late replies being dropped
    QByteArray requete_;
    int relances_ = 0;
    int attendues_ = 0;    // replies due to the requests written, not yet read
    bool partiel_ = false; // characters of the reply being read have come
    // A reply stopped half-way and the request was written again: the next reply read may
    // begin with its end.
    bool apresCoupure_ = false;
    double attenteDepuis_ = 0;
    double silenceDepuis_ = 0;
};

// A token of a 32-value reply without its blanks, CR and LF.
QByteArray sansblancs(const QByteArray& jeton) {
    QByteArray net;
    for (const char c : jeton)
        if (c != ' ' && c != '\r' && c != '\n' && c != '\t')
            net += c;
    return net;
}

// A reading 0 to 255 written in decimal digits, or -1.
int lecture(const QByteArray& jeton) {
    if (jeton.isEmpty() || jeton.size() > 3)
        return -1;
    for (const char c : jeton)
        if (c < '0' || c > '9')
            return -1;
    const int v = jeton.toInt();
    return v <= 255 ? v : -1;
}

void range(EtatPartage& e, const QByteArray& texte) {
    if (e.compteurmesures >= 0 && e.compteurmesures < EtatPartage::tailleTabmesures)
        e.tabmesures[static_cast<std::size_t>(e.compteurmesures)] = texte;
    ++e.compteurmesures;
}

} // namespace

QByteArray requetevaleur(int bloc, int position) {
    return "XRESUL " + QByteArray::number(bloc) + ',' + QByteArray::number(position) + ",1";
}

QByteArray requetebloc(int bloc) {
    return "XRESUL " + textemesure(bloc) + ",0,32";
}

QByteArray textemesure(double valeur) {
    QByteArray chiffres = valeur == std::floor(valeur) && std::abs(valeur) < 1e15
                              ? QByteArray::number(static_cast<qint64>(valeur))
                              : QByteArray::number(valeur, 'g', 15);
    return valeur < 0 ? chiffres : ' ' + chiffres;
}

BilanTelechargement
telechargemorserapide(Station& s, const std::function<void(int, const QByteArray&)>& copie) {
    EtatPartage& e = s.etat;
    Plateforme& p = s.plateforme;
    // Block 0 is never asked for: 6368 values of a 6400-sample recording. A 12800-sample
    // recording comes whole, 400 blocks as fast binary asks for them.
    const int blocs = e.nbmesures == 12800 ? 400 : 199;
    BilanTelechargement bilan;
    bilan.valeursDemandees = blocs * 32;
    LectureReponse reponse(s, bilan, FinReponse::Forme::valeur);
    const double debut = p.horloge();
    SuiviTelechargement suivi(s, bilan, true);
    for (int b = 1; b <= blocs; ++b) {
        for (int o = 0; o <= 31; ++o) {
            s.ecran->fixetexte(Texte1, QString::fromLatin1(requetevaleur(b, o)));
            reponse.envoie(requetevaleur(b, o));
            for (bool entiere = false; !entiere;) {
                char c = 0;
                switch (reponse.suivant(c)) {
                case LectureReponse::Issue::abandon:
                    e.chainemesure.clear();
                    bilan.interrompu = true;
                    bilan.duree = p.horloge() - debut;
                    return bilan;
                case LectureReponse::Issue::relance:
                    // The value is asked for again: its characters come again from the start.
                    e.chainemesure.clear();
                    break;
                case LectureReponse::Issue::caractere:
                    e.chainemesure += c;
                    break;
                case LectureReponse::Issue::fin:
                    entiere = !reponse.troplongue() && lecture(sansblancs(e.chainemesure)) >= 0;
                    if (entiere)
                        break;
                    // An answer that is no reading is never stored as one: asked again.
                    e.chainemesure.clear();
                    if (!reponse.redemande()) {
                        bilan.illisible = bilan.interrompu = true;
                        bilan.duree = p.horloge() - debut;
                        return bilan;
                    }
                    break;
                }
            }
            range(e, textemesure(valeurnumerique(e.chainemesure)));
            if (copie)
                copie(e.compteurmesures - 1, e.chainemesure);
            ++bilan.valeursRecues;
            bilan.duree = p.horloge() - debut;
            suivi.avance();
            s.ecran->fixetexte(Texte1,
                               s.ecran->texte(Texte1) + u' ' + QString::fromLatin1(e.chainemesure));
            e.chainemesure.clear();
        }
        // After the last value of a block, the request names position 32, which the
        // interface ignores, before the next block begins.
        s.ecran->fixetexte(Texte1, QString::fromLatin1(requetevaleur(b, 32)));
        reponse.envoieseule(requetevaleur(b, 32));
    }
    return bilan;
}

BilanTelechargement
telechargebinairerapide(Station& s, const std::function<void(int, const QByteArray&)>& copie) {
    EtatPartage& e = s.etat;
    Plateforme& p = s.plateforme;
    BilanTelechargement bilan;
    // The recording's length when the download starts: a menu changed meanwhile does not
    // change what is asked for.
    const int nbmesures = e.nbmesures;
    const int blocs = nbmesures / 32;
    bilan.valeursDemandees = nbmesures;
    LectureReponse reponse(s, bilan, FinReponse::Forme::bloc);
    // The values of the block being read, for the copy: a block asked for again must not
    // give its lines twice.
    std::vector<std::pair<int, QByteArray>> lignesbloc;
    const auto copiebloc = [&] {
        if (copie)
            for (const auto& [index, jeton] : lignesbloc)
                copie(index, jeton);
        lignesbloc.clear();
    };
    const double debut = p.horloge();
    SuiviTelechargement suivi(s, bilan, false);
    bool blocillisible = false; // a token of the block being read is no reading
    // A token of the reply ends: a value, unless it holds nothing but blanks.
    const auto jeton = [&] {
        const QByteArray net = sansblancs(e.chainemesure);
        e.chainemesure.clear();
        if (net.isEmpty() || e.compteurmesures >= nbmesures)
            return;
        const int v = lecture(net);
        blocillisible = blocillisible || v < 0;
        range(e, v >= 0 ? textemesure(v) : QByteArray());
        lignesbloc.emplace_back(e.compteurmesures - 1, net);
        ++bilan.valeursRecues;
        bilan.duree = p.horloge() - debut;
        suivi.avance();
    };
    for (int b = 1; b <= blocs && e.compteurmesures < nbmesures; ++b) {
        const qint16 debutbloc = e.compteurmesures;
        const auto oubliebloc = [&] {
            for (qint16 i = debutbloc; i < e.compteurmesures; ++i)
                e.tabmesures[static_cast<std::size_t>(i)].clear();
            bilan.valeursRecues -= e.compteurmesures - debutbloc;
            e.compteurmesures = debutbloc;
            e.chainemesure.clear();
            lignesbloc.clear();
            blocillisible = false;
        };
        reponse.envoie(requetebloc(b));
        for (bool entiere = false; !entiere;) {
            char c = 0;
            switch (reponse.suivant(c)) {
            case LectureReponse::Issue::abandon:
                e.chainemesure.clear();
                copiebloc();
                bilan.interrompu = true;
                bilan.duree = p.horloge() - debut;
                return bilan;
            case LectureReponse::Issue::relance:
                // The whole block comes again: what came of it so far is dropped.
                oubliebloc();
                break;
            case LectureReponse::Issue::caractere:
                if (c == ',')
                    jeton();
                else
                    e.chainemesure += c;
                break;
            case LectureReponse::Issue::fin:
                jeton();
                entiere = !blocillisible && !reponse.troplongue();
                if (entiere)
                    break;
                // A block holding answers that are no readings is asked for again, and
                // none of its values is kept.
                oubliebloc();
                if (!reponse.redemande()) {
                    bilan.illisible = bilan.interrompu = true;
                    bilan.duree = p.horloge() - debut;
                    return bilan;
                }
                break;
            }
        }
        copiebloc();
    }
    return bilan;
}

QString avistelechargementinterrompu(const BilanTelechargement& bilan) {
    if (bilan.illisible)
        return QStringLiteral("Réception incomplète : l'interface répond, mais ses réponses ne "
                              "sont pas des mesures (%1 valeurs reçues sur %2, conservées ; les "
                              "autres comptent comme de l'obscurité). Vérifier que c'est bien "
                              "l'interface Orphy GTS qui est branchée, faire RAZ Orphy, puis "
                              "renvoyer le message.")
            .arg(bilan.valeursRecues)
            .arg(bilan.valeursDemandees);
    if (bilan.portperdu)
        return QStringLiteral("Réception incomplète : la liaison avec l'interface a été perdue "
                              "pendant le téléchargement (%1 valeurs reçues sur %2, conservées ; "
                              "les autres comptent comme de l'obscurité). Renvoyer le message "
                              "quand la liaison sera revenue.")
            .arg(bilan.valeursRecues)
            .arg(bilan.valeursDemandees);
    return QStringLiteral("Réception incomplète : l'interface a cessé de répondre pendant le "
                          "téléchargement (%1 valeurs reçues sur %2, conservées ; les autres "
                          "comptent comme de l'obscurité). Vérifier le câble et l'interface, "
                          "faire RAZ Orphy, puis renvoyer le message.")
        .arg(bilan.valeursRecues)
        .arg(bilan.valeursDemandees);
}

QString causeabandon(const BilanTelechargement& bilan) {
    if (bilan.illisible)
        return QStringLiteral("l'interface répond, mais pas par des mesures");
    if (bilan.portperdu)
        return QStringLiteral("la liaison avec l'interface a été perdue");
    if (bilan.interrompu)
        return QStringLiteral("l'interface a cessé de répondre");
    return {};
}
