#include "app/anneaumesures.h"
#include "app/barremenus.h"
#include "app/fenetresignal.h"
#include "app/feuillelumivox1.h"
#include "app/visionneuse.h"
#include "recording/dessintrace.h"
#include "recording/traceenregistrement.h"
#include "stationessai.h"

#include "recording/resultatreception.h"
#include <QAction>
#include <QMenu>
#include <QProcess>
#include <QTemporaryDir>

#include <QTest>
#include <set>

using namespace Qt::StringLiterals;

// What the viewers show, as data and as pictures: the trace of a reference recording
// with what its decoder found, the ring of the signal window, each window grabbed
// offscreen, and plot-recording.

namespace {

QString reference(const QString& nom) {
    return QStringLiteral(LUMICOM_SOURCE_DIR "/tests/enregistrements/") + nom;
}

MesuresFichier lis(const QString& nom) {
    MesuresFichier m;
    QString erreur;
    if (!litmesuresfichier(reference(nom), m, &erreur))
        qWarning("%s", qPrintable(erreur));
    return m;
}

// The number of colours of an image, up to a few: a picture, not a blank.
int couleurs(const QImage& image) {
    std::set<QRgb> vues;
    for (int y = 0; y < image.height() && vues.size() < 5; y += 3)
        for (int x = 0; x < image.width() && vues.size() < 5; x += 3)
            vues.insert(image.pixel(x, y));
    return int(vues.size());
}

} // namespace

class TestAffichage : public QObject {
    Q_OBJECT
private slots:
    // The characters of "Salut !" over their frames, in order, after the preamble; the
    // blank is a darkness between two frames.
    void traceBinaire() {
        const TraceEnregistrement t = traceenregistrement(lis(u"binaire-salut.rrr"_s), false);
        QCOMPARE(int(t.valeurs.size()), 6401);
        QCOMPARE(t.messagerecu.trimmed(), u"Salut !"_s);
        QString lus;
        int fin = t.preambule.back().fin;
        for (const auto& c : t.caracteres) {
            lus += c.texte;
            QVERIFY(c.debut >= fin && c.fin > c.debut);
            fin = c.fin;
        }
        QCOMPARE(lus, u"Salut!"_s);
        // The three flashes and the two gaps between them.
        QCOMPARE(t.preambule.size(), size_t(5));
        QCOMPARE(t.seuilinitial, 2 + 7);
        QVERIFY(t.seuil > 60 && t.seuil < 90);
        // 'S' is 1 01010011: its first run is the start bit and a 0 is next.
        const auto& premiere = *std::find_if(t.plages.begin(), t.plages.end(), [&](const auto& p) {
            return p.debut == t.caracteres[0].debut;
        });
        QCOMPARE(premiere.texte, u"1 bit à 1"_s);
        QVERIFY(std::any_of(t.plages.begin(), t.plages.end(),
                            [](const auto& p) { return p.texte == u"arrêt"; }));
        QVERIFY(std::any_of(t.plages.begin(), t.plages.end(),
                            [](const auto& p) { return p.texte == u"blanc"; }));
        QCOMPARE(t.coupe, Coupure::non);
    }

    // The trace of a download shows the recording's samples, index 0 to `nbmesures`, and
    // none of the table's entries past it; the record of the reception holds the same.
    void traceDUnTelechargement_data() {
        QTest::addColumn<bool>("morse");
        QTest::addColumn<int>("nbmesures");
        for (const bool morse : {true, false})
            for (const int n : {6400, 12800})
                QTest::addRow("%s, %d", morse ? "morse" : "binaire", n) << morse << n;
    }
    void traceDUnTelechargement() {
        QFETCH(bool, morse);
        QFETCH(int, nbmesures);
        // Every entry of the table its own reading, the last one of the recording 255.
        std::vector<QByteArray> tabmesures(12802);
        for (std::size_t k = 0; k < tabmesures.size(); ++k)
            tabmesures[k] = ' ' + QByteArray::number(k % 200);
        tabmesures[size_t(nbmesures)] = " 255";
        const SourceEchantillons source = depuistabmesures(tabmesures, nbmesures, 0.55);
        const TraceEnregistrement t = traceenregistrement(source, morse);
        QCOMPARE(int(t.valeurs.size()), nbmesures + 1);
        QCOMPARE(t.valeurs.front(), 0);
        QCOMPARE(t.valeurs.back(), 255);
        const ResultatReception r =
            morse ? resultatreception(tabmesures, nbmesures, source,
                                      decodemessagemorserapide(source, Regles::Corrigees),
                                      Regles::Corrigees)
                  : resultatreception(tabmesures, nbmesures, source,
                                      decodemessagebinairerapide(source, Regles::Corrigees),
                                      Regles::Corrigees);
        QCOMPARE(int(r.trace.valeurs.size()), nbmesures + 1);
        QCOMPARE(r.trace.valeurs.back(), 255);
    }

