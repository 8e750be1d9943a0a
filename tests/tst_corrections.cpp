#include "codes/binaire.h"
#include "codes/morse.h"
#include "codes/windows1252.h"
#include "lumiererapide.h"
#include "recording/decodagebinairerapide.h"
#include "recording/decodagemorserapide.h"
#include "recording/messagerapide.h"

#include <QTest>
#include <random>

using namespace Qt::StringLiterals;

// The mends of the fast decoders, each on the light that the designed decoders lose, and
// their promise: a message the designed decoders read exactly is read the same.

namespace {

constexpr double periode = 0.0013;

// A download of the samples of `lumiere`, as the live reception decodes it: the table's
// 12802 entries, those past the recording empty, the threshold of a calibration in the
// darkness `sombre` (in units).
SourceEchantillons telecharge(const std::vector<Plage>& lumiere, Echantillonnage e,
                              int nbmesures = 6400) {
    e.nombre = nbmesures + 1;
    SourceEchantillons s;
    s.valeurs = echantillonne(lumiere, e);
    s.valeurs.resize(12802, 0);
    s.origine = Origine::Telechargement;
    s.nbmesures = nbmesures;
    s.tensionseuil = e.sombre * 5.0 / 255 + 0.5;
    return s;
}

QString sansblancsfinaux(QString t) {
    while (t.endsWith(u' '))
        t.chop(1);
    return t;
}

QString recu(const SourceEchantillons& s, bool morse, Regles regles) {
    return sansblancsfinaux(messagerecurapide(s, morse, regles));
}

// A recording file of the samples of `lumiere`: its lines 0 to `nbmesures`.
SourceEchantillons fichier(const std::vector<Plage>& lumiere, Echantillonnage e,
                           int nbmesures = 6400) {
    e.nombre = nbmesures + 1;
    return depuisfichier(echantillonne(lumiere, e));
}

// Light keyed bit by bit: 0.35 s of darkness after the start mark, then one stretch of
// `bit` seconds for each character of `bits` ("1" light, "0" darkness), darkness after.
std::vector<Plage> lumiereparbits(const QString& bits, double bit) {
    std::vector<Plage> l{{0.35, false}};
    for (const QChar c : bits) {
        const bool allume = c == u'1';
        if (l.back().allume == allume)
            l.back().duree += bit;
        else
            l.push_back({bit, allume});
    }
    l.push_back({60, false});
    return l;
}

// The fast binary emitter's bits for a text: the preamble's three flashes, then each
// frame and its stop interval (two bits of darkness), two more bits for a blank.
QString bitsbinaires(const QString& texte) {
    QString code, affichage, bits = u"1010100"_s;
    traduitbinaire(texte, code, affichage);
    int n = 0;
    for (const QChar c : code) {
        bits += c == u' ' ? u"00"_s : QString(c);
        if (c != u' ' && ++n % 9 == 0)
            bits += u"00"_s;
    }
    return bits;
}

// The fast Morse emitter's units for a code string, a unit each character: the
// preamble's letter c, then each element and the unit of darkness after it (a dot 1 unit
// of light, a dash 3, a blank 3 of darkness); an "L" stands for a light of 6 units.
QString unitesmorse(const QString& code) {
    QString unites = u"1110101110100"_s + u"0"_s;
    for (const QChar c : code) {
        unites += c == u'.' ? u"1"_s : c == u'-' ? u"111"_s : c == u'L' ? u"111111"_s : u"000"_s;
        unites += u'0';
    }
    return unites;
}

// Samples laid out run by run from index 1 (index 0 is no sample of the light), as a
// download of 6400 samples or a recording file.
struct Echantillons {
    std::vector<int> valeurs{0};
    Echantillons& pose(int n, int niveau) {
        valeurs.insert(valeurs.end(), size_t(n), niveau);
        return *this;
    }
    SourceEchantillons telechargement(double tensionseuil) const {
        SourceEchantillons s;
        s.valeurs = valeurs;
        s.valeurs.resize(12802, 0);
        s.nbmesures = 6400;
        s.tensionseuil = tensionseuil;
        return s;
    }
    SourceEchantillons fichier() const { return depuisfichier(valeurs); }
};

// The speed factors of the menu's items.
const double facteurs[] = {10.0 / 9, 1 / 0.925, 1 / 0.95, 1 / 0.975, 1,   1 / 1.1,
                           1 / 1.2,  1 / 1.3,   0.5,      1.0 / 3,   0.25};

} // namespace

