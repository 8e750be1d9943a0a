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

bool FichierJournal::ouvre(const QString& chemin, qint64 tailleMax) {
    flux_ = chemin == u"-" ? stdout : std::fopen(chemin.toLocal8Bit().constData(), "we");
    if (flux_ == nullptr)
        return false;
    if (flux_ != stdout) {
        chemin_ = chemin.toLocal8Bit();
        tailleMax_ = tailleMax;
    }
    fil_ = std::thread([this] { ecrivain(); });
    return true;
}

void FichierJournal::ecrit(const EvenementJournal& evenement) {
    const QByteArray ligne = (ligneJournal(evenement) + u'\n').toUtf8();
    {
        const std::lock_guard<std::mutex> garde(verrou_);
        // A copy of its own: the writer's thread frees what it takes, and the line's memory
        // stays this thread's.
        enAttente_.append(ligne.constData(), ligne.size());
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
        if (flux_ != nullptr) {
            std::fwrite(lignes.constData(), 1, static_cast<std::size_t>(lignes.size()), flux_);
            std::fflush(flux_);
        }
        taille_ += lignes.size();
        if (tailleMax_ > 0 && taille_ >= tailleMax_)
            tourne();
        lignes.clear();
        garde.lock();
    }
}

void FichierJournal::tourne() {
    // Someone following the file with tail -F sees it start afresh.
    const QByteArray precedent = chemin_ + ".1";
    std::fclose(flux_);
    std::rename(chemin_.constData(), precedent.constData());
    flux_ = std::fopen(chemin_.constData(), "we");
    // Should the new file not open, the journal goes on where it was, without a limit.
    if (flux_ == nullptr) {
        flux_ = std::fopen(precedent.constData(), "ae");
        tailleMax_ = 0;
    }
    taille_ = 0;
}
