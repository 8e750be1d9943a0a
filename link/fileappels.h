#pragma once

#include <QObject>
#include <deque>
#include <functional>
#include <mutex>

// Calls handed from one thread to another: each runs on the thread this object lives on,
// in the order given, one at each pass of that thread's event loop (so that a call that
// runs long and yields, an emission, lets the next ones run in its yields, as a click
// would). What a call carries crosses under a mutex of the standard library; the event that
// wakes the thread is made by Qt and carries nothing of ours.
class FileAppels : public QObject {
    Q_OBJECT
public:
    explicit FileAppels(QObject* parent = nullptr);
    ~FileAppels() override;

    // From any thread.
    void ajoute(std::function<void()> appel);
    // Runs the oldest call waiting, if any, on the calling thread; the event loop of the
    // object's thread calls it once per call added.
    Q_INVOKABLE void executeun();
    // Runs everything waiting, on the calling thread (a test that has no event loop).
    void executetout();
    bool vide();

private:
    void reveille();

    std::mutex verrou_;
    std::deque<std::function<void()>> appels_;
};
