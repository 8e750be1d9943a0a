#include "codes/predefinis.h"
#include "recording/copiecontrole.h"
#include "recording/decodagebinairerapide.h"
#include "recording/decodagefichier.h"
#include "recording/decodagemorserapide.h"
#include "recording/fichierenregistrement.h"
#include "recording/lectureenregistrement.h"
#include "tools/essailiaison.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

using namespace Qt::StringLiterals;

// Recording files decoded again: the decoders of the fast codings with a file's rules,
// on files laid out sample by sample, on recordings saved after exchanges on the virtual
// bench, on the reference recordings made apart from the program, and on random bytes.

namespace {

constexpr int sombre = 2;
constexpr int eclaire = 150;

// Sample values laid out run by run from index 0.
struct Lumiere {
    std::vector<int> valeurs;
    Lumiere& pose(int n, int niveau) {
        valeurs.insert(valeurs.end(), size_t(n), niveau);
        return *this;
    }
    Lumiere& allume(int n, int niveau = eclaire) { return pose(n, niveau); }
    Lumiere& eteint(int n, int niveau = sombre) { return pose(n, niveau); }
};

// The bytes of a recording holding these samples, in the save layout.
QByteArray fichier(const std::vector<int>& valeurs) {
    std::vector<QByteArray> tab;
    for (int v : valeurs)
        tab.push_back(' ' + QByteArray::number(v));
    return contenuenregistrement(tab, int(valeurs.size()) - 1);
}

MesuresFichier lis(const QByteArray& octets) {
    QBuffer tampon;
    tampon.setData(octets);
    tampon.open(QIODevice::ReadOnly);
    LectureEnregistrement enregistrement;
    enregistrement.ouvre(tampon);
    return litmesures(enregistrement);
}

MesuresFichier lisvaleurs(const std::vector<int>& valeurs) {
    return lis(fichier(valeurs));
}

QString sansblancs(const QString& t) {
    return t.trimmed();
}

// The preamble of lit runs 30, 10, 31 and 9 samples, 10 apart, after 100 dark samples.
Lumiere preambule() {
    Lumiere l;
    l.eteint(100).allume(30).eteint(10).allume(10).eteint(10).allume(31).eteint(10).allume(9);
    return l;
}

QString dossierreferences() {
    return QStringLiteral(LUMICOM_SOURCE_DIR "/tests/enregistrements/");
}

} // namespace

class TestDecodageFichier : public QObject {
    Q_OBJECT

    QTemporaryDir dossier_;

private slots:
    void morsePreambuleEtFenetres() {
        Lumiere l = preambule();
        l.eteint(20).allume(9).eteint(10).allume(31).eteint(43).allume(7).eteint(10);
        l.allume(20).eteint(10).allume(9).eteint(10);
        const MessageMorseRapide d = decodefichiermorse(lisvaleurs(l.valeurs), Regles::Conception);
        const DecodageMorseRapide& m = d.mesure;
        QCOMPARE(m.pmax, 31);
        QCOMPARE(m.pmin, 9);
        QCOMPARE(m.seuilinitial, sombre + 7);
        QCOMPARE(m.seuil, (sombre + eclaire) / 2);
        // A dot, a dash, a blank for 43 dark samples, a dot; the run of 20 ends the scan
        // and the dot after it is never read.
        QCOMPARE(m.codemorse, u".- ."_s);
        QVERIFY(m.arretsurrun);
        QCOMPARE(m.runs.back().longueur, 20);

        // The live reception passes over that run and goes on.
        std::vector<QByteArray> tab(12802);
        for (size_t k = 0; k < l.valeurs.size(); ++k)
            tab[k] = ' ' + QByteArray::number(l.valeurs[k]);
        const double tensionseuil = sombre * 5.0 / 255 + 0.5;
        const DecodageMorseRapide direct =
            decodemorserapide(tab, 6400, tensionseuil, Regles::Conception);
        QVERIFY(direct.codemorse.startsWith(u".- .."_s));
        QVERIFY(!direct.arretsurrun);

        // The mended rules read the run of 20 (two units, between a dot and a dash) as an
        // element, and the scan goes on to the dot after it. The file ends one unit after
        // it: the letter is cut, shown as unknown.
        const MessageMorseRapide corrige = decodefichiermorse(lisvaleurs(l.valeurs));
        QCOMPARE(corrige.mesure.codemorse.size(), 8);
        QVERIFY(corrige.mesure.codemorse.startsWith(u".- ."_s));
        QVERIFY(corrige.mesure.codemorse.endsWith(u".? "_s));
        QVERIFY(corrige.mesure.lettrecoupee);
        QVERIFY(!corrige.mesure.arretsurrun);
    }

