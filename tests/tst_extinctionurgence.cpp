#include "link/extinctionurgence.h"
#include "link/liaison.h"
#include "link/signauxarret.h"
#include "link/transportserie.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <csignal>
#include <cstdlib>
#include <exception>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

// However the program ends, the laser-off command reaches the port: the ends that do not
// go through Station::arrete (exit(), std::terminate, a fatal message of Qt, a fatal
// signal, aboutToQuit) each write it once. Each end is played by this program run again
// as a child on one side of a pseudo-terminal; the test reads the other side.

namespace {

// The child: opens the port named, registers the laser-off command, then ends as `fin`
// says.
int enfant(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    const QString fin = QString::fromLocal8Bit(argv[2]);
    const QString chemin = QString::fromLocal8Bit(argv[3]);
    if (fin == u"hup-ignore") {
        // Started to ignore SIGHUP (nohup): the stop handler must leave it ignored.
        std::signal(SIGHUP, SIG_IGN);
        guettesignauxdarret([] { std::_Exit(7); });
        std::raise(SIGHUP);
        QTimer::singleShot(200, &application, [] { std::_Exit(0); });
        return application.exec();
    }
    EtatPartage etat;
    Liaison liaison(etat, [chemin](int n) { return ouvreportserie(n, chemin); });
    if (!liaison.ouvreport(nullptr))
        return 3;
    inscritextinctionurgence(liaison);
    // A request left open: the command must close it before its blank.
    liaison.envoiecommande("XRESUL 1,0,1");
    if (fin == u"exit")
        std::exit(1);
    if (fin == u"terminate")
        std::terminate();
    if (fin == u"fatal")
        qFatal("connexion à l'affichage perdue");
    if (fin == u"segv")
        std::raise(SIGSEGV);
    if (fin == u"quit") {
        QTimer::singleShot(0, &application, &QCoreApplication::quit);
        application.exec();
        extinctionurgence(); // once: nothing more is written
        std::_Exit(0);
    }
    return 4;
}

} // namespace

class TestExtinctionUrgence : public QObject {
    Q_OBJECT
private slots:
    void laserEteintAChaqueFin_data() {
        QTest::addColumn<QString>("fin");
        for (const char* fin : {"exit", "terminate", "fatal", "segv", "quit"})
            QTest::newRow(fin) << QString::fromLatin1(fin);
    }
    void laserEteintAChaqueFin() {
        QFETCH(QString, fin);
        int maitre = -1, esclave = -1;
        char nom[256] = {};
        QVERIFY(::openpty(&maitre, &esclave, nom, nullptr, nullptr) == 0);
        ::fcntl(maitre, F_SETFL, O_NONBLOCK);
        QProcess processus;
        processus.setProcessChannelMode(QProcess::ForwardedChannels);
        processus.start(QCoreApplication::applicationFilePath(),
                        {QStringLiteral("--enfant"), fin, QString::fromLocal8Bit(nom)});
        QVERIFY(processus.waitForStarted());
        QByteArray recu;
        while (processus.state() != QProcess::NotRunning) {
            pollfd p{maitre, POLLIN, 0};
            if (::poll(&p, 1, 20) > 0) {
                char tampon[256];
                const ssize_t n = ::read(maitre, tampon, sizeof tampon);
                if (n > 0)
                    recu.append(tampon, n);
            }
            processus.waitForFinished(10);
        }
        char tampon[256];
        for (ssize_t n; (n = ::read(maitre, tampon, sizeof tampon)) > 0;)
            recu.append(tampon, n);
        ::close(maitre);
        ::close(esclave);
        // The opening's laser-off, the request left open, then the command, once.
        QCOMPARE(recu, QByteArray(" \rXRESUL 1,0,1\r \r"));
        QVERIFY(fin == u"quit"
                    ? processus.exitCode() == 0
                    : processus.exitStatus() == QProcess::CrashExit || processus.exitCode() != 0);
    }

    // A stop signal the program was started to ignore stays ignored.
    void signalIgnoreResteIgnore() {
        QProcess processus;
        processus.start(QCoreApplication::applicationFilePath(),
                        {QStringLiteral("--enfant"), QStringLiteral("hup-ignore"), QString()});
        QVERIFY(processus.waitForFinished(5000));
        QCOMPARE(processus.exitStatus(), QProcess::NormalExit);
        QCOMPARE(processus.exitCode(), 0);
    }
};

int main(int argc, char* argv[]) {
    if (argc == 4 && qstrcmp(argv[1], "--enfant") == 0)
        return enfant(argc, argv);
    QCoreApplication application(argc, argv);
    TestExtinctionUrgence essai;
    return QTest::qExec(&essai, argc, argv);
}

#include "tst_extinctionurgence.moc"
