#include "app/feuillelumivox1.h"
#include "feuillesbanc.h"
#include "link/ecranmemoire.h"
#include "link/station.h"
#include "receive/progressiontelechargement.h"
#include "receive/telechargement.h"
#include "stationessai.h"

#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTest>

using namespace Qt::StringLiterals;

// The two downloads of a fast recording against a stand-in interface held in memory:
// the bytes of their requests, how they read the replies, and what they do when a reply
// is lost or the interface falls silent.

namespace {

// A recording of the stand-in: value k is (k * 7) % 256, so the readings 100 to 255 come
// up in every block.
int valeur(int k) {
    return (k * 7) % 256;
}

// A station whose memory port answers the download requests like the interface: one
// value then DEL, or 32 values each followed by "," then CR. `perdue` says which replies
// are lost on the way (by request number, counting from 0); `muetteApres` makes the
// interface stop answering after that many requests.
struct Interface {
    StationEssai essai;
    QList<QByteArray> requetes;
    std::function<bool(int)> perdue = [](int) { return false; };
    // Seconds after which the reply to a request arrives (by request number): 0, at once.
    std::function<double(int)> retard = [](int) { return 0.0; };
    int muetteApres = -1;
    std::function<QByteArray(int)> reponse32; // the reply to a block, when it is not the usual
    // Seconds the reply to a request stops half-way (by request number): 0, it comes whole.
    // The replies after a stopped one come after its end, in order, as from the interface.
    std::function<double(int)> pause = [](int) { return 0.0; };
    double libre = 0; // when the end of the last stopped reply has come
    // The same request written again while the reply stopped is still due is not answered
    // (the simulator does so).
    bool omet = false;
    QByteArray arretee; // the request whose reply stopped
    // Requests written while this holds (by the clock) are not answered.
    std::function<bool(double)> silencieuse = [](double) { return false; };

    Interface() {
        Station& s = essai.station;
        s.etat.numport = 2;
        QVERIFY(s.liaison.ouvreport(nullptr));
        s.liaison.fixelongueurlecture(1);
        essai.transport->effaceEcritures();
        essai.transport->setRepondeur([this](const QByteArray& octets) { repond(octets); });
    }

    void repond(const QByteArray& octets) {
        static const QRegularExpression forme(u"^XRESUL *(\\d+),(\\d+),(\\d+)$"_s);
        const auto m = forme.match(QString::fromLatin1(octets));
        if (!m.hasMatch())
            return;
        const int numero = int(requetes.size());
        requetes << octets;
        if (perdue(numero) || (muetteApres >= 0 && numero >= muetteApres) ||
            silencieuse(essai.plateforme.maintenant()))
            return;
        const int b = m.captured(1).toInt(), o = m.captured(2).toInt(), n = m.captured(3).toInt();
        if (o > 31)
            return;
        QByteArray r;
        if (n == 1) {
            r = QByteArray::number(valeur(32 * (b - 1) + o)) + '\x7f';
        } else if (reponse32) {
            r = reponse32(b);
        } else {
            for (int k = 0; k < n; ++k)
                r += QByteArray::number(valeur(32 * (b - 1) + o + k)) + ',';
            r += '\r';
        }
        const double d = retard(numero);
        const double p = pause(numero);
        const double maintenant = essai.plateforme.maintenant();
        if (omet && octets == arretee && maintenant < libre)
            return;
        if (p > 0)
            arretee = octets;
        const double depart = std::max(maintenant + d, libre);
        if (depart <= maintenant && p <= 0) {
            essai.transport->recoit(r);
            return;
        }
        const qsizetype moitie = p > 0 ? r.size() / 2 : r.size();
        essai.plateforme.programme(depart,
                                   [this, r, moitie] { essai.transport->recoit(r.left(moitie)); });
        if (p > 0) {
            essai.plateforme.programme(
                depart + p, [this, r, moitie] { essai.transport->recoit(r.mid(moitie)); });
            libre = depart + p + 1e-3;
        }
    }

    Station& station() { return essai.station; }
};

// The reports of a download, each with the virtual time it was made at.
struct Suivi {
    EcranMemoire ecran;
    QList<ProgressionTelechargement> rapports;
    QList<double> instants;

