#pragma once

#include "recording/curseurs.h"
#include "recording/traceenregistrement.h"

#include <QImage>
#include <QRect>
#include <QSize>

class QPainter;

// How a trace is looked at: the samples that span the width, and the time axis.
struct VueTrace {
    double premier = 0;                  // sample at the left edge
    double dernier = 6400;               // sample at the right edge
    double periode = periodeechantillon; // seconds per sample
    bool entemps = false;                // axis in seconds (else in samples)
    // The two cursors the user laid on samples, to measure the light between them; -1
    // while one is not laid.
    int curseura = -1;
    int curseurb = -1;

    // The whole trace.
    static VueTrace toute(const TraceEnregistrement& t, double periode = periodeechantillon);
};

// Draws the trace in `zone`, the way the recording viewer shows it: the samples (the
// smallest and largest of each column of pixels, so that 12 800 samples draw as fast as a
// few hundred), the first threshold and the threshold of the message, the preamble's runs
// shaded, each run of the message with what it was taken for, and the decoded characters
// above their samples; the cursors laid, each a line on its sample, and what they measure.
void dessinetrace(QPainter& p, const QRect& zone, const TraceEnregistrement& t, const VueTrace& v);

// The same picture as an image (for a file, or a worksheet).
QImage imagetrace(const TraceEnregistrement& t, QSize taille, const VueTrace& v);

// The sample under the abscissa `x` of `zone`, and the abscissa of a sample.
double echantillonsous(const QRect& zone, const VueTrace& v, int x);
double abscisse(const QRect& zone, const VueTrace& v, double echantillon);

// Where the samples are drawn within the picture `cadre` (the bands of the characters, of
// the runs and of the axis around them): a click or a cursor lands on the samples there.
QRect zoneechantillons(const QRect& cadre);

// The cursor on sample `indice` of the trace, the time axis taken at `periode` seconds a
// sample.
PointCurseur pointcurseur(const TraceEnregistrement& t, int indice, double periode);
