// The station on a thread of its own, in real time, as a desktop user runs it:
// - the real-time priority belongs to the station's thread: when that thread computes 1 s
//   without blocking, it goes back to the ordinary class and the program goes on and says
//   so; the window's thread computing 1 s changes nothing (a child process granted
//   SCHED_FIFO by an rtprio limit, without CAP_SYS_NICE, SCHED_RESET_ON_FORK set);
// - a box held 4 s on the emitter's window during its start mark leaves the mark 3 s long;
// - Quit while the station computes without yielding still turns the laser off and ends.
// Each station runs in a child process (this program, with an option), since the end of
// the program ends its process.

#include "app/feuillelumivox1.h"
#include "link/filposte.h"
#include "link/tempsreel.h"
#include "postefenetrereel.h"
#include "simulateurreel.h"

#include <QApplication>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <chrono>
#include <cstdio>
#include <cstring>

#ifdef Q_OS_LINUX
#include <linux/capability.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

using namespace simulateurreel;
using namespace Qt::StringLiterals;

namespace {

// The child's status when the machine grants no real-time scheduling at all.
constexpr int sansTempsReel = 77;

void calcule(double secondes) {
    const auto fin = std::chrono::steady_clock::now() +
                     std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                         std::chrono::duration<double>(secondes));
    while (std::chrono::steady_clock::now() < fin) {
    }
}

#ifdef Q_OS_LINUX
// As a desktop user who was granted the priority (RealtimeKit, an rtprio limit): the
// calling thread loses CAP_SYS_NICE (each thread holds its own).
bool retireCapSysNice() {
    __user_cap_header_struct entete{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct donnees[2]{};
    if (::syscall(SYS_capget, &entete, donnees) != 0)
        return false;
    const unsigned bit = 1u << CAP_SYS_NICE;
    donnees[0].effective &= ~bit;
    donnees[0].permitted &= ~bit;
    donnees[0].inheritable &= ~bit;
    return ::syscall(SYS_capset, &entete, donnees) == 0;
}
#endif

// The child of the priority test: `ou` is "poste" or "fenetre", the thread that computes.
// The station's thread is granted SCHED_FIFO with SCHED_RESET_ON_FORK, then both threads
// lose CAP_SYS_NICE.
int enfantPriorite(const QString& ou) {
#ifdef Q_OS_LINUX
    FilPoste fil;
    PrioriteTempsReel priorite;
    fil.executeetattends([&] { priorite = demandeprioritetempsreel(10); });
    if (!priorite.accordee) {
        std::printf("%s\n", qPrintable(priorite.raison));
        return sansTempsReel;
    }
    bool retire = retireCapSysNice();
    fil.executeetattends([&] { retire = retire && retireCapSysNice(); });
    if (!retire) {
        std::printf("CAP_SYS_NICE ne peut pas être retiré\n");
        return sansTempsReel;
    }
    if (ou == u"poste")
        fil.executeetattends([] { calcule(1.0); });
    else
        calcule(1.0);
    int politique = -1;
    fil.executeetattends([&] { politique = ::sched_getscheduler(0); });
    std::printf("politique %s\n",
                (politique & ~SCHED_RESET_ON_FORK) == SCHED_OTHER ? "ordinaire" : "temps réel");
    std::printf("note : %s\n", qPrintable(notepriorite(priorite)));
    std::fflush(stdout);
    // The thread ends in the ordinary class: its end may take its time (under a sanitizer).
    fil.executeetattends([] {
        sched_param parametre{};
        ::sched_setscheduler(0, SCHED_OTHER | SCHED_RESET_ON_FORK, &parametre);
    });
    return 0;
#else
    Q_UNUSED(ou);
    return sansTempsReel;
#endif
}

// The child of the box test: station 1 in slow Morse sends "e"; its window shows a box for
// 4 s from half a second into the start mark.
int enfantBoite() {
    PosteReel::Reglages reglages;
    reglages.numport = 1;
    reglages.codage = u"m"_s;
    PosteFenetreReel poste(reglages);
    return poste.execute([&poste](Station& s) {
        poste.appelsfenetre().ajoute([&poste] {
            Feuillelumivox1& f = poste.fenetre();
            f.Texte1->setPlainText(u"e"_s);
            QTimer::singleShot(200, [&f] {
                f.Btonenvoiemorse->click();
                QTimer::singleShot(500, [&f] {
                    QMessageBox boite(QMessageBox::Information, u"A propos ..."_s, u"lumicom"_s,
                                      QMessageBox::Ok, &f);
                    QTimer::singleShot(4000, &boite, [&boite] { boite.done(0); });
                    boite.exec();
                });
            });
        });
        // The emission over, the station ends as Quit ends it.
        s.observateurs.finReception = nullptr;
        auto* guet = new QTimer;
        QObject::connect(guet, &QTimer::timeout, [&s] {
            if (s.activite.isEmpty() && s.etat.messagerecu == u"e")
                s.arrete(0);
        });
        guet->start(100);
    });
}

// The child of the stop test: station 2 lights its laser, asks its window to close, then
// computes 5 s without yielding.
int enfantArret() {
    PosteReel::Reglages reglages;
    reglages.numport = 2;
    reglages.codage = u"b"_s;
    PosteFenetreReel poste(reglages);
    return poste.execute([&poste](Station& s) {
        s.liaison.allumelaser();
        poste.appelsfenetre().ajoute([&poste] { poste.fenetre().windowHandle()->close(); });
        calcule(5.0);
        std::printf("calcul fini\n");
        std::fflush(stdout);
    });
}

QByteArray derniereLigne(const QByteArray& journal, const QByteArray& mot) {
    const QList<QByteArray> lignes = journal.split('\n');
    for (auto i = lignes.rbegin(); i != lignes.rend(); ++i)
        if (i->contains(mot))
            return *i;
    return {};
}

// The instants of the changes of SB0 of COM `n` in the journal.
QList<double> changementsSB0(const QByteArray& journal, int n) {
    QList<double> instants;
    const QByteArray mot = " COM" + QByteArray::number(n) + " SB0 ";
    for (const QByteArray& ligne : journal.split('\n'))
        if (ligne.contains(mot))
            instants << ligne.left(ligne.indexOf(' ')).toDouble();
    return instants;
}

} // namespace

