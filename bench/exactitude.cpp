#include "bench/exactitude.h"

#include "codes/predefinis.h"

namespace {

QString sansBlancsFinaux(QString texte) {
    while (texte.endsWith(u' '))
        texte.chop(1);
    return texte;
}

} // namespace

bool recuExactement(const QString& envoye, const QString& recu, bool morse) {
    return recu == developpecodepredefini(envoye, morse ? FormesReception::MorseLent
                                                        : FormesReception::BinaireLent);
}

bool recuExactementRapide(const QString& envoye, const QString& recu, bool blancsdefin) {
    const QString attendu = developpecoderapide(envoye);
    return blancsdefin ? sansBlancsFinaux(recu) == sansBlancsFinaux(attendu) : recu == attendu;
}
