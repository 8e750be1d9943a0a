#pragma once

#include <QString>
#include <QStringList>

// One subcommand of lumicom-tool. Each lives in its own file and is listed once in the
// table of lumicom-tool.cpp, which builds the help text from these fields.
struct SousCommande {
    const char* nom;       // word typed after lumicom-tool, e.g. "encode"
    const char* arguments; // its arguments as shown in the help, e.g. "morse|binary TEXTE"
    const char* resume;    // one line of help, French
    int (*executer)(const QStringList& arguments); // arguments after the name; exit status
};

// Exit statuses of the tool.
constexpr int sortieSucces = 0;
constexpr int sortieUsage = 2;           // wrong command line or text the program cannot code
constexpr int sortiePortPerdu = 3;       // the port went away during an emission
constexpr int sortieInterfaceMuette = 4; // the interface does not answer

// Writes a line, UTF-8, to standard output / standard error.
void ecritLigne(const QString& ligne);
void ecritErreur(const QString& message);
// A line of standard error written again in place as a task goes on: a carriage return and
// the new text over the old one, no line feed until `fin`. Any other line written to
// standard error ends it first.
void ecritErreurEnPlace(const QString& message, bool fin);
// What writes `ligne` in place of the line of `longueur` characters written before (-1:
// none), and its length after: a carriage return and blanks over what is left of the old
// line; a line feed and -1 with `fin`.
QString texteEnPlace(const QString& ligne, qsizetype& longueur, bool fin);
// What ends the line written in place, if one is (a line feed), and -1.
QString texteFinEnPlace(qsizetype& longueur);

// A received text on one line of output: a line feed becomes the symbol ␊ (U+240A) and a
// carriage return ␍ (U+240D), which no Windows-1252 character gives, so each item stays
// on its own line and the exact text can be restored. Nothing else is replaced.
QString surUneLigne(QString texte);

// Reports a wrong command line for `commande` on standard error; returns sortieUsage.
int erreurUsage(const SousCommande& commande, const QString& message);

// The subcommands.
extern const SousCommande sousCommandeEncode;
extern const SousCommande sousCommandeBenchLink;
extern const SousCommande sousCommandeSend;
extern const SousCommande sousCommandeReceive;
extern const SousCommande sousCommandeDecodeRecording;
extern const SousCommande sousCommandePlotRecording;
