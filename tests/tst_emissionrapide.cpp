#include "app/feuillelumivox1.h"
#include "codes/predefinis.h"
#include "stationessai.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

// The two fast emitters on a station in virtual time whose port is memory: the keying
// bytes they write and when, the wait for the receiver's recording, the form.

namespace {

const QByteArray allume(1, '\0'), eteint(" ");

QPushButton* bouton(StationEssai& e, bool morse) {
    return morse ? e.feuille->Btonenvoi_morserapide : e.feuille->Btonenvoi_binrap;
}

// Clicks the send button at second 1, `texte` typed, the port open and the tick running;
// the bytes written until the handler returns. A clock reading is worth 0.1 ms: every
// wait ends that late, which the schedule of the elements must not let add up.
std::vector<TransportMemoire::Ecriture> emet(StationEssai& e, bool morse, const QString& texte,
                                             double f = 1, int nbmesures = 6400) {
    EtatPartage& etat = e.station.etat;
    etat.taillepolice = 16;
    etat.facteurvitesse = f;
    etat.dureeparmesure = 0.0013;
    etat.nbmesures = qint16(nbmesures);
    e.plateforme.setPasLecture(1e-4);
    e.station.liaison.ouvreport(nullptr);
    e.station.Minuterie->setEnabled(true);
    e.plateforme.avanceJusqua(1);
    e.feuille->Texte1->setPlainText(texte);
    e.transport->effaceEcritures();
    bouton(e, morse)->setEnabled(true);
    bouton(e, morse)->click();
    return e.transport->ecritures();
}

} // namespace

class TestEmissionRapide : public QObject {
    Q_OBJECT
private slots:
    // Start mark 1 s of light and 0.35 s dark, then one bare byte per element on the
    // instants the lengths give, and one laser-off byte. Elements in units; light > 0.
    void octetsEtMotif_data() {
        QTest::addColumn<bool>("morse");
        QTest::addColumn<double>("f");
        QTest::addColumn<QString>("texte");
        QTest::addColumn<double>("unite");
        QTest::addColumn<QList<double>>("elements");
        const QList<double> c{3, -1, 1, -1, 3, -1, 1, -3}; // "-.-." and a letter gap
        const QList<double> e{1, -1, -3, -1};              // a dot, the closing blank
        QTest::newRow("morse e") << true << 1.0 << u"e"_s << 0.05 << c + e;
        QTest::newRow("morse e, x 0,9") << true << 1 / 0.9 << u"e"_s << 0.05 / 0.9 << c + e;
        QTest::newRow("morse te") << true << 1.0 << u"te"_s << 0.05
                                  << c + QList<double>{3, -1, -3, -1} + e;
        const QList<double> o{1, -1, 1, -1, 1, -2}; // three flashes and a stop interval
        // 101100001 and its stop interval; the blank added to a typed text is not sent.
        QTest::newRow("binaire a") << false << 1.0 << u"a"_s << 0.07
                                   << o + QList<double>{1, -1, 1, 1, -1, -1, -1, -1, 1, -2};
        QTest::newRow("binaire phrase e1, 18 chiffres") // 101100101 100110001
            << false << 1.0 << texteemissioncode(1) << 0.07
            << o + QList<double>{1, -1, 1,  1, -1, -1, 1,  -1, 1, -2,
                                 1, -1, -1, 1, 1,  -1, -1, -1, 1, -2};
        QTest::newRow("binaire un blanc")
            << false << 1.0 << u" "_s << 0.07 << o + QList<double>{-2};
    }
    void octetsEtMotif() {
        QFETCH(bool, morse);
        QFETCH(double, f);
        QFETCH(QString, texte);
        QFETCH(double, unite);
        QFETCH(QList<double>, elements);
        StationEssai e;
        const auto w = emet(e, morse, texte, f);

        const double marque = w.front().instant;
        auto i = w.begin();
        for (; i->instant < marque + 1.35 - 5e-4; ++i)
            QCOMPARE(i->octets, i->instant < marque + 1 ? allume : eteint);
        double prevu = marque + 1.35;
        for (const double d : elements + QList<double>{-1}) {
            QVERIFY(i != w.end() && i->octets == (d > 0 ? allume : eteint));
            QVERIFY2(qAbs(i->instant - prevu) < 5e-4,
                     qPrintable(u"%1 s, prévu %2 s"_s.arg(i->instant).arg(prevu)));
            prevu += qAbs(d) * unite;
            ++i;
        }
        // Nothing more until the final wait is over; never a CR.
        for (; i != w.end(); ++i)
            QVERIFY(i->octets == eteint && i->instant > 1 + 10.32);
    }

