#include "link/signauxarret.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QtGlobal>

#ifdef Q_OS_UNIX
#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

#ifdef Q_OS_UNIX
std::array<int, 2> tubeSignal = {-1, -1};

extern "C" void surSignal(int) {
    // The code the handler interrupts may be about to read errno.
    const int erreur = errno;
    const char octet = 1;
    [[maybe_unused]] const ssize_t n = ::write(tubeSignal[1], &octet, 1);
    errno = erreur;
}
#endif

} // namespace

void guettesignauxdarret(std::function<void()> arret) {
#ifdef Q_OS_UNIX
    if (tubeSignal[0] < 0 && ::pipe2(tubeSignal.data(), O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    // On the calling thread, whose event loop runs `arret`: the window's in the program, the
    // station's in the headless tool when the station has a thread of its own. Alive for
    // the whole run, as the program's own handlers are.
    static QSocketNotifier* notificateur = nullptr;
    delete notificateur;
    notificateur = new QSocketNotifier(tubeSignal[0], QSocketNotifier::Read);
    QObject::connect(notificateur, &QSocketNotifier::activated, notificateur,
                     [arret = std::move(arret)] {
                         char octet = 0;
                         while (::read(tubeSignal[0], &octet, 1) > 0) {
                         }
                         arret();
                     });
    struct sigaction action {};
    action.sa_handler = surSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    // SIGQUIT (Ctrl+\) and SIGPIPE (the reader of a pipe gone, `lumicom-tool ... | head`)
    // would end the program on the spot, the laser left as it was.
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE}) {
        // A signal the program was started to ignore (nohup, a shell's background job for
        // SIGINT) stays ignored.
        struct sigaction avant {};
        if (::sigaction(signal, nullptr, &avant) == 0 && avant.sa_handler == SIG_IGN)
            continue;
        ::sigaction(signal, &action, nullptr);
    }
#else
    Q_UNUSED(arret);
#endif
}
