#pragma once

#include "recording/sourceechantillons.h"

#include <QString>

// The text a fast reception gives for these samples with these rules: the code string
// decoded (Morse) or the frames rebuilt (binary), then the predefined-code rule of the
// fast receptions. What the benchmarks and the tests compare between rule sets.
QString messagerecurapide(const SourceEchantillons& source, bool morse, Regles regles);

// The notice shown after the text of a fast reception (or of a recording decoded again)
// whose message went on past the end of the recording of `nbmesures` samples
// (`Coupure::oui`), or may have (`Coupure::peutetre`); none for `Coupure::non`.
QString avismessagecoupe(int nbmesures, Coupure coupe = Coupure::oui);