class TestCorrections : public QObject {
    Q_OBJECT
private slots:
    // A bit of 70 ms is 53.85 samples: whatever instant the recording starts at, every
    // run is recognised, at every speed item. The designed decoders take the bit length
    // from one gap, to one sample, and lose some of these.
    void binaireAToutesLesPhases() {
        const QString texte = u"Ix@ p"_s; // dark runs of 1 to 4 bits, a blank
        int pertesconception = 0;
        for (const double f : facteurs) {
            for (int k = 0; k < 13; ++k) {
                Echantillonnage e;
                e.debut = 0.12 + k * periode / 13;
                const SourceEchantillons s = telecharge(lumierebinairerapide(texte, f), e);
                QCOMPARE(recu(s, false, Regles::Corrigees), texte);
                pertesconception += recu(s, false, Regles::Conception) != texte;
            }
        }
        QVERIFY(pertesconception > 0);
    }

    // A sample of an edge equal to the first threshold: counted with it, the preamble takes
    // a gap of no length for a run and the second flash for the third; measured again with
    // the threshold of the message, it is found whole.
    void binaireBordEgalAuPremierSeuil() {
        Echantillonnage e;
        SourceEchantillons s = telecharge(lumierebinairerapide(u"Oui !"_s, 1), e);
        const int premierseuil = decodebinairerapide(s, Regles::Conception).seuilinitial;
        int k = 1;
        while (s.valeurs[size_t(k)] < e.eclaire)
            ++k;
        while (s.valeurs[size_t(k)] == e.eclaire)
            ++k;
        s.valeurs[size_t(k)] = premierseuil; // the falling edge of the first flash
        QVERIFY(recu(s, false, Regles::Conception) != u"Oui !"_s);
        QCOMPARE(recu(s, false, Regles::Corrigees), u"Oui !"_s);
        const DecodageBinaireRapide r = decodebinairerapide(s, Regles::Corrigees);
        QCOMPARE(r.preambule.size(), size_t(5));
        QVERIFY(std::abs(r.bit - 0.07 / periode) < 0.5);
    }

    // ÿ is a start bit and eight 1s: nine bits of light.
    void neufBitsAllumes_data() {
        QTest::addColumn<QString>("texte");
        QTest::newRow("ÿ") << u"ÿ"_s;
        QTest::newRow("ÿÿ") << u"ÿÿ"_s;
        QTest::newRow("ÿ puis une lettre") << u"ÿa"_s;
        QTest::newRow("après des 1") << u"Aÿ"_s;
        QTest::newRow("après un blanc") << u"a ÿ"_s;
    }
    void neufBitsAllumes() {
        QFETCH(QString, texte);
        for (const double f : {1.0, 0.25, 10.0 / 9}) {
            const SourceEchantillons s = telecharge(lumierebinairerapide(texte, f), {});
            QCOMPARE(recu(s, false, Regles::Corrigees), texte);
            QVERIFY(recu(s, false, Regles::Conception) != texte);
        }
    }

    void blancsConsecutifs_data() {
        QTest::addColumn<QString>("texte");
        QTest::newRow("deux") << u"a  b"_s;
        QTest::newRow("trois") << u"a   b"_s;
        QTest::newRow("après une trame finie par des zéros") << u"p  p"_s;
    }
    void blancsConsecutifs() {
        QFETCH(QString, texte);
        for (const double f : {1.0, 0.5, 0.25, 10.0 / 9}) {
            const SourceEchantillons s = telecharge(lumierebinairerapide(texte, f), {});
            QCOMPARE(recu(s, false, Regles::Corrigees), texte);
            QVERIFY(recu(s, false, Regles::Conception) != texte);
        }
    }

