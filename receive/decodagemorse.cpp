#include "receive/decodagemorse.h"

#include "codes/morse.h"
#include "receive/runmesure.h"

DecodageMorse decodecodemorse(const QString& code) {
    DecodageMorse resultat;
    const qsizetype n = code.size();
    // Positions count from 1, as in the code string's description.
    const auto caractere = [&code](qsizetype p) { return code.at(p - 1); };
    qsizetype p = 0;
    bool finmot = false;
    while (p < n - 1) {
        QString lettre;
        const qsizetype premier = p; // position (from 0) of the letter's first element
        while (p < n - 1) {
            ++p;
            const QChar c = caractere(p);
            if (c == u' ') {
                if (p + 1 < n - 1 && caractere(p + 1) == u' ')
                    finmot = true;
                break;
            }
            lettre += c;
        }
        // A letter with an element no rule placed is shown as unknown: one letter lost.
        const auto trouve =
            lettre.contains(elementinconnu) ? std::optional(caractereinconnu) : lettremorse(lettre);
        if (trouve) {
            resultat.lettres.push_back({premier, premier + lettre.size() - 1, *trouve});
            resultat.messagerecu += *trouve;
            resultat.affichage += lettre + u' ' + u'(' + *trouve + u')' + u' ';
        }
        if (finmot) {
            resultat.messagerecu += u' ';
            finmot = false;
        }
    }
    return resultat;
}
