#include "sim/frontalpty.h"

#include "sim/erreursysteme.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

// Longest wait without a look at the clock; it only bounds how late a change of the
// stop flag is seen should a signal be missed.
constexpr double attenteMaximum = 0.5;
// Retry delay of a write the pseudo-terminal refused: its program is not reading.
constexpr double attenteReessai = 0.01;
// Answer bytes kept for a program that does not read its port, beyond what the system
// keeps: the answers to a whole recording of 400 blocks (51 600 bytes at most) fit, so
// this only overflows when nobody reads at all.
constexpr qsizetype enAttenteMaximum = 64 * 1024;

QString lienCible(const QString& lien) {
    char cible[4096];
    const ssize_t n = ::readlink(lien.toLocal8Bit().constData(), cible, sizeof cible - 1);
    return n < 0 ? QString() : QString::fromLocal8Bit(cible, n);
}

// Gives `lien` the target `cible`, replacing an existing link in one step so that a
// program looking up the port never finds it missing.
bool publieLien(const QString& cible, const QString& lien, QString& erreur) {
    const QByteArray chemin = lien.toLocal8Bit();
    struct stat etat {};
    if (::lstat(chemin.constData(), &etat) == 0 && !S_ISLNK(etat.st_mode)) {
        erreur = QStringLiteral("« %1 » existe et n'est pas un lien : le simulateur ne le "
                                "remplace pas")
                     .arg(lien);
        return false;
    }
    const QByteArray provisoire = chemin + ".nouveau";
    ::unlink(provisoire.constData());
    if (::symlink(cible.toLocal8Bit().constData(), provisoire.constData()) != 0 ||
        ::rename(provisoire.constData(), chemin.constData()) != 0) {
        erreur = QStringLiteral("impossible de publier le port « %1 » : %2")
                     .arg(lien, raisonSysteme(errno));
        ::unlink(provisoire.constData());
        return false;
    }
    return true;
}

} // namespace

FrontalPseudoTerminaux::FrontalPseudoTerminaux(const ReglagesBanc& reglages, Journal journal)
    : journal_(std::move(journal)), banc_(reglages, journal_),
      commandes_(banc_, [this](const QString& port, const QString& detail) {
          note(horloge(), port, QStringLiteral("lumière"), detail);
      }) {}

FrontalPseudoTerminaux::~FrontalPseudoTerminaux() {
    retirePorts(QStringLiteral("arrêt du simulateur"));
}

double FrontalPseudoTerminaux::horloge() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

bool FrontalPseudoTerminaux::publiePorts(const QString& dossier, QString& erreur) {
    // The folder is ours while we hold its lock: a COMn link beyond our ports is left
    // over from a run with more interfaces that could not clean up. Ours are replaced
    // below, each in one step.
    const QDir d(dossier);
    const QRegularExpression nomPort(QStringLiteral("^COM([0-9]+)$"));
    for (const QString& nom : d.entryList(QDir::System | QDir::Files | QDir::NoDotAndDotDot)) {
        const QRegularExpressionMatch m = nomPort.match(nom);
        if (m.hasMatch() && m.captured(1).toInt() > banc_.nombreInterfaces() &&
            QFileInfo(d.filePath(nom)).isSymLink())
            ::unlink(d.filePath(nom).toLocal8Bit().constData());
    }

    for (int i = 0; i < banc_.nombreInterfaces(); ++i) {
        Port port;
        port.nom = Banc::nomPort(i);
        port.lien = d.absoluteFilePath(port.nom);
        if (!ouvrePseudoTerminal(port, erreur))
            return false;
        ports_.push_back(port);
        if (!publieLien(port.esclave, port.lien, erreur))
            return false;
        note(horloge(), port.nom, QStringLiteral("port"),
             QStringLiteral("publié %1 -> %2").arg(port.lien, port.esclave));
    }
    // The light by hand is a help: without its pipe the bench works as before.
    QString raison;
    if (!commandes_.ouvre(dossier, raison))
        note(horloge(), QString(), QStringLiteral("lumière"), raison);
    return true;
}