    // In a lit room the designed first threshold (255 × tensionseuil / 20) lies below the
    // darkness itself; the mended one lies above it and its noise.
    void morseSalleEclairee_data() {
        QTest::addColumn<double>("volts");
        QTest::addColumn<double>("bruit");
        QTest::newRow("0,3 V") << 0.3 << 0.0;
        QTest::newRow("1 V") << 1.0 << 0.0;
        QTest::newRow("0,3 V, bruit 0,02 V") << 0.3 << 1.0;
    }
    void morseSalleEclairee() {
        QFETCH(double, volts);
        QFETCH(double, bruit);
        for (const double f : {1.0, 0.25, 10.0 / 9}) {
            Echantillonnage e;
            e.sombre = int(std::lround(volts * 51));
            e.bruit = bruit;
            const SourceEchantillons s = telecharge(lumieremorserapide(u"sos 73"_s, f), e);
            QCOMPARE(recu(s, true, Regles::Corrigees), u"sos 73"_s);
            QCOMPARE(recu(s, true, Regles::Conception), QString());
            const DecodageMorseRapide m = decodemorserapide(s, Regles::Corrigees);
            QVERIFY(m.seuilinitial > e.sombre);
        }
    }

    // Where the designed threshold is clear of the darkness it stays.
    void morseSeuilConserve() {
        const SourceEchantillons s = telecharge(lumieremorserapide(u"e"_s, 1), {});
        QCOMPARE(decodemorserapide(s, Regles::Corrigees).seuilinitial,
                 decodemorserapide(s, Regles::Conception).seuilinitial);
    }

    // Noisy readings (0.1 V, 5 units, in a room at 1 V): robust decoding reads them.
    void robusteSurBruit() {
        for (const bool morse : {true, false}) {
            const QString texte = morse ? u"sos de lumi"_s : u"Bruit ÿ !"_s;
            for (const double f : {10.0 / 9, 1.0, 0.5, 0.25}) {
                for (unsigned graine = 1; graine <= 3; ++graine) {
                    Echantillonnage e;
                    e.sombre = 51;
                    e.bruit = 5.1;
                    e.graine = graine;
                    const auto lumiere =
                        morse ? lumieremorserapide(texte, f) : lumierebinairerapide(texte, f);
                    const SourceEchantillons s = telecharge(lumiere, e, 12800);
                    QCOMPARE(recu(s, morse, Regles::Robustes), texte);
                }
            }
        }
    }

    // The light of a busy emitter, each change moved by a Gaussian of 2 or 4 ms: read
    // exactly at speed x 1 and x 2, downloaded or from a file, at every seed.
    void glissements_data() {
        QTest::addColumn<bool>("morse");
        QTest::addColumn<double>("f");
        QTest::addColumn<double>("sigma");
        QTest::addColumn<unsigned>("graine");
        for (const bool morse : {true, false})
            for (const double f : {1.0, 0.5})
                for (const double sigma : {0.002, 0.004})
                    for (unsigned graine = 1; graine <= 6; ++graine)
                        QTest::addRow("%s x %g, %g ms, graine %u", morse ? "morse" : "binaire",
                                      1 / f, sigma * 1000, graine)
                            << morse << f << sigma << graine;
    }
    void glissements() {
        QFETCH(bool, morse);
        QFETCH(double, f);
        QFETCH(double, sigma);
        QFETCH(unsigned, graine);
        const QString texte = morse ? u"sos de lumi 73"_s : u"Salut, ça va ?"_s;
        const auto lumiere = glisse(
            morse ? lumieremorserapide(texte, f) : lumierebinairerapide(texte, f), sigma, graine);
        Echantillonnage e;
        e.debut = 0.12 + graine * periode / 7;
        QCOMPARE(recu(telecharge(lumiere, e, 12800), morse, Regles::Corrigees), texte);
        QCOMPARE(recu(fichier(lumiere, e, 12800), morse, Regles::Corrigees), texte);
        QCOMPARE(recu(telecharge(lumiere, e, 12800), morse, Regles::Robustes), texte);
    }

