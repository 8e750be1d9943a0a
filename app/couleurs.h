#pragma once

#include <QColor>

// Light green is the colour of the emission area, light yellow that of the reception
// area; each area takes the other's colour while a message goes the other way.
inline const QColor vertclair{192, 255, 192};
inline const QColor jauneclair{255, 255, 192};
