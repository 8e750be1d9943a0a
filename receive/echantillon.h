#pragma once

#include "link/valeurnumerique.h"

#include <QByteArray>
#include <algorithm>
#include <cmath>
#include <vector>

// Value of sample i of a downloaded recording, as the decoders of the fast codings read
// it: the numeric value of the stored text (" 37") rounded to the nearest whole number,
// halves to the even neighbour. An empty entry is 0 (darkness), and so is any index
// outside the table, negative or past its end: a scan that runs beyond the samples reads
// darkness instead of memory that is not there. A sample is an 8-bit value; whatever a
// text holds beyond the 16-bit range of a sample variable is held at its bounds, so that
// sums and products of samples cannot overflow.
inline int echantillon(const std::vector<QByteArray>& tabmesures, long long i) {
    if (i < 0 || i >= static_cast<long long>(tabmesures.size()))
        return 0;
    const double valeur = std::nearbyint(valeurnumerique(tabmesures[static_cast<size_t>(i)]));
    return static_cast<int>(std::clamp(valeur, -32768.0, 32767.0));
}