    // The letters of "bonjour", each over the samples of its elements, dots and dashes
    // named.
    void traceMorse() {
        const TraceEnregistrement t = traceenregistrement(lis(u"morse-bonjour.rrr"_s), true);
        QString lus;
        for (const auto& c : t.caracteres)
            lus += c.texte;
        QCOMPARE(lus, u"bonjour"_s);
        // 'b' is "-...": a dash then three dots under it.
        const auto& b = t.caracteres.front();
        std::vector<QString> sous;
        for (const auto& p : t.plages)
            if (p.allume && p.debut >= b.debut && p.fin <= b.fin)
                sous.push_back(p.texte);
        QCOMPARE(sous, (std::vector<QString>{u"trait"_s, u"point"_s, u"point"_s, u"point"_s}));
        QVERIFY(std::any_of(t.plages.begin(), t.plages.end(),
                            [](const auto& p) { return p.texte == u"intervalle"; }));
    }

    // However long the tick runs, the ring holds the same readings: the last ones.
    // What a run was taken for, in words: a run read only by rounding its length to the
    // grid says so, an element no rule placed is "rien".
    void natureDesPlages_data() {
        QTest::addColumn<bool>("allume");
        QTest::addColumn<QString>("code");
        QTest::addColumn<bool>("arrondi");
        QTest::addColumn<bool>("morse");
        QTest::addColumn<QString>("nature");
        QTest::newRow("point") << true << u"."_s << false << true << u"point"_s;
        QTest::newRow("point arrondi") << true << u"."_s << true << true << u"≈ point"_s;
        QTest::newRow("trait arrondi") << true << u"-"_s << true << true << u"≈ trait"_s;
        QTest::newRow("deux blancs arrondis")
            << false << u"  "_s << true << true << u"≈ 2 blancs"_s;
        QTest::newRow("élément inconnu") << true << u"?"_s << false << true << u"rien"_s;
        QTest::newRow("bits arrondis") << true << u"111"_s << true << false << u"≈ 3 bits à 1"_s;
        QTest::newRow("trame inconnue") << false << u"?"_s << false << false << u"rien"_s;
        QTest::newRow("arrondi sans code") << false << QString() << true << true << u"intervalle"_s;
    }
    void natureDesPlages() {
        QFETCH(bool, allume);
        QFETCH(QString, code);
        QFETCH(bool, arrondi);
        QFETCH(bool, morse);
        QFETCH(QString, nature);
        RunMesure run{0, 10, allume, code};
        run.arrondi = arrondi;
        QCOMPARE(natureplage(run, morse), nature);
    }

    // The recording of a busy machine: its trace shows runs read by the grid, and every
    // character above its samples (the blank is darkness between frames, not a frame).
    void traceCharge() {
        const TraceEnregistrement t =
            traceenregistrement(lis(u"binaire-salut-charge.rrr"_s), false);
        QCOMPARE(t.messagerecu.trimmed(), u"Salut !"_s);
        QString lus;
        for (const auto& c : t.caracteres)
            lus += c.texte;
        QCOMPARE(lus, u"Salut!"_s);
        QVERIFY(std::any_of(t.plages.begin(), t.plages.end(),
                            [](const auto& p) { return p.texte.startsWith(u"≈ "_s); }));
    }

    void anneauBorne() {
        AnneauMesures anneau(1000);
        for (int k = 0; k < 100000; ++k)
            anneau.ajoute(k * 0.03, k % 7);
        QCOMPARE(anneau.taille(), size_t(1000));
        QCOMPARE(anneau.capacite(), size_t(1000));
        QCOMPARE(anneau[0].instant, 99000 * 0.03);
        QCOMPARE(anneau.derniere().volts, double(99999 % 7));
        anneau.vide();
        QCOMPARE(anneau.taille(), size_t(0));
    }

