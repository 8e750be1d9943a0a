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
    // the first sample after it.
    void binaire_data() {
        QTest::addColumn<Regles>("regles");
        QTest::addColumn<int>("apres");
        QTest::addColumn<bool>("allumeealafin");
        QTest::addColumn<Coupure>("attendue");
        QTest::newRow("conçu, neuvième bit commencé")
            << Regles::Conception << -3 << false << Coupure::oui;
        QTest::newRow("conçu, neuvième bit juste assez long")
            << Regles::Conception << -2 << false << Coupure::peutetre;
        QTest::newRow("corrigé, neuvième bit entier")
            << Regles::Corrigees << 0 << false << Coupure::oui;
        QTest::newRow("corrigé, un échantillon après")
            << Regles::Corrigees << 1 << false << Coupure::peutetre;
        for (const Regles regles : {Regles::Conception, Regles::Corrigees}) {
            const char* nom = regles == Regles::Conception ? "conçu" : "corrigé";
            const auto ligne = [&](const char* cas, int apres, bool allumee, Coupure c) {
                QTest::addRow("%s, %s", nom, cas) << regles << apres << allumee << c;
            };
            ligne("trame ouverte", -5 * pas, false, Coupure::oui);
            ligne("allumée au dernier échantillon", 300, true, Coupure::oui);
            ligne("obscurité d'un bit", pas, false, Coupure::peutetre);
            ligne("obscurité juste sous l'écart", ecartbinaire - 1, false, Coupure::peutetre);
            ligne("obscurité de l'écart", ecartbinaire, false, Coupure::non);
            ligne("obscurité juste au-delà", ecartbinaire + 1, false, Coupure::non);
            // The half second before the end (385 samples) no longer tells.
            ligne("lumière juste dans la dernière demi-seconde", 384, false, Coupure::non);
            ligne("lumière juste avant la dernière demi-seconde", 386, false, Coupure::non);
            ligne("fin pendant un long blanc", 2000, false, Coupure::non);
        }
    }
    void binaire() {
        QFETCH(Regles, regles);
        QFETCH(int, apres);
        QFETCH(bool, allumeealafin);
        QFETCH(Coupure, attendue);
        Enregistrement e;
        const int apresderniere = posebinaire(e, deuxtrames);
        const int fin = apresderniere + apres;
        if (allumeealafin) {
            e.position = fin;
            e.allume(1);
        }
        const DecodageBinaireRapide r = decodebinairerapide(e.source(fin), regles);
        QCOMPARE(r.coupe, attendue);
        QCOMPARE(r.caracteres.size(),
                 std::size_t(attendue == Coupure::oui && !allumeealafin ? 1 : 2));
    }

    // `apres`: samples from the end of the last element's light to the last sample. The
    // designed reading closes the letter after 1.5 × 3 dots − 4 of darkness, the mended one
    // after a dot and a blank of three.
    void morse_data() {
        QTest::addColumn<Regles>("regles");
        QTest::addColumn<int>("apres");
        QTest::addColumn<bool>("allumeealafin");
        QTest::addColumn<Coupure>("attendue");
        QTest::newRow("conçu, lettre ouverte juste avant sa fin")
            << Regles::Conception << fermelettre - 1 << false << Coupure::oui;
        QTest::newRow("conçu, lettre fermée")
            << Regles::Conception << fermelettre << false << Coupure::peutetre;
        QTest::newRow("corrigé, lettre ouverte juste avant sa fin")
            << Regles::Corrigees << 4 * pas - 1 << false << Coupure::oui;
        QTest::newRow("corrigé, lettre fermée")
            << Regles::Corrigees << 4 * pas << false << Coupure::peutetre;
        for (const Regles regles : {Regles::Conception, Regles::Corrigees}) {
            const char* nom = regles == Regles::Conception ? "conçu" : "corrigé";
            const auto ligne = [&](const char* cas, int apres, bool allumee, Coupure c) {
                QTest::addRow("%s, %s", nom, cas) << regles << apres << allumee << c;
            };
            ligne("lettre ouverte", pas, false, Coupure::oui);
            ligne("allumée au dernier échantillon", 600, true, Coupure::oui);
            ligne("obscurité juste sous l'écart", ecartmorse - 1, false, Coupure::peutetre);
            ligne("obscurité de l'écart", ecartmorse, false, Coupure::non);
            ligne("obscurité juste au-delà", ecartmorse + 1, false, Coupure::non);
            ligne("lumière juste dans la dernière demi-seconde", 384, false, Coupure::non);
            ligne("lumière juste avant la dernière demi-seconde", 386, false, Coupure::non);
            ligne("fin pendant un long blanc", 2000, false, Coupure::non);
        }
    }
    void morse() {
        QFETCH(Regles, regles);
        QFETCH(int, apres);
        QFETCH(bool, allumeealafin);
        QFETCH(Coupure, attendue);
        Enregistrement e;
        posemorse(e, u"... ---"_s);
        const int fin = e.apreslumiere + apres;
        if (allumeealafin) {
            e.position = fin;
            e.allume(1);
        }
        const DecodageMorseRapide r = decodemorserapide(e.source(fin), regles);
        QCOMPARE(r.coupe, attendue);
        QVERIFY(r.codemorse.startsWith(u"... ---"_s));
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
