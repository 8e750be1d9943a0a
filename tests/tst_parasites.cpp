#include "lumiererapide.h"
#include "recording/decodagebinairerapide.h"
#include "recording/decodagemorserapide.h"
#include "recording/messagerapide.h"
#include "recording/mesuresfichier.h"
#include "recording/parasites.h"
#include "recording/traceenregistrement.h"

#include <QTest>

using namespace Qt::StringLiterals;

// Parasitic light in a fast recording: a flash in the darkness or a dip in the light,
// shorter than a quarter of a bit or of a Morse unit (or than three samples, whatever the
// speed), is set aside wherever it falls, the preamble included, by the mended and the
// robust rules, in a download and in a file.

Q_DECLARE_METATYPE(Regles)

namespace {

constexpr int sombre = 3;
constexpr int eclaire = 153;
// A flash brighter than the laser: were it counted, it would move the threshold.
constexpr int vif = 250;

// Samples laid out run by run from index 1 (index 0 is no sample of the light).
struct Echantillons {
    std::vector<int> valeurs{0};
    Echantillons& pose(int n, int niveau) {
        valeurs.insert(valeurs.end(), size_t(n), niveau);
        return *this;
    }
    Echantillons& allume(int n) { return pose(n, eclaire); }
    Echantillons& eteint(int n) { return pose(n, sombre); }
    int position() const { return int(valeurs.size()); }
    // A download of a recording that ends at the last sample laid.
    SourceEchantillons telechargement() const {
        SourceEchantillons s;
        s.valeurs = valeurs;
        s.nbmesures = int(valeurs.size()) - 1;
        s.valeurs.resize(12802, 0);
        s.tensionseuil = sombre * 5.0 / 255 + 0.5;
        return s;
    }
    SourceEchantillons fichier() const { return depuisfichier(valeurs); }
};

// Where the runs of a fast message lie: the preamble's, then the message's.
struct Disposition {
    Echantillons e;
    std::vector<std::pair<int, int>> preambule; // first sample and length of each pulse
    std::vector<std::pair<int, int>> message;   // of each lit run of the message
};

// The fast Morse emitter's light, `u` samples a unit: 100 samples of darkness, the letter
// c, then each element of `code` and a unit of darkness after it (a blank three units of
// darkness), then 40 units of darkness.
Disposition morse(const QString& code, int u) {
    Disposition d;
    d.e.eteint(100);
    const int pulses[] = {3, 1, 3, 1};
    for (int k = 0; k < 4; ++k) {
        d.preambule.emplace_back(d.e.position(), pulses[k] * u);
        d.e.allume(pulses[k] * u).eteint(k < 3 ? u : 3 * u);
    }
    for (const QChar c : code) {
        if (c == u' ') {
            d.e.eteint(3 * u);
        } else {
            d.message.emplace_back(d.e.position(), (c == u'.' ? 1 : 3) * u);
            d.e.allume(c == u'.' ? u : 3 * u);
        }
        d.e.eteint(u);
    }
    d.e.eteint(40 * u);
    return d;
}

// The fast binary emitter's light, `b` samples a bit: 100 samples of darkness, three
// one-bit flashes one bit apart and two bits of darkness, then the frames of `bits` with
// their stop intervals, then 20 bits of darkness.
Disposition binaire(const QString& bits, int b) {
    Disposition d;
    d.e.eteint(100);
    for (int k = 0; k < 3; ++k) {
        d.preambule.emplace_back(d.e.position(), b);
        d.e.allume(b).eteint(k < 2 ? b : 2 * b);
    }
    int n = 0;
    int debut = -1;
    for (const QChar c : bits) {
        const bool allume = c == u'1';
        if (allume && debut < 0)
            debut = d.e.position();
        if (!allume && debut >= 0) {
            d.message.emplace_back(debut, d.e.position() - debut);
            debut = -1;
        }
        d.e.pose(b, allume ? eclaire : sombre);
        if (++n % 9 == 0) {
            if (debut >= 0)
                d.message.emplace_back(debut, d.e.position() - debut);
            debut = -1;
            d.e.eteint(2 * b);
        }
    }
    d.e.eteint(20 * b);
    return d;
}

// What the preamble gave, as the mended rules measured it.
struct Mesures {
    int seuil;
    int vmax;
    double pas;
    int plusbref;
    int pluslong;
    bool operator==(const Mesures&) const = default;
};

Mesures mesures(const SourceEchantillons& s, bool morse, Regles regles) {
    if (morse) {
        const DecodageMorseRapide m = decodemorserapide(s, regles);
        return {m.seuil, m.vmax, m.unite, m.pmin, m.pmax};
    }
    const DecodageBinaireRapide b = decodebinairerapide(s, regles);
    return {b.seuil, b.vmax, b.bit, b.hmin, b.hmax};
}

std::vector<RunMesure> parasitesde(const SourceEchantillons& s, bool morse, Regles regles) {
    return morse ? decodemorserapide(s, regles).parasites
                 : decodebinairerapide(s, regles).parasites;
}

Coupure coupurede(const SourceEchantillons& s, bool morse, Regles regles) {
    return morse ? decodemorserapide(s, regles).coupe : decodebinairerapide(s, regles).coupe;
}

// The frame of 'a' and of 'S'.
const QString trameA = u"101100001"_s;
const QString trameS = u"101010011"_s;

} // namespace

