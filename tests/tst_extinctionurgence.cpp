#include "link/extinctionurgence.h"
#include "link/liaison.h"
#include "link/signauxarret.h"
#include "link/transportserie.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <csignal>
#include <cstdlib>
#include <exception>
#include <fcntl.h>
#include <functional>
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
    if (fin == u"signal") {
        // Stopped by a signal, as the program and the headless tool are: the port closed,
        // the laser turned off first, then the end.
        guettesignauxdarret([&liaison] {
            liaison.fermeport();
            QCoreApplication::exit(0);
        });
        liaison.allumelaser();
        return application.exec();
    }
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

// Starts this program again as the child `fin` on the pseudo-terminal `nom`, the stop
// signals at their default, whatever the test was started with (a background job ignores
// SIGINT).
void lanceenfant(QProcess& processus, const QString& fin, const char* nom) {
    processus.setProcessChannelMode(QProcess::ForwardedChannels);
    processus.setChildProcessModifier([] {
        for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE})
            std::signal(signal, SIG_DFL);
    });
    processus.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--enfant"), fin, QString::fromLocal8Bit(nom)});
}

// Reads what the child writes to the other side of the pseudo-terminal into `recu`, until
// `assez` says so or the child has ended; then whatever is left. A child still running
// after half a minute is stuck: it is killed.
void lisjusqua(int maitre, QProcess& processus, QByteArray& recu,
               const std::function<bool(const QByteArray&)>& assez) {
    char tampon[256];
    const QDeadlineTimer limite(30000);
    while (processus.state() != QProcess::NotRunning && !assez(recu)) {
        if (limite.hasExpired()) {
            processus.kill();
            processus.waitForFinished();
            break;
        }
        pollfd p{maitre, POLLIN, 0};
        if (::poll(&p, 1, 20) > 0) {
            const ssize_t n = ::read(maitre, tampon, sizeof tampon);
            if (n > 0)
                recu.append(tampon, n);
        }
        processus.waitForFinished(10);
    }
    for (ssize_t n; (n = ::read(maitre, tampon, sizeof tampon)) > 0;)
        recu.append(tampon, n);
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
        lanceenfant(processus, fin, nom);
        QVERIFY(processus.waitForStarted());
        QByteArray recu;
        lisjusqua(maitre, processus, recu, [](const QByteArray&) { return false; });
        ::close(maitre);
        ::close(esclave);
        // The opening's laser-off, the request left open, then the command, once.
        QCOMPARE(recu, QByteArray(" \rXRESUL 1,0,1\r \r"));
        QVERIFY(fin == u"quit"
                    ? processus.exitCode() == 0
                    : processus.exitStatus() == QProcess::CrashExit || processus.exitCode() != 0);
    }

    // SIGINT (Ctrl+C), SIGTERM, SIGHUP (the terminal closed), SIGQUIT (Ctrl+\) and SIGPIPE
    // (the reader of a pipe gone) each stop the program while its laser is lit: the
    // laser-off command reaches the port, then the program ends normally.
    void arretParSignal_data() {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGINT") << int(SIGINT);
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGHUP") << int(SIGHUP);
        QTest::newRow("SIGQUIT") << int(SIGQUIT);
        QTest::newRow("SIGPIPE") << int(SIGPIPE);
    }
    void arretParSignal() {
        QFETCH(int, signal);
        int maitre = -1, esclave = -1;
        char nom[256] = {};
        QVERIFY(::openpty(&maitre, &esclave, nom, nullptr, nullptr) == 0);
        ::fcntl(maitre, F_SETFL, O_NONBLOCK);
        QProcess processus;
        lanceenfant(processus, QStringLiteral("signal"), nom);
        QVERIFY(processus.waitForStarted());
        // The opening's laser-off, then the laser lit: the child stands ready for the signal.
        const QByteArray allume(" \r\x00\r", 4);
        QByteArray recu;
        lisjusqua(maitre, processus, recu, [&](const QByteArray& r) { return r == allume; });
        QCOMPARE(recu, allume);
        ::kill(pid_t(processus.processId()), signal);
        lisjusqua(maitre, processus, recu, [](const QByteArray&) { return false; });
        ::close(maitre);
        ::close(esclave);
        QCOMPARE(recu, allume + " \r");
        QCOMPARE(processus.exitStatus(), QProcess::NormalExit);
        QCOMPARE(processus.exitCode(), 0);
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