    // The same light, which the designed decoders lose most of the time.
    void glissementsPerdusParLesDecodeursConcus() {
        int pertes = 0, cas = 0;
        for (const bool morse : {true, false}) {
            const QString texte = morse ? u"sos de lumi 73"_s : u"Salut, ça va ?"_s;
            for (unsigned graine = 1; graine <= 6; ++graine) {
                const auto lumiere =
                    glisse(morse ? lumieremorserapide(texte, 1) : lumierebinairerapide(texte, 1),
                           0.004, graine);
                pertes += recu(telecharge(lumiere, {}, 12800), morse, Regles::Conception) != texte;
                ++cas;
            }
        }
        QVERIFY2(pertes >= cas / 2, qPrintable(QString::number(pertes)));
    }

    // A run that no rule places costs one character, not the rest of the message: a
    // frame whose light lasts ten bits, a Morse dash of six units; downloaded or from a
    // file, whose designed scan ends there.
    void runInclassable_data() {
        QTest::addColumn<bool>("morse");
        QTest::addColumn<QString>("unites");
        QTest::addColumn<double>("unite");
        QTest::addColumn<QString>("texte");
        QString bits = bitsbinaires(u"Oui !"_s);
        const qsizetype u = bits.indexOf(u"101110101"_s); // the frame of 'u' and its stop
        bits.replace(u, 11, u"11111111110"_s);
        QTest::newRow("binaire") << false << bits << 0.07 << u"O\uFFFDi !"_s;
        QTest::newRow("binaire x 2") << false << bits << 0.035 << u"O\uFFFDi !"_s;
        const QString morse = unitesmorse(u"... -L- ...  --... ...-- "_s);
        QTest::newRow("morse") << true << morse << 0.05 << u"s\uFFFDs 73"_s;
        QTest::newRow("morse x 2") << true << morse << 0.025 << u"s\uFFFDs 73"_s;
    }
    void runInclassable() {
        QFETCH(bool, morse);
        QFETCH(QString, unites);
        QFETCH(double, unite);
        QFETCH(QString, texte);
        const auto lumiere = lumiereparbits(unites, unite);
        QCOMPARE(recu(telecharge(lumiere, {}), morse, Regles::Corrigees), texte);
        QCOMPARE(recu(fichier(lumiere, {}), morse, Regles::Corrigees), texte);
        QVERIFY(recu(fichier(lumiere, {}), morse, Regles::Conception) != texte);
    }

    // A recording that starts in the light of the start mark, as when the receiver's tick
    // saw its end late: its first 0.1 s are light. Read from the darkness after it.
    void commenceAllume_data() {
        QTest::addColumn<bool>("morse");
        QTest::addColumn<bool>("telechargement");
        for (const bool morse : {true, false})
            for (const bool telechargement : {true, false})
                QTest::addRow("%s, %s", morse ? "morse" : "binaire",
                              telechargement ? "téléchargement" : "fichier")
                    << morse << telechargement;
    }
    void commenceAllume() {
        QFETCH(bool, morse);
        QFETCH(bool, telechargement);
        const QString texte = morse ? u"sos 73"_s : u"Salut !"_s;
        auto lumiere = morse ? lumieremorserapide(texte, 1) : lumierebinairerapide(texte, 1);
        lumiere.insert(lumiere.begin(), {0.1, true});
        Echantillonnage e;
        e.debut = 0.02;
        const SourceEchantillons s = telechargement ? telecharge(lumiere, e) : fichier(lumiere, e);
        QCOMPARE(s.lis(1), e.eclaire);
        QCOMPARE(recu(s, morse, Regles::Corrigees), texte);
        QCOMPARE(recu(s, morse, Regles::Robustes), texte);
        const QString concu = recu(s, morse, Regles::Conception);
        QVERIFY(concu != texte);
        // A file's designed first threshold is taken in the light: above it, nothing.
        if (!telechargement)
            QCOMPARE(concu, QString());
        QVERIFY(decodebinairerapide(s, Regles::Corrigees).seuilinitial < e.eclaire);
        QVERIFY(decodemorserapide(s, Regles::Corrigees).seuilinitial < e.eclaire);
    }

