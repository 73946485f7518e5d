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

// What a feedback pass caught besides polygons: the tokens of other primitives
// (points, lines, pixel operations; a token not known ends the reading), and
// whether the buffer was too small.
struct FeedbackExtras {
    std::vector<GLint> otherTokens;
    bool overflowed = false;
};

// Each polygon's vertices, one after the other, with perVertex values each as
// the feedback type gives them (GL_2D: x, y; GL_3D: x, y, z; ...).
inline std::vector<std::vector<float>> feedbackPolygons(GLenum type, int perVertex,
                                                        const std::function<void()>& drawCall,
                                                        FeedbackExtras* extras = nullptr) {
    std::vector<GLfloat> buffer(1 << 16);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), type, buffer.data());
    glRenderMode(GL_FEEDBACK);
    drawCall();
    const GLint used = glRenderMode(GL_RENDER);
    FeedbackExtras ignored;
    FeedbackExtras& out = extras ? *extras : ignored;
    out.overflowed = used < 0;
    std::vector<std::vector<float>> polygons;
    for (GLint i = 0; i < used;) {
        const auto token = static_cast<GLint>(buffer[static_cast<size_t>(i++)]);
        if (token == GL_PASS_THROUGH_TOKEN) {  // followed by the value passed
            ++i;
            continue;
        }
        if (token == GL_POLYGON_TOKEN) {
            const int values = perVertex * static_cast<int>(buffer[static_cast<size_t>(i++)]);
            polygons.emplace_back(buffer.begin() + i, buffer.begin() + i + values);
            i += values;
            continue;
        }
        out.otherTokens.push_back(token);
        if (token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN) {
            i += 2 * perVertex;
        } else if (token == GL_POINT_TOKEN || token == GL_BITMAP_TOKEN || token == GL_DRAW_PIXEL_TOKEN ||
                   token == GL_COPY_PIXEL_TOKEN) {
            i += perVertex;
        } else {
            break;
        }
    }
    return polygons;
}

}  // namespace reef::test
