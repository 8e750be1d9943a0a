#pragma once

#include "recording/decodagebinairerapide.h"
#include "recording/decodagemorserapide.h"
#include "recording/mesuresfichier.h"
#include "recording/sourceechantillons.h"
#include "recording/traceenregistrement.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

// What a fast reception leaves, or a recording file decoded again: one record, made once
// by the decoder, that every view reads (the main form its text and notices, the signal
// window and the viewer its trace, the save chooser its samples). None of them decodes the
// samples again, and none reads the menus of the moment: the coding, the rules and the
// recording's length are those the samples were received with.
struct ResultatReception {
    bool morse = true; // fast Morse, else fast binary
    Regles regles = Regles::Corrigees;
    QString chemin; // the file decoded; empty for a download
    // The samples as the download stored them (a recording is written from them), and the
    // length of the recording they were taken with: a recording of them has that many
    // sample lines and one more.
    std::vector<QByteArray> tabmesures;
    int nbmesures = 0;
    TraceEnregistrement trace; // the samples and what the decoder found in them
    QString messagerecu;       // the text shown, predefined codes expanded
    // The code string the decoder read (Morse: ".", "-" and blanks; binary: the bits, start
    // bits included, and blanks), and the samples where the message's light first changed
    // and last changed: the start of its first lit run after the opening, the end of its
    // last; -1 when the message has no light. What the rate of the message is measured on
    // (recording/debit.h).
    QString code;
    int premierchangement = -1;
    int dernierchangement = -1;
    // Whether the message went on past the end of the recording, as the decoder judged it.
    Coupure coupe = Coupure::non;
    QStringList avis; // the notices shown under the text, in order
};

// The record of a download: `tabmesures` recorded `nbmesures` long, read through `source`
// and decoded as `lecture`.
ResultatReception resultatreception(const std::vector<QByteArray>& tabmesures, int nbmesures,
                                    const SourceEchantillons& source,
                                    const MessageMorseRapide& lecture, Regles regles);
ResultatReception resultatreception(const std::vector<QByteArray>& tabmesures, int nbmesures,
                                    const SourceEchantillons& source,
                                    const MessageBinaireRapide& lecture, Regles regles);

// The record of a recording file `chemin` decoded as `lecture`.
ResultatReception resultatfichier(const MesuresFichier& mesures, const QString& chemin,
                                  const MessageMorseRapide& lecture, Regles regles);
ResultatReception resultatfichier(const MesuresFichier& mesures, const QString& chemin,
                                  const MessageBinaireRapide& lecture, Regles regles);
