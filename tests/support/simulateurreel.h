#pragma once

#include <QByteArray>
#include <QProcess>
#include <QSerialPort>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

// lumicom-sim as a separate program for the real-time tests, and its ports opened as the
// program opens them. The waits are bounded loosely for a loaded machine and end as soon
// as the awaited thing happens.
namespace simulateurreel {

constexpr int attenteMs = 5000;

// One run of the simulator, its ports in a folder of its own making inside a temporary
// folder, and its journal beside that folder.
class Simulateur {
public:
    explicit Simulateur(const QStringList& options = {});
    ~Simulateur();

    bool pret() const { return pret_; }
    QProcess& processus() { return processus_; }
    QString dossierPorts() const;
    QString port(int numero) const;
    QByteArray journal() const;
    QByteArray journalPrecedent() const; // journal.txt.1
    bool attendsDansLeJournal(const QByteArray& texte, int attente = attenteMs) const;

private:
    QTemporaryDir temporaire_;
    QProcess processus_;
    bool pret_ = false;
};

// The port at 9600 baud 8N1, or null.
std::unique_ptr<QSerialPort> ouvre(const QString& chemin);

// Writes a command and returns the answer up to its CR, or what came before the wait ended.
QByteArray requete(QSerialPort& port, const QByteArray& commande);

} // namespace simulateurreel
