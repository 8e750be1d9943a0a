#pragma once

// When a benchmark counts a message as received exactly: the text a receiving station
// shows against the text sent.

#include <QString>

// Slow codings: `recu` is `envoye`, a predefined code expanded as the slow receiver of the
// coding expands it. The darkness around the marks gives no blank.
bool recuExactement(const QString& envoye, const QString& recu, bool morse);

// Fast codings: `recu` is `envoye`, a predefined code expanded as the fast receivers expand
// it. The darkness after the message gives no blank to the program's decoders; the decoders
// as they were designed cut it into word gaps, blanks at the end of their text that
// `blancsdefin` sets aside.
bool recuExactementRapide(const QString& envoye, const QString& recu, bool blancsdefin = false);
