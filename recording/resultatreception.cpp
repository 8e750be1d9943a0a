#include "recording/resultatreception.h"

namespace {

// Where the message's light starts and ends: its first lit run that the decoder took for
// something, and its last.
void changementsdumessage(const std::vector<RunMesure>& runs, ResultatReception& r) {
    for (const RunMesure& run : runs) {
        if (!run.allume || run.code.isEmpty())
            continue;
        if (r.premierchangement < 0)
            r.premierchangement = run.debut;
        r.dernierchangement = run.debut + run.longueur;
    }
}

QString codelu(const MessageMorseRapide& lecture) {
    return lecture.mesure.codemorse;
}
QString codelu(const MessageBinaireRapide& lecture) {
    return lecture.mesure.codebinaire;
}

// The record of samples read by either decoder: what it found, and the message.
template <typename Lecture>
ResultatReception resultat(std::vector<QByteArray> tabmesures, int nbmesures,
                           const SourceEchantillons& source, const Lecture& lecture, bool morse,
                           Regles regles) {
    ResultatReception r;
    r.morse = morse;
    r.regles = regles;
    r.tabmesures = std::move(tabmesures);
    r.nbmesures = nbmesures;
    r.trace = traceenregistrement(source, lecture);
    r.messagerecu = lecture.messagerecu;
    r.coupe = lecture.mesure.coupe;
    r.code = codelu(lecture);
    changementsdumessage(lecture.mesure.runs, r);
    return r;
}

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
    ResultatReception r = resultat(tabledufichier(mesures), int(mesures.valeurs.size()) - 1,
                                   depuisfichier(mesures.valeurs), lecture, morse, regles);
    r.chemin = chemin;
    return r;
}

} // namespace

ResultatReception resultatreception(const std::vector<QByteArray>& tabmesures, int nbmesures,
                                    const SourceEchantillons& source,
                                    const MessageMorseRapide& lecture, Regles regles) {
    return resultat(tabmesures, nbmesures, source, lecture, true, regles);
}

ResultatReception resultatreception(const std::vector<QByteArray>& tabmesures, int nbmesures,
                                    const SourceEchantillons& source,
                                    const MessageBinaireRapide& lecture, Regles regles) {
    return resultat(tabmesures, nbmesures, source, lecture, false, regles);
}

ResultatReception resultatfichier(const MesuresFichier& mesures, const QString& chemin,
                                  const MessageMorseRapide& lecture, Regles regles) {
    return dufichier(mesures, chemin, lecture, true, regles);
}

ResultatReception resultatfichier(const MesuresFichier& mesures, const QString& chemin,
                                  const MessageBinaireRapide& lecture, Regles regles) {
    return dufichier(mesures, chemin, lecture, false, regles);
}
