#include "recording/traceenregistrement.h"

#include "receive/decodagebinairerapide.h"
#include "receive/decodagemorserapide.h"

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

} // namespace

TraceEnregistrement traceenregistrement(const MesuresFichier& mesures, bool morse, Regles regles) {
    return traceenregistrement(depuisfichier(mesures.valeurs), morse, regles);
}

TraceEnregistrement traceenregistrement(const SourceEchantillons& source, bool morse,
                                        Regles regles) {
    TraceEnregistrement t;
    t.morse = morse;
    // A download's table goes on past the recording: what is shown stops at its end.
    const int fin = source.origine == Origine::Telechargement
                        ? std::min(source.nbmesures, source.derniere())
                        : source.derniere();
    t.valeurs.assign(source.valeurs.begin(), source.valeurs.begin() + std::max(0, fin + 1));
    if (morse) {
        const MessageMorseRapide message = decodemessagemorserapide(source, regles);
        const DecodageMorseRapide& m = message.mesure;
        t.seuilinitial = m.seuilinitial;
        t.seuil = m.seuil;
        t.preambule = plages(m.preambule, true, true);
        t.plages = plages(m.runs, true, false);
        // Each letter over the samples of its first to its last element.
        for (const LettreMorse& l : message.texte.lettres) {
            if (l.dernier >= qsizetype(m.etenduescode.size()))
                continue;
            t.caracteres.push_back({m.etenduescode[size_t(l.premier)].first,
                                    m.etenduescode[size_t(l.dernier)].second,
                                    QString(l.caractere)});
        }
        t.messagerecu = message.messagerecu;
        t.coupe = m.coupe;
    } else {
        const MessageBinaireRapide message = decodemessagebinairerapide(source, regles);
        const DecodageBinaireRapide& b = message.mesure;
        t.seuilinitial = b.seuilinitial;
        t.seuil = b.seuil;
        t.preambule = plages(b.preambule, false, true);
        t.plages = plages(b.runs, false, false);
        for (const CaractereDecode& c : b.caracteres)
            t.caracteres.push_back({c.debut, c.fin, QString(c.caractere)});
        t.messagerecu = message.messagerecu;
        t.coupe = b.coupe;
    }
    return t;
}
