#include "sim/fichierjournal.h"

FichierJournal::~FichierJournal() {
    if (fil_.joinable()) {
        {
            const std::lock_guard<std::mutex> garde(verrou_);
            fin_ = true;
        }
        reveil_.notify_one();
        fil_.join();
    }
    if (flux_ != nullptr && flux_ != stdout)
        std::fclose(flux_);
}

bool FichierJournal::ouvre(const QString& chemin) {
    flux_ = chemin == u"-" ? stdout : std::fopen(chemin.toLocal8Bit().constData(), "we");
    if (flux_ == nullptr)
        return false;
    fil_ = std::thread([this] { ecrivain(); });
    return true;
}

void FichierJournal::ecrit(const EvenementJournal& evenement) {
    const QByteArray ligne = (ligneJournal(evenement) + u'\n').toUtf8();
    {
        const std::lock_guard<std::mutex> garde(verrou_);
        enAttente_ += ligne;
    }
    reveil_.notify_one();
}

void FichierJournal::ecrivain() {
    QByteArray lignes;
    std::unique_lock<std::mutex> garde(verrou_);
    for (;;) {
        reveil_.wait(garde, [this] { return fin_ || !enAttente_.isEmpty(); });
        if (enAttente_.isEmpty())
            return; // fin_, and everything written
        lignes.swap(enAttente_);
        garde.unlock();
        std::fwrite(lignes.constData(), 1, static_cast<std::size_t>(lignes.size()), flux_);
        std::fflush(flux_);
        lignes.clear();
        garde.lock();
    }
}
