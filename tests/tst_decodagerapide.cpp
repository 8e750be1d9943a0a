#include "codes/binaire.h"
#include "recording/decodagebinairerapide.h"
#include "recording/decodagemorserapide.h"
#include "recording/sourceechantillons.h"

#include <QTest>

using namespace Qt::StringLiterals;

// The decoding of a downloaded fast recording: sample tables laid out run by run as the
// receiving interface records the fast emitters' light, turned into code strings, bits
// and text.

namespace {

constexpr int sombre = 3;    // darkness as the receiver reads it
constexpr int eclaire = 153; // the laser's light
// The calibration of start-up: the darkness read then, plus 0.5 V.
const double tensionseuil = sombre * 5.0 / 255 + 0.5;

// A sample table filled run by run from index 1, index 0 being never examined; entries
// after the last run stay empty, as after a download shorter than the table.
struct Enregistrement {
    std::vector<QByteArray> tabmesures = std::vector<QByteArray>(12802);
    int position = 1;
    int apreslumiere = 0;  // index after the last lit run
    int apresderniere = 0; // index after the last frame's nine bits (binary layout)

    Enregistrement& pose(int n, int niveau) {
        // A number is written with a sign position: a blank in front when non-negative.
        const QByteArray texte = (niveau < 0 ? QByteArray() : " "_ba) + QByteArray::number(niveau);
        for (int k = 0; k < n && position < static_cast<int>(tabmesures.size()); ++k)
            tabmesures[position++] = texte;
        return *this;
    }
    Enregistrement& allume(int n, int niveau = eclaire) {
        pose(n, niveau);
        apreslumiere = position;
        return *this;
    }
    Enregistrement& eteint(int n, int niveau = sombre) { return pose(n, niveau); }
};

// The fast Morse emitter's light after its start mark, 1 unit = `u` samples: the end of
// its darkness, the letter c (3, 1, 3, 1 units of light 1 unit apart, then 3 units of
// darkness), then each element of the code string followed by 1 unit of darkness: a dot
// 1 unit and a dash 3 units of light, a blank 3 units of darkness.
void posemorse(Enregistrement& e, const QString& codemorse, int u, int niveau = eclaire) {
    e.eteint(100).allume(3 * u, niveau).eteint(u).allume(u, niveau).eteint(u);
    e.allume(3 * u, niveau).eteint(u).allume(u, niveau).eteint(3 * u);
    for (QChar c : codemorse) {
        if (c == u'.')
            e.allume(u, niveau);
        else if (c == u'-')
            e.allume(3 * u, niveau);
        else
            e.eteint(3 * u);
        e.eteint(u);
    }
}

// The preamble of lit runs 30, 10, 31 and 9 values, 10 values apart, then 20 dark ones.
void preambule(Enregistrement& e) {
    e.eteint(100).allume(30).eteint(10).allume(10).eteint(10).allume(31).eteint(10).allume(9);
    e.eteint(20);
}

// The fast binary emitter's light after its start mark, 1 bit = `bit` samples: the end
// of its darkness, three one-bit flashes one bit apart and a stop interval (2 bits), then
// for the bit string: a "1" one bit of light, a "0" one bit of darkness, a blank 2 bits of
// darkness, and a stop interval after every nine bits.
void posebinaire(Enregistrement& e, const QString& codebinaire, int bit) {
    e.eteint(100).allume(bit).eteint(bit).allume(bit).eteint(bit).allume(bit).eteint(2 * bit);
    int compteurbits = 0;
    for (QChar c : codebinaire) {
        if (c == u' ') {
            e.eteint(2 * bit);
            continue;
        }
        ++compteurbits;
        c == u'1' ? e.allume(bit) : e.eteint(bit);
        if (compteurbits == 9) {
            compteurbits = 0;
            e.apresderniere = e.position;
            e.eteint(2 * bit);
        }
    }
}

QString sansblancsfinaux(QString s) {
    while (s.endsWith(u' '))
        s.chop(1);
    return s;
}

} // namespace