    // A fast binary file of a lit, noisy room (darkness 1 V, noise or a 100 Hz ripple of
    // 0.1 V): its first threshold above the darkness and its noise, as fast Morse takes it.
    void binaireFichierSalleEclairee_data() {
        QTest::addColumn<double>("bruit");
        QTest::addColumn<double>("scintillement");
        QTest::newRow("bruit 0,1 V") << 5.1 << 0.0;
        QTest::newRow("scintillement 0,1 V") << 0.0 << 5.1;
        QTest::newRow("les deux") << 5.1 << 5.1;
    }
    void binaireFichierSalleEclairee() {
        QFETCH(double, bruit);
        QFETCH(double, scintillement);
        const QString texte = u"Salut !"_s;
        int pertesconception = 0;
        for (unsigned graine = 1; graine <= 10; ++graine) {
            Echantillonnage e;
            e.sombre = 51;
            e.eclaire = 51 + 150;
            e.bruit = bruit;
            e.scintillement = scintillement;
            e.graine = graine;
            e.debut = 0.12 + graine * periode / 10;
            const SourceEchantillons s = fichier(lumierebinairerapide(texte, 1), e);
            QCOMPARE(recu(s, false, Regles::Corrigees), texte);
            const DecodageBinaireRapide d = decodebinairerapide(s, Regles::Corrigees);
            QVERIFY(d.seuilinitial > e.sombre + 3);
            pertesconception += recu(s, false, Regles::Conception) != texte;
        }
        if (bruit > 0)
            QVERIFY(pertesconception > 0);
    }

    // The edges of the rule that places a binary run where the designed window does not
    // apply (all the preamble's flashes as long, 61 samples a bit): a run lasts the whole
    // number of bits between the places of its edges on the grid, the nearest. The falling
    // edge of the frame 'a''s start bit moved by d samples (its next bit as much shorter):
    // read up to 30 samples late or early (less than half a bit, 30.5), the frame lost one
    // sample beyond, the next frame read.
    void binaireBordsDeLaGrille_data() {
        QTest::addColumn<int>("d");
        QTest::addColumn<QString>("texte");
        QTest::newRow("30 tard") << 30 << u"ab"_s;
        QTest::newRow("31 tard") << 31 << u"\uFFFDb"_s;
        QTest::newRow("30 tôt") << -30 << u"ab"_s;
        QTest::newRow("31 tôt") << -31 << u"\uFFFDb"_s;
    }
    void binaireBordsDeLaGrille() {
        QFETCH(int, d);
        QFETCH(QString, texte);
        constexpr int bit = 61, sombre = 3, eclaire = 153;
        Echantillons e;
        e.pose(100, sombre);
        for (int k = 0; k < 3; ++k)
            e.pose(bit, eclaire).pose(k < 2 ? bit : 2 * bit, sombre);
        // 'a', 1 01100001, its start bit's end moved; its stop; 'b', 1 01100010.
        e.pose(bit + d, eclaire).pose(bit - d, sombre).pose(2 * bit, eclaire);
        e.pose(4 * bit, sombre).pose(bit, eclaire).pose(2 * bit, sombre);
        e.pose(bit, eclaire).pose(bit, sombre).pose(2 * bit, eclaire).pose(3 * bit, sombre);
        e.pose(bit, eclaire).pose(bit, sombre).pose(2000, sombre);
        const double tensionseuil = sombre * 5.0 / 255 + 0.5;
        for (const SourceEchantillons& source : {e.telechargement(tensionseuil), e.fichier()}) {
            const DecodageBinaireRapide r = decodebinairerapide(source, Regles::Corrigees);
            QCOMPARE(r.bit, double(bit));
            QCOMPARE(r.hmin, bit);
            QCOMPARE(r.hmax, bit);
            QCOMPARE(recu(source, false, Regles::Corrigees), texte);
        }
    }