    // Index 1 gives the threshold and is never examined; the first pulse may begin at
    // index 2 and is measured whole.
    void premiereMesureExaminee() {
        Lumiere l;
        l.eteint(2).allume(30).eteint(10).allume(10).eteint(10).allume(31).eteint(10);
        l.allume(9).eteint(200);
        const DecodageMorseRapide m =
            decodefichiermorse(lisvaleurs(l.valeurs), Regles::Conception).mesure;
        QCOMPARE(m.preambule.size(), size_t(4));
        QCOMPARE(m.preambule[0].debut, 2);
        QCOMPARE(m.preambule[0].longueur, 30);
        QCOMPARE(m.pmax, 31);

        Lumiere b;
        b.eteint(2).allume(54).eteint(54).allume(54).eteint(54).allume(54).eteint(300);
        const DecodageBinaireRapide r =
            decodefichierbinaire(lisvaleurs(b.valeurs), Regles::Conception).mesure;
        QCOMPARE(r.preambule.front().debut, 2);
        QCOMPARE(r.hmax, 54);
        QCOMPARE(r.bmin, 54);
    }

    // The first threshold is the sample of index 1 plus 7 units: a light of 18 units is
    // not seen above a dark line of 12, one of 20 is.
    void seuilDeLaLigneDIndice1() {
        for (const int niveau : {18, 20}) {
            Lumiere l;
            l.eteint(5, 12).allume(30, niveau).eteint(10, 12).allume(10, niveau).eteint(10, 12);
            l.allume(31, niveau).eteint(10, 12).allume(9, niveau).eteint(100, 12);
            const DecodageMorseRapide m =
                decodefichiermorse(lisvaleurs(l.valeurs), Regles::Conception).mesure;
            QCOMPARE(m.seuilinitial, 19);
            QCOMPARE(m.preambule.size(), niveau > 19 ? size_t(4) : size_t(0));
            const DecodageBinaireRapide b =
                decodefichierbinaire(lisvaleurs(l.valeurs), Regles::Conception).mesure;
            QCOMPARE(b.seuilinitial, 19);
        }
        // A threshold line without a value gives 7.
        QByteArray sansvaleur = fichier({2, 0, 2});
        sansvaleur.replace("\r\n  1  0 \r\n", "\r\n  1\r\n");
        QCOMPARE(decodefichiermorse(lis(sansvaleur), Regles::Conception).mesure.seuilinitial, 7);
    }

    void fichiersSansMessage_data() {
        QTest::addColumn<QByteArray>("octets");
        QTest::newRow("vide") << QByteArray();
        QTest::newRow("plus court que l'en-tête") << enteteenregistrement().left(200);
        QTest::newRow("en-tête seul") << enteteenregistrement();
        QTest::newRow("une mesure") << fichier({2});
        QTest::newRow("deux mesures") << fichier({2, 2});
        QTest::newRow("sans préambule") << fichier(std::vector<int>(6401, sombre));
        QTest::newRow("tout éclairé") << fichier(std::vector<int>(6401, eclaire));
        Lumiere coupe = preambule();
        QTest::newRow("fin dans le préambule")
            << fichier(std::vector<int>(coupe.valeurs.begin(), coupe.valeurs.end() - 30));
    }
    void fichiersSansMessage() {
        QFETCH(QByteArray, octets);
        const MesuresFichier mesures = lis(octets);
        QCOMPARE(decodefichiermorse(mesures).messagerecu, QString());
        QCOMPARE(decodefichierbinaire(mesures).messagerecu, QString());
        QCOMPARE(decodefichierbinaire(mesures).mesure.codebinaire, QString());
    }

