// The sea floor: an 8-bit grey-scale BMP turned into one long triangle strip
// over a rectangle of sizeX x sizeZ world units, textured in world-proportional
// coordinates. The mesh is built lazily on the first draw after a change.
//
// NOTE: in the object's frame the field runs from x = -sizeX / 2 to about
// +sizeX / 2 and from z = -sizeZ to about 0.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/EngineImports.h"
#include "engine/SceneObject.h"

namespace reef {

class HeightField : public SceneObject {
public:
    struct FieldVertex {
        float position[3];
        float texCoord[2];
        float displacement[3];  // added to the position when drawn
    };

    // Resolutions above this are clamped (it bounds the vertex array).
    static constexpr int kMaxResolution = 1024;

    HeightField() = default;
    ~HeightField() override = default;

    // Loads the height map through the installed EngineImports. Reports
    // texts::kHeightMapFailed when it cannot be decoded and
    // texts::kHeightMapNotGrey when it is not an 8-bit image.
    bool loadHeightMap(const std::string& path);
    // The same from an image already decoded (path names it in the messages).
    bool loadHeightMapFromImage(const std::optional<DecodedImage>& image, const std::string& path);
    // cells x cells grid cells over the map.
    void setResolution(int cells);
    // World units per grey level.
    void setHeightScale(float scale);
    // World extent of the field (x, z).
    void setSize(float x, float z);
    // The grey level at pixel (px, pz), both wrapping around the map; 0 without a map.
    uint8_t heightAt(int px, int pz) const;

    // Builds the strip now if a change made it stale (drawing does this itself).
    void buildMesh();
    // Per-draw change of the displacements; nothing in the plain field.
    virtual void animate() {}

    void beginDraw() override;
    void draw() override;
    void endDraw() override;
    // Frees the map and the mesh, then empties the texture lists.
    void reset() override;

    int imageWidth() const { return m_imageWidth; }
    int imageHeight() const { return m_imageHeight; }
    int vertexCount() const { return m_vertexCount; }
    float stepX() const { return m_stepX; }
    float stepZ() const { return m_stepZ; }
    bool built() const { return m_built; }
    const std::vector<FieldVertex>& vertices() const { return m_vertices; }

protected:
    int m_imageWidth = 0;
    int m_imageHeight = 0;
    int m_vertexCount = 0;
    float m_stepX = 0.0f;
    float m_stepZ = 0.0f;
    float m_sizeX = 5.0f;
    float m_sizeZ = 5.0f;
    float m_unitsPerPixelX = 1.0f;
    float m_unitsPerPixelZ = 1.0f;
    int m_cellsX = 0;
    int m_cellsZ = 0;
    float m_heightScale = 1.0f;
    std::vector<uint8_t> m_heights;  // imageWidth x imageHeight, row after row
    std::vector<FieldVertex> m_vertices;
    std::vector<float> m_drawPositions;  // position + displacement per vertex, refilled each draw
    bool m_built = false;

private:
    void updateSteps();
};

}  // namespace reef
