#pragma once

class Station;

// Start-up of a station: the dialogue that chooses the coding and the port, opens the
// link, measures the threshold voltage, gives the settings their defaults, then hands
// over to the reception of the chosen coding. Returns only when the program ends
// through the virtual platform (tests); a real run ends the process.
void Form_Load(Station& station);

// The last step of start-up: shows the main form and lets the events run, the tick
// sampling EA0, until the program ends.
void entreeenreception(Station& station);
