#pragma once

#include <cstddef>
#include <vector>

// The last readings of EA0 with their instants, in a ring of fixed size: however long the
// program runs, it holds the same memory. 4096 readings are more than two minutes of
// ticks at 30 ms, far more than the 30 s a window shows.
class AnneauMesures {
public:
    struct Mesure {
        double instant = 0; // seconds on the program's clock
        double volts = 0;
    };

    explicit AnneauMesures(std::size_t capacite = 4096) : mesures_(capacite) {}

    void ajoute(double instant, double volts) {
        mesures_[(debut_ + nombre_) % mesures_.size()] = {instant, volts};
        if (nombre_ < mesures_.size())
            ++nombre_;
        else
            debut_ = (debut_ + 1) % mesures_.size();
    }

    std::size_t taille() const { return nombre_; }
    std::size_t capacite() const { return mesures_.size(); }
    // The k-th reading held, the oldest first.
    const Mesure& operator[](std::size_t k) const {
        return mesures_[(debut_ + k) % mesures_.size()];
    }
    const Mesure& derniere() const { return (*this)[nombre_ - 1]; }
    void vide() { debut_ = nombre_ = 0; }

private:
    std::vector<Mesure> mesures_;
    std::size_t debut_ = 0;
    std::size_t nombre_ = 0;
};
