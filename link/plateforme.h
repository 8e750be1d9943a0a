#pragma once

#include <functional>
#include <memory>

// The timer of the main form. Each tick runs the handler `Minuterie_Timer`, which
// samples input EA0 (and nothing else). Intervals are whole milliseconds.
class Minuteur {
public:
    virtual ~Minuteur() = default;

    virtual void setInterval(int millisecondes) = 0;
    virtual int interval() const = 0;
    // Enabling a timer that already runs leaves its schedule alone.
    virtual void setEnabled(bool actif) = 0;
    virtual bool enabled() const = 0;

    void setMinuterie_Timer(std::function<void()> gestionnaire) {
        Minuterie_Timer = std::move(gestionnaire);
    }

protected:
    void tic() {
        if (Minuterie_Timer)
            Minuterie_Timer();
    }

private:
    std::function<void()> Minuterie_Timer;
};

// Thrown by the virtual platform when the program ends, so that a test sees the end
// of a station where a real run would end the process.
struct FinProgramme {
    int code = 0;
};

// Everything the routines take from the platform: the clock, the yield to the event
// loop, the sampling timer and the end of the program. No routine reads a clock or
// processes events any other way, so that the same routines run in real time and, in
// tests, in virtual time.
class Plateforme {
public:
    virtual ~Plateforme() = default;

    // Monotonic clock in seconds, sub-millisecond resolution. Midnight plays no part.
    virtual double horloge() = 0;

    // Lets the event loop run what is pending (timer ticks, clicks, menu choices, serial
    // input) and comes back. When nothing is pending it sleeps until an event arrives, so
    // that a loop polling the light or the coding keeps no core busy. `echeance` is the
    // clock reading at which the caller's wait ends, when it knows it (0 when it does
    // not): the yield then comes back in time for it. A deadline already passed returns
    // as soon as the pending events have run.
    virtual void cede(double echeance = 0) = 0;

    // For the loops that must not let events run (the user interface does not respond
    // during them): sleeps, without processing anything, until `echeance`, and returns at
    // once when that is passed. The caller reads the clock again.
    virtual void patiente(double echeance) = 0;

    // Waits until the clock reaches `echeance`, for an element of light whose end must come
    // on time: the events run meanwhile (a click on Quit, a signal), and the last stretch is
    // slept without the event loop, so that the wait ends at its deadline and not when an
    // event happens to be handled. Returns at once when the deadline has passed.
    virtual void attendjusqua(double echeance) = 0;

    virtual std::unique_ptr<Minuteur> creeMinuteur() = 0;

    // Ends the program at once, abandoning every routine in progress.
    [[noreturn]] virtual void termineProgramme(int code) = 0;
};