class TestParasites : public QObject {
    Q_OBJECT
private slots:
    // A run of exactly a quarter of the step is light or darkness of the message; one
    // sample shorter, a glitch. At a step of 8 to 10 samples, a quarter is 2 or 2.5: a run
    // of three samples is kept, one of two is a glitch all the same. The glitch lies in the
    // middle of a dash (Morse 't') or of two lit bits (binary 'a'), or of the darkness after
    // the preamble (Morse) or of the four dark bits of 'a'.
    void quartDuPas_data() {
        QTest::addColumn<bool>("morse");
        QTest::addColumn<int>("pas");
        QTest::addColumn<bool>("eclair"); // a flash in the darkness, else a dip in the light
        QTest::addColumn<int>("longueur");
        QTest::addColumn<bool>("ignore");
        for (const bool morse : {true, false}) {
            const char* nom = morse ? "morse" : "binaire";
            for (const bool eclair : {false, true}) {
                const char* genre = eclair ? "éclair" : "creux";
                QTest::addRow("%s, %s d'un quart de pas", nom, genre)
                    << morse << 40 << eclair << 10 << false;
                QTest::addRow("%s, %s d'un quart de pas moins un", nom, genre)
                    << morse << 40 << eclair << 9 << true;
            }
            const int pas = morse ? 8 : 10;
            QTest::addRow("%s rapide, creux de trois mesures", nom)
                << morse << pas << false << 3 << false;
            QTest::addRow("%s rapide, creux de deux mesures", nom)
                << morse << pas << false << 2 << true;
        }
    }
    void quartDuPas() {
        QFETCH(bool, morse);
        QFETCH(int, pas);
        QFETCH(bool, eclair);
        QFETCH(int, longueur);
        QFETCH(bool, ignore);
        const Disposition propre = morse ? ::morse(u"- "_s, pas) : binaire(trameA, pas);
        Disposition d = propre;
        int debut = 0;
        if (eclair) {
            const int apres = morse ? d.preambule.back().first + d.preambule.back().second
                                    : d.message.front().first + 3 * pas; // the dark bits
            debut = apres + (morse ? 3 * pas : 4 * pas) / 2 - longueur / 2;
        } else {
            const auto& [premier, duree] = morse ? d.message.front() : d.message[1];
            debut = premier + duree / 2 - longueur / 2;
        }
        for (int k = debut; k < debut + longueur; ++k)
            d.e.valeurs[size_t(k)] = eclair ? eclaire : sombre;
        for (const Regles regles : {Regles::Corrigees, Regles::Robustes}) {
            for (const bool fichier : {false, true}) {
                const SourceEchantillons s = fichier ? d.e.fichier() : d.e.telechargement();
                const SourceEchantillons r =
                    fichier ? propre.e.fichier() : propre.e.telechargement();
                const std::vector<RunMesure> p = parasitesde(s, morse, regles);
                const bool trouve = std::any_of(p.begin(), p.end(), [&](const RunMesure& m) {
                    return m.debut == debut && m.longueur == longueur && m.allume == eclair;
                });
                QCOMPARE(trouve, ignore);
                QCOMPARE(p.size(), std::size_t(ignore ? 1 : 0));
                // Kept, a darkness in a dash cuts it; a run of binary may cost its frame.
                if (ignore)
                    QCOMPARE(messagerecurapide(s, morse, regles),
                             messagerecurapide(r, morse, regles));
                else if (morse)
                    QVERIFY(messagerecurapide(s, morse, regles) != u"t"_s);
            }
        }
    }

