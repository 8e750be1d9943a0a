#include "receive/telechargement.h"

#include "app/feuillelumivox1.h"
#include "app/station.h"
#include "link/valeurnumerique.h"

#include <QPlainTextEdit>
#include <cmath>

namespace {

constexpr char DEL = 127;
constexpr double dureeOctet = 1.0 / 960; // one byte at 9600 baud, 8N1

// The reply to one request, read one character at a time with a yield after each read.
// The request is written once; it is written again only when nothing has come for
// `delaiRelance` after it left the line (or after the last character), and the caller
// then starts its value or its block again. After `delaiAbandon` without any character
// the interface is given up.
class LecteurReponse {
public:
    enum class Issue { caractere, relance, abandon };

    LecteurReponse(Station& s, BilanTelechargement& bilan) : s_(s), bilan_(bilan) {}

    void envoie(const QByteArray& requete) {
        requete_ = requete;
        ecrit();
        silenceDepuis_ = s_.plateforme.horloge();
    }

    // A request no reply is expected to.
    void envoieseule(const QByteArray& requete) {
        s_.liaison.envoiecommande(requete);
        bilan_.octetsEcrits += requete.size();
    }

    Issue suivant(char& c) {
        Plateforme& p = s_.plateforme;
        for (;;) {
            const QByteArray lu = s_.liaison.litentree();
            if (s_.liaison.perdu())
                s_.signaleperte();
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
                ecrit();
                p.cede(t);
                return Issue::relance;
            }
            // Sleeps until a character arrives, or until the request is due again.
            p.cede(attenteDepuis_ + delaiRelance);
        }
    }

private:
    void ecrit() {
        s_.liaison.envoiecommande(requete_);
        bilan_.octetsEcrits += requete_.size();
        // The silence counts from when the request has left the line.
        attenteDepuis_ = s_.plateforme.horloge() + s_.liaison.octetsEnAttente() * dureeOctet;
    }

    Station& s_;
    BilanTelechargement& bilan_;
    QByteArray requete_;
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

// Replies of the tick that were still on the line when the reception began have arrived
// during the recording: they must not be read as the first value.
void videentree(Station& s) {
    while (!s.liaison.litentree().isEmpty()) {
    }
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
    QPlainTextEdit* Texte1 = s.feuille->Texte1;
    // Block 0 is never asked for: 6368 values of a 6400-sample recording. A 12800-sample
    // recording comes whole, 400 blocks as fast binary asks for them.
    const int blocs = e.nbmesures == 12800 ? 400 : 199;
    BilanTelechargement bilan;
    bilan.valeursDemandees = blocs * 32;
    LecteurReponse reponse(s, bilan);
    videentree(s);
    const double debut = p.horloge();
    for (int b = 1; b <= blocs; ++b) {
        int o = 0;
        Texte1->setPlainText(QString::fromLatin1(requetevaleur(b, 0)));
        reponse.envoie(requetevaleur(b, 0));
        while (o <= 31) {
            char c = 0;
            const auto issue = reponse.suivant(c);
            if (issue == LecteurReponse::Issue::abandon) {
                bilan.interrompu = true;
                bilan.duree = p.horloge() - debut;
                return bilan;
            }
            if (issue == LecteurReponse::Issue::relance) {
                // The value is asked for again: its characters come again from the start.
                e.chainemesure.clear();
                continue;
            }
            if (c != DEL) {
                e.chainemesure += c;
                continue;
            }
            range(e, textemesure(valeurnumerique(e.chainemesure)));
            if (copie)
                copie(e.compteurmesures - 1, e.chainemesure);
            ++bilan.valeursRecues;
            bilan.duree = p.horloge() - debut;
            Texte1->setPlainText(Texte1->toPlainText() + u' ' +
                                 QString::fromLatin1(e.chainemesure));
            e.chainemesure.clear();
            ++o;
            // The request of the next value; after the last value of a block it names
            // position 32, which the interface ignores, before the next block begins.
            Texte1->setPlainText(QString::fromLatin1(requetevaleur(b, o)));
            if (o <= 31)
                reponse.envoie(requetevaleur(b, o));
            else
                reponse.envoieseule(requetevaleur(b, o));
        }
    }
    return bilan;
}

BilanTelechargement
telechargebinairerapide(Station& s, const std::function<void(int, const QByteArray&)>& copie) {
    EtatPartage& e = s.etat;
    Plateforme& p = s.plateforme;
    BilanTelechargement bilan;
    const int blocs = e.nbmesures / 32;
    bilan.valeursDemandees = e.nbmesures;
    LecteurReponse reponse(s, bilan);
    videentree(s);
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
    for (int b = 1; b <= blocs && e.compteurmesures < e.nbmesures; ++b) {
        const qint16 debutbloc = e.compteurmesures;
        reponse.envoie(requetebloc(b));
        int k = 0;
        while (e.compteurmesures < e.nbmesures && k < 32) {
            char c = 0;
            const auto issue = reponse.suivant(c);
            if (issue == LecteurReponse::Issue::abandon) {
                copiebloc();
                bilan.interrompu = true;
                bilan.duree = p.horloge() - debut;
                return bilan;
            }
            if (issue == LecteurReponse::Issue::relance) {
                // The whole block comes again: what came of it so far is dropped.
                for (qint16 i = debutbloc; i < e.compteurmesures; ++i)
                    e.tabmesures[static_cast<std::size_t>(i)].clear();
                bilan.valeursRecues -= e.compteurmesures - debutbloc;
                e.compteurmesures = debutbloc;
                e.chainemesure.clear();
                lignesbloc.clear();
                k = 0;
                continue;
            }
            if (c != ',') {
                e.chainemesure += c;
                continue;
            }
            const QByteArray jeton = sansblancs(e.chainemesure);
            e.chainemesure.clear();
            if (jeton.isEmpty())
                continue;
            const int v = lecture(jeton);
            range(e, v >= 0 ? textemesure(v) : QByteArray());
            lignesbloc.emplace_back(e.compteurmesures - 1, jeton);
            ++bilan.valeursRecues;
            ++k;
            bilan.duree = p.horloge() - debut;
        }
        copiebloc();
    }
    return bilan;
}

QString avistelechargementinterrompu(const BilanTelechargement& bilan) {
    return QStringLiteral("Réception incomplète : l'interface a cessé de répondre pendant le "
                          "téléchargement (%1 valeurs reçues sur %2, conservées ; les autres "
                          "comptent comme de l'obscurité). Vérifier le câble et l'interface, "
                          "faire RAZ Orphy, puis renvoyer le message.")
        .arg(bilan.valeursRecues)
        .arg(bilan.valeursDemandees);
}
