#include "codes/predefinis.h"

#include <array>

namespace {

struct CodePredefini {
    const char* emission; // placed in Texte1 by the menu, UTF-8
    const char* phrase;   // placed in messagerecu on reception, UTF-8
};

constexpr std::array<CodePredefini, 4> codes = {{
    {"code e1 : les sciences physiques constituent de belles sciences utilisant les "
     "mathématiques, le français, le dessin technique et l'informatique ",
     " les sciences physiques constituent de belles sciences utilisant les mathématiques, "
     "le français, le dessin technique et l'informatique"},
    {"code e2 : c'est grâce à la physique qu'on construit, qu'on se chauffe et qu'on "
     "communique par exemple",
     " c'est grâce à la physique qu'on construit, qu'on se chauffe et qu'on communique par "
     "exemple"},
    {"code e3 : c'est grâce à la chimie qu'on s'habille, qu'on se soigne, qu'on crée de "
     "nouvelles matières par exemple",
     " c'est grâce à la chimie qu'on s'habille, qu'on se soigne, qu'on crée de nouvelles "
     "matières par exemple"},
    {"code e4 : les sciences physiques permettent à l'homme d'étudier la matière et les "
     "énergies en vue de les utiliser",
     " les sciences physiques permettent à l'homme d'étudier la matière et les énergies en "
     "vue de les utiliser"},
}};

// Which codes a routine accepts in one form: bit n-1 for code en.
using Codes = unsigned;
constexpr Codes aucun = 0b0000;
constexpr Codes tous = 0b1111;
constexpr Codes saufE1 = 0b1110;
constexpr Codes saufE3 = 0b1011;
constexpr Codes e3Seul = 0b0100;

// One accepted form: the pattern, where N stands for the digit of the code, and the codes
// each routine accepts in it. The leading blanks come from the dark stretch after a start
// mark, which the slow receivers cut into more gap units at higher speeds.
struct FormeAcceptee {
    const char* motif;
    Codes binaireLent;
    Codes morseLent;
    Codes rapide;
};

constexpr std::array<FormeAcceptee, 12> formes = {{
    {"eN", tous, tous, tous},
    {" eN", tous, tous, tous},
    {"eN ", tous, tous, tous},
    {" eN ", tous, tous, tous},
    {"e N", tous, tous, tous},
    {" e N", tous, tous, tous},
    {"e N ", tous, tous, tous},
    {" e N ", tous, tous, tous},
    {"  eN", tous, saufE1, aucun},
    {"   eN", tous, tous, aucun},
    {"    eN", saufE3, tous, aucun},
    {"     eN", e3Seul, aucun, aucun},
}};

Codes codesAcceptes(const FormeAcceptee& forme, FormesReception liste) {
    switch (liste) {
    case FormesReception::BinaireLent:
        return forme.binaireLent;
    case FormesReception::MorseLent:
        return forme.morseLent;
    case FormesReception::Rapide:
        return forme.rapide;
    }
    return aucun;
}

bool codeValide(int n) {
    return n >= 1 && n <= int(codes.size());
}

// The text a routine compares with the accepted forms. This is the one place where a
// routine's decoded text is prepared for the comparison; every routine now compares it as
// it is, without trimming.
QString texteacomparer(const QString& messagerecu, FormesReception /*liste*/) {
    return messagerecu;
}

struct TexteEnDeuxVersions {
    const char* binaire; // typecodage "b", UTF-8
    const char* morse;   // typecodage "m": only letters, digits and blanks travel in Morse
};

TexteEnDeuxVersions versions(TextePrepare texte) {
    switch (texte) {
    case TextePrepare::MessageLong:
        return {"Quel est l'auteur de la relativité restreinte en 1906 et de la relativité "
                "générale en 1916 ?  ",
                "quel est l'auteur de la relativite restreinte en 1906 et de la relativite "
                "generale en 1916"};
    case TextePrepare::QuiEstLAuteur:
        return {"Quel est l'auteur de la relativité ? ", "quel est l auteur de la relativite "};
    case TextePrepare::ReponseZorvanek:
        return {"c'est Zorvanek Tibrus, bien sûr ! ", "c est zorvanek tibrus  bien sur"};
    }
    return {"", ""};
}

} // namespace

QString texteemissioncode(int n) {
    return codeValide(n) ? QString::fromUtf8(codes[n - 1].emission) : QString();
}

QString phrasecode(int n) {
    return codeValide(n) ? QString::fromUtf8(codes[n - 1].phrase) : QString();
}

QString messageaemettre(const QString& texte1) {
    for (int n = 1; n <= int(codes.size()); ++n) {
        if (texte1 == texteemissioncode(n)) {
            return QStringLiteral("e") + QString::number(n);
        }
    }
    return texte1;
}

QStringList formesacceptees(int n, FormesReception liste) {
    QStringList resultat;
    if (!codeValide(n)) {
        return resultat;
    }
    const Codes bit = 1u << (n - 1);
    for (const FormeAcceptee& forme : formes) {
        if (codesAcceptes(forme, liste) & bit) {
            resultat += QString::fromLatin1(forme.motif).replace(u'N', QChar(u'0' + n));
        }
    }
    return resultat;
}

QString developpecodepredefini(const QString& messagerecu, FormesReception liste) {
    const QString texte = texteacomparer(messagerecu, liste);
    for (int n = 1; n <= int(codes.size()); ++n) {
        if (formesacceptees(n, liste).contains(texte)) {
            return phrasecode(n);
        }
    }
    return messagerecu;
}

QString developpecoderapide(const QString& messagerecu) {
    qsizetype fin = messagerecu.size();
    while (fin > 0 && messagerecu.at(fin - 1) == u' ')
        --fin;
    const QString sansblancsfinaux = messagerecu.left(fin);
    const QString developpe = developpecodepredefini(sansblancsfinaux, FormesReception::Rapide);
    return developpe == sansblancsfinaux ? messagerecu : developpe;
}

std::optional<QString> texteprepare(TextePrepare texte, const QString& typecodage) {
    if (typecodage == u"b") {
        return QString::fromUtf8(versions(texte).binaire);
    }
    if (typecodage == u"m") {
        return QString::fromUtf8(versions(texte).morse);
    }
    return std::nullopt;
}
