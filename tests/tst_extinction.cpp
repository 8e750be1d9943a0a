#include "app/feuillelumivox1.h"
#include "emit/btonenvoiebinaire.h"
#include "emit/btonenvoiemorse.h"
#include "feuillesbanc.h"
#include "tools/bancvirtuel.h"

#include <QPlainTextEdit>
#include <QTest>
#include <functional>

// Quitter in the middle of an emission, on the virtual bench: the laser goes off before
// the program ends, and the other station's photodiode reads darkness.

class TestExtinction : public QObject {
    Q_OBJECT
private slots:
    void quitterPendantUneEmission_data() {
        QTest::addColumn<bool>("morse");
        QTest::newRow("morse lent") << true;
        QTest::newRow("binaire lent") << false;
    }
    void quitterPendantUneEmission() {
        QFETCH(bool, morse);
        BancVirtuel banc;
        FeuillesBanc feuilles(banc);
        Station& emetteur = *banc.emetteur.station;
        BancVirtuel::Echange echange;
        echange.morse = morse;
        echange.preparation = [&emetteur](Station& s) {
            if (&s == &emetteur)
                feuille(s)->Texte1->setPlainText(QStringLiteral("ooo"));
        };
        echange.envoi = morse ? Btonenvoiemorse_Click : Btonenvoiebinaire_Click;
        // Once the start mark is over, Quitter at the first instant the laser is on.
        double quitte = 0;
        std::function<void()> guette = [&] {
            if (emetteur.liaison.niveauLaser() != Liaison::NiveauLaser::allume) {
                banc.emetteur.plateforme.programme(banc.emetteur.plateforme.maintenant() + 0.01,
                                                   guette);
                return;
            }
            quitte = banc.emetteur.plateforme.maintenant();
            feuille(emetteur)->Btonquitter_Click();
        };
        banc.emetteur.plateforme.programme(echange.debutEnvoi + 7.5, guette);
        bool fini = false;
        try {
            banc.echange(echange);
        } catch (const FinProgramme& fin) {
            fini = true;
            QCOMPARE(fin.code, 0);
        }
        QVERIFY(fini);
        QVERIFY(quitte > 0);
        banc.banc.avanceJusqua(quitte + 0.1);
        const auto& sb0 = banc.banc.interface(0).transitionsSB0();
        QVERIFY(sb0.size() >= 3);
        QVERIFY(!sb0.back().allume);
        QVERIFY(sb0.back().instant < quitte + 0.01);
        // Station 2's photodiode in the dark: 0.05 V.
        QCOMPARE(banc.banc.chemin(1).lecture(quitte + 0.1), 3);
    }
};

QTEST_MAIN(TestExtinction)
#include "tst_extinction.moc"
