#pragma once

#include "sim/journal.h"

#include <QByteArray>
#include <QString>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>

// The journal of lumicom-sim in a file, one line per event, each line handed to the
// system as soon as it is written, so that it can be followed with tail -f.
//
// The writes are made by a thread of their own. Appending to a file on disk now and then
// waits several milliseconds for the disk (measured here: up to 14 ms); the real-time loop
// would wait with it, stamp the next keying byte that late and so shift the light the
// other station sees. The loop only formats the line and queues it.
class FichierJournal {
public:
    FichierJournal() = default;
    // Writes what is queued, then closes the file.
    ~FichierJournal();
    FichierJournal(const FichierJournal&) = delete;
    FichierJournal& operator=(const FichierJournal&) = delete;

    // Empties or creates the file, "-" meaning standard output; false when it cannot be
    // opened (errno tells why). Signals the program handles itself must be blocked by
    // then: the writing thread inherits the mask. Past `tailleMax` bytes (0: no limit) the
    // file is renamed FICHIER.1, replacing the one before, and a new file begins: a bench
    // left running for days keeps at most twice that much.
    bool ouvre(const QString& chemin, qint64 tailleMax = 0);
    void ecrit(const EvenementJournal& evenement);

private:
    void ecrivain();

    void tourne();

    std::FILE* flux_ = nullptr;
    QByteArray chemin_;
    qint64 tailleMax_ = 0;
    qint64 taille_ = 0;
    std::mutex verrou_;
    std::condition_variable reveil_;
    QByteArray enAttente_;
    bool fin_ = false;
    std::thread fil_;
};
