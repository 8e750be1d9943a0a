#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// Where the control copy goes: on Windows "I:\controle.rrr" when drive I: exists;
// otherwise "controle.rrr" in the user's data folder of the program, created if missing.
// Empty when the system gives no such folder.
QString chemincopiecontrole();

// The control line of one downloaded value (without its CR LF): a blank, the index with a
// leading blank, a blank, the characters of the value exactly as received, a blank:
// '  0 37 '.
QByteArray lignecopiecontrole(int index, const QByteArray& chainemesure);

// The control copy that the fast Morse reception writes during its download: the header
// of a recording, then one line per value as it arrives, so that the download can be
// looked at (or decoded) afterwards. The copy is only a help: when its file cannot be
// created or written it becomes inactive, keeps the reason, and the reception goes on
// without it. Lines are buffered, not written one by one: the download brings about 60
// values a second for 15 to 30 s.
class CopieControle {
public:
    CopieControle() = default;
    ~CopieControle();
    CopieControle(const CopieControle&) = delete;
    CopieControle& operator=(const CopieControle&) = delete;

    // Creates (or empties) the file at `chemincopiecontrole()`, or at `chemin`, and writes
    // the header. Closes first a copy still open. False when the copy is inactive.
    bool ouvre();
    bool ouvre(const QString& chemin);
    // Adds the line of one value; nothing when the copy is inactive.
    void ajoute(int index, const QByteArray& chainemesure);
    // Writes out what is buffered and closes the file; the copy is then inactive until the
    // next ouvre().
    void ferme();

    bool active() const { return fichier_.isOpen(); }
    QString chemin() const { return fichier_.fileName(); }
    // Why the last ouvre(), ajoute() or ferme() failed, in French; empty when none did.
    QString raison() const { return raison_; }

private:
    void abandonne();

    QFile fichier_;
    QString raison_;
};
