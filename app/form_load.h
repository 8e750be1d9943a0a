#pragma once

class Station;

// Start-up of a station: the dialogue that chooses the coding and the port, opens the
// link, measures the threshold voltage, gives the settings their defaults, then enters
// the reception loop of the chosen coding. Returns only when the program ends through
// the virtual platform (tests); a real run ends the process.
void Form_Load(Station& station);
