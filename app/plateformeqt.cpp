#include "app/plateformeqt.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

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

PlateformeQt::PlateformeQt() {
    depart_.start();
}

double PlateformeQt::horloge() {
    return static_cast<double>(depart_.nsecsElapsed()) * 1e-9;
}

void PlateformeQt::cede(double echeance) {
    const double reste = echeance > 0 ? echeance - horloge() : attenteMaximale;
    if (reste <= margeReveil) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
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
    const double reste = echeance - horloge();
    if (reste > margeSommeil)
        std::this_thread::sleep_for(std::chrono::duration<double>(reste - margeSommeil));
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
