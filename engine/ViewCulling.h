// Whether a sphere lies wholly outside the view volume of the current OpenGL
// projection and model-view matrices, so drawing it would change no pixel.
#pragma once

namespace reef {

// centre and radius are in the coordinates the model-view matrix takes in (the
// object's own, scale included). Errs towards drawing: only a sphere wholly
// behind one of the six planes counts as outside.
bool sphereOutsideView(const float centre[3], float radius);

}  // namespace reef
