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
#include <algorithm>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/prctl.h>
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

// One run of lumicom-tool, its standard error (and, when asked, its standard output) read
// through a pipe, reaped with wait4() so that its whole processor time is known at its end.
// `environnement`: variables "NAME=value" added to this program's for the tool. A standard
// output that is not read goes to the file `fichierSortie` (dropped by default).
class Outil {
public:
    explicit Outil(const QStringList& arguments, bool lireSortie = false,
                   const QStringList& environnement = {},
                   const QByteArray& fichierSortie = "/dev/null") {
        int tube[2];
        int tubeSortie[2] = {-1, -1};
        if (::pipe2(tube, O_CLOEXEC) != 0)
            return;
        if (lireSortie && ::pipe2(tubeSortie, O_CLOEXEC) != 0) {
            ::close(tube[0]);
            ::close(tube[1]);
            return;
        }
        posix_spawn_file_actions_t actions;
        ::posix_spawn_file_actions_init(&actions);
        if (lireSortie)
            ::posix_spawn_file_actions_adddup2(&actions, tubeSortie[1], 1);
        else
            ::posix_spawn_file_actions_addopen(&actions, 1, fichierSortie.constData(),
                                               O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::posix_spawn_file_actions_adddup2(&actions, tube[1], 2);
        std::vector<QByteArray> textes{QByteArrayLiteral(LUMICOM_TOOL)};
        for (const QString& a : arguments)
            textes.push_back(a.toUtf8());
        std::vector<char*> argv;
        for (QByteArray& t : textes)
            argv.push_back(t.data());
        argv.push_back(nullptr);
        std::vector<QByteArray> variables;
        for (const QString& v : environnement)
            variables.push_back(v.toLocal8Bit());
        std::vector<char*> envp;
        for (QByteArray& v : variables)
            envp.push_back(v.data());
        // A variable given replaces this program's.
        for (char** v = environ; *v; ++v) {
            const QByteArray variable(*v);
            const QByteArray nom = variable.left(variable.indexOf('=') + 1);
            if (std::none_of(variables.begin(), variables.end(),
                             [&](const QByteArray& d) { return d.startsWith(nom); }))
                envp.push_back(*v);
        }
        envp.push_back(nullptr);
        if (::posix_spawn(&pid_, LUMICOM_TOOL, &actions, nullptr, argv.data(), envp.data()) != 0)
            pid_ = -1;
        ::posix_spawn_file_actions_destroy(&actions);
        ::close(tube[1]);
        erreur_ = tube[0];
        if (lireSortie) {
            ::close(tubeSortie[1]);
            sortie_ = tubeSortie[0];
        }
    }
    ~Outil() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        if (erreur_ >= 0)
            ::close(erreur_);
        if (sortie_ >= 0)
            ::close(sortie_);
    }
    Outil(const Outil&) = delete;
    Outil& operator=(const Outil&) = delete;

    pid_t pid() const { return pid_; }

    // Reads what the tool writes until `fini()` holds (true), the tool has closed its
    // pipes, or `delai` seconds have passed.
    template <typename Condition> bool attendsQue(Condition fini, double delai) {
        const double fin = maintenant() + delai;
        while (!fini()) {
            if (ferme() || maintenant() > fin)
                return false;
            // A pipe already closed is left out (poll() skips a negative descriptor).
            pollfd p[2] = {{fermeErreur_ ? -1 : erreur_, POLLIN, 0},
                           {fermeSortie_ ? -1 : sortie_, POLLIN, 0}};
            if (::poll(p, 2, 100) > 0) {
                litTube(p[0], lu_);
                litTube(p[1], sortieLue_);
            }
        }
        return true;
    }

    // Reads standard error until `texte` has appeared (true), the tool has closed it, or
    // `delai` seconds have passed.
    bool attends(const QByteArray& texte, double delai) {
        return attendsQue([&] { return lu_.contains(texte); }, delai);
    }

    // Waits for the end of the tool; its status and its processor time in seconds.
    bool termine(double delai, int& statut, double& processeur) {
        attendsQue([] { return false; }, delai); // reads until the tool closes its pipes
        int etat = 0;
        rusage usage{};
        if (pid_ <= 0 || ::wait4(pid_, &etat, 0, &usage) != pid_)
            return false;
        pid_ = -1;
        statut = WIFEXITED(etat) ? WEXITSTATUS(etat) : -1;
        processeur = secondes(usage.ru_utime) + secondes(usage.ru_stime);
        return true;
    }

    // Standard error so far.
    const QByteArray& lu() const { return lu_; }
    // Standard output so far (when it is read).
    const QByteArray& sortieLue() const { return sortieLue_; }

    // Reads what the tool has written so far, without waiting.
    void litDisponible() {
        while (!ferme()) {
            pollfd p[2] = {{fermeErreur_ ? -1 : erreur_, POLLIN, 0},
                           {fermeSortie_ ? -1 : sortie_, POLLIN, 0}};
            if (::poll(p, 2, 0) <= 0)
                return;
            litTube(p[0], lu_);
            litTube(p[1], sortieLue_);
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
    bool ferme() const { return erreur_ < 0 || (fermeErreur_ && (sortie_ < 0 || fermeSortie_)); }

    void litTube(const pollfd& p, QByteArray& tampon) {
        if (p.fd < 0 || !(p.revents & (POLLIN | POLLHUP | POLLERR)))
            return;
        char octets[4096];
        const ssize_t n = ::read(p.fd, octets, sizeof octets);
        if (n > 0) {
            tampon.append(octets, n);
            return;
        }
        (p.fd == erreur_ ? fermeErreur_ : fermeSortie_) = true;
    }

    pid_t pid_ = -1;
    int erreur_ = -1;
    int sortie_ = -1;
    bool fermeErreur_ = false;
    bool fermeSortie_ = false;
    QByteArray lu_;
    QByteArray sortieLue_;
};

// lumicom-sim with its ports and its journal in a temporary folder, LUMICOM_PORTS naming
// the ports for the tools started meanwhile.
class Simulateur {
public:
    // `interfaces` ports (COM1 to COMn), `options` more options of lumicom-sim; with
    // `gardeErreurs` its standard error goes to a file of the folder (erreurs()) instead of
    // this program's.
    explicit Simulateur(int interfaces = 2, const QStringList& options = {},
                        bool gardeErreurs = false) {
        processus_.setStandardOutputFile(QProcess::nullDevice());
        if (gardeErreurs)
            processus_.setStandardErrorFile(cheminErreurs());
        else
            processus_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        // The simulator ends with this program, even when this one is killed.
        processus_.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
        processus_.start(QStringLiteral(LUMICOM_SIM),
                         QStringList{QStringLiteral("--dir"), dossierPorts(),
                                     QStringLiteral("--journal"), cheminJournal(),
                                     QStringLiteral("--interfaces"), QString::number(interfaces)} +
                             options);
        pret_ = processus_.waitForStarted(5000);
        const double fin = maintenant() + 5;
        const QString dernier = dossierPorts() + QStringLiteral("/COM%1").arg(interfaces);
        while (pret_ && !QFileInfo::exists(dernier)) {
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
    QString cheminErreurs() const { return temporaire_.filePath(QStringLiteral("erreurs.txt")); }

    // What the simulator has written on its standard error (when it is kept).
    QByteArray erreurs() const {
        QFile f(cheminErreurs());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

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
