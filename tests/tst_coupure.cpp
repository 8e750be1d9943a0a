#include "recording/decodagebinairerapide.h"
#include "recording/decodagemorserapide.h"
#include "recording/messagerapide.h"
#include "recording/sourceechantillons.h"

#include <QTest>

using namespace Qt::StringLiterals;

// Whether a fast recording cut its message: the decoders' judgement at the end of the
// samples (a frame or a letter left open, the light on at the last sample, or too little
// darkness after the last character to know it was the last), and the notice it gives.

Q_DECLARE_METATYPE(Coupure)
Q_DECLARE_METATYPE(Regles)

namespace {

constexpr int sombre = 3;
constexpr int eclaire = 153;
const double tensionseuil = sombre * 5.0 / 255 + 0.5;
constexpr int pas = 20; // samples a bit (binary) or a dot (Morse)

// A download laid out run by run from index 1; the recording in force ends at `fin`.
struct Enregistrement {
    std::vector<int> valeurs = std::vector<int>(12802, 0);
    int position = 1;
    int apreslumiere = 0; // index after the last lit run

    Enregistrement& pose(int n, int niveau) {
        for (int k = 0; k < n && position < int(valeurs.size()); ++k)
            valeurs[std::size_t(position++)] = niveau;
        return *this;
    }
    Enregistrement& allume(int n) {
        pose(n, eclaire);
        apreslumiere = position;
        return *this;
    }
    Enregistrement& eteint(int n) { return pose(n, sombre); }
    // The samples up to `fin`, the rest of the table dark.
    SourceEchantillons source(int fin) {
        SourceEchantillons s;
        s.valeurs = valeurs;
        for (std::size_t k = std::size_t(std::max(position, 1)); k < s.valeurs.size(); ++k)
            s.valeurs[k] = sombre;
        s.nbmesures = fin;
        s.tensionseuil = tensionseuil;
        return s;
    }
};

// The fast binary emitter's preamble and the frames of `bits` (nine bits each, a blank
// two bits of darkness), a stop interval after each frame; returns the index after the
// last frame's ninth bit.
int posebinaire(Enregistrement& e, const QString& bits) {
    e.eteint(100).allume(pas).eteint(pas).allume(pas).eteint(pas).allume(pas).eteint(2 * pas);
    int n = 0;
    int apresderniere = e.position;
    for (const QChar c : bits) {
        if (c == u' ') {
            e.eteint(2 * pas);
            continue;
        }
        c == u'1' ? e.allume(pas) : e.eteint(pas);
        if (++n % 9 == 0) {
            apresderniere = e.position;
            e.eteint(2 * pas);
        }
    }
    return apresderniere;
}

// The fast Morse emitter's preamble (the letter c) and the elements of `code`, each
// followed by a dot of darkness, a blank three dots of darkness.
void posemorse(Enregistrement& e, const QString& code) {
    e.eteint(100).allume(3 * pas).eteint(pas).allume(pas).eteint(pas);
    e.allume(3 * pas).eteint(pas).allume(pas).eteint(3 * pas);
    for (const QChar c : code) {
        if (c == u'.')
            e.allume(pas);
        else if (c == u'-')
            e.allume(3 * pas);
        else
            e.eteint(3 * pas);
        e.eteint(pas);
    }
}

// "a" and "b" (frames 101100001 and 101100010): the second ends with a zero.
const QString deuxtrames = u"101100001 101100010"_s;
// The darkness after a last frame that proves it was the last: 4.5 bits.
constexpr int ecartbinaire = 90;
// After a last Morse element: 9.5 dots; before 1.5 × 3 dots − 4 the letter is open.
constexpr int ecartmorse = 190;
constexpr int fermelettre = 86;

} // namespace

