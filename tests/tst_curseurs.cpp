#include "app/fenetresignal.h"
#include "app/visionneuse.h"
#include "recording/curseurs.h"
#include "recording/dessintrace.h"
#include "stationessai.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QTest>

using namespace Qt::StringLiterals;

// The two cursors that measure the light, in the recording viewer and in the signal
// window: their arithmetic at its edges, their placing by a click and the arrow keys, and
// the picture exported with them.

namespace {

// A trace of `n` samples: darkness (3), then light (153) from sample 100 on.
TraceEnregistrement traceessai(int n) {
    TraceEnregistrement t;
    for (int k = 0; k < n; ++k)
        t.valeurs.push_back(k >= 100 ? 153 : 3);
    return t;
}

// Whether a column of the picture holds the colour of a cursor.
bool colonnecolore(const QImage& image, int x, QColor couleur) {
    for (int y = 0; y < image.height(); ++y)
        for (int dx = -1; dx <= 1; ++dx)
            if (x + dx >= 0 && x + dx < image.width() && image.pixelColor(x + dx, y) == couleur)
                return true;
    return false;
}

const QColor couleura{0, 130, 60};
const QColor couleurb{150, 40, 170};

} // namespace

class TestCurseurs : public QObject {
    Q_OBJECT

private slots:
    void mesure_data() {
        QTest::addColumn<int>("a");
        QTest::addColumn<int>("b");
        QTest::addColumn<int>("echantillons");
        QTest::addColumn<double>("hertz");
        QTest::addColumn<QString>("texte");
        // 1.3 ms a sample: the voltage is the sample's index in hundredths of a volt.
        QTest::newRow("même mesure")
            << 5 << 5 << 0 << 0.0 << u"A : 0,05 V   B : 0,05 V   écart : même mesure"_s;
        QTest::newRow("voisines")
            << 0 << 1 << 1 << 1 / 0.0013
            << u"A : 0,00 V   B : 0,01 V   écart : 1 mesure, 1,3 ms, soit 769 Hz"_s;
        // A bit of fast binary at x 1, 54 samples (70.2 ms).
        QTest::newRow("un bit")
            << 100 << 154 << 54 << 1 / 0.0702
            << u"A : 1,00 V   B : 1,54 V   écart : 54 mesures, 70,2 ms, soit 14,2 Hz"_s;
        QTest::newRow("B avant A")
            << 154 << 100 << 54 << 1 / 0.0702
            << u"A : 1,54 V   B : 1,00 V   écart : 54 mesures, 70,2 ms, soit 14,2 Hz"_s;
        QTest::newRow("première et dernière")
            << 0 << 6400 << 6400 << 1 / 8.32
            << u"A : 0,00 V   B : 64,00 V   écart : 6400 mesures, 8320,0 ms, soit 0,12 Hz"_s;
    }
    void mesure() {
        QFETCH(int, a);
        QFETCH(int, b);
        QFETCH(int, echantillons);
        QFETCH(double, hertz);
        QFETCH(QString, texte);
        const auto point = [](int k) { return PointCurseur{k, k * 0.0013, k / 100.0}; };
        const MesureCurseurs m = mesurecurseurs(point(a), point(b));
        QCOMPARE(m.echantillons, echantillons);
        QVERIFY(std::abs(m.secondes - echantillons * 0.0013) < 1e-12);
        QVERIFY(std::abs(m.hertz - hertz) < 1e-6);
        QCOMPARE(textecurseurs(m), texte);
    }

    // The arrow keys never take a cursor off the samples.
    void deplacement_data() {
        QTest::addColumn<int>("indice");
        QTest::addColumn<int>("pas");
        QTest::addColumn<int>("nombre");
        QTest::addColumn<int>("attendu");
        QTest::newRow("première, vers la gauche") << 0 << -1 << 6401 << 0;
        QTest::newRow("première, vers la droite") << 0 << 1 << 6401 << 1;
        QTest::newRow("seconde, vers la gauche") << 1 << -1 << 6401 << 0;
        QTest::newRow("dernière, vers la droite") << 6400 << 1 << 6401 << 6400;
        QTest::newRow("avant-dernière, vers la droite") << 6399 << 1 << 6401 << 6400;
        QTest::newRow("une seule mesure") << 0 << 1 << 1 << 0;
        QTest::newRow("aucune mesure") << 0 << 1 << 0 << 0;
    }
    void deplacement() {
        QFETCH(int, indice);
        QFETCH(int, pas);
        QFETCH(int, nombre);
        QFETCH(int, attendu);
        QCOMPARE(deplacecurseur(indice, pas, nombre), attendu);
    }