class TestDecodageRapide : public QObject {
    Q_OBJECT
private slots:
    void echantillons() {
        const SourceEchantillons s =
            depuistabmesures({" 37", "", " 200", " 37.5", " 36.5", "-4", "x"}, 6400, 0);
        QCOMPARE(s.lis(0), 37);
        QCOMPARE(s.lis(1), 0);
        QCOMPARE(s.lis(2), 200);
        QCOMPARE(s.lis(3), 38); // halves to the even neighbour
        QCOMPARE(s.lis(4), 36);
        QCOMPARE(s.lis(5), -4);
        QCOMPARE(s.lis(6), 0);
        QCOMPARE(s.lis(-1), 0);
        QCOMPARE(s.lis(7), 0);
        QCOMPARE(depuistabmesures({" 99999999999999999999"}, 6400, 0).lis(0), 32767);
    }

    void morsePreambule() {
        Enregistrement e;
        preambule(e);
        const DecodageMorseRapide r =
            decodemorserapide(e.tabmesures, 6400, tensionseuil, Regles::Conception);
        QCOMPARE(r.pmax, 31);
        QCOMPARE(r.pmin, 9);
        QCOMPARE(r.vmin, sombre);
        QCOMPARE(r.vmax, eclaire);
        QCOMPARE(r.seuil, (sombre + eclaire) / 2);
        QCOMPARE(r.debut, 1 + 100 + 30 + 10 + 10 + 10 + 31 + 10 + 9); // first dark value after
        QCOMPARE(r.codemorse.trimmed(), QString());
    }

    // With the preamble 30, 10, 31, 9: dots from 7 to 11 values, dashes from 27 to 35.
    void morseRuns_data() {
        QTest::addColumn<int>("longueur");
        QTest::addColumn<QString>("symbole");
        for (int n : {6, 12, 26, 36})
            QTest::addRow("%d rien", n) << n << QString();
        for (int n : {7, 9, 11})
            QTest::addRow("%d point", n) << n << u"."_s;
        for (int n : {27, 31, 35})
            QTest::addRow("%d trait", n) << n << u"-"_s;
    }
    void morseRuns() {
        QFETCH(int, longueur);
        QFETCH(QString, symbole);
        Enregistrement e;
        preambule(e);
        e.allume(longueur);
        const DecodageMorseRapide r =
            decodemorserapide(e.tabmesures, 6400, tensionseuil, Regles::Conception);
        QCOMPARE(sansblancsfinaux(r.codemorse), symbole);
    }

    // A dark run adds one blank every 43 values (1.5 × 31 − 4 = 42.5).
    void morseBlancs_data() {
        QTest::addColumn<int>("sombres");
        QTest::addColumn<int>("blancs");
        QTest::newRow("42") << 42 << 0;
        QTest::newRow("43") << 43 << 1;
        QTest::newRow("85") << 85 << 1;
        QTest::newRow("86") << 86 << 2;
    }
    void morseBlancs() {
        QFETCH(int, sombres);
        QFETCH(int, blancs);
        Enregistrement e;
        preambule(e);
        e.allume(9).eteint(sombres).allume(9);
        const DecodageMorseRapide r =
            decodemorserapide(e.tabmesures, 6400, tensionseuil, Regles::Conception);
        QCOMPARE(sansblancsfinaux(r.codemorse), u"."_s + QString(blancs, u' ') + u"."_s);
    }

    // 'sos' as the emitter sends it, 1 unit of 38 samples (0.05 s at 1.3 ms a sample).
    void morseSos_data() {
        QTest::addColumn<int>("niveau");
        QTest::newRow("lumière 153") << eclaire;
        QTest::newRow("lumière 200") << 200;
    }
    void morseSos() {
        QFETCH(int, niveau);
        Enregistrement e;
        posemorse(e, u"... --- ... "_s, 38, niveau);
        const MessageMorseRapide m =
            decodemessagemorserapide(e.tabmesures, 6400, tensionseuil, Regles::Conception);
        QCOMPARE(m.mesure.pmax, 3 * 38);
        QCOMPARE(m.mesure.pmin, 38);
        QCOMPARE(m.mesure.seuil, (sombre + niveau) / 2);
        // The darkness after the last dot gives a blank every 1.5 × 114 − 4 = 167 values.
        const int blancs = (6400 - e.apreslumiere) / 167;
        QCOMPARE(m.mesure.codemorse, u"... --- ..."_s + QString(blancs, u' '));
        QCOMPARE(m.texte.messagerecu, u"sos"_s + QString(blancs - 3, u' '));
        QCOMPARE(m.texte.affichage, u"... (s) --- (o) ... (s) "_s);
    }

