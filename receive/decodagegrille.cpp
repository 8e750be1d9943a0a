#include "receive/decodagegrille.h"

#include <algorithm>

namespace {
// Each edge weighs this much less than the next one.
constexpr double oubli = 0.95;
} // namespace

Grille::Grille(double pas, double ecartallume) : pas_(pas), ecart_(ecartallume), pente_(pas) {}

void Grille::note(int n, int i, bool montant) {
    const double p = corrige(i, montant);
    s0_ = oubli * s0_ + 1;
    s1_ = oubli * s1_ + n;
    s2_ = oubli * s2_ + double(n) * n;
    t0_ = oubli * t0_ + p;
    t1_ = oubli * t1_ + n * p;
    // With edges at two places at least, the step is theirs.
    const double determinant = s0_ * s2_ - s1_ * s1_;
    if (determinant > 1e-9 * s0_ * s2_)
        pente_ = std::clamp((s0_ * t1_ - s1_ * t0_) / determinant, 0.9 * pas_, 1.1 * pas_);
    origine_ = (t0_ - pente_ * s1_) / s0_;
}

void Grille::recale(int n, int i, bool montant) {
    const double d = corrige(i, montant) - (origine_ + pente_ * n);
    t0_ += d * s0_;
    t1_ += d * s1_;
    origine_ += d;
}