class TestCoupure : public QObject {
    Q_OBJECT
private slots:
    // `apres`: samples from the end of the last frame's ninth bit (a zero) to the last
    // sample of the recording in force; negative, inside the frame. The designed reading
    // closes a frame ending with zeros when its last bit is nearly whole, the mended one at
    // the first sample after it, and shows a frame it ends in as unknown. `eclair`: samples
    // of light at the very end; the mended rules take fewer than a quarter of a bit (5) for
    // a glitch.
    void binaire_data() {
        QTest::addColumn<Regles>("regles");
        QTest::addColumn<int>("apres");
        QTest::addColumn<int>("eclair");
        QTest::addColumn<Coupure>("attendue");
        QTest::addColumn<QString>("caracteres");
        QTest::addColumn<QString>("texte"); // mended rules only
        const QString inconnu(caractereinconnu);
        QTest::newRow("conçu, neuvième bit commencé")
            << Regles::Conception << -3 << 0 << Coupure::oui << u"a"_s << QString();
        QTest::newRow("conçu, neuvième bit juste assez long")
            << Regles::Conception << -2 << 0 << Coupure::peutetre << u"ab"_s << QString();
        QTest::newRow("corrigé, neuvième bit entier")
            << Regles::Corrigees << 0 << 0 << Coupure::oui << u"a"_s + inconnu << u"a "_s + inconnu;
        QTest::newRow("corrigé, un échantillon après")
            << Regles::Corrigees << 1 << 0 << Coupure::peutetre << u"ab"_s << u"a b"_s;
        QTest::newRow("conçu, trame ouverte")
            << Regles::Conception << -5 * pas << 0 << Coupure::oui << u"a"_s << QString();
        QTest::newRow("corrigé, trame ouverte")
            << Regles::Corrigees << -5 * pas << 0 << Coupure::oui << u"a"_s + inconnu
            << u"a "_s + inconnu;
        QTest::newRow("conçu, allumée au dernier échantillon")
            << Regles::Conception << 300 << 1 << Coupure::oui << u"ab"_s << QString();
        // The darkness before the frame cut is 15 bits: six blanks, then the frame.
        QTest::newRow("corrigé, un quart de bit allumé à la fin")
            << Regles::Corrigees << 300 << pas / 4 << Coupure::oui << u"ab"_s + inconnu
            << u"a b      "_s + inconnu;
        QTest::newRow("corrigé, juste moins d'un quart de bit allumé à la fin")
            << Regles::Corrigees << 300 << pas / 4 - 1 << Coupure::non << u"ab"_s << u"a b"_s;
        QTest::newRow("corrigé, éclair au dernier échantillon")
            << Regles::Corrigees << 300 << 1 << Coupure::non << u"ab"_s << u"a b"_s;
        for (const Regles regles : {Regles::Conception, Regles::Corrigees}) {
            const char* nom = regles == Regles::Conception ? "conçu" : "corrigé";
            const auto ligne = [&](const char* cas, int apres, Coupure c) {
                QTest::addRow("%s, %s", nom, cas)
                    << regles << apres << 0 << c << u"ab"_s
                    << (regles == Regles::Corrigees ? u"a b"_s : QString());
            };
            ligne("obscurité d'un bit", pas, Coupure::peutetre);
            ligne("obscurité juste sous l'écart", ecartbinaire - 1, Coupure::peutetre);
            ligne("obscurité de l'écart", ecartbinaire, Coupure::non);
            ligne("obscurité juste au-delà", ecartbinaire + 1, Coupure::non);
            // The half second before the end (385 samples) no longer tells.
            ligne("lumière juste dans la dernière demi-seconde", 384, Coupure::non);
            ligne("lumière juste avant la dernière demi-seconde", 386, Coupure::non);
            ligne("fin pendant un long blanc", 2000, Coupure::non);
        }
    }
    void binaire() {
        QFETCH(Regles, regles);
        QFETCH(int, apres);
        QFETCH(int, eclair);
        QFETCH(Coupure, attendue);
        QFETCH(QString, caracteres);
        QFETCH(QString, texte);
        Enregistrement e;
        const int apresderniere = posebinaire(e, deuxtrames);
        const int fin = apresderniere + apres;
        if (eclair > 0) {
            e.position = fin - eclair + 1;
            e.allume(eclair);
        }
        const DecodageBinaireRapide r = decodebinairerapide(e.source(fin), regles);
        QCOMPARE(r.coupe, attendue);
        QString lus;
        for (const CaractereDecode& c : r.caracteres)
            lus += c.caractere;
        QCOMPARE(lus, caracteres);
        // No character of missing data: a frame cut is unknown, never a NUL or a letter; no
        // blank for the darkness the samples end in.
        if (!texte.isNull())
            QCOMPARE(messagerecurapide(e.source(fin), false, regles), texte);
    }