    // The final wait, the pause, the form meanwhile and afterwards, and what scripted
    // events (clicks, menus) find when they run.
    void attenteEtFormulaire_data() {
        QTest::addColumn<bool>("morse");
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("texte2");
        for (const int n : {6400, 12800}) {
            QTest::addRow("morse %d", n) << true << n << u".- (a) -... (b) "_s;
            QTest::addRow("binaire %d", n)
                << false << n << u"01100001 (a) 01100010 (b)   ( )  = 101100001101100010 "_s;
        }
    }
    void attenteEtFormulaire() {
        QFETCH(bool, morse);
        QFETCH(int, n);
        QFETCH(QString, texte2);
        const double attente = 2 + 0.0013 * n; // 10.32 s, 18.64 s
        const QString s = n == 6400 ? u"15"_s : u"30"_s;
        StationEssai e;
        Feuillelumivox1& f = *e.feuille;
        // Events run on time during the start mark and the message (a click on Quit must
        // stop the program at once), and the elements still end on their schedule.
        double pendantMarque = 0, pendantMessage = 0;
        e.plateforme.programme(1.5, [&] { pendantMarque = e.plateforme.maintenant(); });
        e.plateforme.programme(3.2, [&] { pendantMessage = e.plateforme.maintenant(); });
        QStringList vu;
        bool bloque = false;
        e.plateforme.programme(6, [&] {
            vu << f.Etiquette1->text() << f.Etiquette2->text() << f.Texte2->toPlainText();
            bloque = !bouton(e, morse)->isEnabled() && !f.Btonefface->isEnabled() &&
                     f.Texte1->isReadOnly() && !e.station.Minuterie->enabled();
        });
        e.plateforme.programme(1 + attente + 0.0005, [&] { vu << f.Etiquette1->text(); });
        const auto w = emet(e, morse, u"ab"_s, 1, n);

        const auto pause = std::find_if(w.begin(), w.end(), [](auto& x) { return x.instant > 6; });
        const double finMessage = std::prev(pause)->instant;
        QVERIFY(finMessage > 3.2);
        QVERIFY(qAbs(pendantMessage - 3.2) < 0.001 && qAbs(pendantMarque - 1.5) < 0.001);
        QVERIFY(pause->instant - 1 >= attente && pause->instant - 1 < attente + 0.002);
        QVERIFY(qAbs(e.plateforme.maintenant() - 1 - attente - (morse ? 0.2 : 0.5)) < 0.004);
        QCOMPARE(
            vu,
            (QStringList{
                u" ENVOI DU MESSAGE EN COURS  PATIENTEZ environ %1 s SVP"_s.arg(s),
                (morse
                     ? u" ENVOI DU CODE MORSE rapide EN COURS (message de durée %1 s maximum)"_s
                     : u" ENVOI DU CODE binaire rapide EN COURS (message de durée %1 s maximum)"_s)
                    .arg(s),
                texte2, u" ENVOI DU MESSAGE TERMINE "_s}));

        QVERIFY(bloque && bouton(e, morse)->isEnabled() && f.Btonefface->isEnabled());
        QVERIFY(!f.Texte1->isReadOnly() && e.station.Minuterie->enabled());
        QCOMPARE(f.Texte1->toPlainText() + f.Texte2->toPlainText(), u"ab"_s);
        QCOMPARE(
            f.Etiquette1->text(),
            morse
                ? u" Entrer un message (26 minuscules sans ponctuation ou 9 chiffres) ou code         "_s
                : u" Entrer un message (tout caractère clavier) ou code         "_s);
        QCOMPARE(f.Etiquette2->text(), u"Réception de message"_s);
    }

