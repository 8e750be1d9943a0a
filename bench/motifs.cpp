#include "bench/motifs.h"

#include "codes/binaire.h"
#include "codes/morse.h"

Motif motifMorse(const QString& texte, double f) {
    Motif m{{true, 3}, {false, 2}};
    for (const QChar c : traduitmorse(texte).codemorse) {
        if (c == u' ')
            m.emplace_back(false, 1 * f);
        else if (c == u'.')
            m.emplace_back(true, 0.3 * f);
        else if (c == u'-')
            m.emplace_back(true, 1 * f);
        m.emplace_back(false, 0.3 * f);
    }
    m.emplace_back(true, 3);
    m.emplace_back(false, 0);
    return m;
}

Motif motifBinaire(const QString& texte, double f) {
    QString codebinaire, affichagebinaire;
    traduitbinaire(texte, codebinaire, affichagebinaire);
    const double b = 0.568 * f;
    Motif m{{true, 5.68}, {false, 1.136}};
    int bits = 0;
    for (const QChar c : codebinaire) {
        if (c == u' ') {
            m.emplace_back(false, b);
        } else {
            ++bits;
            m.emplace_back(c == u'1', b);
        }
        if (bits == 9) {
            bits = 0;
            m.emplace_back(false, b);
        }
    }
    m.emplace_back(false, b);
    m.emplace_back(true, 6.818);
    m.emplace_back(false, 0);
    return m;
}

Motif motifMorseRapide(const QString& texte, double f) {
    const double point = 0.05 * f, trait = 3 * point;
    Motif m{{true, 1},      {false, 0.35}, {true, trait},  {false, point}, {true, point},
            {false, point}, {true, trait}, {false, point}, {true, point},  {false, trait}};
    for (const QChar c : traduitmorse(texte).codemorse) {
        if (c == u' ')
            m.emplace_back(false, trait);
        else
            m.emplace_back(true, c == u'.' ? point : trait);
        m.emplace_back(false, point);
    }
    m.emplace_back(false, 0);
    return m;
}

Motif motifBinaireRapide(const QString& texte, double f) {
    QString codebinaire, affichagebinaire;
    traduitbinaire(texte + u' ', codebinaire, affichagebinaire);
    codebinaire.chop(1);
    const double b = 0.07 * f;
    Motif m{{true, 1}, {false, 0.35}, {true, b}, {false, b},
            {true, b}, {false, b},    {true, b}, {false, 2 * b}};
    int bits = 0;
    for (const QChar c : codebinaire) {
        if (c == u' ') {
            m.emplace_back(false, 2 * b);
        } else {
            ++bits;
            m.emplace_back(c == u'1', b);
        }
        if (bits == 9) {
            bits = 0;
            m.emplace_back(false, 2 * b);
        }
    }
    m.emplace_back(false, 0);
    return m;
}

Motif motif(const QString& codage, const QString& texte, double f) {
    if (codage == u"m")
        return motifMorse(texte, f);
    if (codage == u"b")
        return motifBinaire(texte, f);
    if (codage == u"mr")
        return motifMorseRapide(texte, f);
    return motifBinaireRapide(texte, f);
}

std::vector<std::pair<double, bool>> changementsNominaux(const Motif& motif) {
    std::vector<std::pair<double, bool>> changements;
    bool niveau = false;
    double t = 0;
    for (const auto& [allume, duree] : motif) {
        if (allume != niveau)
            changements.emplace_back(t, allume);
        niveau = allume;
        t += duree;
    }
    return changements;
}

double dureeMotif(const Motif& motif) {
    double t = 0;
    for (const auto& element : motif)
        t += element.second;
    return t;
}
