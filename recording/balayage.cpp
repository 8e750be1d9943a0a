#include "recording/balayage.h"

#include <algorithm>

BornesEchantillons bornes(const SourceEchantillons& source, Regles regles) {
    BornesEchantillons b;
    b.derniere = source.derniere();
    const bool fichier = source.origine == Origine::Fichier;
    b.finpreambule = fichier ? b.derniere : source.nbmesures + 1;
    b.fin = fichier ? b.derniere : std::min(source.nbmesures, b.derniere);
    // What a download that stopped did not bring is no light, nor darkness.
    if (regles != Regles::Conception && source.recues >= 0) {
        b.finpreambule = std::min(b.finpreambule, dernierelue(source));
        b.fin = std::min(b.fin, dernierelue(source));
    }
    return b;
}

DepartPreambule departpreambule(const SourceEchantillons& source, Regles regles,
                                int seuiltelechargement) {
    DepartPreambule d;
    const bool fichier = source.origine == Origine::Fichier;
    const int derniere = source.derniere();
    if (fichier && derniere < 1)
        return d;
    d.trouve = true;
    d.seuil = fichier ? source.lis(1) + 7 : seuiltelechargement;
    d.apres = fichier ? 1 : 0;
    if (regles != Regles::Conception && derniere >= 1) {
        // A file's sample of index 1 is no darkness when the recording starts lit.
        const int obscur = debutobscur(source);
        if (fichier && obscur > 1)
            d.seuil = 0;
        d.seuil = std::max(d.seuil, seuilsurobscurite(source, obscur));
        d.apres = std::max(d.apres, obscur - 1);
    }
    return d;
}

void LecturePreambule::avance() {
    ++i;
    x = source.lis(i);
    note(x);
}

void LecturePreambule::note(int valeur) {
    if (valeur >= vmax)
        vmax = valeur;
    if (valeur <= vmin)
        vmin = valeur;
}

bool LecturePreambule::dansrun(bool allume, int S) const {
    if (source.origine == Origine::Fichier)
        return allume ? x >= S : x <= S;
    return allume ? x > S : x < S;
}

int LecturePreambule::run(bool allume, int S, bool notetout) {
    int n = 0;
    while (dansrun(allume, S)) {
        ++n;
        ++i;
        x = source.lis(i);
        if (notetout)
            note(x);
        if (i >= fin)
            break;
    }
    return n;
}
