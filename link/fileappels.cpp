#include "link/fileappels.h"

#include <QMetaObject>
#include <utility>

FileAppels::FileAppels(QObject* parent) : QObject(parent) {}

FileAppels::~FileAppels() {
    // After the last call added from another thread, whatever it read of this object.
    const std::lock_guard verrou(verrou_);
}

void FileAppels::ajoute(std::function<void()> appel) {
    const std::lock_guard verrou(verrou_);
    appels_.push_back(std::move(appel));
    // One wake-up per call: each pass of the event loop runs one, so that a call that
    // yields does not hold back those that come after it. Posted under the mutex, so that
    // the object's end, which takes it, comes after.
    reveille();
}

void FileAppels::reveille() {
    // By name: the event is made inside Qt, of nothing the other thread wrote.
    QMetaObject::invokeMethod(this, "executeun", Qt::QueuedConnection);
}

void FileAppels::executeun() {
    std::function<void()> appel;
    {
        const std::lock_guard verrou(verrou_);
        if (appels_.empty())
            return;
        appel = std::move(appels_.front());
        appels_.pop_front();
    }
    appel();
}

void FileAppels::executetout() {
    while (!vide())
        executeun();
}

bool FileAppels::vide() {
    const std::lock_guard verrou(verrou_);
    return appels_.empty();
}
