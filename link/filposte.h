#pragma once

#include "link/fileappels.h"

#include <QThread>
#include <functional>
#include <memory>

// The thread a station lives and runs on in the program: its routines, its tick, its link
// and its keying, with an event loop of its own, so that no box, repaint or menu of the
// window's thread holds the light, and the light never holds the window. Only this thread
// asks for real-time scheduling.
class FilPoste {
public:
    FilPoste();
    // Ends the thread's event loop and waits for it: what still runs on it must return
    // first (the tests give it finite work; the program ends from the station itself).
    ~FilPoste();
    FilPoste(const FilPoste&) = delete;
    FilPoste& operator=(const FilPoste&) = delete;

    // What runs on the thread, in order (`Station::fixecontexte` takes it).
    FileAppels& appels() { return *appels_; }
    QThread& fil() { return fil_; }

    // Runs `travail` on the thread and waits for it to return (the station made there, its
    // timer and its port belonging to that thread).
    void executeetattends(const std::function<void()>& travail);
    // Runs `travail` on the thread; returns at once (the start-up, which never returns).
    void lance(std::function<void()> travail);

private:
    QThread fil_;
    std::unique_ptr<FileAppels> appels_;
};
