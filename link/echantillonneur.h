#pragma once

#include <QByteArray>

// The tick's readings of input EA0. Each tick writes "XEA 0" CR; the interface answers each
// request with its reading in decimal digits and a CR. What arrives is kept until a reply
// is whole: a reply cut in two by the line is never read as a smaller number, nor a
// missing one as 0 V. A tick whose reply has not come gives no reading: the previous one
// stands, and the tick is counted as missed.
class Echantillonneur {
public:
    // Without a single whole reply for this long, the interface is taken for silent.
    static constexpr double delaiSilence = 0.5;

    enum class EtatInterface {
        repond,          // readings come
        muette,          // no reading for delaiSilence, and no reply of any kind lately
        incomprehensible // no reading for delaiSilence, and replies that are none still come
    };

    // What one tick found on the input.
    struct Releve {
        bool recue = false; // a reading came
        double valeur = 0;  // the newest one, 0 to 255
    };

    // Takes the bytes that have arrived since the previous tick, at the clock reading
    // `maintenant`: the newest whole reply that is a reading gives the tick's value.
    Releve prend(const QByteArray& arrive, double maintenant);

    // The tick starts (again) at `maintenant`, after the line served something else (an
    // emission, a download) or at the opening: the earlier replies, those kept and those
    // that have `arrive`d since, are dropped, the end of one still on its way included, and
    // the interface has delaiSilence from now to answer.
    void reprend(double maintenant, const QByteArray& arrive = {});

    // The tick has written its request at `instant`: the next tick expects the reply.
    void requeteEcrite(double instant) {
        attendReponse_ = true;
        requete_ = instant;
    }

    // Drops what is left of earlier replies: the input was read by something else.
    void oublie() {
        reste_.clear();
        attendReponse_ = false;
        jetteDebut_ = false;
    }

    EtatInterface etat(double maintenant) const;

    // When the request of the last reading received was written: the light it tells of
    // is not older. Negative before the first one.
    double derniereLecture() const { return derniereLecture_; }
    // Ticks that expected a reply, and those of them that got no reading.
    long tics() const { return tics_; }
    long ticsManques() const { return manques_; }
    // Whole replies that were not a reading (letters, a number beyond 255).
    long reponsesIncomprises() const { return incomprises_; }

    // The reading of a whole reply without its CR: a decimal number and nothing else
    // (blanks, tabs and line feeds ignored), 0 to 255; -1 when the reply is no reading.
    static double lecture(const QByteArray& reponse);

private:
    QByteArray reste_;
    double depuis_ = 0;              // when the tick started (again)
    double derniereIncomprise_ = -1; // when the last reply that was no reading arrived
    double derniereLecture_ = -1;    // last reading
    bool attendReponse_ = false;
    double requete_ = 0; // when the request now answered was written
    // The input starts inside an earlier reply: what comes before the first CR is its end.
    bool jetteDebut_ = false;
    long tics_ = 0;
    long manques_ = 0;
    long incomprises_ = 0;
};
