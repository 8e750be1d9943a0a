#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

// A recording: the samples of a fast download as a text file in the data format of the
// Regressi analysis program (*.rrr). Single-byte text (code page 1252), every line ended
// by CR LF, the last one included, no byte-order mark. The file holds a fixed header of
// 35 lines, then one sample line per index: the index n and the reading R of input EA0.

// Number of header lines; the readers skip exactly this many.
inline constexpr int lignesenteteenregistrement = 35;

// The 35 header lines, each followed by CR LF, as bytes ("û" is the byte 0xFB; the last
// line is the single byte 0x7F).
QByteArray enteteenregistrement();

// The sample line of index k (without its CR LF): a blank, k with a leading blank, a
// blank, the stored value as it stands (" 37", or empty), a blank: '  0  37 '.
QByteArray ligneenregistrement(int k, const QByteArray& valeur);

// The whole file: the header, then the sample lines of indices 0 to `nbmesures`. An index
// beyond the end of `tabmesures` counts as an empty entry.
QByteArray contenuenregistrement(const std::vector<QByteArray>& tabmesures, int nbmesures);

// Writes the recording to `chemin`, replacing any file of that name. The bytes go to a
// temporary file of the same folder, renamed only once complete, so that a failure never
// leaves a truncated file (nor touches an existing one) under the chosen name. Returns
// false when nothing was written: with an empty path (and an empty `erreur`), or with a
// French message naming the file in `erreur`.
bool ecritenregistrement(const QString& chemin, const std::vector<QByteArray>& tabmesures,
                         int nbmesures, QString* erreur);