    // A glitch of one sample wherever it falls: a flash brighter than the laser, or a dip to
    // the darkness. The text, the preamble's measures (threshold, extremes, step, shortest
    // and longest pulses) and the judgement of the end are those of the clean light; the
    // glitch is reported.
    void ouQuIlTombe_data() {
        QTest::addColumn<bool>("morse");
        QTest::addColumn<QString>("ou");
        for (const bool morse : {true, false})
            for (const char* ou :
                 {"premier échantillon", "avant le préambule", "dans une impulsion du préambule",
                  "entre deux impulsions", "après le préambule", "dans la lumière du message",
                  "dans l'obscurité du message", "au ras d'un front", "dernier échantillon"})
                QTest::addRow("%s, %s", morse ? "morse" : "binaire", ou)
                    << morse << QString::fromUtf8(ou);
    }
    void ouQuIlTombe() {
        QFETCH(bool, morse);
        QFETCH(QString, ou);
        constexpr int pas = 38;
        const Disposition propre =
            morse ? ::morse(u"... .-"_s, pas) : binaire(trameS + trameA, pas);
        const int fin = propre.e.position() - 1;
        const int apres = propre.preambule.back().first + propre.preambule.back().second;
        int i = 0;
        if (ou == u"premier échantillon")
            i = 1;
        else if (ou == u"avant le préambule")
            i = 50;
        else if (ou == u"dans une impulsion du préambule")
            i = propre.preambule.front().first + pas / 2;
        else if (ou == u"entre deux impulsions")
            i = propre.preambule.front().first + propre.preambule.front().second + pas / 2;
        else if (ou == u"après le préambule")
            i = apres + pas;
        else if (ou == u"dans la lumière du message")
            i = propre.message[1].first + propre.message[1].second / 2;
        else if (ou == u"dans l'obscurité du message")
            i = propre.message[1].first - 2;
        else if (ou == u"au ras d'un front")
            i = propre.message[1].first + 1;
        else
            i = fin;
        Disposition d = propre;
        const bool eclair = d.e.valeurs[size_t(i)] == sombre;
        d.e.valeurs[size_t(i)] = eclair ? vif : sombre;
        for (const Regles regles : {Regles::Corrigees, Regles::Robustes}) {
            for (const bool fichier : {false, true}) {
                const SourceEchantillons s = fichier ? d.e.fichier() : d.e.telechargement();
                const SourceEchantillons r =
                    fichier ? propre.e.fichier() : propre.e.telechargement();
                QCOMPARE(messagerecurapide(s, morse, regles), morse ? u"sa"_s : u"Sa"_s);
                QCOMPARE(mesures(s, morse, regles), mesures(r, morse, regles));
                QCOMPARE(coupurede(s, morse, regles), coupurede(r, morse, regles));
                // Next to an edge, the sample of the edge and the glitch are both one sample
                // long: the first is set aside, the edge comes one sample late.
                const std::vector<RunMesure> p = parasitesde(s, morse, regles);
                QCOMPARE(p.size(), std::size_t(1));
                QCOMPARE(p.front().longueur, 1);
                if (ou != u"au ras d'un front") {
                    QCOMPARE(p.front().debut, i);
                    QCOMPARE(p.front().allume, eclair);
                }
            }
        }
    }