    // In the viewer: a click lays A, a second B, a third moves the nearer; the arrow keys
    // move the last one by a sample, to the edges and no further; Escape takes them away.
    void dansLaVisionneuse() {
        VueTraceWidget vue;
        vue.resize(1000, 400);
        vue.fixetrace(traceessai(1000));
        QVERIFY(vue.mesurecurseurs().isEmpty());
        const QRect zone = zoneechantillons(vue.rect());
        const auto x = [&](double k) { return int(std::lround(abscisse(zone, vue.vue(), k))); };
        QTest::mouseClick(&vue, Qt::LeftButton, {}, QPoint(x(90), 200));
        QCOMPARE(vue.vue().curseura, 90);
        QCOMPARE(vue.vue().curseurb, -1);
        QTest::mouseClick(&vue, Qt::LeftButton, {}, QPoint(x(144), 200));
        QCOMPARE(vue.vue().curseurb, 144);
        QCOMPARE(vue.mesurecurseurs(),
                 u"A : 0,06 V   B : 3,00 V   écart : 54 mesures, 70,2 ms, soit 14,2 Hz"_s);
        // A third click, nearer to A: A moves there, and the arrows move A.
        QTest::mouseClick(&vue, Qt::LeftButton, {}, QPoint(x(100), 200));
        QCOMPARE(vue.vue().curseura, 100);
        QCOMPARE(vue.vue().curseurb, 144);
        QTest::keyClick(&vue, Qt::Key_Left);
        QCOMPARE(vue.vue().curseura, 99);
        QTest::keyClick(&vue, Qt::Key_Right);
        QTest::keyClick(&vue, Qt::Key_Right);
        QCOMPARE(vue.vue().curseura, 101);
        QCOMPARE(vue.vue().curseurb, 144);
        // Both on one sample.
        for (int k = 0; k < 43; ++k)
            QTest::keyClick(&vue, Qt::Key_Right);
        QCOMPARE(vue.vue().curseura, 144);
        QVERIFY(vue.mesurecurseurs().endsWith(u"écart : même mesure"_s));
        // The first sample, and no further (of two as near, A moves).
        vue.clique(x(0) - 20);
        QCOMPARE(vue.vue().curseura, 0);
        QTest::keyClick(&vue, Qt::Key_Left);
        QCOMPARE(vue.vue().curseura, 0);
        // The last sample, and no further: B, the nearer, moves.
        vue.clique(x(999) + 20);
        QCOMPARE(vue.vue().curseurb, 999);
        QTest::keyClick(&vue, Qt::Key_Right);
        QCOMPARE(vue.vue().curseurb, 999);
        QCOMPARE(vue.vue().curseura, 0);
        // A drag moves the view and lays nothing.
        const VueTrace avant = vue.vue();
        vue.zoome(4, x(500));
        const double premier = vue.vue().premier;
        QTest::mousePress(&vue, Qt::LeftButton, {}, QPoint(500, 200));
        QTest::mouseMove(&vue, QPoint(400, 200));
        QTest::mouseRelease(&vue, Qt::LeftButton, {}, QPoint(400, 200));
        QVERIFY(vue.vue().premier > premier);
        QCOMPARE(vue.vue().curseura, avant.curseura);
        QCOMPARE(vue.vue().curseurb, avant.curseurb);
        QTest::keyClick(&vue, Qt::Key_Escape);
        QCOMPARE(vue.vue().curseura, -1);
        QCOMPARE(vue.vue().curseurb, -1);
        QVERIFY(vue.mesurecurseurs().isEmpty());
    }

    // The picture exported keeps the cursors and what they measure.
    void lImageGardeLesCurseurs() {
        const TraceEnregistrement t = traceessai(1000);
        VueTrace v = VueTrace::toute(t);
        const QSize taille(1000, 400);
        const QRect zone = zoneechantillons(QRect(QPoint(), taille));
        const int xa = int(std::lround(abscisse(zone, v, 300)));
        const int xb = int(std::lround(abscisse(zone, v, 700)));
        const QImage sans = imagetrace(t, taille, v);
        QVERIFY(!colonnecolore(sans, xa, couleura));
        v.curseura = 300;
        QVERIFY(colonnecolore(imagetrace(t, taille, v), xa, couleura));
        v.curseurb = 700;
        const QImage avec = imagetrace(t, taille, v);
        QVERIFY(colonnecolore(avec, xa, couleura));
        QVERIFY(colonnecolore(avec, xb, couleurb));
        QVERIFY(!colonnecolore(avec, xb, couleura));
    }

