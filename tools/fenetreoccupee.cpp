#include "tools/fenetreoccupee.h"

#include "link/fileappels.h"
#include "link/filposte.h"

#include <QCoreApplication>
#include <QTimer>
#include <chrono>

int executesurfilposte(const std::function<int()>& travail, double occupation) {
    FileAppels appelsprincipal;
    FilPoste fil;
    fil.lance([&] {
        const int code = travail();
        appelsprincipal.ajoute([code] { QCoreApplication::exit(code); });
    });
    // Each second the event loop of this thread is held, without yielding, for
    // `occupation` seconds: nothing it would run (a repaint, a box) may hold the station.
    QTimer occupe;
    occupe.setTimerType(Qt::PreciseTimer);
    occupe.setInterval(1000);
    QObject::connect(&occupe, &QTimer::timeout, [occupation] {
        const auto fin = std::chrono::steady_clock::now() +
                         std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                             std::chrono::duration<double>(occupation));
        while (std::chrono::steady_clock::now() < fin) {
        }
    });
    if (occupation > 0)
        occupe.start();
    return QCoreApplication::exec();
}
