#include "app/visionneuse.h"
#include "codes/predefinis.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>

// The recording viewer tells the coding of a recording from its opening, as the fast
// decoders measure it, and opens wholly on its screen.
class TstVisionneuse : public QObject {
    Q_OBJECT

private slots:
    // The reference recordings (made without the program) open in their own coding,
    // whichever the station is in, and decode to their text; the list still changes it.
    void enregistrementsDeReference_data() {
        QTest::addColumn<QString>("fichier");
        QTest::addColumn<bool>("morse");
        QTest::addColumn<QString>("texte");
        QTest::newRow("morse-bonjour")
            << QStringLiteral("morse-bonjour.rrr") << true << QStringLiteral("bonjour");
        QTest::newRow("morse-e2") << QStringLiteral("morse-e2.rrr") << true << phrasecode(2);
        QTest::newRow("morse-73-controle")
            << QStringLiteral("morse-73-controle.rrr") << true << QStringLiteral("73 de lumi");
        QTest::newRow("binaire-salut")
            << QStringLiteral("binaire-salut.rrr") << false << QStringLiteral("Salut !");
        QTest::newRow("binaire-e3") << QStringLiteral("binaire-e3.rrr") << false << phrasecode(3);
    }

    void enregistrementsDeReference() {
        QFETCH(QString, fichier);
        QFETCH(bool, morse);
        QFETCH(QString, texte);
        const QString chemin =
            QStringLiteral(LUMICOM_SOURCE_DIR "/tests/enregistrements/") + fichier;

        for (const Regles regles : {Regles::Conception, Regles::Corrigees, Regles::Robustes}) {
            MesuresFichier mesures;
            QString erreur;
            QVERIFY2(litmesuresfichier(chemin, mesures, &erreur), qPrintable(erreur));
            QCOMPARE(codagedelenregistrement(mesures, regles), std::optional<bool>(morse));
        }

        Visionneuse visionneuse(Regles::Corrigees);
        visionneuse.fixecodage(!morse); // a station in the other coding
        QString erreur;
        QVERIFY2(visionneuse.ouvre(chemin, &erreur), qPrintable(erreur));
        QCOMPARE(visionneuse.codagemorse(), morse);
        QCOMPARE(visionneuse.vue()->trace().morse, morse);
        QCOMPARE(visionneuse.vue()->trace().messagerecu.trimmed(), texte.trimmed());

        auto* liste = visionneuse.findChild<QComboBox*>();
        QVERIFY(liste);
        QCOMPARE(liste->currentIndex(), morse ? 0 : 1);
        liste->setCurrentIndex(morse ? 1 : 0);
        QCOMPARE(visionneuse.codagemorse(), !morse);
        QCOMPARE(visionneuse.vue()->trace().morse, !morse);
    }

    // Made openings, at the edges of the rule: flashes shorter than 4 samples are noise;
    // the three flashes of binary differ by less than a factor 2, the dashes of the c are
    // at least twice its dots. An opening that is neither leaves the choice to the station.
    void ouverturesFabriquees_data() {
        QTest::addColumn<std::vector<int>>("eclairs"); // lit, dark, lit... in samples
        QTest::addColumn<std::optional<bool>>("codage");
        const std::optional<bool> binaire = false;
        const std::optional<bool> morse = true;
        const std::optional<bool> aucun;
        QTest::newRow("binaire, bits de 54") << std::vector<int>{54, 54, 54, 54, 54} << binaire;
        QTest::newRow("binaire, bits de 4") << std::vector<int>{4, 4, 4, 4, 4} << binaire;
        QTest::newRow("bits de 3 : du bruit") << std::vector<int>{3, 3, 3, 3, 3} << aucun;
        QTest::newRow("binaire, éclair de 2 bits moins 1")
            << std::vector<int>{40, 40, 79, 40, 40} << binaire;
        QTest::newRow("éclair de 2 bits : plus du binaire")
            << std::vector<int>{40, 40, 80, 40, 40} << aucun;
        QTest::newRow("morse, trait de 3 points")
            << std::vector<int>{114, 38, 38, 38, 114, 38, 38} << morse;
        QTest::newRow("morse, trait de 2 points")
            << std::vector<int>{80, 40, 40, 40, 80, 40, 40} << morse;
        QTest::newRow("trait de 2 points moins 1 : les trois éclairs du binaire")
            << std::vector<int>{79, 40, 40, 40, 79, 40, 40} << binaire;
        QTest::newRow("points de 3 : du bruit") << std::vector<int>{9, 3, 3, 3, 9, 3, 3} << aucun;
        QTest::newRow("obscurité seule") << std::vector<int>{} << aucun;
    }

    void ouverturesFabriquees() {
        QFETCH(std::vector<int>, eclairs);
        QFETCH(std::optional<bool>, codage);
        // Darkness at 2, light at 150, as the reference recordings; the opening after
        // 160 samples of darkness, then darkness to the end.
        MesuresFichier mesures;
        mesures.valeurs.assign(160, 2);
        bool allume = true;
        for (const int longueur : eclairs) {
            mesures.valeurs.insert(mesures.valeurs.end(), std::size_t(longueur), allume ? 150 : 2);
            allume = !allume;
        }
        mesures.valeurs.insert(mesures.valeurs.end(), 2000, 2);
        QCOMPARE(codagedelenregistrement(mesures, Regles::Corrigees), codage);
    }

    // However large it was asked to be, and wherever the window it opens from stands, the
    // viewer lies wholly on the screen.
    void toujoursSurLEcran_data() {
        QTest::addColumn<QSize>("taille");
        QTest::addColumn<QPoint>("coin"); // of the window it opens from, from the bottom right
        QTest::newRow("taille par défaut, au milieu") << QSize() << QPoint(400, 300);
        QTest::newRow("plus grande que l'écran") << QSize(5000, 3000) << QPoint(400, 300);
        QTest::newRow("près du coin en bas à droite") << QSize() << QPoint(20, 20);
    }

    void toujoursSurLEcran() {
        QFETCH(QSize, taille);
        QFETCH(QPoint, coin);
        const QRect ecran = QGuiApplication::primaryScreen()->availableGeometry();
        QWidget origine;
        origine.resize(300, 200);
        origine.move(ecran.bottomRight() - coin);
        origine.show();
        QVERIFY(QTest::qWaitForWindowExposed(&origine));

        Visionneuse visionneuse(Regles::Corrigees);
        if (taille.isValid())
            visionneuse.resize(taille);
        placesurecran(&visionneuse, &origine);
        visionneuse.show();
        QVERIFY(QTest::qWaitForWindowExposed(&visionneuse));
        QVERIFY2(ecran.contains(visionneuse.frameGeometry()),
                 qPrintable(QStringLiteral("%1,%2 %3x%4")
                                .arg(visionneuse.frameGeometry().x())
                                .arg(visionneuse.frameGeometry().y())
                                .arg(visionneuse.frameGeometry().width())
                                .arg(visionneuse.frameGeometry().height())));
    }
};

QTEST_MAIN(TstVisionneuse)
#include "tst_visionneuse.moc"