    // A pulse that sets pmax is not compared with pmin: the first one sets only pmax.
    void morsePmaxSeulement() {
        Enregistrement e;
        e.eteint(100).allume(9).eteint(10).allume(30).eteint(10).allume(31).eteint(10);
        e.allume(30).eteint(20);
        const DecodageMorseRapide r =
            decodemorserapide(e.tabmesures, 6400, tensionseuil, Regles::Conception);
        QCOMPARE(r.pmax, 31);
        QCOMPARE(r.pmin, 30);
    }

    void morseSansPreambule() {
        Enregistrement e;
        e.eteint(12801);
        e.tabmesures[0] = " 255"; // never examined
        const DecodageMorseRapide r =
            decodemorserapide(e.tabmesures, 6400, tensionseuil, Regles::Conception);
        QCOMPARE(r.codemorse, QString());
        QCOMPARE(r.vmax, sombre);
        QVERIFY(r.debut > 6400);
    }

    // The extremes of the Morse preamble see only the first value of each pulse; the
    // binary preamble sees every value.
    void extremesDuPreambule() {
        Enregistrement e;
        e.eteint(100);
        for (int k = 0; k < 4; ++k)
            e.allume(1).allume(20, 250).allume(10).eteint(10);
        QCOMPARE(decodemorserapide(e.tabmesures, 6400, tensionseuil, Regles::Conception).vmax,
                 eclaire);
        QCOMPARE(decodebinairerapide(e.tabmesures, 6400, tensionseuil, Regles::Conception).vmax,
                 250);
    }

    // With pmin ≤ 2, the empty lit run met at the end of the samples is a dot.
    void morseRunVideFinal() {
        Enregistrement e;
        e.eteint(5).allume(3).eteint(1).allume(1).eteint(1).allume(3).eteint(1).allume(1);
        const DecodageMorseRapide r =
            decodemorserapide(e.tabmesures, 6400, tensionseuil, Regles::Conception);
        QCOMPARE(r.pmax, 3);
        QCOMPARE(r.pmin, 1);
        QCOMPARE(r.debut, 17);
        // 1.5 × 3 − 4 = 0.5: every dark value is a blank.
        QCOMPARE(r.codemorse, QString(6400 - 17, u' ') + u"."_s);
    }

    // A threshold below 0 makes every empty entry light: the scan stops at the table's end.
    void morseSeuilNegatif() {
        Enregistrement e;
        e.eteint(100, -20).allume(30, 0).eteint(10, -20).allume(10, 0).eteint(10, -20);
        e.allume(31, 0).eteint(10, -20).allume(9, 0).eteint(20, -20);
        const DecodageMorseRapide r =
            decodemorserapide(e.tabmesures, 12800, -1.0, Regles::Conception);
        QCOMPARE(r.pmax, 31);
        QCOMPARE(r.seuil, -10);
        QCOMPARE(r.codemorse, QString());
    }

    void toutAllume() {
        const std::vector<QByteArray> t(12802, " 255");
        const DecodageMorseRapide m = decodemorserapide(t, 6400, 0.0, Regles::Conception);
        QCOMPARE(m.codemorse, QString());
        QCOMPARE(m.pmax, 6400);
        const DecodageBinaireRapide b = decodebinairerapide(t, 6400, 0.0, Regles::Conception);
        QCOMPARE(b.codebinaire, QString());
        QCOMPARE(b.hmax, 6400);
    }

