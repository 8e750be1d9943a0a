#pragma once

#include "recording/dessintrace.h"
#include "recording/traceenregistrement.h"

#include <QWidget>
#include <optional>

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;

// The picture of a trace in a widget: the wheel zooms around the pointer, a drag moves
// along, a double click shows the whole recording again. A click lays a cursor on the
// sample under it (A, then B, then the nearer of the two moves there); the arrow keys move
// the last one laid by one sample, Escape takes both away.
class VueTraceWidget : public QWidget {
    Q_OBJECT
public:
    explicit VueTraceWidget(QWidget* parent = nullptr);

    void fixetrace(TraceEnregistrement trace);
    const TraceEnregistrement& trace() const { return trace_; }
    const VueTrace& vue() const { return vue_; }
    void fixevue(const VueTrace& vue);
    // Zooms by `facteur` (above 1: closer) around the sample under the abscissa `x`.
    void zoome(double facteur, int x);
    void toutvoir();

    // Lays a cursor on the sample under the abscissa `x`, as a click does.
    void clique(int x);
    // Moves the last cursor laid by `pas` samples, as the arrow keys do.
    void deplacecurseur(int pas);
    void effacecurseurs();
    // What the two cursors measure, in words; empty until both are laid.
    QString mesurecurseurs() const;

signals:
    void vuechangee();

protected:
    void paintEvent(QPaintEvent* evenement) override;
    void wheelEvent(QWheelEvent* evenement) override;
    void mousePressEvent(QMouseEvent* evenement) override;
    void mouseMoveEvent(QMouseEvent* evenement) override;
    void mouseDoubleClickEvent(QMouseEvent* evenement) override;
    void mouseReleaseEvent(QMouseEvent* evenement) override;
    void keyPressEvent(QKeyEvent* evenement) override;

private:
    void borne();

    TraceEnregistrement trace_;
    VueTrace vue_;
    int xsaisi_ = -1;
    bool glisse_ = false; // the button held has moved the view: no click
    VueTrace vuesaisie_;
    bool curseurbactif_ = false; // the arrow keys move B (else A)
};

// The coding a recording was sent in, told by its opening as the two fast decoders measure
// it (true: fast Morse). Fast binary opens with three flashes of one bit each, one bit
// apart; fast Morse with the letter c, dash dot dash dot, a dash lasting three dots. Empty
// when the recording shows neither (darkness only, or light of another kind).
std::optional<bool> codagedelenregistrement(const MesuresFichier& mesures, Regles regles);

// Sizes and places a window so that it lies wholly on the screen of `pres` (its own screen
// when none), its frame included: no larger than the screen's available area, centred
// on `pres` where that leaves it on the screen.
void placesurecran(QWidget* fenetre, const QWidget* pres);

// The recording viewer: a recording file (saved, or a control copy) laid out sample by
// sample with what the decoder of its coding found in it. The coding is told by the
// recording itself, the list letting the user choose the other. Its axis is in samples
// or in seconds (1.3 ms a sample, a setting); the picture can be saved as PNG.
class Visionneuse : public QWidget {
    Q_OBJECT
public:
    // `regles`: the decoders' rules, those of the station.
    explicit Visionneuse(Regles regles, QWidget* parent = nullptr);

    // Opens the file and decodes it in the coding its opening shows (in the coding already
    // chosen when it shows none); false with a French message in `erreur` when it cannot
    // be read.
    bool ouvre(const QString& chemin, QString* erreur);
    // Decodes the samples already read again, as `morse` or binary.
    void fixecodage(bool morse);

    VueTraceWidget* vue() const { return vue_; }
    QString chemin() const { return chemin_; }
    // Whether the samples are decoded as fast Morse (otherwise fast binary).
    bool codagemorse() const;

private:
    void choisitfichier();
    void exporte();
    void metajour();

    Regles regles_;
    QString chemin_;
    MesuresFichier mesures_;
    QComboBox* codage_;
    QComboBox* axe_;
    QDoubleSpinBox* periode_;
    QLabel* resume_;
    QLabel* curseurs_;
    VueTraceWidget* vue_;
};
