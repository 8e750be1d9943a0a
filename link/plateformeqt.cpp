#include "link/plateformeqt.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#ifdef Q_OS_LINUX
#include <sys/prctl.h>
#endif

namespace {

class MinuteurQt : public Minuteur {
public:
    MinuteurQt() {
        minuteur_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&minuteur_, &QTimer::timeout, [this] { tic(); });
    }
    void setInterval(int millisecondes) override { minuteur_.setInterval(millisecondes); }
    int interval() const override { return minuteur_.interval(); }
    void setEnabled(bool actif) override {
        if (actif && !minuteur_.isActive())
            minuteur_.start();
        else if (!actif)
            minuteur_.stop();
    }
    bool enabled() const override { return minuteur_.isActive(); }

private:
    QTimer minuteur_;
};

} // namespace

PlateformeQt::PlateformeQt() : depart_(std::chrono::steady_clock::now()) {
#ifdef Q_OS_LINUX
    // The system may wake a sleeping thread up to 50 µs late to group its wake-ups; the
    // keying of the light wants its wake-ups on time.
    ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
#endif
}

double PlateformeQt::horloge() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - depart_).count();
}

void PlateformeQt::dort(double echeance) {
    const auto instant = depart_ + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                       std::chrono::duration<double>(echeance));
    std::this_thread::sleep_until(instant);
}

void PlateformeQt::cede(double echeance) {
    const double reste = echeance > 0 ? echeance - horloge() : attenteMaximale;
    if (reste <= margeReveil) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        // The caller's deadline is near: sleep to it rather than come back to a loop that
        // would spin on the clock until then.
        if (echeance > 0)
            dort(echeance);
        return;
    }
    // Sleep in the event loop until something happens (a tick, a click, serial input)
    // or until just before the deadline, then let the caller read the clock again.
    // The wake-up timer is the call's own, so that a yield nested inside an event handler
    // does not disarm the one of the yield that called the handler.
    QTimer reveil;
    reveil.setSingleShot(true);
    reveil.setTimerType(Qt::PreciseTimer);
    reveil.start(static_cast<int>((reste - margeReveil) * 1000));
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

void PlateformeQt::patiente(double echeance) {
    dort(echeance);
}

void PlateformeQt::attendjusqua(double echeance) {
    while (echeance - horloge() > margeEvenements + margeReveil)
        cede(echeance - margeEvenements);
    dort(echeance);
}

std::unique_ptr<Minuteur> PlateformeQt::creeMinuteur() {
    return std::make_unique<MinuteurQt>();
}

void PlateformeQt::termineProgramme(int code) {
    // Every routine in progress is abandoned: the process ends here, from whatever depth
    // of nested loops the request came. The port was closed by the caller.
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(code);
}
