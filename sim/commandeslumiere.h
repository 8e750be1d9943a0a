#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

class Banc;

// The light and the faults of the bench by hand, while lumicom-sim runs: a named pipe
// "lumiere" in the folder of the ports takes one command a line (sim/commandesbanc.h
// lists them: eclaire N, sombre N, normale N for the light; muette N, charabia N,
// retard N SECONDES, coupe N [SECONDES], bloque N, repare N for the interface), for
// instance: echo eclaire 2 > DOSSIER/lumiere, or echo coupe 2 3 > DOSSIER/lumiere. Each
// command is noted in the journal; anything else is noted as refused.
//
// Beside the pipe, the file "etat-lumiere" says the light of every photodiode as it
// stands, written again after each command, so that a window that changes it shows where
// it is (one line a photodiode, `commandesphotodiode::ligneetat`).
class CommandesLumiere {
public:
    // What a command did, for the journal: the port and the new state, or the refusal.
    using Note = std::function<void(const QString& port, const QString& detail)>;

    CommandesLumiere(Banc& banc, Note note) : banc_(banc), note_(std::move(note)) {}
    ~CommandesLumiere();
    CommandesLumiere(const CommandesLumiere&) = delete;
    CommandesLumiere& operator=(const CommandesLumiere&) = delete;

    // Creates the pipe in `dossier`; false with a French message on failure.
    bool ouvre(const QString& dossier, QString& erreur);
    // The descriptor to wait on for commands; -1 when there is no pipe.
    int descripteur() const { return lecture_; }
    // Reads what has come and carries out every complete line, at `instant`.
    void lis(double instant);
    // Carries out one command line (without its line end) at `instant`.
    void execute(const QByteArray& ligne, double instant);
    // Removes the pipe and the file of the light.
    void ferme();

    static QString nomTube() { return QStringLiteral("lumiere"); }
    static QString nomEtat() { return QStringLiteral("etat-lumiere"); }

private:
    // Writes the file of the light again, whole (a reader never sees half of it).
    void ecritetat();

    Banc& banc_;
    Note note_;
    QByteArray chemin_;
    QString cheminetat_;
    int lecture_ = -1;
    int ecriture_ = -1; // kept open, so that the pipe never reads as ended
    QByteArray recu_;
};