    explicit Suivi(Interface& i) {
        ecran.surProgression = [this, &i](const ProgressionTelechargement& p) {
            rapports << p;
            instants << i.essai.plateforme.maintenant();
        };
        i.station().attache(ecran);
    }

    // The first report, while the download runs, with at least `n` values in; -1 if none.
    qsizetype premier(int n) const {
        for (qsizetype k = 0; k < rapports.size(); ++k)
            if (!rapports.at(k).fini && rapports.at(k).recues >= n)
                return k;
        return -1;
    }
};

QByteArray stocke(int v) {
    return ' ' + QByteArray::number(v);
}

// A whole 6400-sample recording downloaded and stored exact, each value as the interface
// holds it (Morse stores 6368 of them).
void verifietoutrecu(const BilanTelechargement& bilan, const Station& s, bool morse) {
    QVERIFY(!bilan.interrompu);
    const int n = morse ? 6368 : 6400;
    QCOMPARE(bilan.valeursRecues, n);
    QCOMPARE(s.etat.compteurmesures, n);
    for (int k = 0; k < n; ++k)
        QCOMPARE(s.etat.tabmesures.at(k), stocke(valeur(k)));
    QVERIFY(s.etat.tabmesures.at(n).isEmpty());
}

} // namespace

class TestTelechargement : public QObject {
    Q_OBJECT

private slots:
    void requetesEtTexteStocke() {
        QCOMPARE(requetevaleur(1, 0), "XRESUL 1,0,1"_ba);
        QCOMPARE(requetevaleur(199, 31), "XRESUL 199,31,1"_ba);
        QCOMPARE(requetebloc(1), "XRESUL  1,0,32"_ba);
        QCOMPARE(requetebloc(400), "XRESUL  400,0,32"_ba);
        QCOMPARE(textemesure(37), " 37"_ba);
        QCOMPARE(textemesure(0), " 0"_ba);
        QCOMPARE(textemesure(-5), "-5"_ba);
        QCOMPARE(textemesure(12.5), " 12.5"_ba);
    }

    // One request per value, the position 32 written once after each block, every value
    // stored with its leading blank and copied as received.
    void morseUneRequeteParValeur() {
        Interface i;
        Station& s = i.station();
        QList<QPair<int, QByteArray>> copie;
        const BilanTelechargement bilan =
            telechargemorserapide(s, [&](int index, const QByteArray& chaine) {
                copie.append({index, chaine});
            });

        QVERIFY(!bilan.interrompu);
        QCOMPARE(bilan.valeursRecues, 6368);
        QCOMPARE(s.etat.compteurmesures, 6368);
        QCOMPARE(i.requetes.size(), 199 * 33);
        QCOMPARE(i.requetes.at(0), "XRESUL 1,0,1"_ba);
        QCOMPARE(i.requetes.at(31), "XRESUL 1,31,1"_ba);
        QCOMPARE(i.requetes.at(32), "XRESUL 1,32,1"_ba);
        QCOMPARE(i.requetes.at(33), "XRESUL 2,0,1"_ba);
        QCOMPARE(i.requetes.last(), "XRESUL 199,32,1"_ba);
        QCOMPARE(i.essai.transport->toutEcrit(), i.requetes.join());
        for (int k : {0, 1, 15, 37, 6367})
            QCOMPARE(s.etat.tabmesures.at(k), stocke(valeur(k)));
        QVERIFY(s.etat.tabmesures.at(6368).isEmpty());
        QCOMPARE(copie.size(), 6368);
        QCOMPARE(copie.at(15), qMakePair(15, QByteArray::number(valeur(15))));
        QCOMPARE(feuille(s)->Texte1->toPlainText(), u"XRESUL 199,32,1"_s);
        QVERIFY(s.etat.chainemesure.isEmpty());
        QCOMPARE(bilan.octetsEcrits, i.requetes.join().size());
    }

