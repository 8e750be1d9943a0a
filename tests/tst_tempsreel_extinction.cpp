// The laser goes off when the program ends in the middle of an emission, in real time
// over lumicom-sim: the window closed as a window manager closes it, and lumicom-tool send
// stopped by SIGTERM, Ctrl+C or SIGHUP (its terminal closed). Each time, the photodiode of
// the other station (COM1) reads darkness afterwards.
//
// The window's station runs in a child process (this program, with --poste-fenetre),
// since the end of the program ends its process; the station on its own thread, the window
// on the child's main thread, as in the program.

#include "app/feuillelumivox1.h"
#include "emit/btonenvoiemorse.h"
#include "postefenetrereel.h"
#include "simulateurreel.h"
#include "tools/postereel.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <csignal>
#include <cstring>
#include <memory>

using namespace simulateurreel;

namespace {

// The child: station 2 in slow Morse, as the program runs it: the station on a thread of
// its own, its window on the offscreen platform. It sends a message and, once the start
// mark is over and the laser is on, its window receives the close request a window manager
// sends.
int posteFenetre() {
    PosteReel::Reglages reglages;
    reglages.numport = 2;
    reglages.codage = QStringLiteral("m");
    PosteFenetreReel poste(reglages);
    return poste.execute([&poste](Station& s) {
        s.ecran->saisie(Ecran::Controle::Texte1, QStringLiteral("ooo"));
        QTimer::singleShot(200, [&s] { Btonenvoiemorse_Click(s); });
        // On the station's thread, which alone reads its clock and its laser.
        auto* guetteur = new QTimer;
        const double debut = s.plateforme.horloge();
        QObject::connect(guetteur, &QTimer::timeout, [&s, &poste, debut, guetteur] {
            if (s.plateforme.horloge() - debut > 4.0 &&
                s.liaison.niveauLaser() == Liaison::NiveauLaser::allume) {
                guetteur->stop();
                poste.appelsfenetre().ajoute([&poste] { poste.fenetre().windowHandle()->close(); });
            }
        });
        guetteur->start(5);
    });
}

// The line of the journal that says when COM2's laser last changed, and to what.
QByteArray dernierEtatSB0(const QByteArray& journal) {
    const qsizetype allume = journal.lastIndexOf(" COM2 SB0 1\n");
    const qsizetype eteint = journal.lastIndexOf(" COM2 SB0 0\n");
    return allume > eteint ? "allumé" : eteint >= 0 ? "éteint" : "jamais changé";
}

bool obscuriteSurCOM1(Simulateur& simulateur) {
    const auto com1 = ouvre(simulateur.port(1));
    return com1 && requete(*com1, "XEA 0\r") == "3\r";
}

} // namespace

class TestExtinctionTempsReel : public QObject {
    Q_OBJECT
private slots:
    void fermetureDeLaFenetre() {
        Simulateur simulateur;
        QVERIFY(simulateur.pret());
        QProcess enfant;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LUMICOM_PORTS"), simulateur.dossierPorts());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        enfant.setProcessEnvironment(env);
        enfant.setProcessChannelMode(QProcess::ForwardedChannels);
        enfant.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--poste-fenetre")});
        QVERIFY(enfant.waitForFinished(40000));
        QCOMPARE(enfant.exitStatus(), QProcess::NormalExit);
        QCOMPARE(enfant.exitCode(), 0);
        const QByteArray journal = simulateur.journal();
        // The laser was lit after the start mark, and is off now.
        QVERIFY(journal.count(" COM2 SB0 1\n") >= 2);
        QCOMPARE(dernierEtatSB0(journal), QByteArray("éteint"));
        QVERIFY(obscuriteSurCOM1(simulateur));
    }

    void arretDeLEnvoiParSignal_data() {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("Ctrl+C") << int(SIGINT);
        QTest::newRow("SIGHUP") << int(SIGHUP);
    }
    void arretDeLEnvoiParSignal() {
        QFETCH(int, signal);
        Simulateur simulateur;
        QVERIFY(simulateur.pret());
        QProcess envoi;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LUMICOM_PORTS"), simulateur.dossierPorts());
        envoi.setProcessEnvironment(env);
        // The stop signals at their default, whatever the test was started with (a
        // background job ignores SIGINT, and the tool would rightly keep it ignored).
        envoi.setChildProcessModifier([] {
            for (const int s : {SIGINT, SIGTERM, SIGHUP})
                std::signal(s, SIG_DFL);
        });
        envoi.start(QStringLiteral(LUMICOM_TOOL),
                    {QStringLiteral("send"), QStringLiteral("--port"), QStringLiteral("2"),
                     QStringLiteral("--coding"), QStringLiteral("m"), QStringLiteral("--text"),
                     QStringLiteral("ooo")});
        QVERIFY(envoi.waitForStarted(attenteMs));
        // The start mark, its darkness, then the first dash lights the laser again. A
        // test held up by a busy machine may see the laser lit a little late, or signal
        // the tool a little after that bit: the laser ends dark all the same.
        QVERIFY(QTest::qWaitFor(
            [&] {
                const QByteArray journal = simulateur.journal();
                return journal.count(" COM2 SB0 1\n") >= 2 && dernierEtatSB0(journal) == "allumé";
            },
            30000));
        ::kill(pid_t(envoi.processId()), signal);
        QVERIFY(envoi.waitForFinished(attenteMs));
        QCOMPARE(envoi.exitCode(), 0);
        QVERIFY(envoi.readAllStandardError().contains("arrêt demandé"));
        QCOMPARE(dernierEtatSB0(simulateur.journal()), QByteArray("éteint"));
        QVERIFY(obscuriteSurCOM1(simulateur));
    }
};

int main(int argc, char* argv[]) {
    if (argc > 1 && std::strcmp(argv[1], "--poste-fenetre") == 0) {
        QApplication application(argc, argv);
        return posteFenetre();
    }
    QApplication application(argc, argv);
    TestExtinctionTempsReel test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_tempsreel_extinction.moc"
