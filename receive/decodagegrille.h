#pragma once

// The schedule of a fast message's light, as the mended decoders follow it. The fast
// emitters lay every element of a message end to end on one schedule, so every edge of its
// light falls a whole number of steps (bits, or Morse units) after the first edge of the
// preamble, moved only by the emitter's slips and by the step of the samples. A run is then
// as many steps as lie between the places of its two edges: the slips of its two edges do
// not add up, as they do in its length.
//
// The grid is the line through the edges placed so far (their places in steps, their
// samples), fitted by least squares, each edge weighing 0.95 times as much as the next
// one: it follows a slowly drifting clock, and keeps its place over a long run that has no
// edge of its own. Lit runs are `ecartallume` samples longer than their steps (a slow
// photodiode, the threshold's height on the edges): a rising edge is seen half of that
// early, a falling one half of it late.
class Grille {
public:
    // `pas`: a step as the preamble measured it, in samples; its fitted length stays
    // within a tenth of it.
    Grille(double pas, double ecartallume);

    double pas() const { return pente_; }
    // The place, in steps, of an edge seen at sample i.
    double place(int i, bool montant) const { return (corrige(i, montant) - origine_) / pente_; }
    // The sample at which an edge at n steps is seen.
    double echantillon(int n, bool montant) const {
        return origine_ + pente_ * n + (montant ? -ecart_ / 2 : ecart_ / 2);
    }
    // The edge seen at sample i is at n steps.
    void note(int n, int i, bool montant);
    // The edge seen at sample i is at n steps, although the grid places it elsewhere: the
    // whole grid moves to it, keeping its step (the light came late or early from there
    // on).
    void recale(int n, int i, bool montant);

private:
    double corrige(int i, bool montant) const { return i + (montant ? ecart_ / 2 : -ecart_ / 2); }
    double pas_;
    double ecart_;
    double pente_;
    double origine_ = 0;
    // The weighted sums of the edges: weights, places, places squared, samples, places
    // times samples.
    double s0_ = 0, s1_ = 0, s2_ = 0, t0_ = 0, t1_ = 0;
};