    // A frame the recording ends in is cut: whatever the length of its last run, its
    // character is unknown, never one its first bits would make. The preamble's flashes all
    // as long, h samples, its gaps g1 and g2: the bit lasts (2 h + g1 + g2) / 4 samples, lit
    // runs h − bit more than their bits and dark runs as much less. The frame starts with
    // its start bit and, before a lit run, a 0; its last run (3 or 2 bits long, give or take
    // a few samples) reaches the last sample of the recording.
    void binaireTrameCoupee_data() {
        QTest::addColumn<QList<int>>("preambule"); // h, g1, g2
        QTest::addColumn<bool>("allume");
        QTest::addColumn<int>("longueur");
        const QList<int> entier{64, 56, 56}, quart{70, 50, 51};
        const auto ligne = [](const QList<int>& p, bool allume, int longueur) {
            QTest::addRow("%d %d %d, %s, %d", p[0], p[1], p[2], allume ? "allumée" : "sombre",
                          longueur)
                << p << allume << longueur;
        };
        for (const int longueur : {181, 188})
            ligne(entier, true, longueur);
        for (const int longueur : {173, 180})
            ligne(entier, false, longueur);
        ligne(quart, true, 128);
        ligne(quart, false, 108);
    }
    void binaireTrameCoupee() {
        QFETCH(QList<int>, preambule);
        QFETCH(bool, allume);
        QFETCH(int, longueur);
        constexpr int sombre = 3, eclaire = 153;
        const int h = preambule[0];
        const double bit = (2 * h + preambule[1] + preambule[2]) / 4.0;
        const double ecart = h - bit;
        const auto allumes = [&](int k) { return int(std::lround(k * bit + ecart)); };
        const auto sombres = [&](int k) { return int(std::lround(k * bit - ecart)); };
        Echantillons e;
        e.pose(100, sombre);
        e.pose(h, eclaire).pose(preambule[1], sombre).pose(h, eclaire).pose(preambule[2], sombre);
        e.pose(h, eclaire).pose(sombres(2), sombre);
        e.pose(allumes(1), eclaire);
        if (allume)
            e.pose(sombres(1), sombre).pose(longueur, eclaire);
        else
            e.pose(longueur, sombre);
        // One sample more, the last of the recording: the run is cut just before it.
        e.pose(1, allume ? eclaire : sombre);
        const int fin = int(e.valeurs.size()) - 1;
        SourceEchantillons telechargement = e.telechargement(sombre * 5.0 / 255 + 0.5);
        telechargement.nbmesures = fin;
        for (const SourceEchantillons& source : {telechargement, e.fichier()}) {
            const DecodageBinaireRapide r = decodebinairerapide(source, Regles::Corrigees);
            QCOMPARE(r.bit, bit);
            QCOMPARE(r.ecartallume, ecart);
            QCOMPARE(r.hmin, h);
            QCOMPARE(r.hmax, h);
            QCOMPARE(r.runs.back().longueur, longueur);
            QCOMPARE(r.codebinaire, QString(elementinconnu));
            QCOMPARE(textedecodebinaire(r.codebinaire + u' '), QString(caractereinconnu));
            QCOMPARE(r.caracteres.size(), std::size_t(1));
            QCOMPARE(r.caracteres.front().caractere, caractereinconnu);
            QCOMPARE(r.coupe, Coupure::oui);
        }
    }