    // Samples half-way between the two levels may lie on either side of the threshold: two
    // of them in a flash of the preamble, at the threshold of the message, still leave its
    // three flashes whole. (A busy bench's light: a dip of 1.3 ms seen by two samples, each
    // half-way.)
    void creuxAMiHauteur() {
        constexpr int pas = 60;
        Disposition d = binaire(trameS, pas);
        // A laser read 152 or 153 in turn: the middle of the two levels (77) lies under the
        // middle of the extremes, the threshold of the message (78).
        for (std::size_t k = 0; k < d.e.valeurs.size(); k += 2)
            if (d.e.valeurs[k] == eclaire)
                d.e.valeurs[k] = eclaire - 1;
        const int milieu = d.preambule[1].first + 30;
        for (const int k : {milieu, milieu + 1})
            d.e.valeurs[size_t(k)] = (sombre + eclaire) / 2;
        for (const bool fichier : {false, true}) {
            const SourceEchantillons s = fichier ? d.e.fichier() : d.e.telechargement();
            const DecodageBinaireRapide b = decodebinairerapide(s, Regles::Corrigees);
            QCOMPARE(b.seuil, (sombre + eclaire) / 2);
            QCOMPARE(b.bit, double(pas));
            QCOMPARE(messagerecurapide(s, false, Regles::Corrigees), u"S"_s);
        }
    }

    // A glitch longer than three samples that spoils the preamble (a flash of 8 samples in
    // its darkness, read as a pulse of it) is found by the longer runs tried in turn, still
    // shorter than a quarter of the step the preamble then gives (a quarter of 60).
    void parasiteLongDansLePreambule_data() {
        QTest::addColumn<bool>("morse");
        QTest::addColumn<int>("longueur");
        QTest::addColumn<bool>("lu");
        QTest::newRow("morse, 8 mesures") << true << 8 << true;
        QTest::newRow("binaire, 8 mesures") << false << 8 << true;
        QTest::newRow("binaire, 14 mesures") << false << 14 << true;
        // A quarter of the step: part of the light, the preamble is no longer the emitter's.
        QTest::newRow("binaire, 15 mesures") << false << 15 << false;
    }
    void parasiteLongDansLePreambule() {
        QFETCH(bool, morse);
        QFETCH(int, longueur);
        QFETCH(bool, lu);
        constexpr int pas = 60;
        Disposition d = morse ? ::morse(u"... .-"_s, pas) : binaire(trameS + trameA, pas);
        for (int k = 40; k < 40 + longueur; ++k)
            d.e.valeurs[size_t(k)] = eclaire;
        const QString attendu = morse ? u"sa"_s : u"Sa"_s;
        for (const bool fichier : {false, true}) {
            const SourceEchantillons s = fichier ? d.e.fichier() : d.e.telechargement();
            QCOMPARE(messagerecurapide(s, morse, Regles::Corrigees) == attendu, lu);
        }
    }

    // The designed decoders keep their behaviour: a dip of one sample in the dash of 't'
    // cuts it in two runs, neither a dot nor a dash.
    void decodeursConcusInchanges() {
        Disposition d = morse(u"- "_s, 40);
        d.e.valeurs[size_t(d.message.front().first + 60)] = sombre;
        const DecodageMorseRapide m = decodemorserapide(d.e.telechargement(), Regles::Conception);
        QVERIFY(m.parasites.empty());
        QVERIFY(!m.codemorse.contains(u'-'));
    }

    // The trace a viewer draws says where the glitches were.
    void traceDesParasites() {
        Disposition d = binaire(trameA, 40);
        const int i = d.message.front().first + 20;
        d.e.valeurs[size_t(i)] = sombre;
        const TraceEnregistrement t = traceenregistrement(d.e.telechargement(), false);
        QCOMPARE(t.messagerecu, u"a"_s);
        QCOMPARE(t.parasites.size(), std::size_t(1));
        QCOMPARE(t.parasites.front().debut, i);
        QCOMPARE(t.parasites.front().fin, i + 1);
        QVERIFY(!t.parasites.front().allume);
        QCOMPARE(t.parasites.front().texte, u"parasite ignoré"_s);
        QVERIFY(
            traceenregistrement(binaire(trameA, 40).e.telechargement(), false).parasites.empty());
    }