    void fichierTropLong() {
        QByteArray octets = enteteenregistrement();
        for (int k = 0; k < maxmesuresfichier + 10; ++k)
            octets += "  " + QByteArray::number(k) + "  2 \r\n";
        const MesuresFichier mesures = lis(octets);
        QVERIFY(mesures.tronque);
        QCOMPARE(int(mesures.valeurs.size()), maxmesuresfichier);
        QVERIFY(!lis(fichier(std::vector<int>(6401, 2))).tronque);
    }

    // What tells a recording from another file: text, its 35 header lines whatever they
    // hold, then at least one sample line with a value.
    void naturesDesFichiers_data() {
        QTest::addColumn<QByteArray>("octets");
        QTest::addColumn<int>("nature");
        const QByteArray entete = enteteenregistrement();
        const int enregistrement = int(NatureFichier::enregistrement);
        const int tropcourt = int(NatureFichier::tropcourt);
        const int sansvaleur = int(NatureFichier::sansvaleur);
        const int binaire = int(NatureFichier::binaire);
        QByteArray vides;
        for (int k = 0; k <= 6400; ++k)
            vides += ligneenregistrement(k, {}) + "\r\n";
        QTest::newRow("vide") << QByteArray() << tropcourt;
        QTest::newRow("une ligne") << QByteArray("poste-12\n") << tropcourt;
        QTest::newRow("34 lignes") << entete.left(entete.size() - 3) << tropcourt;
        QTest::newRow("en-tête seul") << entete << tropcourt;
        QTest::newRow("en-tête et une mesure") << entete + "  0  2 \r\n" << enregistrement;
        QTest::newRow("en-tête et une mesure sans fin de ligne")
            << entete + "  0  2" << enregistrement;
        QTest::newRow("en-tête et une ligne vide") << entete + "\r\n" << sansvaleur;
        QTest::newRow("en-tête et une mesure sans valeur") << entete + "  0  \r\n" << sansvaleur;
        QTest::newRow("mesures toutes sans valeur") << entete + vides << sansvaleur;
        QTest::newRow("une valeur, à la dernière ligne") << entete + vides + "  6401  5 \r\n"
                                                         << enregistrement;
        QTest::newRow("copie de contrôle") << entete + "  0 2 \r\n" << enregistrement;
        QTest::newRow("texte de 60 lignes")
            << QByteArray("du texte 12 3\n").repeated(60) << sansvaleur;
        QTest::newRow("en-tête d'un autre programme")
            << QByteArray("autre\r\n").repeated(35) + "  0  2 \r\n"
            << enregistrement;
        QTest::newRow("fins de ligne LF") << QByteArray(entete).replace("\r\n", "\n") + "  0  2 \n"
                                          << enregistrement;
        QTest::newRow("fins de ligne CR")
            << QByteArray(entete).replace("\r\n", "\r") + "  0  2 \r" << enregistrement;
        QTest::newRow("enregistrement de 6400 mesures")
            << fichier(std::vector<int>(6401, 2)) << enregistrement;
        // Every byte below 32 in a sample line: the ones a text may hold pass.
        for (int octet = 0; octet < 0x20; ++octet) {
            const bool texte = (octet >= 0x09 && octet <= 0x0D) || octet == 0x1A;
            QTest::addRow("octet %02x", octet)
                << entete + "  0  2 \r\n  1 " + char(octet) + " 3 \r\n  2  4 \r\n"
                << (texte ? enregistrement : binaire);
        }
        for (const int octet : {0x7F, 0x80, 0xFB, 0xFF})
            QTest::addRow("octet %02x", octet)
                << entete + "  0  2 \r\n  1 " + char(octet) + " 3 \r\n"
                << enregistrement;
        QTest::newRow("octet nul dans l'en-tête")
            << QByteArray(entete).replace("RAD", QByteArray("R\0D", 3)) + "  0  2 \r\n"
            << binaire;
    }
    void naturesDesFichiers() {
        QFETCH(QByteArray, octets);
        QFETCH(int, nature);
        const MesuresFichier mesures = lis(octets);
        QCOMPARE(int(naturefichier(mesures)), nature);

        const QString chemin = dossier_.filePath(u"nature.rrr"_s);
        QFile f(chemin);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(octets);
        f.close();
        MesuresFichier lues;
        lues.valeurs = {99};
        QString erreur;
        const bool accepte = litmesuresfichier(chemin, lues, &erreur);
        QCOMPARE(accepte, nature == int(NatureFichier::enregistrement));
        QCOMPARE(erreur, avispasunenregistrement(chemin, mesures));
        QCOMPARE(erreur.isEmpty(), accepte);
        if (accepte)
            QCOMPARE(lues.valeurs, mesures.valeurs);
        else
            QCOMPARE(lues.valeurs, std::vector<int>{99}); // left as it was
    }