    // The first threshold of fast Morse above the darkness at the start of the recording:
    // its median plus max(3, 5 σ + 1), σ the median absolute deviation scaled to a standard
    // deviation (× 1.4826), rounded up. Readings 3, 4, 3, 2 over and over: median 3,
    // deviation 1, so 3 + 5 × 1.4826 + 1 = 11.41, 12. Readings 20, 25, 20, 15: deviation 5,
    // 20 + 5 × 7.413 + 1 = 58.065, 59. Readings all 10: 10 + 3 = 13. The calibration saw
    // darkness at 0 V, whose designed threshold (6) lies lower. A glitch of three samples
    // (a shorter one is passed over anyway) just under the threshold before the preamble
    // (at the threshold in a download, where light is above it; one unit under in a file,
    // where light is at least the threshold) is no pulse; one unit more is. A file's
    // designed threshold, its sample of index 1 plus 7, lies higher than 13: the readings
    // all 10 are for a download only.
    void morsePremierSeuil_data() {
        QTest::addColumn<QList<int>>("obscurite");
        QTest::addColumn<bool>("telechargement");
        QTest::addColumn<int>("seuil");
        QTest::addColumn<int>("parasite");
        QTest::addColumn<bool>("lu");
        const QList<int> ecart1{3, 4, 3, 2}, ecart5{20, 25, 20, 15}, constante{10};
        QTest::newRow("3 4 3 2, téléchargement, 12") << ecart1 << true << 12 << 12 << true;
        QTest::newRow("3 4 3 2, téléchargement, 13") << ecart1 << true << 12 << 13 << false;
        QTest::newRow("3 4 3 2, fichier, 11") << ecart1 << false << 12 << 11 << true;
        QTest::newRow("3 4 3 2, fichier, 12") << ecart1 << false << 12 << 12 << false;
        QTest::newRow("20 25 20 15, téléchargement, 59") << ecart5 << true << 59 << 59 << true;
        QTest::newRow("20 25 20 15, téléchargement, 60") << ecart5 << true << 59 << 60 << false;
        QTest::newRow("20 25 20 15, fichier, 58") << ecart5 << false << 59 << 58 << true;
        QTest::newRow("20 25 20 15, fichier, 59") << ecart5 << false << 59 << 59 << false;
        QTest::newRow("10, téléchargement, 13") << constante << true << 13 << 13 << true;
        QTest::newRow("10, téléchargement, 14") << constante << true << 13 << 14 << false;
    }
    void morsePremierSeuil() {
        QFETCH(QList<int>, obscurite);
        QFETCH(bool, telechargement);
        QFETCH(int, seuil);
        QFETCH(int, parasite);
        QFETCH(bool, lu);
        constexpr int u = 38, eclaire = 153;
        const auto sombre = [&](int n) {
            Echantillons o;
            for (int k = 0; k < n; ++k)
                o.pose(1, obscurite.at(k % obscurite.size()));
            return o.valeurs;
        };
        Echantillons e;
        e.valeurs = sombre(200);
        e.pose(3, parasite);
        const std::vector<int> apres = sombre(4);
        e.valeurs.insert(e.valeurs.end(), apres.begin() + 1, apres.end());
        for (const QChar c : unitesmorse(u". "_s))
            e.pose(u, c == u'1' ? eclaire : obscurite.front());
        e.pose(3000, obscurite.front());
        const SourceEchantillons s = telechargement ? e.telechargement(0.5) : e.fichier();
        QCOMPARE(seuilsurobscurite(s), seuil);
        const DecodageMorseRapide m = decodemorserapide(s, Regles::Corrigees);
        QCOMPARE(m.seuilinitial, seuil);
        QCOMPARE(recu(s, true, Regles::Corrigees) == u"e"_s, lu);
    }

