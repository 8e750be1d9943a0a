#pragma once

#include "sim/reglages.h"

#include <algorithm>

// One direction of the 9600-baud line: a byte cannot reach the other end sooner than
// one byte time after it was written, nor sooner than one byte time after the byte
// before it. A writer faster than that sees its bytes arrive later and later.
class LigneSerie {
public:
    // When a byte written at `ecrit` reaches the other end.
    double arrivee(double ecrit) {
        libre_ = std::max(libre_, ecrit) + dureeOctetLigne;
        return libre_;
    }
    // When the last byte given so far reaches the other end.
    double libre() const { return libre_; }

private:
    double libre_ = -1e300;
};