    // The message names the file and says why, in words.
    void avisPasUnEnregistrement_data() {
        QTest::addColumn<QByteArray>("octets");
        QTest::addColumn<QString>("raison");
        const QByteArray entete = enteteenregistrement();
        const QString court = u"%1, quand un enregistrement a 35 lignes d'en-tête "
                              "puis une ligne par mesure"_s;
        QTest::newRow("vide") << QByteArray() << u"il est vide"_s;
        QTest::newRow("une ligne") << QByteArray("x") << court.arg(u"il n'a qu'une ligne"_s);
        QTest::newRow("deux lignes") << QByteArray("x\ny\n") << court.arg(u"il n'a que 2 lignes"_s);
        QTest::newRow("en-tête seul") << entete << court.arg(u"il n'a que 35 lignes"_s);
        QTest::newRow("sans valeur") << entete + "  0  \r\n"
                                     << u"aucune de ses lignes après les 35 lignes d'en-tête "
                                        "n'est une mesure (un indice, un blanc, une valeur)"_s;
        QTest::newRow("binaire") << QByteArray("\x7F"
                                               "ELF\2\1\1\0",
                                               8)
                                 << u"ce n'est pas un fichier texte (une image, un programme, "
                                    "une archive...)"_s;
    }
    void avisPasUnEnregistrement() {
        QFETCH(QByteArray, octets);
        QFETCH(QString, raison);
        QCOMPARE(avispasunenregistrement(u"/tmp/x.rrr"_s, lis(octets)),
                 u"Le fichier « %1 » n'est pas un enregistrement : %2."_s.arg(
                     QDir::toNativeSeparators(u"/tmp/x.rrr"_s), raison));
    }

    // A sample line with its value.
    void lignesAvecValeur_data() {
        QTest::addColumn<QByteArray>("ligne");
        QTest::addColumn<bool>("valeur");
        QTest::newRow("enregistrement") << QByteArray("  0  37 ") << true;
        QTest::newRow("copie de contrôle") << QByteArray("  0 37 ") << true;
        QTest::newRow("sans blancs devant") << QByteArray("0 7") << true;
        QTest::newRow("tabulation avant la valeur") << QByteArray(" 1 \t9") << true;
        QTest::newRow("signe moins") << QByteArray("  0  -3") << true;
        QTest::newRow("signe plus") << QByteArray("  0  +3") << true;
        QTest::newRow("dernière ligne") << QByteArray("  6400  ") << false;
        QTest::newRow("indice seul") << QByteArray("  12") << false;
        QTest::newRow("vide") << QByteArray() << false;
        QTest::newRow("signe seul") << QByteArray("  0  -") << false;
        QTest::newRow("lettres") << QByteArray("  0  abc") << false;
        QTest::newRow("indice en lettres") << QByteArray("x 3") << false;
        QTest::newRow("indice mêlé de lettres") << QByteArray("1a 3") << false;
        QTest::newRow("tabulation après l'indice") << QByteArray("1\t3") << false;
    }
    void lignesAvecValeur() {
        QFETCH(QByteArray, ligne);
        QFETCH(bool, valeur);
        QCOMPARE(LectureEnregistrement::portevaleur(ligne), valeur);
    }

    // A binary file is refused without being read to its end.
    void binaireArreteLaLecture() {
        QByteArray octets = fichier(std::vector<int>(maxmesuresfichier - 1, 2));
        octets[100] = '\0';
        QBuffer tampon;
        tampon.setData(octets);
        tampon.open(QIODevice::ReadOnly);
        LectureEnregistrement enregistrement;
        enregistrement.ouvre(tampon);
        const MesuresFichier arret = litmesures(enregistrement, EtendueLecture::arretbinaire);
        QVERIFY(arret.binaire);
        QCOMPARE(int(arret.valeurs.size()), 0);
        QCOMPARE(int(lis(octets).valeurs.size()), maxmesuresfichier - 1);
    }

