#include "recording/traceenregistrement.h"

#include "recording/decodagebinairerapide.h"
#include "recording/decodagemorserapide.h"

#include <algorithm>

QString natureplage(const RunMesure& run, bool morse) {
    const QString& code = run.code;
    // Read by rounding its length to the nearest whole number of units or bits.
    if (run.arrondi && !code.isEmpty()) {
        RunMesure exact = run;
        exact.arrondi = false;
        return QStringLiteral("≈ ") + natureplage(exact, morse);
    }
    // An element no rule placed: its letter or frame is lost.
    if (code == elementinconnu)
        return QStringLiteral("rien");
    if (code.isEmpty()) {
        if (!run.allume && morse)
            return QStringLiteral("intervalle");
        if (run.entretrames)
            return QStringLiteral("arrêt");
        return QStringLiteral("rien");
    }
    if (code.front() == u' ')
        return code.size() == 1 ? QStringLiteral("blanc")
                                : QStringLiteral("%1 blancs").arg(code.size());
    if (morse)
        return code == u"." ? QStringLiteral("point") : QStringLiteral("trait");
    return QStringLiteral("%1 bit%2 à %3")
        .arg(code.size())
        .arg(code.size() > 1 ? QStringLiteral("s") : QString())
        .arg(code.front());
}

namespace {

std::vector<TraceEnregistrement::Plage> plages(const std::vector<RunMesure>& runs, bool morse,
                                               bool preambule) {
    std::vector<TraceEnregistrement::Plage> p;
    for (const RunMesure& r : runs)
        p.push_back({r.debut, r.debut + r.longueur, r.allume,
                     preambule ? QString() : natureplage(r, morse)});
    return p;
}

std::vector<TraceEnregistrement::Plage> plagesparasites(const std::vector<RunMesure>& runs) {
    std::vector<TraceEnregistrement::Plage> p;
    for (const RunMesure& r : runs)
        p.push_back({r.debut, r.debut + r.longueur, r.allume, QStringLiteral("parasite ignoré")});
    return p;
}

} // namespace

TraceEnregistrement traceenregistrement(const MesuresFichier& mesures, bool morse, Regles regles) {
    return traceenregistrement(depuisfichier(mesures.valeurs), morse, regles);
}

namespace {

// The samples a trace shows: a download's table goes on past the recording, what is shown
// stops at its end.
std::vector<int> valeursmontrees(const SourceEchantillons& source) {
    const int fin = source.origine == Origine::Telechargement
                        ? std::min(source.nbmesures, source.derniere())
                        : source.derniere();
    return {source.valeurs.begin(), source.valeurs.begin() + std::max(0, fin + 1)};
}

} // namespace

TraceEnregistrement traceenregistrement(const SourceEchantillons& source,
                                        const MessageMorseRapide& message) {
    TraceEnregistrement t;
    t.morse = true;
    t.valeurs = valeursmontrees(source);
    const DecodageMorseRapide& m = message.mesure;
    t.seuilinitial = m.seuilinitial;
    t.seuil = m.seuil;
    t.preambule = plages(m.preambule, true, true);
    t.plages = plages(m.runs, true, false);
    t.parasites = plagesparasites(m.parasites);
    // Each letter over the samples of its first to its last element.
    for (const LettreMorse& l : message.texte.lettres) {
        if (l.dernier >= qsizetype(m.etenduescode.size()))
            continue;
        t.caracteres.push_back({m.etenduescode[size_t(l.premier)].first,
                                m.etenduescode[size_t(l.dernier)].second, QString(l.caractere)});
    }
    t.messagerecu = message.messagerecu;
    t.coupe = m.coupe;
    return t;
}

TraceEnregistrement traceenregistrement(const SourceEchantillons& source,
                                        const MessageBinaireRapide& message) {
    TraceEnregistrement t;
    t.morse = false;
    t.valeurs = valeursmontrees(source);
    const DecodageBinaireRapide& b = message.mesure;
    t.seuilinitial = b.seuilinitial;
    t.seuil = b.seuil;
    t.preambule = plages(b.preambule, false, true);
    t.plages = plages(b.runs, false, false);
    t.parasites = plagesparasites(b.parasites);
    for (const CaractereDecode& c : b.caracteres)
        t.caracteres.push_back({c.debut, c.fin, QString(c.caractere)});
    t.messagerecu = message.messagerecu;
    t.coupe = b.coupe;
    return t;
}

TraceEnregistrement traceenregistrement(const SourceEchantillons& source, bool morse,
                                        Regles regles) {
    return morse ? traceenregistrement(source, decodemessagemorserapide(source, regles))
                 : traceenregistrement(source, decodemessagebinairerapide(source, regles));
}
