#include "app/feuillelumivox1.h"
#include "emit/btonenvoimorserapide.h"
#include "feuillesbanc.h"
#include "receive/form_load.h"
#include "receive/lumiere.h"
#include "stationessai.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

// A port that goes away while the program runs (an adapter unplugged) and comes back: the
// station says it, waits, opens the same port again every second and goes on with the same
// coding and threshold; an emission in progress ends at once; nothing typed is lost.

namespace {

struct Perte {
    StationEssai e;
    int pertes = 0;
    int retours = 0;
    QString message;
    double instantRetour = -1;
    int ouvertures = 0;

    // Start-up answered without a receiver test; the port lost at `perte`, refused until
    // `retour`, the station stopped at `arret`.
    int demarre(double perte, double retour, double arret) {
        Station& s = e.station;
        e.dialogues.jusquAuBranchement(true, u"2"_s).annuler().ok();
        e.lecture = [] { return QByteArray("10"); };
        s.observateurs.liaisonPerdue = [this](const QString& m) {
            ++pertes;
            message = m;
        };
        s.observateurs.liaisonRetablie = [this] {
            ++retours;
            instantRetour = e.plateforme.maintenant();
        };
        e.plateforme.programme(perte, [this] {
            e.transport->perds(u"périphérique indisponible"_s);
            e.erreurouverture = u"Le port COM 2 est introuvable."_s;
        });
        e.plateforme.programme(retour, [this] { e.erreurouverture.clear(); });
        e.plateforme.programme(arret, [this] { e.feuille->Btonquitter_Click(); });
        try {
            Form_Load(s);
        } catch (const FinProgramme& fin) {
            return fin.code;
        }
        return -1;
    }
};

} // namespace

class TestRetourLiaison : public QObject {
    Q_OBJECT
private slots:
    void attendPuisReprend() {
        Perte p;
        QPlainTextEdit* Texte1 = nullptr;
        p.e.plateforme.programme(3.5, [&] {
            Texte1 = p.e.feuille->Texte1;
            Texte1->setPlainText(u"à envoyer"_s);
            // Nothing can be sent while the port is away.
            QVERIFY(!p.e.feuille->Btonenvoiemorse->isEnabled());
            QVERIFY(p.e.feuille->Etiquette2->text().contains(u"LIAISON"_s));
        });
        double seuil = 0;
        p.e.plateforme.programme(2.5, [&] { seuil = p.e.station.etat.tensionseuil; });
        // The interface reads darker after the return: the tick samples the new port.
        p.e.plateforme.programme(6.2, [&] { p.e.lecture = [] { return QByteArray("40"); }; });
        QCOMPARE(p.demarre(3, 6, 9), 0);
        QCOMPARE(p.pertes, 1);
        QCOMPARE(p.retours, 1);
        QVERIFY(p.message.contains(u"essaie de rouvrir le port COM 2 chaque seconde"_s));
        // Tried every second: back within a second of the port's return.
        QVERIFY2(p.instantRetour >= 6 && p.instantRetour < 7.05,
                 qPrintable(QString::number(p.instantRetour)));
        Station& s = p.e.station;
        QCOMPARE(p.e.portdemande, 2);
        QCOMPARE(s.etat.typecodage, u"m"_s);
        QCOMPARE(s.etat.tensionseuil, seuil);
        QCOMPARE(s.etat.tensionmesuree, 40 * 5.0 / 255);
        QVERIFY(feuille(s)->Btonenvoiemorse->isEnabled());
        QCOMPARE(Texte1->toPlainText(), u"à envoyer"_s);
        QCOMPARE(feuille(s)->Etiquette2->text(), u"Réception de message"_s);
    }

    // The notice of a lost port names the device waited for when the opening named it, and
    // warns that the laser may still be lit only when it was last told to light.
    void avisDePerte_data() {
        QTest::addColumn<bool>("allume");
        QTest::addColumn<QString>("attendu");
        QTest::newRow("laser allumé") << true << QString();
        QTest::newRow("laser éteint") << false << QString();
        QTest::newRow("périphérique nommé") << false << u"/dev/serial/by-id/usb-FTDI_A5"_s;
    }
    void avisDePerte() {
        QFETCH(bool, allume);
        QFETCH(QString, attendu);
        StationEssai e;
        Station& s = e.station;
        s.etat.numport = 2;
        e.peripheriqueattendu = attendu;
        QVERIFY(s.liaison.ouvreport(nullptr));
        allume ? s.liaison.allumelaserrapide() : s.liaison.eteintlaserrapide();
        QString message;
        s.observateurs.liaisonPerdue = [&](const QString& m) { message = m; };
        e.transport->perds(u"périphérique indisponible"_s);
        s.notelaperte();
        QCOMPARE(message.contains(u"Le laser n'a pas pu être éteint : il peut être resté allumé"_s),
                 allume);
        const QString essai =
            attendu.isEmpty()
                ? u"essaie de rouvrir le port COM 2 chaque seconde"_s
                : u"essaie de rouvrir le port COM 2 (%1) chaque seconde"_s.arg(attendu);
        QVERIFY2(message.contains(essai), qPrintable(message));
    }

    // A slow reception whose port goes away in the middle ends at once and says so after
    // the text; the port lost just after a reception ended adds nothing to its text.
    void receptionLenteAbandonnee_data() {
        QTest::addColumn<double>("perte");
        QTest::addColumn<bool>("avis");
        QTest::newRow("pendant la réception") << 11.0 << true;
        QTest::newRow("après la réception") << 19.5 << false;
    }
    void receptionLenteAbandonnee() {
        QFETCH(double, perte);
        QFETCH(bool, avis);
        Perte p;
        // The start mark (3 s of light from 4 s), 2 s of darkness, a dot, then darkness:
        // the reception ends after seven units of it, by 18 s.
        p.e.plateforme.programme(3, [&] {
            p.e.lecture = [&] {
                const double t = p.e.plateforme.maintenant();
                const bool lumiere = (t >= 4 && t < 7) || (t >= 9 && t < 9.3);
                return QByteArray(lumiere ? "153" : "3");
            };
        });
        QString texte;
        p.e.station.observateurs.finReception = [&] { texte = p.e.station.etat.messagerecu; };
        QCOMPARE(p.demarre(perte, perte + 1, perte + 3), 0);
        QVERIFY(texte.startsWith(u"e"_s));
        QCOMPARE(texte.contains(texteliaisonperdue), avis);
        QCOMPARE(texte.contains(texteinterruption), !avis);
    }

    // Lost in the middle of a fast emission: the rest of the message is not waited for,
    // the form comes back, and the station waits for its port.
    void perteEnEmissionRapide() {
        Perte p;
        double finEmission = -1;
        p.e.plateforme.programme(3, [&] {
            Station& s = p.e.station;
            s.etat.nbmesures = 6400;
            feuille(s)->Texte1->setPlainText(u"sos sos sos"_s);
            Btonenvoi_morserapide_Click(s);
            finEmission = p.e.plateforme.maintenant();
        });
        QCOMPARE(p.demarre(4.5, 8, 12), 0);
        QCOMPARE(p.pertes, 1);
        QCOMPARE(p.retours, 1);
        // The emission ended within a tenth of a second of the loss, not at its 15 s.
        QVERIFY2(finEmission >= 4.5 && finEmission < 4.6, qPrintable(QString::number(finEmission)));
        QVERIFY(!p.e.feuille->Texte1->isReadOnly());
    }
};

QTEST_MAIN(TestRetourLiaison)
#include "tst_retourliaison.moc"
