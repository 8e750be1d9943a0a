// A library bench-charge starts lumicom-tool send with (LD_PRELOAD): it notes the instant
// of every keying command the station writes to its serial port, on the clock the
// simulator dates its journal with, in the file named by LUMICOM_TRACE_ECRITURES: one line
// "seconds level" per command (1 lit, 0 dark). Set beside the journal, it tells the
// emitter's own timing from the time the byte takes to reach the simulator.

#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <fcntl.h>
#include <time.h>
#include <unistd.h>

namespace {

using FonctionEcriture = ssize_t (*)(int, const void*, size_t);

FonctionEcriture ecritureSysteme() {
    static const auto fonction = reinterpret_cast<FonctionEcriture>(::dlsym(RTLD_NEXT, "write"));
    return fonction;
}

constexpr int pasOuvert = -2;
int trace = pasOuvert;

// A keying command: the level byte (0 lights, 32 darkens), alone or followed by CR, written
// to a terminal.
bool commandeLaser(int descripteur, const unsigned char* octets, size_t nombre) {
    return descripteur > 2 && descripteur != trace && nombre >= 1 && nombre <= 2 &&
           (octets[0] == 0 || octets[0] == 0x20) && ::isatty(descripteur);
}

} // namespace

extern "C" ssize_t write(int descripteur, const void* octets, size_t nombre) {
    const FonctionEcriture systeme = ecritureSysteme();
    const auto* o = static_cast<const unsigned char*>(octets);
    if (!commandeLaser(descripteur, o, nombre))
        return systeme(descripteur, octets, nombre);
    timespec instant{};
    ::clock_gettime(CLOCK_MONOTONIC, &instant);
    const ssize_t ecrits = systeme(descripteur, octets, nombre);
    if (trace == pasOuvert) {
        const char* chemin = std::getenv("LUMICOM_TRACE_ECRITURES");
        trace = chemin ? ::open(chemin, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644) : -1;
    }
    if (trace >= 0) {
        char ligne[64];
        const int n = std::snprintf(ligne, sizeof ligne, "%lld.%09ld %d\n",
                                    static_cast<long long>(instant.tv_sec), instant.tv_nsec,
                                    o[0] == 0 ? 1 : 0);
        if (n > 0)
            systeme(trace, ligne, size_t(n));
    }
    return ecrits;
}