    // A recording saved after a reception on the virtual bench decodes again to the text
    // the reception showed.
    void enregistrementsDesEchanges_data() {
        QTest::addColumn<QString>("codage");
        QTest::addColumn<int>("nbmesures");
        QTest::addColumn<QString>("texte");
        QTest::newRow("morse 6400") << u"mr"_s << 6400 << u"sos 73"_s;
        QTest::newRow("morse 12800") << u"mr"_s << 12800 << u"e1"_s;
        QTest::newRow("binaire 6400") << u"br"_s << 6400 << u"Salut !"_s;
        QTest::newRow("binaire 12800") << u"br"_s << 12800 << u"Bonjour à tous"_s;
    }
    void enregistrementsDesEchanges() {
        QFETCH(QString, codage);
        QFETCH(int, nbmesures);
        QFETCH(QString, texte);
        EssaiLiaison essai;
        essai.codage = codage;
        essai.nbmesures = nbmesures;
        essai.texte = texte;
        const ResultatLiaison r = essaieliaison(essai);
        QCOMPARE(r.receptions, 1);
        QCOMPARE(sansblancs(r.messagerecu), sansblancs(developpecoderapide(texte)));

        const QString chemin = dossier_.filePath(codage + QString::number(nbmesures) + ".rrr");
        QString erreur;
        QVERIFY2(ecritenregistrement(chemin, r.tabmesures, r.nbmesures, &erreur),
                 qPrintable(erreur));
        MesuresFichier mesures;
        QVERIFY(litmesuresfichier(chemin, mesures, &erreur));
        QCOMPARE(int(mesures.valeurs.size()), nbmesures + 1);
        const QString relu = codage == u"mr" ? decodefichiermorse(mesures).messagerecu
                                             : decodefichierbinaire(mesures).messagerecu;
        QCOMPARE(sansblancs(relu), sansblancs(r.messagerecu));
        if (codage == u"mr") {
            // The control copy written during the download decodes like the recording.
            MesuresFichier copie;
            QVERIFY(litmesuresfichier(chemincopiecontrole(), copie, &erreur));
            QCOMPARE(decodefichiermorse(copie).mesure.codemorse.trimmed(),
                     decodefichiermorse(mesures).mesure.codemorse.trimmed());
        }
    }

    void enregistrementsDeReference_data() {
        QTest::addColumn<QString>("nom");
        QTest::addColumn<QString>("attendu");
        QTest::addColumn<bool>("concu"); // the designed decoders read it too
        QTest::newRow("morse-bonjour") << u"morse-bonjour.rrr"_s << u"bonjour"_s << true;
        QTest::newRow("morse-e2") << u"morse-e2.rrr"_s << phrasecode(2) << true;
        QTest::newRow("binaire-salut") << u"binaire-salut.rrr"_s << u"Salut !"_s << true;
        QTest::newRow("binaire-e3") << u"binaire-e3.rrr"_s << phrasecode(3) << true;
        QTest::newRow("morse-73-controle") << u"morse-73-controle.rrr"_s << u"73 de lumi"_s << true;
        // Made by a busy machine: the light slips by up to 9 samples, a few runs more.
        QTest::newRow("binaire-salut-charge")
            << u"binaire-salut-charge.rrr"_s << u"Salut !"_s << false;
        QTest::newRow("morse-sos73-charge") << u"morse-sos73-charge.rrr"_s << u"sos 73"_s << false;
    }
    // In the three sets of rules: as designed, mended (the program's), robust.
    void enregistrementsDeReference() {
        QFETCH(QString, nom);
        QFETCH(QString, attendu);
        QFETCH(bool, concu);
        MesuresFichier mesures;
        QString erreur;
        QVERIFY2(litmesuresfichier(dossierreferences() + nom, mesures, &erreur),
                 qPrintable(erreur));
        for (const Regles regles : {Regles::Conception, Regles::Corrigees, Regles::Robustes}) {
            const QString texte = nom.startsWith(u"morse")
                                      ? decodefichiermorse(mesures, regles).messagerecu
                                      : decodefichierbinaire(mesures, regles).messagerecu;
            if (regles == Regles::Conception && !concu)
                QVERIFY(sansblancs(texte) != sansblancs(attendu));
            else
                QCOMPARE(sansblancs(texte), sansblancs(attendu));
        }
    }

