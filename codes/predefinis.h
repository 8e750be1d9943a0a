#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The four predefined message codes "e1" to "e4", each standing for a French sentence,
// and the three prepared question-and-answer texts. Only the two characters of a code
// travel over the light link: the emitter recognises the emission text a menu placed in
// Texte1 and sends the code; the receiver recognises the code and shows the sentence.

// Emission text of code n (1..4) that menu_e1..menu_e4 place in Texte1; "code e1 : ..."
// (the e1 text alone ends with a blank). Empty for any other n.
QString texteemissioncode(int n);

// Sentence of code n (1..4) placed in messagerecu on reception; it begins with one blank.
// Empty for any other n.
QString phrasecode(int n);

// Message an emitter transmits for the text of Texte1: "e1".."e4" when the text equals
// that code's emission text exactly (tested e1, e2, e3, e4 in order), otherwise the text
// unchanged.
QString messageaemettre(const QString& texte1);

// Which accepted forms of the codes a reception routine recognises.
enum class FormesReception {
    BinaireLent, // slow binary reception
    MorseLent,   // slow Morse reception
    Rapide,      // fast Morse and fast binary receptions, and both recording decoders
};

// The accepted forms of code n (1..4) in the routine's list: "e1", " e1", "e 1", ...
QStringList formesacceptees(int n, FormesReception liste);

// Reception rule: the sentence of the first code (e1, e2, e3, e4 in order) one of whose
// accepted forms equals the whole of messagerecu, exactly and case-sensitively; otherwise
// messagerecu unchanged.
QString developpecodepredefini(const QString& messagerecu, FormesReception liste);

// The predefined-code rule of the fast receptions and of the recording decoders. The fast
// decoders as they were designed add blanks at the end of the text for the darkness after
// a message (the program's own do not); they do not keep a code from being recognised. A
// text that is no code is kept whole, its blanks included.
QString developpecoderapide(const QString& messagerecu);

// The prepared question-and-answer texts of the menus.
enum class TextePrepare {
    MessageLong,     // menu_messagelong
    QuiEstLAuteur,   // menu_quiestlauteur
    ReponseZorvanek, // menu_reponsezorvanek
};

// Text the menu places in Texte1 for the coding `typecodage`: a version with accents and
// punctuation for "b", one in lower-case letters without accents for "m"; nothing for any
// other coding ("mr", "br"), where the menu leaves Texte1 as it is.
std::optional<QString> texteprepare(TextePrepare texte, const QString& typecodage);