    // The download is reported from 0 to the count asked for, growing, a few times a
    // second at most, and once more as ended, whichever way it asks for the values.
    void progressionCroissante_data() {
        QTest::addColumn<bool>("parvaleur");
        QTest::addColumn<int>("demandees");
        QTest::newRow("morse une par une") << true << 6368;
        QTest::newRow("par blocs") << false << 6400;
    }
    void progressionCroissante() {
        QFETCH(bool, parvaleur);
        QFETCH(int, demandees);
        Interface i;
        i.station().etat.nbmesures = 6400;
        // Each reply 20 ms after its request (fast Morse) or 100 ms (a block).
        i.retard = [parvaleur](int) { return parvaleur ? 0.02 : 0.1; };
        Suivi suivi(i);
        const BilanTelechargement bilan = parvaleur ? telechargemorserapide(i.station(), {})
                                                    : telechargebinairerapide(i.station());
        QCOMPARE(bilan.valeursRecues, demandees);
        QVERIFY(suivi.rapports.size() > 10);
        QCOMPARE(suivi.rapports.first().recues, 0);
        QVERIFY(!suivi.rapports.first().fini);
        QCOMPARE(suivi.rapports.last().recues, demandees);
        QVERIFY(suivi.rapports.last().fini);
        for (qsizetype k = 0; k < suivi.rapports.size(); ++k) {
            const ProgressionTelechargement& p = suivi.rapports.at(k);
            QCOMPARE(p.demandees, demandees);
            QCOMPARE(p.parvaleur, parvaleur);
            QCOMPARE(p.fini, k == suivi.rapports.size() - 1);
            if (k == 0)
                continue;
            QVERIFY(p.recues >= suivi.rapports.at(k - 1).recues);
            if (!p.fini)
                QVERIFY(suivi.instants.at(k) - suivi.instants.at(k - 1) >= intervalleProgression);
        }
    }

    // The time left follows the rate measured: an interface twice as slow to answer gives
    // twice the estimate, each the values left times the time one takes.
    void resteSelonLeDebitMesure() {
        double restes[2] = {};
        for (const int lent : {0, 1}) {
            Interface i;
            const double parvaleur = lent ? 0.04 : 0.02;
            i.retard = [parvaleur](int) { return parvaleur; };
            Suivi suivi(i);
            telechargemorserapide(i.station(), {});
            const qsizetype k = suivi.premier(200);
            QVERIFY(k > 0);
            const ProgressionTelechargement& p = suivi.rapports.at(k);
            // The values left at the rate of those come since the download began.
            const double ecoule = suivi.instants.at(k) - suivi.instants.first();
            const double attendu = (p.demandees - p.recues) * ecoule / p.recues;
            QVERIFY2(qAbs(p.reste - attendu) < 1e-6 * attendu,
                     qPrintable(u"%1 au lieu de %2"_s.arg(p.reste).arg(attendu)));
            // Before the first second: the usual rate of a download one value at a time.
            QCOMPARE(suivi.rapports.first().reste, 6368 / debitParValeur);
            restes[lent] = p.reste;
        }
        QVERIFY(restes[1] > 1.8 * restes[0]);
    }

    // An interface that falls silent: the last report is the values kept, as ended.
    void progressionAbandonnee() {
        Interface i;
        i.muetteApres = 100;
        Suivi suivi(i);
        const BilanTelechargement bilan = telechargemorserapide(i.station(), {});
        QVERIFY(bilan.interrompu);
        QVERIFY(suivi.rapports.last().fini);
        QCOMPARE(suivi.rapports.last().recues, bilan.valeursRecues);
    }

    // A reply lost on the way: the request goes again after a silence, the value comes
    // once; a reply that never comes ends the download with what has arrived.
    void morseRelanceEtAbandon() {
        {
            Interface i;
            i.perdue = [](int n) { return n == 5; };
            Station& s = i.station();
            const BilanTelechargement bilan = telechargemorserapide(s, {});
            QVERIFY(!bilan.interrompu);
            QCOMPARE(i.requetes.at(5), "XRESUL 1,5,1"_ba);
            QCOMPARE(i.requetes.at(6), "XRESUL 1,5,1"_ba);
            QCOMPARE(i.requetes.at(7), "XRESUL 1,6,1"_ba);
            QCOMPARE(i.requetes.size(), 199 * 33 + 1);
            QCOMPARE(s.etat.tabmesures.at(5), stocke(valeur(5)));
            QCOMPARE(s.etat.tabmesures.at(6), stocke(valeur(6)));
        }
        {
            Interface i;
            i.muetteApres = 100;
            Station& s = i.station();
            const double debut = i.essai.plateforme.maintenant();
            const BilanTelechargement bilan = telechargemorserapide(s, {});
            QVERIFY(bilan.interrompu);
            QCOMPARE(bilan.valeursRecues, 100 - 3); // three position-32 requests among them
            QCOMPARE(s.etat.tabmesures.at(96), stocke(valeur(96)));
            QVERIFY(s.etat.tabmesures.at(97).isEmpty());
            const double silence = i.essai.plateforme.maintenant() - debut;
            QVERIFY2(silence >= delaiAbandon && silence < delaiAbandon + 1,
                     qPrintable(QString::number(silence)));
            // The lost request went again every half second or so, not at every pass.
            const int repetitions = int(i.requetes.size()) - 100;
            QVERIFY2(repetitions >= 4 && repetitions <= 7,
                     qPrintable(QString::number(repetitions)));
            const QString avis = avistelechargementinterrompu(bilan);
            QVERIFY(avis.contains(u"97 valeurs reçues sur 6368"_s));
        }
    }

