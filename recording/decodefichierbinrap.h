#pragma once

#include <QString>

class Station;

// Decodes the recording file `cheminfichier` of a fast binary message as if the message
// had just been received, and shows it on the main form with the end display of a fast
// binary reception; the sampling tick is off meanwhile and on again at the end, whatever
// the coding. The open chooser runs it; the reception routine that was waiting resumes
// after. False, with a French message naming the file in `erreur`, when the file cannot be
// read: then nothing is decoded and nothing on the form changes.
bool decode_fichierbinrap(Station& s, QString* erreur);