    // Random files, some laid out as recordings of random light, some random bytes: every
    // one is read to its end and decoded without a fault, and what the decoders report
    // stays within the samples.
    void fichiersAuHasard() {
        QRandomGenerator hasard(20261209);
#ifdef LUMICOM_SANITIZE
        const int nombre = 1500;
#else
        const int nombre = 30000;
#endif
        const QByteArray entete = enteteenregistrement();
        const QByteArray finsdeligne[] = {"\r\n", "\n", "\r", "\n\r"};
        for (int n = 0; n < nombre; ++n) {
            QByteArray octets;
            const int sorte = int(hasard.bounded(4));
            if (sorte < 3) {
                // Light in runs of random lengths and levels, around a preamble's scale.
                if (hasard.bounded(8) != 0)
                    octets = entete;
                const QByteArray& fin = finsdeligne[hasard.bounded(4)];
                const int unite = 1 + int(hasard.bounded(12));
                int k = 0;
                char nombres[32];
                for (int run = int(hasard.bounded(24)); run > 0; --run) {
                    const bool allume = run % 2 == 0;
                    const int niveau =
                        allume ? int(hasard.bounded(300)) - 20 : int(hasard.bounded(40)) - 10;
                    const int longueur =
                        unite * (1 + int(hasard.bounded(4))) + int(hasard.bounded(5)) - 2;
                    for (int j = 0; j < longueur; ++j, ++k) {
                        const int taille =
                            std::snprintf(nombres, sizeof nombres, "  %d  %d ", k, niveau);
                        octets.append(nombres, taille).append(fin);
                    }
                }
                if (sorte == 2) {
                    // Damaged: some bytes replaced by random ones.
                    for (int d = int(hasard.bounded(20)); d > 0 && !octets.isEmpty(); --d)
                        octets[qsizetype(hasard.bounded(quint32(octets.size())))] =
                            char(hasard.bounded(256));
                }
            } else {
                std::vector<quint32> brut(hasard.bounded(400u));
                hasard.fillRange(brut.data(), brut.size());
                octets = QByteArray(reinterpret_cast<const char*>(brut.data()),
                                    qsizetype(brut.size() * sizeof(quint32)));
                if (hasard.bounded(2) == 0)
                    octets.prepend(entete);
            }
            const MesuresFichier mesures = lis(octets);
            QVERIFY(int(mesures.valeurs.size()) <= maxmesuresfichier);
            const int fin = int(mesures.valeurs.size());
            const MessageMorseRapide m = decodefichiermorse(mesures);
            for (const QChar c : m.mesure.codemorse)
                QVERIFY(c == u'.' || c == u'-' || c == u' ' || c == elementinconnu);
            for (const RunMesure& run : m.mesure.runs)
                QVERIFY(run.debut >= 0 && run.longueur >= 0 && run.debut + run.longueur <= fin);
            const MessageBinaireRapide b = decodefichierbinaire(mesures);
            for (const QChar c : b.mesure.codebinaire)
                QVERIFY(c == u'0' || c == u'1' || c == u' ' || c == elementinconnu);
            for (const CaractereDecode& c : b.mesure.caracteres)
                QVERIFY(c.debut >= 0 && c.debut <= c.fin && c.fin <= fin);
            QVERIFY(b.messagerecu.size() <= b.mesure.codebinaire.size() ||
                    b.messagerecu.startsWith(u' '));
        }
    }
};

int main(int argc, char* argv[]) {
    // A data folder of this program's own (the control copy goes there), so that tests run
    // side by side never share a file.
    QTemporaryDir donnees;
    qputenv("XDG_DATA_HOME", QFile::encodeName(donnees.path()));
    QApplication application(argc, argv);
    application.setAttribute(Qt::AA_Use96Dpi, true);
    TestDecodageFichier essais;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&essais, argc, argv);
}
#include "tst_decodagefichier.moc"
