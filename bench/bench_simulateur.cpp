// bench-simulateur: what lumicom-sim delivers in real time, seen from outside through its
// pseudo-terminals: throughput each way, delay from a keying byte to the change of SB0 in
// the journal, processor time. The clients are plain descriptors on the ports (no event
// loop in the way of the timestamps); the simulator's journal and this program share the
// monotonic clock, so their instants compare directly. Prints a table, asserts nothing.

#include <QCoreApplication>
#include <QFileInfo>
#include <QLocale>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <poll.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr double dureeOctet = 1.0 / 960.0;
// Recording samples 13 times closer than the interface's default, so the recording to
// download is ready in 0.64 s instead of 8.3 s; the download itself is unchanged.
constexpr double periodeEchantillonnage = 0.0001;

double maintenant() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void dorsJusqua(double instant) {
    std::this_thread::sleep_until(std::chrono::steady_clock::time_point(
        std::chrono::duration_cast<std::chrono::steady_clock::duration>(
            std::chrono::duration<double>(instant))));
}

bool attends(const std::function<bool()>& condition, double secondes) {
    const double fin = maintenant() + secondes;
    while (!condition()) {
        if (maintenant() > fin)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

struct Ligne {
    double instant;
    QString port, mot, detail;
};

// The journal as it grows: each call to nouvelles() returns the lines completed since.
class Journal {
public:
    explicit Journal(const QString& chemin) : chemin_(chemin) {}
    ~Journal() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    std::vector<Ligne> nouvelles() {
        std::vector<Ligne> lignes;
        if (fd_ < 0)
            fd_ = ::open(chemin_.toLocal8Bit().constData(), O_RDONLY | O_CLOEXEC);
        char tampon[65536];
        ssize_t n;
        while (fd_ >= 0 && (n = ::read(fd_, tampon, sizeof tampon)) > 0)
            reste_.append(tampon, n);
        qsizetype fin;
        while ((fin = reste_.indexOf('\n')) >= 0) {
            const QStringList champs = QString::fromUtf8(reste_.left(fin)).split(QLatin1Char(' '));
            reste_.remove(0, fin + 1);
            if (champs.size() >= 3)
                lignes.push_back({champs[0].toDouble(), champs[1], champs[2],
                                  champs.mid(3).join(QLatin1Char(' '))});
        }
        return lignes;
    }
    // Gathers the lines of `port` with `mot` until there are `nombre` of them.
    std::vector<double> instants(const QString& port, const QString& mot, std::size_t nombre,
                                 double secondes) {
        std::vector<double> trouves;
        attends(
            [&] {
                for (const Ligne& l : nouvelles())
                    if (l.port == port && l.mot == mot)
                        trouves.push_back(l.instant);
                return trouves.size() >= nombre;
            },
            secondes);
        return trouves;
    }

private:
    QString chemin_;
    int fd_ = -1;
    QByteArray reste_;
};

int ouvrePort(const QString& chemin) {
    const int fd = ::open(chemin.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    termios t{};
    if (fd >= 0 && ::tcgetattr(fd, &t) == 0) {
        ::cfmakeraw(&t);
        ::cfsetispeed(&t, B9600);
        ::cfsetospeed(&t, B9600);
        ::tcsetattr(fd, TCSANOW, &t);
    }
    return fd;
}

void ecrisTout(int fd, const QByteArray& octets) {
    qsizetype fait = 0;
    while (fait < octets.size()) {
        const ssize_t n = ::write(fd, octets.constData() + fait, octets.size() - fait);
        if (n > 0)
            fait += n;
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

QByteArray vide(int fd) {
    QByteArray recu;
    char tampon[4096];
    ssize_t n;
    while ((n = ::read(fd, tampon, sizeof tampon)) > 0)
        recu.append(tampon, n);
    return recu;
}

// Processor time of a process so far, user and system, in seconds.
double tempsProcesseur(qint64 pid) {
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return NAN;
    const QByteArray texte = f.readAll();
    // The fields after the command name, which is in parentheses and may hold blanks.
    const QList<QByteArray> champs = texte.mid(texte.lastIndexOf(')') + 2).split(' ');
    if (champs.size() < 13)
        return NAN;
    // utime and stime are the 14th and 15th fields, the 12th and 13th after the name.
    return (champs[11].toDouble() + champs[12].toDouble()) / double(::sysconf(_SC_CLK_TCK));
}

QLocale francais(QLocale::French, QLocale::France);

QString nombre(double v, int decimales) {
    return francais.toString(v, 'f', decimales);
}

QTextStream sortie(stdout);

void ligne(const QString& mesure, const QString& valeur) {
    sortie << mesure.leftJustified(58) << valeur << Qt::endl;
}

double centile(std::vector<double> v, double fraction) {
    std::sort(v.begin(), v.end());
    const auto rang = static_cast<std::size_t>(std::ceil(fraction * double(v.size())));
    return v[std::clamp<std::size_t>(rang, 1, v.size()) - 1];
}

QString repartition(const std::vector<double>& delais) {
    return QStringLiteral("médiane %1 ms, 99e centile %2 ms, maximum %3 ms")
        .arg(nombre(centile(delais, 0.5), 3), nombre(centile(delais, 0.99), 3),
             nombre(centile(delais, 1.0), 3));
}

// The same delay through a bare pseudo-terminal, with no simulator: what the system alone
// adds between a byte written on one side and the reader woken on the other. A thread of
// this program stands in for lumicom-sim.
std::vector<double> delaisPseudoTerminalNu(int combien, double intervalle) {
    const int maitre = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (maitre < 0 || ::grantpt(maitre) != 0 || ::unlockpt(maitre) != 0)
        return {};
    const int esclave = ouvrePort(QString::fromLocal8Bit(::ptsname(maitre)));
    std::vector<double> lus;
    std::thread lecteur([&] {
        while (int(lus.size()) < combien) {
            pollfd p{maitre, POLLIN, 0};
            if (::poll(&p, 1, 2000) <= 0)
                return;
            const double t = maintenant();
            for (qsizetype k = vide(maitre).size(); k > 0; --k)
                lus.push_back(t);
        }
    });
    std::vector<double> ecrits;
    const double debut = maintenant() + 0.01;
    for (int k = 0; k < combien; ++k) {
        dorsJusqua(debut + k * intervalle);
        ecrits.push_back(maintenant());
        ecrisTout(esclave, QByteArray(1, k % 2 == 0 ? '\0' : ' '));
    }
    lecteur.join();
    ::close(esclave);
    ::close(maitre);
    std::vector<double> delais;
    for (std::size_t k = 0; k < lus.size() && k < ecrits.size(); ++k)
        delais.push_back((lus[k] - ecrits[k]) * 1e3);
    return delais;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    QTemporaryDir temporaire;
    const QString dossier = temporaire.filePath(QStringLiteral("ports"));
    const QString cheminJournal = temporaire.filePath(QStringLiteral("journal.txt"));
    QProcess simulateur;
    simulateur.setStandardOutputFile(QProcess::nullDevice());
    simulateur.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    simulateur.start(QStringLiteral(LUMICOM_SIM),
                     {QStringLiteral("--dir"), dossier, QStringLiteral("--journal"), cheminJournal,
                      QStringLiteral("--periode-echantillonnage"),
                      QString::number(periodeEchantillonnage)});
    const QString chemin1 = dossier + QStringLiteral("/COM1");
    const QString chemin2 = dossier + QStringLiteral("/COM2");
    if (!simulateur.waitForStarted(5000) ||
        !attends([&] { return QFileInfo::exists(chemin1) && QFileInfo::exists(chemin2); }, 5)) {
        std::fprintf(stderr, "bench-simulateur : lumicom-sim ne publie pas ses ports\n");
        return 1;
    }
    const qint64 pid = simulateur.processId();
    Journal journal(cheminJournal);
    const int com1 = ouvrePort(chemin1);
    const int com2 = ouvrePort(chemin2);
    journal.nouvelles();

    sortie << "lumicom-sim en temps réel, vu par des descripteurs bruts sur ses pseudo-terminaux"
           << Qt::endl
           << "(ligne à 9600 bauds : 960 octets/s, " << nombre(dureeOctet * 1e3, 3)
           << " ms par octet) ; lumicom-sim --periode-echantillonnage "
           << QString::number(periodeEchantillonnage) << " pour abréger l'enregistrement"
           << Qt::endl
           << Qt::endl;
    ligne(QStringLiteral("Mesure"), QStringLiteral("Valeur"));

    // Into the interface: 1000 keying bytes written at once, each one a change of SB0.
    {
        QByteArray octets;
        for (int k = 0; k < 1000; ++k)
            octets += k % 2 == 0 ? '\0' : ' ';
        ecrisTout(com2, octets);
        const std::vector<double> t =
            journal.instants(QStringLiteral("COM2"), QStringLiteral("SB0"), 1000, 10);
        ligne(QStringLiteral("Débit entrant, 1000 octets de manipulation sur COM2"),
              t.size() < 2 ? QStringLiteral("échec")
                           : nombre(double(t.size() - 1) / (t.back() - t.front()), 1) +
                                 QStringLiteral(" octets/s"));
    }

    // Out of the interface: a recording of 200 blocks downloaded with all its requests
    // written at once, so the answers follow each other without a gap.
    {
        ecrisTout(com1, "XPEA1 0,200,6,0\rXEAP\r");
        attends(
            [&] {
                for (const Ligne& l : journal.nouvelles())
                    if (l.port == u"COM1" && l.mot == u"enregistrement" && l.detail == u"fin")
                        return true;
                return false;
            },
            10);
        QByteArray requetes;
        for (int b = 1; b <= 200; ++b)
            requetes += "XRESUL " + QByteArray::number(b) + ",0,32\r";
        ecrisTout(com1, requetes);
        qint64 octets = 0, reponses = 0;
        double premier = 0, dernier = 0;
        const double fin = maintenant() + 30;
        while (reponses < 200 && maintenant() < fin) {
            pollfd p{com1, POLLIN, 0};
            ::poll(&p, 1, 100);
            const QByteArray recu = vide(com1);
            if (recu.isEmpty())
                continue;
            dernier = maintenant();
            if (octets == 0)
                premier = dernier;
            octets += recu.size();
            reponses += recu.count('\r');
        }
        ligne(QStringLiteral("Débit sortant, 200 réponses à XRESUL sur COM1"),
              reponses < 200 ? QStringLiteral("échec")
                             : nombre(double(octets - 1) / (dernier - premier), 1) +
                                   QStringLiteral(" octets/s (%1 octets)").arg(octets));
        journal.nouvelles();
    }

    // Delay from a keying byte written to the change of SB0 in the journal; the bench
    // puts the change one byte time after the byte is seen, for its trip on the line.
    {
        constexpr int changements = 1000;
        constexpr double intervalle = 0.005;
        std::vector<double> ecrits;
        const double debut = maintenant() + 0.01;
        for (int k = 0; k < changements; ++k) {
            dorsJusqua(debut + k * intervalle);
            ecrits.push_back(maintenant());
            ecrisTout(com2, QByteArray(1, k % 2 == 0 ? '\0' : ' '));
        }
        const std::vector<double> t =
            journal.instants(QStringLiteral("COM2"), QStringLiteral("SB0"), changements, 10);
        if (t.size() < changements) {
            ligne(QStringLiteral("Délai octet écrit -> SB0 au journal"), QStringLiteral("échec"));
        } else {
            std::vector<double> delais;
            for (int k = 0; k < changements; ++k)
                delais.push_back((t[k] - ecrits[k]) * 1e3);
            ligne(QStringLiteral("Délai octet écrit -> SB0 au journal, 1000 changements"),
                  repartition(delais));
            ligne(QStringLiteral("  dont la durée d'un octet sur la ligne"),
                  nombre(dureeOctet * 1e3, 3) + QStringLiteral(" ms"));
        }
        const std::vector<double> nu = delaisPseudoTerminalNu(changements, intervalle);
        ligne(QStringLiteral("  référence : pseudo-terminal nu, octet écrit -> lu"),
              nu.size() < changements ? QStringLiteral("échec") : repartition(nu));
    }

    // Processor time of the simulator, idle then serving a reading every 30 ms per port.
    {
        constexpr double duree = 5.0;
        vide(com1);
        vide(com2);
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        double t0 = maintenant(), c0 = tempsProcesseur(pid);
        dorsJusqua(t0 + duree);
        double part = (tempsProcesseur(pid) - c0) / (maintenant() - t0) * 100;
        // /proc counts in ticks: one tick over the measure is the finest step.
        const double pas = 100.0 / (double(::sysconf(_SC_CLK_TCK)) * duree);
        ligne(QStringLiteral("Processeur de lumicom-sim au repos, %1 s").arg(duree),
              nombre(part, 2) +
                  QStringLiteral(" % d'un cœur (par pas de %1 %)").arg(nombre(pas, 2)));

        int reponses = 0;
        t0 = maintenant();
        c0 = tempsProcesseur(pid);
        for (int k = 0; k * 0.03 < duree; ++k) {
            dorsJusqua(t0 + k * 0.03);
            ecrisTout(com1, "XEA 0\r");
            ecrisTout(com2, "XEA 0\r");
            reponses += vide(com1).count('\r') + vide(com2).count('\r');
        }
        part = (tempsProcesseur(pid) - c0) / (maintenant() - t0) * 100;
        ligne(
            QStringLiteral("Processeur, XEA 0 toutes les 30 ms sur COM1 et COM2, %1 s").arg(duree),
            nombre(part, 2) + QStringLiteral(" % d'un cœur (%1 réponses)").arg(reponses));
    }

    ::close(com1);
    ::close(com2);
    simulateur.terminate();
    simulateur.waitForFinished(5000);
    return 0;
}
