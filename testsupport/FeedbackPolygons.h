// The polygons a draw call sends through the GL pipeline, caught in feedback
// mode with the matrices and viewport as they stand (a context must be current).
#pragma once

#ifdef _WIN32
#include <windows.h>
#endif
#include <GL/gl.h>

#include <functional>
#include <vector>

namespace reef::test {

// Each polygon's vertices, one after the other, with perVertex values each as
// the feedback type gives them (GL_2D: x, y; GL_3D: x, y, z; ...).
inline std::vector<std::vector<float>> feedbackPolygons(GLenum type, int perVertex,
                                                        const std::function<void()>& drawCall) {
    std::vector<GLfloat> buffer(1 << 16);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), type, buffer.data());
    glRenderMode(GL_FEEDBACK);
    drawCall();
    const GLint used = glRenderMode(GL_RENDER);
    std::vector<std::vector<float>> polygons;
    for (GLint i = 0; i < used;) {
        // Other tokens (points, lines, pass-through) are skipped a value at a time.
        if (buffer[static_cast<size_t>(i)] != GL_POLYGON_TOKEN) {
            ++i;
            continue;
        }
        const int values = perVertex * static_cast<int>(buffer[static_cast<size_t>(i) + 1]);
        const auto first = buffer.begin() + i + 2;
        polygons.emplace_back(first, first + values);
        i += 2 + values;
    }
    return polygons;
}

}  // namespace reef::test