    // `apres`: samples from the end of the last element's light to the last sample. The
    // designed reading closes the letter after 1.5 × 3 dots − 4 of darkness, the mended one
    // after a dot and a blank of three; a letter it ends in is shown as unknown. `eclair`:
    // samples of light at the very end; the mended rules take fewer than a quarter of a dot
    // (5) for a glitch.
    void morse_data() {
        QTest::addColumn<Regles>("regles");
        QTest::addColumn<int>("apres");
        QTest::addColumn<int>("eclair");
        QTest::addColumn<Coupure>("attendue");
        QTest::addColumn<QString>("texte");
        const QString inconnu(caractereinconnu);
        QTest::newRow("conçu, lettre ouverte juste avant sa fin")
            << Regles::Conception << fermelettre - 1 << 0 << Coupure::oui << QString();
        QTest::newRow("conçu, lettre fermée")
            << Regles::Conception << fermelettre << 0 << Coupure::peutetre << QString();
        QTest::newRow("corrigé, lettre ouverte juste avant sa fin")
            << Regles::Corrigees << 4 * pas - 1 << 0 << Coupure::oui << u"s"_s + inconnu;
        QTest::newRow("corrigé, lettre fermée")
            << Regles::Corrigees << 4 * pas << 0 << Coupure::peutetre << u"so"_s;
        QTest::newRow("conçu, lettre ouverte")
            << Regles::Conception << pas << 0 << Coupure::oui << QString();
        QTest::newRow("corrigé, lettre ouverte")
            << Regles::Corrigees << pas << 0 << Coupure::oui << u"s"_s + inconnu;
        QTest::newRow("conçu, allumée au dernier échantillon")
            << Regles::Conception << 600 << 1 << Coupure::oui << QString();
        // The darkness before the element cut is 30 dots: seven blanks, six of them in the
        // text, then the letter.
        QTest::newRow("corrigé, un quart de point allumé à la fin")
            << Regles::Corrigees << 600 << pas / 4 << Coupure::oui << u"so      "_s + inconnu;
        QTest::newRow("corrigé, juste moins d'un quart de point allumé à la fin")
            << Regles::Corrigees << 600 << pas / 4 - 1 << Coupure::non << u"so"_s;
        QTest::newRow("corrigé, éclair au dernier échantillon")
            << Regles::Corrigees << 600 << 1 << Coupure::non << u"so"_s;
        for (const Regles regles : {Regles::Conception, Regles::Corrigees}) {
            const char* nom = regles == Regles::Conception ? "conçu" : "corrigé";
            const auto ligne = [&](const char* cas, int apres, Coupure c) {
                QTest::addRow("%s, %s", nom, cas)
                    << regles << apres << 0 << c
                    << (regles == Regles::Corrigees ? u"so"_s : QString());
            };
            ligne("obscurité juste sous l'écart", ecartmorse - 1, Coupure::peutetre);
            ligne("obscurité de l'écart", ecartmorse, Coupure::non);
            ligne("obscurité juste au-delà", ecartmorse + 1, Coupure::non);
            ligne("lumière juste dans la dernière demi-seconde", 384, Coupure::non);
            ligne("lumière juste avant la dernière demi-seconde", 386, Coupure::non);
            ligne("fin pendant un long blanc", 2000, Coupure::non);
        }
    }
    void morse() {
        QFETCH(Regles, regles);
        QFETCH(int, apres);
        QFETCH(int, eclair);
        QFETCH(Coupure, attendue);
        QFETCH(QString, texte);
        Enregistrement e;
        posemorse(e, u"... ---"_s);
        const int fin = e.apreslumiere + apres;
        if (eclair > 0) {
            e.position = fin - eclair + 1;
            e.allume(eclair);
        }
        const MessageMorseRapide m = decodemessagemorserapide(e.source(fin), regles);
        QCOMPARE(m.mesure.coupe, attendue);
        QVERIFY(m.mesure.codemorse.startsWith(u"... ---"_s));
        // No letter of missing data: a letter cut is unknown; no blank for the darkness the
        // samples end in.
        if (!texte.isNull())
            QCOMPARE(m.texte.messagerecu, texte);
    }

    // A file's designed scan ends on a lit run that is neither a dot nor a dash: the
    // recording did not end it, and the message is not said cut.
    void morseFichierArreteParUnRun() {
        Enregistrement e;
        posemorse(e, u"..."_s); // a letter open when the run comes
        e.allume(2 * pas).eteint(4000);
        std::vector<int> valeurs(e.valeurs.begin(), e.valeurs.begin() + e.position);
        const DecodageMorseRapide r = decodemorserapide(depuisfichier(valeurs), Regles::Conception);
        QVERIFY(r.arretsurrun);
        QCOMPARE(r.coupe, Coupure::non);
    }

    void avis_data() {
        QTest::addColumn<Coupure>("coupe");
        QTest::addColumn<QString>("debut");
        QTest::newRow("non") << Coupure::non << QString();
        QTest::newRow("peut-être") << Coupure::peutetre << u"Réception peut-être incomplète : "_s;
        QTest::newRow("oui") << Coupure::oui << u"Réception incomplète : "_s;
    }
    void avis() {
        QFETCH(Coupure, coupe);
        QFETCH(QString, debut);
        const QString avis = avismessagecoupe(6400, coupe);
        QCOMPARE(avis.left(debut.size()), debut);
        QCOMPARE(avis.isEmpty(), debut.isEmpty());
        if (!avis.isEmpty())
            QVERIFY(avis.endsWith(u"Choisir « durée maxi du message : 30 s » sur les deux "
                                  u"postes, ou envoyer un texte plus court."_s));
    }
};

QTEST_GUILESS_MAIN(TestCoupure)
#include "tst_coupure.moc"
