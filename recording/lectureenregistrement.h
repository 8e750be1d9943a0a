#pragma once

#include <QByteArray>
#include <QFile>
#include <QIODevice>
#include <QString>

// The reading of a recording (or of the control copy), shared by the decoders: the 35
// header lines are skipped whatever they hold, then each further line gives one sample
// value. The file is read as a stream through a fixed buffer, and only the beginning of
// each line is kept, so that any file, however long, binary or malformed, is read in
// bounded memory and to its end.
class LectureEnregistrement {
public:
    // Bytes kept at the beginning of each line; the rest of a longer line is passed over.
    // A sample line of the program is about a dozen bytes long.
    static constexpr qsizetype longueurgardee = 256;

    // Opens the file and skips its header (a file shorter than the header then simply has
    // no samples). False, with a French message naming the file in `erreur`, when it
    // cannot be opened.
    bool ouvre(const QString& chemin, QString* erreur);
    // Reads from a device already open for reading (bytes in memory, for instance), from
    // its current position; it stays open when the reading ends.
    void ouvre(QIODevice& appareil);
    // The value of the next sample line; false at the end of the file (or when closed).
    bool suivante(double& valeur);
    void ferme();
    bool estouvert() const { return source_ != nullptr; }

    // What the reading has met so far, to tell a recording from another file.
    // Header lines read: 35, or fewer when the file is shorter.
    int lignesentete() const { return lignesentete_; }
    // Sample lines read that carry a value (see `portevaleur`).
    qint64 lignesavecvaleur() const { return lignesavecvaleur_; }
    // A byte that no text file holds has been read (see `octetbinaire`).
    bool binaire() const { return binaire_; }

    // Value of one sample line (without its line end): the blanks at its start skipped,
    // the index ends at the next blank, the value is the numeric value of the rest after
    // that blank; 0 when no blank follows the index.
    static double valeurligne(const QByteArray& ligne);
    // Whether a line reads as a sample with its value: blanks, the index in digits, a
    // blank, then (blanks and tabs passed) a number, its sign allowed: '  0  37 ' and the
    // control copy's '  0 37 ' do; '  6400  ' (no value), 'x 3' and '  0  abc' do not.
    static bool portevaleur(const QByteArray& ligne);
    // A control byte that has no place in a text: any below 32 but tab, line feed,
    // vertical tab, form feed, carriage return and the end-of-file mark 0x1A of DOS.
    static bool octetbinaire(char octet);

private:
    void sauteentete();
    bool lisligne(QByteArray& debut);
    bool remplit();

    QFile fichier_;
    QIODevice* source_ = nullptr; // the file, or the device given

    QByteArray tampon_;
    qsizetype position_ = 0;
    // A CR ended the last line: an LF right after it belongs to the same line end.
    bool apresCR_ = false;

    int lignesentete_ = 0;
    qint64 lignesavecvaleur_ = 0;
    bool binaire_ = false;
};