    // The download is given up, and the notice says the interface stopped answering, after
    // three seconds without a character; an interface silent a little less is waited for,
    // and nothing is said. The port lost in the middle is said as such.
    void avisDAbandon_data() {
        QTest::addColumn<double>("silence"); // seconds from request 40 on; -1: the port lost
        QTest::addColumn<QString>("avis");   // the notice's start; empty: none
        QTest::newRow("silence de 2,9 s") << 2.9 << QString();
        QTest::newRow("silence de 3,1 s")
            << 3.1
            << u"Réception incomplète : l'interface a cessé de répondre pendant le "
               "téléchargement (39 valeurs reçues sur 6368"_s;
        QTest::newRow("port perdu")
            << -1.0
            << u"Réception incomplète : la liaison avec l'interface a été perdue "
               "pendant le téléchargement (39 valeurs reçues sur 6368"_s;
    }
    void avisDAbandon() {
        QFETCH(double, silence);
        QFETCH(QString, avis);
        Interface i;
        double debut = -1;
        i.silencieuse = [&](double t) {
            if (debut < 0 && i.requetes.size() == 41) {
                debut = t;
                if (silence < 0)
                    i.essai.transport->perds(u"périphérique indisponible"_s);
            }
            return debut >= 0 && t < debut + silence;
        };
        const BilanTelechargement bilan = telechargemorserapide(i.station(), {});
        QCOMPARE(bilan.interrompu || bilan.portperdu, !avis.isEmpty());
        if (avis.isEmpty()) {
            QCOMPARE(bilan.valeursRecues, 6368);
            return;
        }
        const QString texte = avistelechargementinterrompu(bilan);
        QVERIFY2(texte.startsWith(avis), qPrintable(texte));
    }

    // The few words the headless tool writes after a download, each cause its own.
    void causeDeLAbandon_data() {
        QTest::addColumn<bool>("illisible");
        QTest::addColumn<bool>("portperdu");
        QTest::addColumn<bool>("interrompu");
        QTest::addColumn<QString>("cause");
        QTest::newRow("allé au bout") << false << false << false << QString();
        QTest::newRow("silence") << false << false << true << u"l'interface a cessé de répondre"_s;
        QTest::newRow("port perdu")
            << false << true << true << u"la liaison avec l'interface a été perdue"_s;
        QTest::newRow("pas des mesures")
            << true << false << true << u"l'interface répond, mais pas par des mesures"_s;
    }
    void causeDeLAbandon() {
        QFETCH(bool, illisible);
        QFETCH(bool, portperdu);
        QFETCH(bool, interrompu);
        QFETCH(QString, cause);
        BilanTelechargement bilan;
        bilan.illisible = illisible;
        bilan.portperdu = portperdu;
        bilan.interrompu = interrompu;
        QCOMPARE(causeabandon(bilan), cause);
    }

    // 200 requests for 6400 samples, 400 for 12800; every reading 0 to 255 stored, each
    // once, in its place.
    void binaireBlocsEntiers() {
        for (const int n : {6400, 12800}) {
            Interface i;
            Station& s = i.station();
            s.etat.nbmesures = qint16(n);
            const BilanTelechargement bilan = telechargebinairerapide(s);
            QVERIFY(!bilan.interrompu);
            QCOMPARE(i.requetes.size(), n / 32);
            QCOMPARE(i.requetes.first(), "XRESUL  1,0,32"_ba);
            QCOMPARE(i.requetes.last(), "XRESUL  " + QByteArray::number(n / 32) + ",0,32");
            QCOMPARE(s.etat.compteurmesures, n);
            int clairs = 0;
            for (int k = 0; k < n; ++k) {
                QCOMPARE(s.etat.tabmesures.at(k), stocke(valeur(k)));
                clairs += valeur(k) >= 100;
            }
            QVERIFY(clairs > n / 2);
        }
    }

