#include "link/plateformevirtuelle.h"
#include "link/station.h"
#include "link/tempsreel.h"
#include "recording/decodefichierbinrap.h"
#include "recording/fichierenregistrement.h"
#include "tools/dialoguesscriptes.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// Notices of the program at the edge of their conditions, where no other unit holds them:
// one case where each must appear, the nearest where it must not.

namespace {

constexpr int sombre = 3;
constexpr int eclaire = 153;
constexpr int pas = 20; // samples a bit

// A fast binary recording of "a" and "b" (frames 101100001 and 101100010) as the emitter
// lays it out, the samples ending `apres` samples after the last frame's ninth bit.
std::vector<QByteArray> enregistrementbinaire(int apres) {
    std::vector<int> v(1, 0);
    const auto pose = [&](int n, int niveau) { v.insert(v.end(), std::size_t(n), niveau); };
    pose(100, sombre);
    for (int k = 0; k < 3; ++k) {
        pose(pas, eclaire);
        pose(k < 2 ? pas : 2 * pas, sombre);
    }
    int fin = 0;
    for (const char* trame : {"101100001", "101100010"}) {
        for (const char* b = trame; *b; ++b)
            pose(pas, *b == '1' ? eclaire : sombre);
        fin = int(v.size());
        pose(2 * pas, sombre);
    }
    v.resize(std::size_t(fin + apres), sombre);
    std::vector<QByteArray> tab;
    for (const int x : v)
        tab.push_back(' ' + QByteArray::number(x));
    return tab;
}

} // namespace

class TestAvisAuxBords : public QObject {
    Q_OBJECT
private slots:
    // A decoded file whose darkness after the last frame is shorter than the gap after which
    // another character would have shown (4.5 bits, 90 samples, as the reading of a file
    // counts them: the edge falls between 91 and 92 samples written after the ninth bit)
    // says that the message may have been cut; one sample more, and it says nothing.
    void fichierPeutEtreIncomplet_data() {
        QTest::addColumn<int>("apres");
        QTest::addColumn<bool>("avis");
        QTest::newRow("obscurité juste sous l'écart") << 91 << true;
        QTest::newRow("obscurité de l'écart") << 92 << false;
    }
    void fichierPeutEtreIncomplet() {
        QFETCH(int, apres);
        QFETCH(bool, avis);
        QTemporaryDir dossier;
        const std::vector<QByteArray> tab = enregistrementbinaire(apres);
        const QString chemin = dossier.filePath(u"a.rrr"_s);
        QString erreur;
        QVERIFY(ecritenregistrement(chemin, tab, int(tab.size()) - 1, &erreur));
        PlateformeVirtuelle plateforme;
        DialoguesScriptes dialogues;
        Station s(plateforme, dialogues, [](int) { return OuverturePort{}; });
        s.etat.cheminfichier = chemin;
        QVERIFY2(decode_fichierbinrap(s, &erreur), qPrintable(erreur));
        const QStringList lignes = s.ecran->texte(Ecran::Controle::Texte2).split(u'\n');
        QCOMPARE(lignes.first(), u"ab"_s);
        QCOMPARE(lignes.size(), avis ? 2 : 1);
        if (avis)
            QVERIFY2(lignes.last().startsWith(u"Réception peut-être incomplète : le message a pu "
                                              "durer plus longtemps que l'enregistrement"_s),
                     qPrintable(lignes.last()));
    }

    // The status bar's note: none while real-time priority is granted; when it is refused,
    // the reason and how to grant it.
    void notePriorite_data() {
        QTest::addColumn<bool>("accordee");
        QTest::newRow("accordée") << true;
        QTest::newRow("refusée") << false;
    }
    void notePriorite() {
        QFETCH(bool, accordee);
        PrioriteTempsReel p;
        p.accordee = accordee;
        p.moyen = u"SCHED_FIFO 10"_s;
        if (!accordee)
            p.raison = u"le système la refuse à cet utilisateur"_s;
        const QString note = notepriorite(p);
#ifdef Q_OS_LINUX
        QCOMPARE(note.isEmpty(), accordee);
        if (!accordee) {
            QVERIFY(note.startsWith(u"Pas de priorité temps réel : le système la refuse à cet "
                                    "utilisateur. L'émission et la réception peuvent souffrir"_s));
            QVERIFY(note.contains(u"sudo apt install rtkit"_s));
        }
#else
        QVERIFY(note.isEmpty());
#endif
    }
};

QTEST_GUILESS_MAIN(TestAvisAuxBords)
#include "tst_avisauxbords.moc"
