#include "recording/resultatreception.h"

namespace {

ResultatReception commun(const std::vector<QByteArray>& tabmesures, int nbmesures, bool morse,
                         Regles regles) {
    ResultatReception r;
    r.morse = morse;
    r.regles = regles;
    r.tabmesures = tabmesures;
    r.nbmesures = nbmesures;
    return r;
}

} // namespace

ResultatReception resultatreception(const std::vector<QByteArray>& tabmesures, int nbmesures,
                                    const SourceEchantillons& source,
                                    const MessageMorseRapide& lecture, Regles regles) {
    ResultatReception r = commun(tabmesures, nbmesures, true, regles);
    r.trace = traceenregistrement(source, lecture);
    r.messagerecu = lecture.messagerecu;
    r.coupe = lecture.mesure.coupe;
    return r;
}

ResultatReception resultatreception(const std::vector<QByteArray>& tabmesures, int nbmesures,
                                    const SourceEchantillons& source,
                                    const MessageBinaireRapide& lecture, Regles regles) {
    ResultatReception r = commun(tabmesures, nbmesures, false, regles);
    r.trace = traceenregistrement(source, lecture);
    r.messagerecu = lecture.messagerecu;
    r.coupe = lecture.mesure.coupe;
    return r;
}

namespace {

// A file's samples as a download would have stored them, so that it can be saved again.
std::vector<QByteArray> tabledufichier(const MesuresFichier& mesures) {
    std::vector<QByteArray> table;
    table.reserve(mesures.valeurs.size());
    for (const int v : mesures.valeurs)
        table.push_back(' ' + QByteArray::number(v));
    return table;
}

template <typename Lecture>
ResultatReception dufichier(const MesuresFichier& mesures, const QString& chemin,
                            const Lecture& lecture, bool morse, Regles regles) {
    ResultatReception r =
        commun(tabledufichier(mesures), int(mesures.valeurs.size()) - 1, morse, regles);
    r.chemin = chemin;
    r.trace = traceenregistrement(depuisfichier(mesures.valeurs), lecture);
    r.messagerecu = lecture.messagerecu;
    r.coupe = lecture.mesure.coupe;
    return r;
}

} // namespace

ResultatReception resultatfichier(const MesuresFichier& mesures, const QString& chemin,
                                  const MessageMorseRapide& lecture, Regles regles) {
    return dufichier(mesures, chemin, lecture, true, regles);
}

ResultatReception resultatfichier(const MesuresFichier& mesures, const QString& chemin,
                                  const MessageBinaireRapide& lecture, Regles regles) {
    return dufichier(mesures, chemin, lecture, false, regles);
}
