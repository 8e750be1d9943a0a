#pragma once

#include <QString>

// Captions that start-up and the coding menus both give the main form.
QString legendemorselent();
QString legendebinairelent();
QString etiquette1morse();
QString etiquette1binaire();
