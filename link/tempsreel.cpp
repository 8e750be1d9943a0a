#include "link/tempsreel.h"

#include <QtGlobal>

#ifdef Q_OS_LINUX
#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace {

#ifdef Q_OS_LINUX

// How long the real-time thread may run without blocking: a warning (SIGXCPU) at the
// soft limit, the end of the process at the hard one. The station blocks in its event
// loop or in a sleep many times a second; RealtimeKit grants nothing above 200 ms.
constexpr rlim_t rttimeSouple = 100'000; // µs
constexpr rlim_t rttimeDur = 200'000;    // µs

std::atomic<bool> retiree{false};
// The thread granted real-time scheduling (its system thread number), 0 for none.
std::atomic<pid_t> filtempsreel{0};

// SIGXCPU: the real-time thread ran too long without blocking. It goes back to the ordinary
// class instead of being killed at the hard limit. The signal may reach any thread of the
// program: the real-time one is named by its number. SCHED_RESET_ON_FORK stays set, since
// only CAP_SYS_NICE may clear it: a desktop user granted the priority by RealtimeKit or an
// rtprio limit has it set and lacks that right, and the call would fail without it.
// sched_setscheduler is a plain system call, safe here.
extern "C" void surDepassement(int) {
    const int erreur = errno;
    const pid_t fil = filtempsreel.load();
    sched_param parametre{};
    parametre.sched_priority = 0;
    if (fil != 0 && ::sched_setscheduler(fil, SCHED_OTHER | SCHED_RESET_ON_FORK, &parametre) == 0)
        retiree.store(true);
    errno = erreur;
}

bool limitetempsreel() {
    // The handler first: a limit already reached when it is set finds it in place.
    struct sigaction action {};
    action.sa_handler = surDepassement;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    if (::sigaction(SIGXCPU, &action, nullptr) != 0)
        return false;
    rlimit limite{};
    if (::getrlimit(RLIMIT_RTTIME, &limite) != 0)
        return false;
    // A smaller limit set by the system stays.
    limite.rlim_cur = std::min(limite.rlim_cur, rttimeSouple);
    limite.rlim_max = std::min(limite.rlim_max, rttimeDur);
    if (limite.rlim_cur > limite.rlim_max)
        limite.rlim_cur = limite.rlim_max;
    return ::setrlimit(RLIMIT_RTTIME, &limite) == 0;
}

// The RealtimeKit service makes a thread of a desktop user real-time, within the
// priority and the limit it allows.
bool parRealtimeKit(int priorite, QString& raison) {
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) {
        raison = QStringLiteral("pas de bus système D-Bus pour demander au service RealtimeKit");
        return false;
    }
    QDBusInterface rtkit(QStringLiteral("org.freedesktop.RealtimeKit1"),
                         QStringLiteral("/org/freedesktop/RealtimeKit1"),
                         QStringLiteral("org.freedesktop.RealtimeKit1"), bus);
    if (!rtkit.isValid()) {
        raison = QStringLiteral("le service RealtimeKit (paquet rtkit) n'est pas installé");
        return false;
    }
    const QVariant maximum = rtkit.property("MaxRealtimePriority");
    if (maximum.isValid() && maximum.toInt() > 0)
        priorite = std::min(priorite, maximum.toInt());
    const QDBusReply<void> reponse = rtkit.call(QStringLiteral("MakeThreadRealtime"),
                                                QVariant::fromValue(quint64(::syscall(SYS_gettid))),
                                                QVariant::fromValue(quint32(priorite)));
    if (!reponse.isValid()) {
        raison = QStringLiteral("le service RealtimeKit l'a refusée (%1)")
                     .arg(reponse.error().message());
        return false;
    }
    return true;
}

#endif

} // namespace

PrioriteTempsReel demandeprioritetempsreel(int priorite) {
    PrioriteTempsReel resultat;
#ifdef Q_OS_LINUX
    if (!limitetempsreel()) {
        resultat.raison = QStringLiteral("la limite de temps d'un programme temps réel ne peut "
                                         "pas être posée (%1)")
                              .arg(QString::fromLocal8Bit(std::strerror(errno)));
        return resultat;
    }
    sched_param parametre{};
    parametre.sched_priority = priorite;
    // Named before it is granted: the limit may be reached at once.
    const pid_t fil = static_cast<pid_t>(::syscall(SYS_gettid));
    filtempsreel.store(fil);
    retiree.store(false);
    // Threads this one creates later (those of Qt) stay in the ordinary class.
    if (::sched_setscheduler(0, SCHED_FIFO | SCHED_RESET_ON_FORK, &parametre) == 0) {
        resultat.accordee = true;
        resultat.moyen = QStringLiteral("SCHED_FIFO %1").arg(priorite);
        return resultat;
    }
    const QString refusdirect = QString::fromLocal8Bit(std::strerror(errno));
    QString raison;
    if (parRealtimeKit(priorite, raison)) {
        resultat.accordee = true;
        resultat.moyen = QStringLiteral("RealtimeKit");
        return resultat;
    }
    filtempsreel.store(0);
    resultat.raison = QStringLiteral("le système la refuse à cet utilisateur (%1) et %2")
                          .arg(refusdirect, raison);
#else
    Q_UNUSED(priorite);
    resultat.raison = QStringLiteral("non demandée sur ce système");
#endif
    return resultat;
}

bool prioriteretiree() {
#ifdef Q_OS_LINUX
    return retiree.load();
#else
    return false;
#endif
}

QString notepriorite(const PrioriteTempsReel& priorite) {
    if (priorite.accordee && !prioriteretiree())
        return {};
#ifdef Q_OS_LINUX
    const QString cause = priorite.accordee
                              ? QStringLiteral("La priorité temps réel a été retirée au programme")
                              : QStringLiteral("Pas de priorité temps réel : ") + priorite.raison;
    return cause + QStringLiteral(
                       ". L'émission et la réception peuvent souffrir quand d'autres programmes "
                       "occupent l'ordinateur. Pour l'accorder : installer le service RealtimeKit "
                       "(sudo apt install rtkit) et relancer le programme, ou permettre la "
                       "priorité temps réel à l'utilisateur (une ligne « utilisateur - rtprio 20 » "
                       "dans /etc/security/limits.d/lumicom.conf, puis se reconnecter).");
#else
    return {};
#endif
}

QString lignepriorite(const PrioriteTempsReel& priorite) {
    if (priorite.accordee)
        return QStringLiteral("priorité temps réel : accordée (%1)").arg(priorite.moyen);
    return QStringLiteral("priorité temps réel : refusée (%1)").arg(priorite.raison);
}