    // Blanks, CR and LF are no part of a value; an empty token is no value; a token that
    // is no reading keeps its place, empty; what a reply holds beyond its 32 values is no
    // part of the next block.
    // The tokens of a block: blanks, CR and LF inside a token are dropped ("1 \r\n0" is 10),
    // an empty token is no value. A block holding a token that is no reading (300, AB) is
    // asked for again, and none of its values is kept from the bad reply.
    void binaireJetons() {
        Interface i;
        Station& s = i.station();
        s.etat.nbmesures = 96;
        int essaisbloc2 = 0;
        i.reponse32 = [&](int b) -> QByteArray {
            if (b == 1)
                return "12,7,255,,"_ba + QByteArray(" 1\r\n0,").repeated(28) + "9,";
            if (b == 2 && essaisbloc2++ == 0)
                return "300,AB,"_ba + QByteArray("6,").repeated(30) + '\r';
            return QByteArray((b == 2 ? "6," : "5,")).repeated(32) + '\r';
        };
        const BilanTelechargement bilan = telechargebinairerapide(s);
        QVERIFY(!bilan.interrompu);
        QCOMPARE(i.requetes.size(), 4);
        QCOMPARE(i.requetes.at(1), i.requetes.at(2));
        QCOMPARE(s.etat.tabmesures.at(0), " 12"_ba);
        QCOMPARE(s.etat.tabmesures.at(1), " 7"_ba);
        QCOMPARE(s.etat.tabmesures.at(2), " 255"_ba);
        QCOMPARE(s.etat.tabmesures.at(3), " 10"_ba);
        QCOMPARE(s.etat.tabmesures.at(31), " 9"_ba);
        QCOMPARE(s.etat.tabmesures.at(32), " 6"_ba);
        QCOMPARE(s.etat.tabmesures.at(63), " 6"_ba);
        QCOMPARE(s.etat.tabmesures.at(64), " 5"_ba);
        QCOMPARE(s.etat.tabmesures.at(95), " 5"_ba);
        QCOMPARE(s.etat.compteurmesures, 96);
        QCOMPARE(bilan.valeursRecues, 96);
        QVERIFY(s.etat.tabmesures.at(96).isEmpty());
    }

    // An interface that answers letters where the digits should be: no answer is stored as
    // a reading. One bad answer is asked again; answers that stay bad are asked again five
    // times, then the download stops with the readings that came, and says why.
    void reponsesQuiNeSontPasDesMesures_data() {
        QTest::addColumn<bool>("morse");
        QTest::addColumn<int>("mauvaises"); // bad answers in a row, from the 40th request
        QTest::newRow("morse, une") << true << 1;
        QTest::newRow("morse, cinq") << true << 5;
        QTest::newRow("morse, six") << true << 6;
        QTest::newRow("binaire, une") << false << 1;
        QTest::newRow("binaire, cinq") << false << 5;
        QTest::newRow("binaire, six") << false << 6;
    }
    void reponsesQuiNeSontPasDesMesures() {
        QFETCH(bool, morse);
        QFETCH(int, mauvaises);
        Interface i;
        Station& s = i.station();
        s.etat.nbmesures = 6400;
        const int premiere = morse ? 40 : 2; // the request whose answers go bad
        const auto mauvaise = [&] {
            const int n = int(i.requetes.size()) - 1;
            return n >= premiere && n < premiere + mauvaises;
        };
        i.reponse32 = [&](int b) -> QByteArray {
            QByteArray r;
            for (int k = 0; k < 32; ++k)
                r += (mauvaise() && k == 5 ? "AB"_ba
                                           : QByteArray::number(valeur(32 * (b - 1) + k))) +
                     ',';
            return r + '\r';
        };
        if (morse)
            i.essai.transport->setRepondeur([&](const QByteArray& octets) {
                const int avant = int(i.requetes.size());
                if (octets.startsWith("XRESUL") && !octets.endsWith(",32,1") && avant >= premiere &&
                    avant < premiere + mauvaises) {
                    i.requetes << octets;
                    i.essai.transport->recoit("A\x7f");
                    return;
                }
                i.repond(octets);
            });
        const BilanTelechargement bilan =
            morse ? telechargemorserapide(s, {}) : telechargebinairerapide(s);
        const bool abandon = mauvaises > 5; // a request is written again five times at most
        QCOMPARE(bilan.illisible, abandon);
        QCOMPARE(bilan.interrompu, abandon);
        // Every value stored is the interface's reading at its place; none comes of a bad
        // answer.
        const int stockees = s.etat.compteurmesures;
        QCOMPARE(bilan.valeursRecues, stockees);
        for (int k = 0; k < stockees; ++k)
            QCOMPARE(s.etat.tabmesures.at(k), stocke(valeur(k)));
        if (abandon) {
            // Morse: the request of position 32 closing block 1 stores nothing.
            QCOMPARE(stockees, morse ? premiere - 1 : 32 * premiere);
            QVERIFY(avistelechargementinterrompu(bilan).contains(u"ne sont pas des mesures"_s));
        } else {
            QCOMPARE(stockees, morse ? 6368 : 6400);
        }
    }

