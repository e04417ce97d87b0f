// Compiled as a file of the model layer: its own and lower headers are found.
#include "model/document.h"
#include "platform/geometry.h"

int modelLayerProbe() { return static_cast<int>(sizeof(quillon::TDocument)); }