    // Robust decoding's hysteresis, between 40 % and 60 % of the way from the dark level to
    // the lit one, with levels of 40 and 140 that the readings keep exactly (each reading
    // in the band has its mirror on the other side of its level): the band is 80 to 100.
    // Readings that sag to 80 inside a lit run, or rise to 100 inside a dark one, leave the
    // run whole; one unit beyond (79, 101) makes two runs.
    void hysteresisDuNettoyage_data() {
        QTest::addColumn<bool>("allume");
        QTest::addColumn<int>("valeur");
        QTest::addColumn<int>("runs");
        QTest::newRow("creux jusqu'à 40 %") << true << 80 << 1;
        QTest::newRow("creux sous 40 %") << true << 79 << 2;
        QTest::newRow("pointe jusqu'à 60 %") << false << 100 << 1;
        QTest::newRow("pointe au-dessus de 60 %") << false << 101 << 2;
    }
    void hysteresisDuNettoyage() {
        QFETCH(bool, allume);
        QFETCH(int, valeur);
        QFETCH(int, runs);
        constexpr int sombre = 40, eclaire = 140;
        Echantillons e;
        e.pose(3000, sombre);
        if (allume) {
            e.pose(1000, eclaire).pose(5, valeur).pose(1000, eclaire);
            e.pose(1000, sombre).pose(5, 2 * sombre - valeur);
        } else {
            e.pose(500, eclaire).pose(5, 2 * eclaire - valeur).pose(500, eclaire);
            e.pose(1000, sombre).pose(5, valeur);
        }
        e.pose(3000, sombre);
        const SourceEchantillons s = e.fichier();
        const SourceEchantillons propre = nettoie(s);
        int allumes = 0;
        for (std::size_t k = 2; k < propre.valeurs.size(); ++k)
            allumes += propre.valeurs[k] > propre.valeurs[k - 1];
        QCOMPARE(allumes, runs);
        const Niveaux n = niveauxdelumiere(s);
        QVERIFY(n.bas == sombre && n.haut == eclaire);
        QVERIFY(n.extinction() == 80 && n.allumage() == 100);
    }

    // The promise of the mends, over random messages at random speeds and phases, clean
    // and slightly noisy: whatever the designed decoders read exactly, the mended ones
    // read the same; and they read every clean message.
    void memesTextesQueLesDecodeursConcus() {
        std::mt19937 hasard(20261209);
        const auto tire = [&hasard](int min, int max) {
            return std::uniform_int_distribution<int>(min, max)(hasard);
        };
        int exactsconception = 0, exactscorriges = 0, nombre = 0;
        for (int n = 0; n < 300; ++n) {
            const bool morse = n % 2 == 0;
            QString texte;
            for (int l = tire(2, 5); l > 0; --l) {
                // Morse words one blank apart: the code has no way to say two.
                if (morse)
                    texte +=
                        QChar(tire(0, 4) == 0 && !texte.endsWith(u' ') ? u' ' : u'a' + tire(0, 25));
                else
                    texte += caractereWindows1252(
                        tire(0, 5) == 0 ? 32 : tire(160, 255) - tire(0, 1) * 127);
            }
            texte = texte.trimmed();
            if (texte.isEmpty())
                continue;
            const double f = facteurs[tire(0, int(std::size(facteurs)) - 1)];
            Echantillonnage e;
            e.debut = 0.1 + tire(0, 999) * 0.0001;
            e.bruit = n % 3 == 0 ? 1.0 : 0.0;
            e.graine = unsigned(n);
            const auto lumiere =
                morse ? lumieremorserapide(texte, f) : lumierebinairerapide(texte, f);
            const SourceEchantillons s = telecharge(lumiere, e, 12800);
            const QString conception = recu(s, morse, Regles::Conception);
            const QString corrige = recu(s, morse, Regles::Corrigees);
            ++nombre;
            if (conception == texte) {
                ++exactsconception;
                QCOMPARE(corrige, conception);
            }
            exactscorriges += corrige == texte;
            if (e.bruit == 0)
                QCOMPARE(corrige, texte);
        }
        QVERIFY(exactscorriges == nombre);
        QVERIFY(exactsconception < nombre);
    }
};

QTEST_APPLESS_MAIN(TestCorrections)
#include "tst_corrections.moc"