bool FrontalPseudoTerminaux::ouvrePseudoTerminal(Port& port, QString& erreur) {
    port.maitre = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    char nom[128];
    if (port.maitre < 0 || ::grantpt(port.maitre) != 0 || ::unlockpt(port.maitre) != 0 ||
        ::ptsname_r(port.maitre, nom, sizeof nom) != 0) {
        erreur =
            QStringLiteral("impossible de créer un pseudo-terminal : %1").arg(raisonSysteme(errno));
        if (port.maitre >= 0)
            ::close(port.maitre);
        port.maitre = -1;
        return false;
    }
    ::fcntl(port.maitre, F_SETFD, FD_CLOEXEC);
    port.esclave = QString::fromLocal8Bit(nom);
    // Kept open for the whole run: with no slave open, the master reports a hang-up
    // at every poll, and the line settings below would be lost when a program closes.
    port.esclaveGarde = ::open(nom, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    termios reglage{};
    if (port.esclaveGarde < 0 || ::tcgetattr(port.esclaveGarde, &reglage) != 0) {
        erreur = QStringLiteral("impossible d'ouvrir le pseudo-terminal « %1 » : %2")
                     .arg(port.esclave, raisonSysteme(errno));
        ::close(port.maitre);
        if (port.esclaveGarde >= 0)
            ::close(port.esclaveGarde);
        port.maitre = port.esclaveGarde = -1;
        return false;
    }
    // Raw at 9600 bauds, as the program sets its port: no echo nor line editing
    // even for the first program to open it.
    ::cfmakeraw(&reglage);
    ::cfsetispeed(&reglage, B9600);
    ::cfsetospeed(&reglage, B9600);
    ::tcsetattr(port.esclaveGarde, TCSANOW, &reglage);
    return true;
}

void FrontalPseudoTerminaux::republie(Port& port, double instant, bool ailleurs) {
    // A new pseudo-terminal under the same name, as an adapter plugged back gets a new
    // device behind the same COM port.
    port.coupe = false;
    const QString avant = port.esclave;
    QString erreur;
    if (!ouvrePseudoTerminal(port, erreur)) {
        note(instant, port.nom, QStringLiteral("port"),
             QStringLiteral("pas de retour (%1)").arg(erreur));
        return;
    }
    // Back under another device: the system gives the lowest free number, often the one
    // just freed; those it gives are held until another comes.
    std::vector<int> tenus;
    for (int essai = 0; ailleurs && port.esclave == avant && essai < 8; ++essai) {
        tenus.insert(tenus.end(), {port.maitre, port.esclaveGarde});
        if (!ouvrePseudoTerminal(port, erreur))
            break;
    }
    for (const int d : tenus)
        ::close(d);
    if (port.maitre < 0) {
        note(instant, port.nom, QStringLiteral("port"),
             QStringLiteral("pas de retour (%1)").arg(erreur));
        return;
    }
    if (!publieLien(port.esclave, port.lien, erreur)) {
        retire(port, instant, erreur);
        return;
    }
    port.bloque = false;
    port.jetes = 0;
    note(instant, port.nom, QStringLiteral("port"),
         QStringLiteral("publié %1 -> %2 (connexion rétablie)").arg(port.lien, port.esclave));
}

void FrontalPseudoTerminaux::retirePorts(const QString& raison) {
    commandes_.ferme();
    const double instant = horloge();
    for (Port& port : ports_)
        retire(port, instant, raison);
}

void FrontalPseudoTerminaux::retire(Port& port, double instant, const QString& raison) {
    if (port.maitre < 0)
        return;
    ::close(port.maitre);
    ::close(port.esclaveGarde);
    port.maitre = port.esclaveGarde = -1;
    port.enAttente.clear();
    // Only our own link: a user may have put something else in its place.
    if (lienCible(port.lien) == port.esclave)
        ::unlink(port.lien.toLocal8Bit().constData());
    note(instant, port.nom, QStringLiteral("port"), QStringLiteral("retiré (%1)").arg(raison));
}

void FrontalPseudoTerminaux::tourne(const volatile std::sig_atomic_t& arret,
                                    const sigset_t& masqueAttente) {
    // Wake-ups as close to the deadline as the system can: the default slack of 50 µs
    // would add to the lateness of every answer byte.
    ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);

    std::vector<pollfd> attente;
    std::vector<int> stations;
    while (!arret) {
        const double instant = horloge();
        banc_.avanceJusqua(instant);
        for (int i = 0; i < banc_.nombreInterfaces(); ++i) {
            Port& port = ports_[static_cast<std::size_t>(i)];
            // Taken even from a withdrawn port, or its next byte would stay due for ever.
            const QByteArray reponse = banc_.lit(i, instant);
            const bool coupee = banc_.interface(i).coupee();
            if (port.maitre >= 0 && coupee) {
                retire(port, instant, QStringLiteral("connexion coupée"));
                port.coupe = true;
            } else if (port.maitre < 0 && port.coupe && !coupee) {
                republie(port, instant, banc_.interface(i).retourAilleurs());
            }
            if (port.maitre < 0)
                continue;
            ajouteReponse(port, reponse, instant);
            ecritEnAttente(port, instant);
        }

        attente.clear();
        stations.clear();
        if (commandes_.descripteur() >= 0) {
            attente.push_back({commandes_.descripteur(), POLLIN, 0});
            stations.push_back(-1);
        }
        double delai = attenteMaximum;
        for (int i = 0; i < banc_.nombreInterfaces(); ++i) {
            const Port& port = ports_[static_cast<std::size_t>(i)];
            if (port.maitre < 0)
                continue;
            short evenements = POLLIN;
            if (!port.enAttente.isEmpty()) {
                if (port.bloque)
                    delai = std::min(delai, attenteReessai);
                else
                    evenements |= POLLOUT;
            }
            attente.push_back({port.maitre, evenements, 0});
            stations.push_back(i);
        }
        delai = std::clamp(banc_.prochainEvenement() - horloge(), 0.0, delai);
        // Rounded up: a wake-up before the deadline would only loop once more.
        const auto nanosecondes = static_cast<long long>(std::ceil(delai * 1e9));
        const timespec duree{static_cast<time_t>(nanosecondes / 1000000000),
                             static_cast<long>(nanosecondes % 1000000000)};
        if (::ppoll(attente.data(), attente.size(), &duree, &masqueAttente) <= 0)
            continue; // deadline, or a signal: the loop looks at the flag and the clock

        for (std::size_t k = 0; k < attente.size(); ++k) {
            if (stations[k] < 0) {
                if (attente[k].revents & POLLIN)
                    commandes_.lis(horloge());
                continue;
            }
            Port& port = ports_[static_cast<std::size_t>(stations[k])];
            if (attente[k].revents & POLLIN)
                lisProgramme(port, stations[k]);
            // Not expected while we keep a slave open; withdrawing the port is better than
            // a loop that wakes without end.
            if (port.maitre >= 0 && (attente[k].revents & (POLLERR | POLLHUP | POLLNVAL)))
                retire(port, horloge(), QStringLiteral("erreur du pseudo-terminal"));
        }
    }
}

