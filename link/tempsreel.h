#pragma once

#include <QString>

// Real-time scheduling for the thread that keys the light and samples it. On a busy
// machine a thread of the ordinary class can be held up for tens of milliseconds, which
// lengthens an element of light or a sampling interval; one of the real-time class runs as
// soon as it is ready. The time such a thread may run without blocking is bounded
// (RLIMIT_RTTIME): beyond it the thread goes back to the ordinary class, so that a
// runaway loop cannot freeze the desktop.
struct PrioriteTempsReel {
    bool accordee = false;
    QString moyen;  // how it was obtained: the system call, or the RealtimeKit service
    QString raison; // French: why it was not granted
};

// Asks real-time scheduling at `priorite` (1 to 99, lower is less urgent) for the calling
// thread: directly where the process has the right (root, CAP_SYS_NICE, an RLIMIT_RTPRIO),
// otherwise from the system's RealtimeKit service over D-Bus, as audio programs do.
// Threads created afterwards keep the ordinary class.
PrioriteTempsReel demandeprioritetempsreel(int priorite);

// Whether the thread has been sent back to the ordinary class since it was granted
// real-time scheduling (it ran too long without blocking).
bool prioriteretiree();

// The French note for the status bar when no priority was granted (or it was taken back):
// what may suffer, and how to grant it on this system.
QString notepriorite(const PrioriteTempsReel& priorite);

// The line the headless tool prints: "priorité temps réel : accordée (…)" or
// "priorité temps réel : refusée (…)".
QString lignepriorite(const PrioriteTempsReel& priorite);
