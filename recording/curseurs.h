#pragma once

#include <QString>

// Two cursors laid on a trace of the light by the user, to measure it as on an oscilloscope:
// a bit, a dot, a whole message. Each stands on one sample (a reading of EA0): its index,
// its instant and its voltage.
struct PointCurseur {
    int indice = 0;     // the sample's index in the trace
    double instant = 0; // seconds
    double volts = 0;
};

// What the two cursors measure: the time between them, in seconds and in samples, its
// inverse, and the voltage under each.
struct MesureCurseurs {
    int echantillons = 0; // samples from one to the other, 0 when both are on the same
    double secondes = 0;
    double hertz = 0; // 1 / secondes; 0 when the two cursors are on the same sample
    double voltsa = 0;
    double voltsb = 0;
};

MesureCurseurs mesurecurseurs(const PointCurseur& a, const PointCurseur& b);

// In words, for the window and the picture: "A : 2,94 V   B : 0,06 V   écart : 54 mesures,
// 70,2 ms, soit 14,2 Hz" ("même mesure" when both stand on one sample).
QString textecurseurs(const MesureCurseurs& mesure);

// A cursor moved `pas` samples (the arrow keys give -1 and +1), kept on the samples 0 to
// `nombre` - 1.
int deplacecurseur(int indice, int pas, int nombre);
