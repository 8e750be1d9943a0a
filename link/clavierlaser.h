#pragma once

// What a station remembers of its keying between two timed intervals of light.
struct ClavierLaser {
    // Clock reading at which the level may next be written again.
    double prochainRafraichissement = 0;
    // Clock reading at which the last timed interval ended.
    double finIntervalle = -1e9;
};
