#include "link/plateformevirtuelle.h"

#include <algorithm>
#include <limits>

class MinuteurVirtuel : public Minuteur {
public:
    explicit MinuteurVirtuel(PlateformeVirtuelle& plateforme) : plateforme_(plateforme) {
        plateforme_.inscrit(this);
    }
    ~MinuteurVirtuel() override { plateforme_.desinscrit(this); }

    void setInterval(int millisecondes) override {
        interval_ = millisecondes;
        // Like a QTimer, a running timer starts a new period when its interval changes.
        if (actif_)
            prochain_ = plateforme_.maintenant() + periode();
    }
    int interval() const override { return interval_; }
    void setEnabled(bool actif) override {
        if (actif && !actif_)
            prochain_ = plateforme_.maintenant() + periode();
        actif_ = actif;
    }
    bool enabled() const override { return actif_; }

private:
    friend class PlateformeVirtuelle;

    double periode() const { return std::max(interval_, 1) / 1000.0; }
    bool pret() const { return actif_ && !enCours_; }

    void delivre() {
        // A late tick is not repeated for the periods it missed, as with a QTimer.
        prochain_ += periode();
        if (prochain_ <= plateforme_.maintenant())
            prochain_ = plateforme_.maintenant() + periode();
        // A tick does not run again inside itself; the flag falls even when the program
        // ends from within the tick.
        struct EnCours {
            bool& drapeau;
            explicit EnCours(bool& d) : drapeau(d) { drapeau = true; }
            ~EnCours() { drapeau = false; }
        } enCours(enCours_);
        tic();
    }

    PlateformeVirtuelle& plateforme_;
    int interval_ = 0;
    bool actif_ = false;
    bool enCours_ = false;
    double prochain_ = 0;
};

PlateformeVirtuelle::PlateformeVirtuelle() = default;
PlateformeVirtuelle::~PlateformeVirtuelle() = default;

double PlateformeVirtuelle::horloge() {
    maintenant_ += pasLecture_;
    return maintenant_;
}

void PlateformeVirtuelle::cede(double echeance) {
    ++cessions_;
    double jusqua = maintenant_ + pasCession_;
    if (echeance > maintenant_)
        jusqua = std::min(jusqua, echeance);
    avanceJusqua(jusqua);
}

void PlateformeVirtuelle::patiente(double echeance) {
    // Ticks and scripted events that fall due meanwhile wait for the next yield, as the
    // events of a real event loop wait for it to run.
    maintenant_ = std::max(maintenant_, echeance);
}

void PlateformeVirtuelle::attendjusqua(double echeance) {
    ++cessions_;
    avanceJusqua(echeance);
}

std::unique_ptr<Minuteur> PlateformeVirtuelle::creeMinuteur() {
    return std::make_unique<MinuteurVirtuel>(*this);
}

void PlateformeVirtuelle::termineProgramme(int code) {
    throw FinProgramme{code};
}

void PlateformeVirtuelle::programme(double instant, std::function<void()> action) {
    evenements_.emplace(std::make_pair(instant, sequence_++), std::move(action));
}

void PlateformeVirtuelle::avanceJusqua(double instant) {
    for (;;) {
        MinuteurVirtuel* minuteur = nullptr;
        double echeance = std::numeric_limits<double>::infinity();
        for (MinuteurVirtuel* m : minuteurs_) {
            if (m->pret() && m->prochain_ < echeance) {
                echeance = m->prochain_;
                minuteur = m;
            }
        }
        // Scripted events go before a tick that falls due at the same instant.
        const bool evenement = !evenements_.empty() && evenements_.begin()->first.first <= echeance;
        if (evenement)
            echeance = evenements_.begin()->first.first;
        if (echeance > instant)
            break;
        maintenant_ = std::max(maintenant_, echeance);
        if (evenement) {
            auto action = std::move(evenements_.begin()->second);
            evenements_.erase(evenements_.begin());
            action();
        } else {
            minuteur->delivre();
        }
    }
    maintenant_ = std::max(maintenant_, instant);
}

void PlateformeVirtuelle::inscrit(MinuteurVirtuel* m) {
    minuteurs_.push_back(m);
}

void PlateformeVirtuelle::desinscrit(MinuteurVirtuel* m) {
    std::erase(minuteurs_, m);
}
