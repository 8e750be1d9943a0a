#include "link/filposte.h"

#include <condition_variable>
#include <mutex>

FilPoste::FilPoste() : appels_(std::make_unique<FileAppels>()) {
    fil_.setObjectName(QStringLiteral("poste"));
    appels_->moveToThread(&fil_);
    fil_.start();
}

FilPoste::~FilPoste() {
    // The calls' object ends on its own thread, after the calls and wake-ups still posted
    // to it: nothing of it is read there once it is gone.
    appels_.release()->deleteLater();
    fil_.quit();
    fil_.wait();
}

void FilPoste::executeetattends(const std::function<void()>& travail) {
    if (QThread::currentThread() == &fil_) {
        travail();
        return;
    }
    // A mutex and a condition of the standard library, which ThreadSanitizer sees: what the
    // work wrote is then seen by the caller.
    std::mutex verrou;
    std::condition_variable condition;
    bool fait = false;
    appels_->ajoute([&] {
        travail();
        const std::lock_guard garde(verrou);
        fait = true;
        condition.notify_one();
    });
    std::unique_lock attente(verrou);
    condition.wait(attente, [&] { return fait; });
}

void FilPoste::lance(std::function<void()> travail) {
    appels_->ajoute(std::move(travail));
}