    // The menu "Affichage" stands before "Options"; the signal window takes the tick's
    // readings and nothing more; each window draws something.
    void fenetres() {
        StationEssai e;
        e.station.etat.tensionseuil = 0.55;
        e.station.etat.typecodage = u"br"_s;
        Feuillelumivox1& f = *e.feuille;
        const QList<QAction*> articles = f.barremenus->articles();
        QCOMPARE(articles.at(articles.size() - 2), f.menu_affichage->menuAction());
        QCOMPARE(f.menu_signallumineux->text(), u"Signal lumineux..."_s);
        QCOMPARE(f.menu_afficheenregistrement->text(), u"Afficher un enregistrement *.rrr..."_s);

        f.menu_signallumineux_Click();
        FenetreSignal* signal = f.findChild<FenetreSignal*>();
        QVERIFY(signal && signal->isVisible());
        QVERIFY(e.station.liaison.ouvreport(nullptr));
        e.transport->effaceEcritures();
        for (int k = 0; k < 200; ++k) {
            e.lecture = [k] { return QByteArray::number(k % 40 < 20 ? 153 : 3); };
            e.plateforme.avanceJusqua(e.plateforme.maintenant() + 0.03);
            e.station.Minuterie_Timer();
        }
        // The first tick's reply is read by the second: 199 readings for 200 ticks.
        QCOMPARE(signal->mesures().taille(), size_t(199));
        // One request per tick, as before the window: it asks the interface nothing.
        QCOMPARE(e.transport->ecritures().size(), size_t(200));
        QVERIFY(couleurs(signal->grab().toImage()) >= 4);

        // After a fast reception, the recording under the live light: the record the
        // reception left, whatever the menus say now (the coding changed since, the table
        // emptied by the next reception).
        QVERIFY(!signal->enregistrement()->isVisible());
        const MesuresFichier salut = lis(u"binaire-salut.rrr"_s);
        std::vector<QByteArray> table(EtatPartage::tailleTabmesures);
        for (size_t k = 0; k < salut.valeurs.size(); ++k)
            table[k] = ' ' + QByteArray::number(salut.valeurs[k]);
        const SourceEchantillons source = depuistabmesures(table, 6400, 0.55);
        f.resultatreception(std::make_shared<const ResultatReception>(resultatreception(
            table, 6400, source, decodemessagebinairerapide(source), Regles::Corrigees)));
        e.station.etat.typecodage = u"mr"_s;
        e.station.etat.tabmesures.assign(EtatPartage::tailleTabmesures, QByteArray());
        QVERIFY(signal->enregistrement()->isVisible());
        QCOMPARE(signal->enregistrement()->trace().messagerecu.trimmed(), u"Salut !"_s);
        QVERIFY(!signal->enregistrement()->trace().morse);
        // A window opened afterwards shows it too.
        FenetreSignal autre(e.station, &f);
        QCOMPARE(autre.enregistrement()->trace().messagerecu.trimmed(), u"Salut !"_s);

        Visionneuse visionneuse(Regles::Corrigees);
        QString erreur;
        QVERIFY(visionneuse.ouvre(reference(u"morse-73-controle.rrr"_s), &erreur));
        visionneuse.show();
        QCOMPARE(visionneuse.vue()->trace().messagerecu.trimmed(), u"73 de lumi"_s);
        QVERIFY(couleurs(visionneuse.grab().toImage()) >= 4);
        // The wheel and the double click change what is seen.
        const double largeur = visionneuse.vue()->vue().dernier - visionneuse.vue()->vue().premier;
        visionneuse.vue()->zoome(4, visionneuse.vue()->width() / 2);
        QVERIFY(visionneuse.vue()->vue().dernier - visionneuse.vue()->vue().premier < largeur / 3);
        visionneuse.vue()->toutvoir();
        QCOMPARE(visionneuse.vue()->vue().dernier - visionneuse.vue()->vue().premier, largeur);
        QVERIFY(!visionneuse.ouvre(reference(u"absent.rrr"_s), &erreur));
        QVERIFY(erreur.contains(u"absent.rrr"_s));

        f.show();
        QVERIFY(couleurs(f.grab().toImage()) >= 4);
    }

    // plot-recording writes the picture of a reference recording, of the size asked.
    void plotRecording() {
        QTemporaryDir dossier;
        const QString image = dossier.filePath(u"salut.png"_s);
        QProcess outil;
        outil.start(QStringLiteral(LUMICOM_TOOL),
                    {u"plot-recording"_s, u"binary"_s, reference(u"binaire-salut.rrr"_s), image,
                     u"--width"_s, u"1000"_s, u"--height"_s, u"300"_s});
        QVERIFY(outil.waitForFinished(30000));
        QCOMPARE(outil.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(outil.readAllStandardOutput()).trimmed(), u"Salut !"_s);
        const QImage lue(image);
        QCOMPARE(lue.size(), QSize(1000, 300));
        QVERIFY(couleurs(lue) >= 4);
        // The same picture as the viewer draws.
        const TraceEnregistrement t = traceenregistrement(lis(u"binaire-salut.rrr"_s), false);
        QCOMPARE(lue.convertToFormat(QImage::Format_RGB32),
                 imagetrace(t, QSize(1000, 300), VueTrace::toute(t)));
        outil.start(QStringLiteral(LUMICOM_TOOL),
                    {u"plot-recording"_s, u"binary"_s, reference(u"absent.rrr"_s), image});
        QVERIFY(outil.waitForFinished(30000));
        QCOMPARE(outil.exitCode(), 2);
    }
};

QTEST_MAIN(TestAffichage)
#include "tst_affichage.moc"