    // A recording of "Salut !" made by the program on a busy machine, with a flash of one
    // sample in the darkness of its preamble (tests/enregistrements/binaire-salut-eclair.rrr:
    // binaire-salut-charge.rrr, its sample 290 lit): the designed decoders read nothing of
    // it right, the program's decoders read it whole. So they do with a flash or a dip at
    // any sample of the first 600 of the loaded recording, the preamble's.
    void enregistrementCharge() {
        MesuresFichier eclair;
        QString erreur;
        QVERIFY2(
            litmesuresfichier(QStringLiteral(LUMICOM_SOURCE_DIR
                                             "/tests/enregistrements/binaire-salut-eclair.rrr"),
                              eclair, &erreur),
            qPrintable(erreur));
        const SourceEchantillons s = depuisfichier(eclair.valeurs);
        QCOMPARE(messagerecurapide(s, false, Regles::Corrigees), u"Salut !"_s);
        QCOMPARE(messagerecurapide(s, false, Regles::Robustes), u"Salut !"_s);
        QVERIFY(messagerecurapide(s, false, Regles::Conception) != u"Salut !"_s);

        MesuresFichier charge;
        QVERIFY(litmesuresfichier(
            QStringLiteral(LUMICOM_SOURCE_DIR "/tests/enregistrements/binaire-salut-charge.rrr"),
            charge, &erreur));
        const int milieu = 75;
        for (int i = 1; i < 600; i += 2) {
            SourceEchantillons avec = depuisfichier(charge.valeurs);
            avec.valeurs[size_t(i)] = avec.valeurs[size_t(i)] > milieu ? sombre : eclaire;
            QVERIFY2(messagerecurapide(avec, false, Regles::Corrigees) == u"Salut !"_s,
                     qPrintable(QString::number(i)));
        }
    }

    // The fast emitters send a blank at the start of a text as darkness after the preamble
    // that a frame or a letter follows: it arrives. A blank at the end only lengthens the
    // darkness after the message, which nothing ends: it cannot be told from it, and no
    // blank is read there.
    void blancsEnvoyes_data() {
        QTest::addColumn<bool>("morse");
        QTest::addColumn<QString>("texte");
        QTest::addColumn<QString>("recu");
        for (const bool morse : {true, false}) {
            const char* nom = morse ? "morse" : "binaire";
            QTest::addRow("%s, blanc au début", nom) << morse << u" ab"_s << u" ab"_s;
            QTest::addRow("%s, blanc au milieu", nom) << morse << u"a b"_s << u"a b"_s;
            QTest::addRow("%s, blanc à la fin", nom) << morse << u"ab "_s << u"ab"_s;
            QTest::addRow("%s, sans blanc", nom) << morse << u"ab"_s << u"ab"_s;
        }
    }
    void blancsEnvoyes() {
        QFETCH(bool, morse);
        QFETCH(QString, texte);
        QFETCH(QString, recu);
        for (const double f : {1.0, 0.25}) {
            const auto lumiere =
                morse ? lumieremorserapide(texte, f) : lumierebinairerapide(texte, f);
            Echantillonnage e;
            const SourceEchantillons s = depuisfichier(echantillonne(lumiere, e));
            QCOMPARE(messagerecurapide(s, morse, Regles::Corrigees), recu);
            // The darkness the samples end in shows as no blank in the trace either.
            const std::vector<RunMesure> runs = morse ? decodemorserapide(s).runs
                                                      : decodebinairerapide(s).runs;
            QVERIFY(!runs.back().allume);
            QCOMPARE(runs.back().code, QString());
        }
    }

    // Without a preamble that reads as the letter c, the mended rules read the message as
    // designed (a dot within pmin ± 2, a dash within pmax ± 4); the darkness the samples end
    // in gives them no blank either, but the one that closes the last letter.
    void blancsDeFinSansPreambuleEnC() {
        Echantillons e;
        constexpr int u = 38;
        e.eteint(100).allume(3 * u).eteint(u).allume(3 * u).eteint(u);
        e.allume(3 * u).eteint(u).allume(u).eteint(3 * u);
        e.allume(u).eteint(u).allume(3 * u).eteint(u).eteint(3 * u).eteint(60 * u);
        for (const bool fichier : {false, true}) {
            const SourceEchantillons s = fichier ? e.fichier() : e.telechargement();
            const DecodageMorseRapide m = decodemorserapide(s, Regles::Corrigees);
            QCOMPARE(m.unite, 0.0);
            QCOMPARE(m.codemorse, u".- "_s);
            QCOMPARE(messagerecurapide(s, true, Regles::Corrigees), u"a"_s);
            QVERIFY(decodemorserapide(s, Regles::Conception).codemorse.endsWith(u"   "_s));
        }
    }
};

QTEST_APPLESS_MAIN(TestParasites)
#include "tst_parasites.moc"
