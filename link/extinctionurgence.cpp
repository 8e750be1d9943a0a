#include "link/extinctionurgence.h"

#include "link/liaison.h"

#include <QCoreApplication>
#include <atomic>
#include <cstdlib>
#include <exception>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#include <termios.h>
#include <time.h>
#include <unistd.h>
#endif

namespace {

Liaison* liaisonInscrite = nullptr;
std::atomic<bool> faite{false};
QtMessageHandler gestionnairePrecedent = nullptr;
std::terminate_handler terminaisonPrecedente = nullptr;

// A fatal message of Qt (the display gone, among others) aborts right after its handler.
void surMessage(QtMsgType type, const QMessageLogContext& contexte, const QString& message) {
    if (type == QtFatalMsg)
        extinctionurgence();
    if (gestionnairePrecedent)
        gestionnairePrecedent(type, contexte, message);
}

[[noreturn]] void surTerminaison() {
    extinctionurgence();
    if (terminaisonPrecedente)
        terminaisonPrecedente();
    std::abort();
}

#ifdef Q_OS_UNIX
extern "C" void surSignalFatal(int signal) {
    extinctionurgence();
    // The default action (a core, the end) follows, as if nothing had been in between.
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}
#endif

} // namespace

void extinctionurgence() {
    if (!liaisonInscrite || faite.exchange(true))
        return;
#ifdef Q_OS_UNIX
    const int erreur = errno;
    const int descripteur = liaisonInscrite->descripteurPort();
    if (descripteur >= 0) {
        static const char commande[] = {'\r', ' ', '\r'};
        [[maybe_unused]] const ssize_t n = ::write(descripteur, commande, sizeof commande);
        ::tcdrain(descripteur);
        // A pseudo-terminal or a USB adapter says it has sent what it still carries, and
        // drops it when the program ends: the three bytes' time on the line at 9600 baud,
        // and a margin for the other end to read them.
        timespec attente{0, 20'000'000};
        ::nanosleep(&attente, nullptr);
    }
    errno = erreur;
#endif
}

void inscritextinctionurgence(Liaison& liaison) {
    liaisonInscrite = &liaison;
    faite.store(false);
    static bool installe = false;
    if (installe)
        return;
    installe = true;
    std::atexit(extinctionurgence);
    terminaisonPrecedente = std::set_terminate(surTerminaison);
    gestionnairePrecedent = qInstallMessageHandler(surMessage);
    if (QCoreApplication* application = QCoreApplication::instance())
        QObject::connect(application, &QCoreApplication::aboutToQuit, application,
                         [] { extinctionurgence(); });
#ifdef Q_OS_UNIX
    struct sigaction action {};
    action.sa_handler = surSignalFatal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND;
    for (const int signal : {SIGABRT, SIGSEGV, SIGBUS, SIGFPE, SIGILL})
        ::sigaction(signal, &action, nullptr);
#endif
}
