#pragma once

// What the real-time benchmarks share: the monotonic clock, the processor time of a
// process, the machine's load, lumicom-sim in a temporary folder and runs of lumicom-tool.

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/time.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

extern char** environ;

// Seconds of the monotonic clock, the one lumicom-sim dates its journal with.
double maintenant();

// The load averages of /proc/loadavg, "0.12 0.30 0.25".
QString chargeMachine();

// Processor time of a living process so far, in seconds: the scheduler's own count of
// the time its threads ran (/proc/PID/task/*/schedstat, nanoseconds). The user and system
// times of /proc/PID/stat are sampled at clock ticks, too coarse and biased for a process
// that wakes up briefly at a fixed period.
double tempsProcesseur(pid_t pid);

double secondes(const timeval& t);

// One run of lumicom-tool, its standard error read through a pipe, its standard output
// into `sortie` (dropped by default), reaped with wait4() so that its whole processor time
// is known at its end.
class Outil {
public:
    explicit Outil(const QStringList& arguments, const QByteArray& sortie = "/dev/null") {
        int tube[2];
        if (::pipe2(tube, O_CLOEXEC) != 0)
            return;
        posix_spawn_file_actions_t actions;
        ::posix_spawn_file_actions_init(&actions);
        ::posix_spawn_file_actions_addopen(&actions, 1, sortie.constData(),
                                           O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::posix_spawn_file_actions_adddup2(&actions, tube[1], 2);
        std::vector<QByteArray> textes{QByteArrayLiteral(LUMICOM_TOOL)};
        for (const QString& a : arguments)
            textes.push_back(a.toUtf8());
        std::vector<char*> argv;
        for (QByteArray& t : textes)
            argv.push_back(t.data());
        argv.push_back(nullptr);
        if (::posix_spawn(&pid_, LUMICOM_TOOL, &actions, nullptr, argv.data(), environ) != 0)
            pid_ = -1;
        ::posix_spawn_file_actions_destroy(&actions);
        ::close(tube[1]);
        erreur_ = tube[0];
    }
    ~Outil() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        if (erreur_ >= 0)
            ::close(erreur_);
    }

    pid_t pid() const { return pid_; }

    // Reads standard error until `texte` has appeared (true), the tool has closed it, or
    // `delai` seconds have passed.
    bool attends(const QByteArray& texte, double delai) {
        const double fin = maintenant() + delai;
        while (!lu_.contains(texte)) {
            if (ferme_ || maintenant() > fin)
                return false;
            pollfd p{erreur_, POLLIN, 0};
            if (::poll(&p, 1, 100) > 0) {
                char tampon[4096];
                const ssize_t n = ::read(erreur_, tampon, sizeof tampon);
                if (n > 0)
                    lu_.append(tampon, n);
                else
                    ferme_ = true;
            }
        }
        return true;
    }

    // Waits for the end of the tool; its status and its processor time in seconds.
    bool termine(double delai, int& statut, double& processeur) {
        attends(QByteArrayLiteral("\x01"), delai); // reads until the tool closes its end
        int etat = 0;
        rusage usage{};
        if (pid_ <= 0 || ::wait4(pid_, &etat, 0, &usage) != pid_)
            return false;
        pid_ = -1;
        statut = WIFEXITED(etat) ? WEXITSTATUS(etat) : -1;
        processeur = secondes(usage.ru_utime) + secondes(usage.ru_stime);
        return true;
    }

    const QByteArray& lu() const { return lu_; }

    // Reads what the tool has written on its standard error so far, without waiting.
    void litDisponible() {
        pollfd p{erreur_, POLLIN, 0};
        while (!ferme_ && ::poll(&p, 1, 0) > 0) {
            char tampon[4096];
            const ssize_t n = ::read(erreur_, tampon, sizeof tampon);
            if (n > 0)
                lu_.append(tampon, n);
            else
                ferme_ = true;
        }
    }

    // Whether the tool has ended, without waiting; its status then (-1 for a signal).
    bool fini(int& statut) {
        if (pid_ <= 0)
            return true;
        int etat = 0;
        if (::waitpid(pid_, &etat, WNOHANG) != pid_)
            return false;
        pid_ = -1;
        statut = WIFEXITED(etat) ? WEXITSTATUS(etat) : -1;
        return true;
    }

private:
    pid_t pid_ = -1;
    int erreur_ = -1;
    bool ferme_ = false;
    QByteArray lu_;
};

// lumicom-sim with its ports and its journal in a temporary folder, LUMICOM_PORTS naming
// the ports for the tools started meanwhile.
class Simulateur {
public:
    Simulateur() {
        processus_.setStandardOutputFile(QProcess::nullDevice());
        processus_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        processus_.start(QStringLiteral(LUMICOM_SIM),
                         {QStringLiteral("--dir"), dossierPorts(), QStringLiteral("--journal"),
                          cheminJournal()});
        pret_ = processus_.waitForStarted(5000);
        const double fin = maintenant() + 5;
        while (pret_ && !QFileInfo::exists(dossierPorts() + QStringLiteral("/COM2"))) {
            if (maintenant() > fin)
                pret_ = false;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        qputenv("LUMICOM_PORTS", dossierPorts().toLocal8Bit());
    }
    ~Simulateur() {
        processus_.terminate();
        processus_.waitForFinished(5000);
    }
    bool pret() const { return pret_; }
    QString dossierPorts() const { return temporaire_.filePath(QStringLiteral("ports")); }
    QString cheminJournal() const { return temporaire_.filePath(QStringLiteral("journal.txt")); }

    // The changes of SB0 of COM `numport` in the journal: instant (s) and level.
    std::vector<std::pair<double, bool>> changementsSB0(int numport) const {
        std::vector<std::pair<double, bool>> changements;
        QFile f(cheminJournal());
        if (!f.open(QIODevice::ReadOnly))
            return changements;
        const QByteArray port = "COM" + QByteArray::number(numport);
        while (!f.atEnd()) {
            const QList<QByteArray> champs = f.readLine().trimmed().split(' ');
            if (champs.size() == 4 && champs[1] == port && champs[2] == "SB0")
                changements.emplace_back(champs[0].toDouble(), champs[3] == "1");
        }
        return changements;
    }

private:
    QTemporaryDir temporaire_;
    QProcess processus_;
    bool pret_ = false;
};