void FrontalPseudoTerminaux::lisProgramme(Port& port, int station) {
    // The instant the bytes are seen is the instant they were written, to the lateness
    // of the wake-up.
    const double instant = horloge();
    QByteArray octets;
    char tampon[4096];
    for (;;) {
        const ssize_t n = ::read(port.maitre, tampon, sizeof tampon);
        if (n <= 0)
            break;
        octets.append(tampon, n);
    }
    if (!octets.isEmpty())
        banc_.ecrit(station, instant, octets);
}

void FrontalPseudoTerminaux::ajouteReponse(Port& port, const QByteArray& octets, double instant) {
    const qsizetype place = enAttenteMaximum - port.enAttente.size();
    if (octets.size() <= place) {
        port.enAttente += octets;
        return;
    }
    // Like the receive buffer of a real port: what does not fit is lost.
    port.enAttente += octets.left(place);
    if (port.jetes == 0)
        note(instant, port.nom, QStringLiteral("perte"),
             QStringLiteral("le programme ne lit pas ses réponses : au-delà de %1 octets en "
                            "attente, les suivantes sont jetées")
                 .arg(enAttenteMaximum));
    port.jetes += octets.size() - place;
}

void FrontalPseudoTerminaux::ecritEnAttente(Port& port, double instant) {
    if (port.enAttente.isEmpty())
        return;
    const ssize_t n = ::write(port.maitre, port.enAttente.constData(),
                              static_cast<std::size_t>(port.enAttente.size()));
    // Refused (full: the program does not read): retried on a short timer rather than
    // on the "free" signal of the pseudo-terminal, which could then wake us for nothing.
    port.bloque = n <= 0;
    if (n > 0)
        port.enAttente.remove(0, n);
    if (port.enAttente.isEmpty() && port.jetes > 0) {
        note(instant, port.nom, QStringLiteral("perte"),
             QStringLiteral("%1 octets de réponse jetés en tout").arg(port.jetes));
        port.jetes = 0;
    }
}

void FrontalPseudoTerminaux::note(double instant, const QString& port, const QString& mot,
                                  const QString& detail) {
    if (journal_)
        journal_({instant, port, mot, detail});
}