class TestFilPosteTempsReel : public QObject {
    Q_OBJECT
private slots:
    void priorite_data() {
        QTest::addColumn<QString>("ou");
        QTest::addColumn<bool>("retiree");
        QTest::newRow("calcul sur le fil du poste") << u"poste"_s << true;
        QTest::newRow("calcul sur le fil de la fenêtre") << u"fenetre"_s << false;
    }
    void priorite() {
        QFETCH(QString, ou);
        QFETCH(bool, retiree);
        QProcess enfant;
        enfant.start(QCoreApplication::applicationFilePath(), {u"--enfant-priorite"_s, ou});
        QVERIFY(enfant.waitForFinished(20000));
        const QString sortie = QString::fromUtf8(enfant.readAllStandardOutput());
        if (enfant.exitStatus() == QProcess::NormalExit && enfant.exitCode() == sansTempsReel)
            QSKIP(qPrintable(u"pas de temps réel sur cette machine : "_s + sortie.trimmed()));
        // Not killed at the hard limit: it ends by itself.
        QCOMPARE(enfant.exitStatus(), QProcess::NormalExit);
        QCOMPARE(enfant.exitCode(), 0);
        QVERIFY2(sortie.contains(retiree ? u"politique ordinaire"_s : u"politique temps réel"_s),
                 qPrintable(sortie));
        QCOMPARE(sortie.contains(u"a été retirée au programme"_s), retiree);
    }

    void boitePendantLaMarque() {
        Simulateur simulateur;
        QVERIFY(simulateur.pret());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"LUMICOM_PORTS"_s, simulateur.dossierPorts());
        env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        QProcess recepteur;
        recepteur.setProcessEnvironment(env);
        recepteur.start(QStringLiteral(LUMICOM_TOOL),
                        {u"receive"_s, u"--port"_s, u"2"_s, u"--coding"_s, u"m"_s, u"--count"_s,
                         u"1"_s, u"--timeout"_s, u"60"_s});
        QVERIFY(recepteur.waitForStarted(attenteMs));
        // The receiver waits, its threshold measured in the dark, before the laser lights.
        QByteArray erreurs;
        QVERIFY(QTest::qWaitFor(
            [&] {
                erreurs += recepteur.readAllStandardError();
                return erreurs.contains("en attente d'un message");
            },
            20000));
        QProcess emetteur;
        emetteur.setProcessEnvironment(env);
        emetteur.start(QCoreApplication::applicationFilePath(), {u"--enfant-boite"_s});
        QVERIFY(emetteur.waitForFinished(60000));
        QCOMPARE(emetteur.exitCode(), 0);
        QVERIFY(recepteur.waitForFinished(30000));
        // A message came (its letters are the virtual bench's to check)...
        QVERIFY(!recepteur.readAllStandardOutput().trimmed().isEmpty());
        // ...and the start mark kept its 3 s, with the box open 4 s from its first half second.
        const QList<double> sb0 = changementsSB0(simulateur.journal(), 1);
        QVERIFY(sb0.size() >= 2);
        const double marque = sb0[1] - sb0[0];
        QVERIFY2(marque > 2.9 && marque < 4.0, qPrintable(QString::number(marque)));
    }

    void quitterPendantUnCalcul() {
        Simulateur simulateur;
        QVERIFY(simulateur.pret());
        QProcess enfant;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"LUMICOM_PORTS"_s, simulateur.dossierPorts());
        env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        enfant.setProcessEnvironment(env);
        enfant.start(QCoreApplication::applicationFilePath(), {u"--enfant-arret"_s});
        QVERIFY(enfant.waitForFinished(30000));
        QCOMPARE(enfant.exitStatus(), QProcess::NormalExit);
        QCOMPARE(enfant.exitCode(), 0);
        // Ended before the computation did, the laser off.
        QVERIFY(!enfant.readAllStandardOutput().contains("calcul fini"));
        QVERIFY(derniereLigne(simulateur.journal(), " COM2 SB0 ").endsWith("SB0 0"));
        QVERIFY(changementsSB0(simulateur.journal(), 2).size() >= 2);
    }
};

int main(int argc, char* argv[]) {
    if (argc > 2 && std::strcmp(argv[1], "--enfant-priorite") == 0) {
        QCoreApplication application(argc, argv);
        return enfantPriorite(QString::fromLocal8Bit(argv[2]));
    }
    if (argc > 1 && std::strcmp(argv[1], "--enfant-boite") == 0) {
        QApplication application(argc, argv);
        return enfantBoite();
    }
    if (argc > 1 && std::strcmp(argv[1], "--enfant-arret") == 0) {
        QApplication application(argc, argv);
        return enfantArret();
    }
    QApplication application(argc, argv);
    TestFilPosteTempsReel test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_tempsreel_filposte.moc"