    // On a recording of the light: the cursors on the two edges of a bit measure its 70 ms
    // (54 samples, 14 bit/s), within a sample. With LUMICOM_CAPTURES set, the viewer so.
    void unBitDUnEnregistrement() {
        Visionneuse visionneuse(Regles::Corrigees);
        QString erreur;
        QVERIFY2(visionneuse.ouvre(
                     QStringLiteral(LUMICOM_SOURCE_DIR "/tests/enregistrements/binaire-salut.rrr"),
                     &erreur),
                 qPrintable(erreur));
        VueTraceWidget& vue = *visionneuse.vue();
        // The first run of the message that was one bit of light.
        const auto& plages = vue.trace().plages;
        const auto bit = std::find_if(plages.begin(), plages.end(), [](const auto& p) {
            return p.allume && p.texte == u"1 bit à 1"_s;
        });
        QVERIFY(bit != plages.end());
        VueTrace v = vue.vue();
        v.premier = bit->debut - 150;
        v.dernier = bit->fin + 250;
        v.curseura = bit->debut;
        v.curseurb = bit->fin;
        vue.fixevue(v);
        // The axis in seconds, as the list of the window sets it.
        const QList<QComboBox*> listes = visionneuse.findChildren<QComboBox*>();
        QCOMPARE(listes.size(), 2);
        listes[1]->setCurrentIndex(1);
        QVERIFY(vue.vue().entemps);
        QCOMPARE(vue.vue().curseura, bit->debut);
        const QString mesure = vue.mesurecurseurs();
        const int echantillons = bit->fin - bit->debut;
        QVERIFY2(std::abs(echantillons - 54) <= 1, qPrintable(mesure));
        QVERIFY(mesure.contains(u"écart : %1 mesures"_s.arg(echantillons)));
        const QString captures = qEnvironmentVariable("LUMICOM_CAPTURES");
        if (!captures.isEmpty()) {
            visionneuse.resize(1200, 560);
            visionneuse.show();
            QApplication::processEvents();
            QVERIFY(visionneuse.grab().save(captures + u"/visionneuse-curseurs.png"_s));
        }
    }

    // In the signal window: a click lays a cursor on the nearest reading, the arrows move it
    // by one reading; the cursors follow their readings and go when those leave the ring;
    // the picture exported keeps them.
    void dansLaFenetreDuSignal() {
        StationEssai essai;
        FenetreSignal signal(essai.station, essai.feuille.get());
        signal.resize(900, 420);
        signal.show();
        // A reading every 30 ms over 3 s: light from 1.5 s on.
        for (int k = 0; k <= 100; ++k)
            signal.ajoute(k * 0.03, k * 0.03 >= 1.5 ? 3.0 : 0.06);
        signal.fige(true);
        QWidget* trace = nullptr;
        for (QWidget* w : signal.findChildren<QWidget*>())
            if (w->minimumWidth() == 640 && w->minimumHeight() == 260)
                trace = w;
        QVERIFY(trace);
        QVERIFY(signal.mesurecurseurs().isEmpty());
        // 10 s across the width, ending at the last reading, 3 s: reading k at instant 0.03 k.
        const QRect cadre = trace->rect().adjusted(46, 8, -8, -22);
        const auto x = [&](double t) {
            return int(std::lround(cadre.left() + (t - (3.0 - 10)) * cadre.width() / 10));
        };
        QTest::mouseClick(trace, Qt::LeftButton, {}, QPoint(x(1.47), 100));
        QTest::mouseClick(trace, Qt::LeftButton, {}, QPoint(x(2.01), 100));
        QCOMPARE(signal.mesurecurseurs(),
                 u"A : 0,06 V   B : 3,00 V   écart : 18 mesures, 540,0 ms, soit 1,85 Hz"_s);
        trace->setFocus();
        QTest::keyClick(trace, Qt::Key_Right);
        QCOMPARE(signal.mesurecurseurs(),
                 u"A : 0,06 V   B : 3,00 V   écart : 19 mesures, 570,0 ms, soit 1,75 Hz"_s);
        // The last reading, and no further.
        for (int k = 0; k < 40; ++k)
            QTest::keyClick(trace, Qt::Key_Right);
        QVERIFY(signal.mesurecurseurs().contains(u"écart : 51 mesures"_s));
        QTest::keyClick(trace, Qt::Key_Left);
        QVERIFY(signal.mesurecurseurs().contains(u"écart : 50 mesures"_s));
        const QImage image = signal.image();
        QCOMPARE(image.size(), trace->size());
        QVERIFY(colonnecolore(image, x(2.97), couleurb));
        QVERIFY(colonnecolore(image, x(1.47), couleura));
        QTest::keyClick(trace, Qt::Key_Escape);
        QVERIFY(signal.mesurecurseurs().isEmpty());
        QVERIFY(!colonnecolore(signal.image(), x(1.47), couleura));

        // The cursors stay on their readings while more come, and go with them.
        signal.clique(x(0.0));
        signal.clique(x(0.03));
        QVERIFY(signal.mesurecurseurs().contains(u"écart : 1 mesure,"_s));
        for (int k = 101; k < 4096; ++k)
            signal.ajoute(k * 0.03, 0.06);
        QVERIFY(signal.mesurecurseurs().contains(u"écart : 1 mesure,"_s));
        signal.ajoute(4096 * 0.03, 0.06); // the first reading leaves the ring of 4096
        QVERIFY(signal.mesurecurseurs().isEmpty());
    }
};

QTEST_MAIN(TestCurseurs)
#include "tst_curseurs.moc"