    // A reply that comes after its request was written again is read once: the reply to
    // the second request is dropped, and no sample is stored twice or out of its place.
    void reponseEnRetardLueUneFois_data() {
        QTest::addColumn<bool>("morse");
        QTest::addColumn<double>("retard");
        QTest::newRow("morse, 0,6 s") << true << 0.6;
        QTest::newRow("morse, 0,9 s") << true << 0.9;
        QTest::newRow("binaire, 0,6 s") << false << 0.6;
        QTest::newRow("binaire, 0,9 s") << false << 0.9;
    }
    void reponseEnRetardLueUneFois() {
        QFETCH(bool, morse);
        QFETCH(double, retard);
        Interface i;
        i.retard = [retard](int n) { return n == 3 || n == 40 ? retard : 0.0; };
        Station& s = i.station();
        s.etat.nbmesures = 6400;
        const BilanTelechargement bilan =
            morse ? telechargemorserapide(s, {}) : telechargebinairerapide(s);
        verifietoutrecu(bilan, s, morse);
    }

    // A reply that stops half-way for longer than the time after which its request is
    // written again, then ends: its end comes before the answer to the request written
    // again, and the two are never read as one reply. Nothing is stored out of them; the
    // request goes again and the download goes on exact.
    void reponseEnPause_data() {
        QTest::addColumn<bool>("morse");
        QTest::addColumn<double>("pause");
        QTest::addColumn<bool>("omet"); // the request written again is not answered
        QTest::newRow("morse, 0,6 s") << true << 0.6 << false;
        QTest::newRow("morse, 1,2 s") << true << 1.2 << false;
        QTest::newRow("morse, 0,6 s, la fin seule") << true << 0.6 << true;
        QTest::newRow("binaire, 0,6 s") << false << 0.6 << false;
        QTest::newRow("binaire, 1,2 s") << false << 1.2 << false;
        QTest::newRow("binaire, 0,6 s, la fin seule") << false << 0.6 << true;
        QTest::newRow("morse, 0,4 s : pas de relance") << true << 0.4 << false;
    }
    void reponseEnPause() {
        QFETCH(bool, morse);
        QFETCH(double, pause);
        QFETCH(bool, omet);
        Interface i;
        i.omet = omet;
        // Value 3 (21) and block 2 stop half-way.
        const int arretee = morse ? 3 : 1;
        i.pause = [&](int n) { return n == arretee ? pause : 0.0; };
        Station& s = i.station();
        s.etat.nbmesures = 6400;
        const BilanTelechargement bilan =
            morse ? telechargemorserapide(s, {}) : telechargebinairerapide(s);
        verifietoutrecu(bilan, s, morse);
        if (QTest::currentTestFailed())
            return;
        // Written again after half a second without a character, and again once the stitched
        // reply has been dropped.
        const qsizetype normales = morse ? 199 * 33 : 200;
        QCOMPARE(i.requetes.size() > normales, pause > delaiRelance);
    }

