// Compiled as a file of the model layer: the editor sits above it, so this include must
// not be found.
#include "shell/editor.h"

int modelLayerProbe() { return 0; }
