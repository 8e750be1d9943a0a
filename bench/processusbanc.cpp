#include "bench/processusbanc.h"

#include <QDir>
#include <QFile>
#include <chrono>
#include <cmath>

double maintenant() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

QString chargeMachine() {
    QFile f(QStringLiteral("/proc/loadavg"));
    if (!f.open(QIODevice::ReadOnly))
        return QStringLiteral("?");
    return QString::fromLatin1(f.readAll()).section(u' ', 0, 2);
}

// Processor time of a living process so far, in seconds: the scheduler's own count of
// the time its threads ran (/proc/PID/task/*/schedstat, nanoseconds). The user and system
// times of /proc/PID/stat are sampled at clock ticks, too coarse and biased for a process
// that wakes up briefly at a fixed period.
double tempsProcesseur(pid_t pid) {
    const QDir taches(QStringLiteral("/proc/%1/task").arg(pid));
    double total = 0;
    int lues = 0;
    for (const QString& tache : taches.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile f(taches.filePath(tache + QStringLiteral("/schedstat")));
        if (!f.open(QIODevice::ReadOnly))
            continue;
        total += f.readAll().split(' ').value(0).toDouble() * 1e-9;
        ++lues;
    }
    return lues > 0 ? total : NAN;
}

double secondes(const timeval& t) {
    return double(t.tv_sec) + double(t.tv_usec) * 1e-6;
}
