#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

class Banc;

// The light of the bench by hand, while lumicom-sim runs: a named pipe "lumiere" in the
// folder of the ports takes one command a line,
//   eclaire N   the photodiode of station N lit, whatever the lasers do (the receiver test
//               of start-up, or to show what the threshold means),
//   normale N   the photodiode of station N follows its partner's laser again,
//   sombre N    the photodiode of station N dark, whatever the lasers do,
// for instance: echo eclaire 2 > DOSSIER/lumiere. Anything else is noted as refused.
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
    // Reads what has come and carries out every complete line.
    void lis();
    // Carries out one command line (without its line end).
    void execute(const QByteArray& ligne);
    // Removes the pipe.
    void ferme();

    static QString nomTube() { return QStringLiteral("lumiere"); }

private:
    Banc& banc_;
    Note note_;
    QByteArray chemin_;
    int lecture_ = -1;
    int ecriture_ = -1; // kept open, so that the pipe never reads as ended
    QByteArray recu_;
};
