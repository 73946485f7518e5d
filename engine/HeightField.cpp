#include "engine/HeightField.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdio>
#include <optional>

#include "core/Diagnostics.h"
#include "core/DiagnosticTexts.h"
#include "engine/EngineImports.h"
#include "engine/FilePath.h"

namespace reef {

bool HeightField::loadHeightMap(const std::string& path) {
    EngineImports* imports = engineImports();
    std::optional<DecodedImage> image;
    if (imports) image = imports->decodeBMP(nativePath(path));
    return loadHeightMapFromImage(image, path);
}

bool HeightField::loadHeightMapFromImage(const std::optional<DecodedImage>& image, const std::string& path) {
    m_heights.clear();
    m_imageWidth = m_imageHeight = 0;
    m_built = false;
    if (!image || image->width <= 0 || image->height <= 0) {
        reportf(Channel::Output, texts::kHeightMapFailed, path.c_str());
        return false;
    }
    if (image->bytesPerPixel != 1) {
        report(Channel::Output, texts::kHeightMapNotGrey);
        return false;
    }
    const size_t width = static_cast<size_t>(image->width);
    const size_t height = static_cast<size_t>(image->height);
    const size_t pitch = image->pitch > 0 ? static_cast<size_t>(image->pitch) : 0;
    if (pitch < width || image->pixels.size() / pitch < height) {
        reportf(Channel::Output, texts::kHeightMapFailed, path.c_str());
        return false;
    }
    // Each row is read at its padded pitch, so any width works.
    m_heights.resize(width * height);
    for (size_t row = 0; row < height; ++row) {
        const uint8_t* src = image->pixels.data() + row * pitch;
        std::copy(src, src + width, m_heights.begin() + static_cast<std::ptrdiff_t>(row * width));
    }
    m_imageWidth = image->width;
    m_imageHeight = image->height;
    updateSteps();
    return true;
}

void HeightField::updateSteps() {
    m_stepX = m_cellsX > 0 ? static_cast<float>(m_imageWidth - 1) / static_cast<float>(m_cellsX) : 0.0f;
    m_stepZ = m_cellsZ > 0 ? static_cast<float>(m_imageHeight - 1) / static_cast<float>(m_cellsZ) : 0.0f;
}

void HeightField::setResolution(int cells) {
    if (cells < 0) cells = 0;
    if (cells > kMaxResolution) cells = kMaxResolution;
    m_cellsX = m_cellsZ = cells;
    updateSteps();
    m_built = false;
}

void HeightField::setHeightScale(float scale) {
    m_heightScale = scale;
    m_built = false;
}

void HeightField::setSize(float x, float z) {
    m_sizeX = x;
    m_sizeZ = z;
}

uint8_t HeightField::heightAt(int px, int pz) const {
    if (m_heights.empty() || m_imageWidth <= 0 || m_imageHeight <= 0) return 0;
    const int x = ((px % m_imageWidth) + m_imageWidth) % m_imageWidth;
    const int z = ((pz % m_imageHeight) + m_imageHeight) % m_imageHeight;
    return m_heights[static_cast<size_t>(z) * static_cast<size_t>(m_imageWidth) + static_cast<size_t>(x)];
}

void HeightField::buildMesh() {
    if (m_built) return;
    m_vertices.clear();
    m_vertexCount = 0;
    m_built = true;
    if (m_imageWidth <= 0 || m_imageHeight <= 0) return;
    m_unitsPerPixelX = m_sizeX / static_cast<float>(m_imageWidth);
    m_unitsPerPixelZ = m_sizeZ / static_cast<float>(m_imageHeight);
    m_vertexCount = m_cellsX * m_cellsZ * 2;
    m_vertices.assign(static_cast<size_t>(m_vertexCount), FieldVertex{});
    m_drawPositions.assign(static_cast<size_t>(m_vertexCount) * 3, 0.0f);

    size_t n = 0;
    const auto emit = [&](float px, float pz) {
        FieldVertex& v = m_vertices[n++];
        v.position[0] = px * m_unitsPerPixelX - m_sizeX / 2.0f;
        v.position[1] = static_cast<float>(heightAt(static_cast<int>(px), static_cast<int>(pz))) * m_heightScale;
        v.position[2] = pz * m_unitsPerPixelZ - m_sizeZ;
        v.texCoord[0] = px / static_cast<float>(m_imageWidth);
        v.texCoord[1] = pz / static_cast<float>(m_imageHeight);
    };
    // Columns alternate forward and backward so the strip snakes without breaks.
    for (int i = 0; i < m_cellsX; ++i) {
        const float left = static_cast<float>(i) * m_stepX;
        const float right = static_cast<float>(i + 1) * m_stepX;
        if (i % 2 == 0) {
            for (int j = 0; j < m_cellsZ; ++j) {
                emit(right, static_cast<float>(j) * m_stepZ);
                emit(left, static_cast<float>(j) * m_stepZ);
            }
        } else {
            for (int j = m_cellsZ - 1; j >= 0; --j) {
                emit(left, static_cast<float>(j) * m_stepZ);
                emit(right, static_cast<float>(j) * m_stepZ);
            }
        }
    }
}

void HeightField::beginDraw() {
    glPushMatrix();
    buildMesh();
    animate();
    SceneObject::beginDraw();
}

void HeightField::draw() {
    if (m_vertices.empty() || m_drawPositions.size() != m_vertices.size() * 3) return;
    float* out = m_drawPositions.data();
    for (const FieldVertex& v : m_vertices) {
        *out++ = v.position[0] + v.displacement[0];
        *out++ = v.position[1] + v.displacement[1];
        *out++ = v.position[2] + v.displacement[2];
    }
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, m_drawPositions.data());
    enableTexCoordArrays(m_vertices[0].texCoord, sizeof(FieldVertex));
    glDrawArrays(GL_TRIANGLE_STRIP, 0, static_cast<GLsizei>(m_vertices.size()));
    disableTexCoordArrays();
    glDisableClientState(GL_VERTEX_ARRAY);
}

void HeightField::endDraw() {
    glPopMatrix();
    SceneObject::endDraw();
}

void HeightField::reset() {
    m_heights.clear();
    m_heights.shrink_to_fit();
    m_vertices.clear();
    m_vertices.shrink_to_fit();
    m_drawPositions.clear();
    m_drawPositions.shrink_to_fit();
    m_imageWidth = m_imageHeight = m_vertexCount = 0;
    m_built = false;
    SceneObject::reset();
}

}  // namespace reef