    // The machine is held up (the clock jumps without a yield) at random points of the
    // message: no element is ever shorter than its length by more than half a millisecond,
    // the one a late change ends being only longer.
    void unArretNeRaccourcitAucunElement_data() {
        QTest::addColumn<bool>("morse");
        QTest::addColumn<double>("arret");
        for (const double arret : {0.012, 0.03, 0.1}) {
            QTest::addRow("morse, %g s", arret) << true << arret;
            QTest::addRow("binaire, %g s", arret) << false << arret;
        }
    }
    void unArretNeRaccourcitAucunElement() {
        QFETCH(bool, morse);
        QFETCH(double, arret);
        // The lengths of the elements of the message, after the start mark.
        const auto elements = [morse](double arret, int graine) {
            StationEssai e;
            // Stalls at instants that fall anywhere in the elements.
            for (int k = 0; arret > 0 && k < 8; ++k) {
                const double t = 2.4 + 0.1237 * k * graine + 0.0171 * graine;
                e.plateforme.programme(t, [&e, arret] { e.plateforme.bloque(arret); });
            }
            const auto w = emet(e, morse, u"sos 73"_s);
            std::vector<double> changements;
            QByteArray niveau;
            for (const auto& x : w) {
                if (x.instant < 2.35 - 1e-3 || x.octets == niveau)
                    continue;
                niveau = x.octets;
                changements.push_back(x.instant);
            }
            std::vector<double> durees;
            for (size_t i = 1; i < changements.size(); ++i)
                durees.push_back(changements[i] - changements[i - 1]);
            return durees;
        };
        const std::vector<double> nominales = elements(0, 0);
        QVERIFY(nominales.size() > 20);
        double allonge = 0;
        for (int graine = 1; graine <= 5; ++graine) {
            const std::vector<double> durees = elements(arret, graine);
            QCOMPARE(durees.size(), nominales.size());
            for (size_t i = 0; i < durees.size(); ++i) {
                QVERIFY2(durees[i] >= nominales[i] - 0.0005,
                         qPrintable(u"élément %1 : %2 s pour %3 s"_s.arg(i).arg(durees[i]).arg(
                             nominales[i])));
                allonge += durees[i] - nominales[i];
            }
        }
        // A stall that crosses the end of an element makes it longer; one that ends inside
        // its element changes nothing. Some did cross.
        QVERIFY(allonge > arret);
    }

    // Quit in the middle of a fast message: the program ends at once, the laser off
    // first.
    void quitterPendantLeMessage_data() {
        QTest::addColumn<bool>("morse");
        QTest::addColumn<double>("instant");
        QTest::newRow("morse, marque") << true << 1.5;
        QTest::newRow("morse, message") << true << 2.71;
        QTest::newRow("binaire, message") << false << 2.73;
    }
    void quitterPendantLeMessage() {
        QFETCH(bool, morse);
        QFETCH(double, instant);
        StationEssai e;
        e.plateforme.programme(instant, [&] { e.feuille->Btonquitter_Click(); });
        int code = -1;
        try {
            emet(e, morse, u"sos sos"_s);
        } catch (const FinProgramme& fin) {
            code = fin.code;
        }
        QCOMPARE(code, 0);
        const auto& w = e.transport->ecritures();
        QCOMPARE(w.back().octets, QByteArray(" \r"));
        QVERIFY(w.back().instant - instant < 0.1);
        QVERIFY(!e.laserallume);
    }
};

QTEST_MAIN(TestEmissionRapide)
#include "tst_emissionrapide.moc"