    // The emitter's preamble, 1 bit = 54 samples, then the frame 'a' (runs of 1, 1, 2, 4
    // and 1 bits) and darkness.
    void binairePreambuleEtTrame() {
        Enregistrement e;
        posebinaire(e, u"101100001"_s, 54);
        const DecodageBinaireRapide r =
            decodebinairerapide(e.tabmesures, 6400, tensionseuil, Regles::Conception);
        QCOMPARE(r.hmin, 53); // the second flash without its first sample
        QCOMPARE(r.hmax, 54);
        QCOMPARE(r.bmin, 54);
        QCOMPARE(r.bmax, 54);
        QCOMPARE(r.b0, 54);
        QCOMPARE(r.seuil, (sombre + eclaire) / 2);
        QCOMPARE(r.debut, 1 + 100 + 5 * 54);
        // No blank before the frame; after it, one per 4 × 54 − 5 = 211 dark samples.
        const int blancs = (6400 - e.apresderniere) / 211;
        QCOMPARE(r.codebinaire, u"101100001"_s + QString(blancs, u' '));
        QCOMPARE(r.affichagebinaire, u"101100001 (a) "_s + u" ( ) "_s.repeated(blancs));
    }

    // Darkness between frames: the stop interval alone (2 bits), with a blank (4 bits),
    // with three blanks (8 bits = 432 samples, two word gaps of 211).
    void binaireEntreTrames_data() {
        QTest::addColumn<QString>("emis");
        QTest::addColumn<QString>("recu");
        QTest::addColumn<QString>("affichage");
        QTest::newRow("arrêt") << u"101100001101100001"_s << u"101100001101100001"_s
                               << u"101100001 (a) 101100001 (a) "_s;
        QTest::newRow("un blanc") << u"101100001 101100001"_s << u"101100001 101100001"_s
                                  << u"101100001 (a)  ( ) 101100001 (a) "_s;
        QTest::newRow("trois blancs") << u"101100001   101100001"_s << u"101100001  101100001"_s
                                      << u"101100001 (a)  ( )  ( ) 101100001 (a) "_s;
        // 'p' ends with four zeros: its darkness is cut at them, the rest is the word gap.
        QTest::newRow("trame finie par des zéros")
            << u"101110000 101100001"_s << u"101110000 101100001"_s
            << u"101110000 (p)  ( ) 101100001 (a) "_s;
    }
    void binaireEntreTrames() {
        QFETCH(QString, emis);
        QFETCH(QString, recu);
        QFETCH(QString, affichage);
        Enregistrement e;
        posebinaire(e, emis, 54);
        const DecodageBinaireRapide r =
            decodebinairerapide(e.tabmesures, 6400, tensionseuil, Regles::Conception);
        QCOMPARE(sansblancsfinaux(r.codebinaire), recu);
        QVERIFY(r.affichagebinaire.startsWith(affichage));
    }

    // A last frame ending with zeros is closed by the darkness alone.
    void binaireDerniereTrameFinieParDesZeros() {
        Enregistrement e;
        posebinaire(e, u"101110000"_s, 54);
        const DecodageBinaireRapide r =
            decodebinairerapide(e.tabmesures, 6400, tensionseuil, Regles::Conception);
        QVERIFY(r.affichagebinaire.startsWith(u"101110000 (p) "_s));
    }

    // A last run longer than the bits missing carries the frame past 9: 1, 1, 2, 4, then
    // 3 bits of light. The character is read from the first eight data bits.
    void binaireTramePasseNeuf() {
        Enregistrement e;
        posebinaire(e, QString(), 54);
        e.allume(54).eteint(54).allume(108).eteint(216).allume(162);
        const DecodageBinaireRapide r =
            decodebinairerapide(e.tabmesures, 6400, tensionseuil, Regles::Conception);
        QCOMPARE(sansblancsfinaux(r.codebinaire), u"10110000111"_s);
        QVERIFY(r.affichagebinaire.startsWith(u"10110000111 (a) "_s));
    }

    // The lines of the run table are tried one after the other: with flashes of 2 samples
    // (hmin 1, hmax 2) a lit run of 2 matches one bit, then, counted 0, two and three bits.
    void binaireLignesSeparees() {
        Enregistrement e;
        e.eteint(100).allume(2).eteint(2).allume(2).eteint(2).allume(2).eteint(2).allume(2);
        const DecodageBinaireRapide r =
            decodebinairerapide(e.tabmesures, 6400, tensionseuil, Regles::Conception);
        QCOMPARE(r.hmin, 1);
        QCOMPARE(r.hmax, 2);
        QVERIFY(r.codebinaire.startsWith(u"111111"_s));
    }

