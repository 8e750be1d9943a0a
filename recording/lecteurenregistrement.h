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
class LecteurEnregistrement {
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

    // Value of one sample line (without its line end): the blanks at its start skipped,
    // the index ends at the next blank, the value is the numeric value of the rest after
    // that blank; 0 when no blank follows the index.
    static double valeurligne(const QByteArray& ligne);

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
};
