#include "link/station.h"
#include "tools/bancvirtuel.h"

#include <QTest>

// Two stations of the program on the simulated bench, through the program's own link.

namespace {

// Holds the laser at one level for `duree` seconds, as a slow emitter would: the
// command is written when the level changes, or, with `insiste`, on every pass.
void tiens(Station& s, bool allume, double duree, bool insiste = false) {
    const double debut = s.plateforme.horloge();
    bool ecrit = false;
    while (s.plateforme.horloge() - debut < duree) {
        if (!ecrit || insiste)
            allume ? s.liaison.allumelaser() : s.liaison.eteintlaser();
        ecrit = true;
        s.plateforme.cede(debut + duree);
    }
}

} // namespace

class TestBancVirtuel : public QObject {
    Q_OBJECT
private slots:
    void laLumiereDuPoste1ArriveAuPoste2() {
        BancVirtuel banc;
        double pendant = 0, avant = 0;
        banc.recepteur.plateforme.programme(
            1.9, [&] { avant = banc.recepteur.station->etat.tensionmesuree; });
        banc.recepteur.plateforme.programme(
            3.5, [&] { pendant = banc.recepteur.station->etat.tensionmesuree; });
        BancVirtuel::Echange echange;
        echange.envoi = [](Station& s) {
            s.Minuterie->setEnabled(false);
            tiens(s, true, 3.0);
            tiens(s, false, 0.5);
            s.Minuterie->setEnabled(true);
        };
        const BancVirtuel::Resultat r = banc.echange(echange);

        QCOMPARE(r.transitions.size(), std::size_t(2));
        QVERIFY(r.transitions[0].allume);
        QVERIFY(std::abs(r.transitions[0].instant - (2.0 + dureeOctetLigne)) < 1e-3);
        QVERIFY(std::abs(r.transitions[1].instant - (5.0 + dureeOctetLigne)) < 2e-3);
        QVERIFY(r.finEnvoi >= 5.5);
        // Station 2 measured its threshold in the dark (3 of 255) and then saw 3 V.
        const double obscur = 3 * 5.0 / 255;
        QCOMPARE(banc.recepteur.station->etat.tensionseuil, obscur + 0.5);
        QCOMPARE(avant, obscur);
        QCOMPARE(pendant, 153 * 5.0 / 255);
        QVERIFY(banc.journal.contains(
            QStringLiteral("%1 COM1 SB0 1").arg(r.transitions[0].instant, 0, 'f', 6)));
    }

    // Writing the keying command on every pass fills the line faster than 9600 baud:
    // the laser goes dark late, by the time the queue takes to drain.
    void unEmetteurQuiInondeLaLigneEstEnRetard() {
        BancVirtuel banc;
        BancVirtuel::Echange echange;
        echange.envoi = [](Station& s) {
            s.Minuterie->setEnabled(false);
            tiens(s, true, 1.0, true);
            tiens(s, false, 0.1);
        };
        const BancVirtuel::Resultat r = banc.echange(echange);
        QCOMPARE(r.transitions.size(), std::size_t(2));
        // Two bytes a pass, a pass a millisecond: 2 s of bytes for 1 s of light.
        QVERIFY(r.transitions[1].instant - 3.0 > 0.9);
    }
};

QTEST_MAIN(TestBancVirtuel)
#include "tst_bancvirtuel.moc"