    void texteBinaire_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("texte");
        QTest::newRow("dernier caractère non lu") << u" 101100101 "_s << u" e"_s;
        QTest::newRow("deux trames") << u"101100001 101100010 "_s << u"a b"_s;
        QTest::newRow("trame finale entière") << u"101100001"_s << u"a"_s;
        QTest::newRow("0 hors trame") << u"0101100101 "_s << u"e"_s;
        QTest::newRow("bits manquants nuls") << u"10110 "_s << u"`"_s;
        QTest::newRow("deux blancs") << u"  "_s << u" "_s;
        QTest::newRow("vide") << QString() << QString();
    }
    void texteBinaire() {
        QFETCH(QString, code);
        QFETCH(QString, texte);
        QCOMPARE(textedecodebinaire(code), texte);
    }

    // A question as the emitter sends it: at 54 samples a bit (0.07 s at 1.3 ms a sample)
    // the start of it, the whole of it at 30 samples a bit so that it fits the recording.
    void binaireQuestion_data() {
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("bit");
        QTest::addColumn<QString>("extrait");
        QTest::newRow("54") << u"Quel est l'auteur "_s << 54 << u"100100111 (') "_s;
        QTest::newRow("30") << u"Quel est l'auteur de la relativité ? "_s << 30
                            << u"111101001 (é) "_s;
    }
    void binaireQuestion() {
        QFETCH(QString, message);
        QFETCH(int, bit);
        QFETCH(QString, extrait);
        QString codeemis, affichageemis;
        traduitbinaire(message, codeemis, affichageemis);
        Enregistrement e;
        posebinaire(e, codeemis, bit);
        QVERIFY(e.position < 12800);
        const DecodageBinaireRapide r =
            decodebinairerapide(e.tabmesures, 12800, tensionseuil, Regles::Conception);
        // The message's final blank and the darkness after it: one blank per 4 bits − 5.
        const int blancs = (12800 - e.apresderniere) / (4 * bit - 5);
        QCOMPARE(r.codebinaire, codeemis.chopped(1) + QString(blancs, u' '));
        QVERIFY(r.affichagebinaire.contains(extrait));
        QCOMPARE(textedecodebinaire(r.codebinaire), message.chopped(1) + QString(blancs - 1, u' '));
    }

    // A preamble gap of no length (a value equal to the first threshold, 35): b0 = 0, and
    // the frame's darkness is never cut.
    void binaireB0Nul() {
        Enregistrement e;
        e.eteint(100).allume(54).eteint(1, 35).allume(54).eteint(54).allume(54).eteint(108);
        e.allume(54).eteint(54).allume(108).eteint(216).allume(54);
        const DecodageBinaireRapide r =
            decodebinairerapide(e.tabmesures, 6400, tensionseuil, Regles::Conception);
        QCOMPARE(r.b0, 0);
        QCOMPARE(r.bmax, 0);
        // Every dark sample is a word gap; no dark run is a bit: only the lit bits count.
        QCOMPARE(r.codebinaire, QString(108, u' ') + u"1111"_s);
    }

    void binaireFinDansLePreambule_data() {
        QTest::addColumn<int>("taille");
        QTest::addColumn<int>("lumierefinale");
        QTest::newRow("fin dans le premier intervalle") << 12802 << 0;
        QTest::newRow("lumière jusqu'au bout de la table") << 12802 << 12802;
        QTest::newRow("table courte") << 200 << 0;
    }
    void binaireFinDansLePreambule() {
        QFETCH(int, taille);
        QFETCH(int, lumierefinale);
        Enregistrement e;
        e.tabmesures.resize(taille);
        e.eteint(100).allume(54);
        if (lumierefinale > 0)
            e.eteint(54).allume(lumierefinale);
        const DecodageBinaireRapide r =
            decodebinairerapide(e.tabmesures, 12800, tensionseuil, Regles::Conception);
        QCOMPARE(r.codebinaire, QString());
        QVERIFY(r.debut > 12800);
    }
};

QTEST_APPLESS_MAIN(TestDecodageRapide)
#include "tst_decodagerapide.moc"
