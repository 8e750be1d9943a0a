#pragma once

// The forms were drawn in twips (1440 to the inch): a length of the design in pixels of
// this screen.
int pixelsdetwips(int twips);
