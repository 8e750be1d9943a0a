#pragma once

#include <QtGlobal>

class Station;

// Whether start-up warns that the binary codings may need Windows' real-time priority:
// only on Windows, where the advice applies. Elsewhere the program asks the system for
// real-time scheduling itself, and the status bar says when none was granted.
#ifdef Q_OS_WIN
inline constexpr bool avertissementprioritewindows = true;
#else
inline constexpr bool avertissementprioritewindows = false;
#endif

// Start-up of a station: the dialogue that chooses the coding and the port, opens the
// link, measures the threshold voltage, gives the settings their defaults, then enters
// the reception loop of the chosen coding. Returns only when the program ends through
// the virtual platform (tests); a real run ends the process.
void Form_Load(Station& station);