    // An interface that streams digits without end after a request: no reply is longer
    // than 32 values of three digits, so the stream is no reading; after five requests
    // written again, the download stops with the readings that came, and says that the
    // interface answers but not with readings; it does not wait for the stream to end.
    void flotSansFin_data() {
        QTest::addColumn<bool>("morse");
        QTest::newRow("morse") << true;
        QTest::newRow("binaire") << false;
    }
    void flotSansFin() {
        QFETCH(bool, morse);
        Interface i;
        Station& s = i.station();
        s.etat.nbmesures = 6400;
        const int debut = morse ? 40 : 3;
        double flot = -1;
        // One digit each byte time, from the answer to request `debut` on, for 20 s.
        std::function<void(int)> chiffre = [&](int k) {
            i.essai.transport->recoit(QByteArray(1, char('0' + k % 10)));
            if (k < 960 * 20)
                i.essai.plateforme.programme(i.essai.plateforme.maintenant() + 1.0 / 960,
                                             [&, k] { chiffre(k + 1); });
        };
        i.essai.transport->setRepondeur([&](const QByteArray& octets) {
            if (flot >= 0)
                return;
            if (int(i.requetes.size()) == debut) {
                flot = i.essai.plateforme.maintenant();
                chiffre(0);
                return;
            }
            i.repond(octets);
        });
        const BilanTelechargement bilan =
            morse ? telechargemorserapide(s, {}) : telechargebinairerapide(s);
        QVERIFY(flot >= 0);
        QVERIFY(bilan.interrompu);
        QVERIFY(bilan.illisible);
        const double duree = i.essai.plateforme.maintenant() - flot;
        QVERIFY2(duree < 2, qPrintable(QString::number(duree)));
        const int stockees = s.etat.compteurmesures;
        QCOMPARE(stockees, morse ? debut - 1 : 32 * debut);
        for (int k = 0; k < stockees; ++k)
            QCOMPARE(s.etat.tabmesures.at(k), stocke(valeur(k)));
        QVERIFY(s.etat.tabmesures.at(stockees).isEmpty());
    }

    // An interface that keeps answering with bytes but never a whole reply is asked again
    // at most five times, then the download stops with what has come.
    void relancesBornees() {
        Interface i;
        Station& s = i.station();
        s.etat.nbmesures = 128;
        i.reponse32 = [](int b) -> QByteArray {
            QByteArray r;
            for (int k = 0; k < (b == 3 ? 10 : 32); ++k)
                r += QByteArray::number(valeur(32 * (b - 1) + k)) + ',';
            return b == 3 ? r : r + '\r';
        };
        const BilanTelechargement bilan = telechargebinairerapide(s);
        QVERIFY(bilan.interrompu);
        QCOMPARE(i.requetes.size(), 2 + 1 + 5);
        // The first ten values of the last reply are kept, each once.
        QCOMPARE(bilan.valeursRecues, 74);
        QCOMPARE(s.etat.compteurmesures, 74);
        for (int k = 0; k < 74; ++k)
            QCOMPARE(s.etat.tabmesures.at(k), stocke(valeur(k)));
        QVERIFY(s.etat.tabmesures.at(74).isEmpty());
    }

    // A block that stops half-way is asked for again and read from its start, once: the
    // first whole reply after the cut, which might have begun with the cut one's end, is
    // dropped and the block asked for once more.
    void binaireBlocInterrompu() {
        Interface i;
        Station& s = i.station();
        s.etat.nbmesures = 96;
        int essais = 0;
        i.reponse32 = [&](int b) -> QByteArray {
            QByteArray r;
            for (int k = 0; k < 32; ++k)
                r += QByteArray::number(valeur(32 * (b - 1) + k)) + ',';
            if (b == 2 && essais++ == 0)
                return r.left(20);
            return r + '\r';
        };
        const BilanTelechargement bilan = telechargebinairerapide(s);
        QVERIFY(!bilan.interrompu);
        QCOMPARE(i.requetes.size(), 5);
        QCOMPARE(i.requetes.at(1), i.requetes.at(2));
        QCOMPARE(i.requetes.at(1), i.requetes.at(3));
        QCOMPARE(bilan.valeursRecues, 96);
        for (int k = 0; k < 96; ++k)
            QCOMPARE(s.etat.tabmesures.at(k), stocke(valeur(k)));
    }
};

QTEST_MAIN(TestTelechargement)
#include "tst_telechargement.moc"
