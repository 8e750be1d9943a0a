#pragma once

#include <QString>

// Captions that start-up and the coding menus both give the main form.
QString legendemorselent();
QString legendebinairelent();
QString etiquette1morse();
QString etiquette1binaire();
// The caption that the end of a fast Morse reception (or of the decoding of a fast Morse
// recording) gives Etiquette1.
QString etiquette1morserapide();
