// Models of the creature sets, in the model file's frame (x right, y forward, z
// up; model units, the set's scale turns them into world units). Every swimmer
// has its snout along +y, which the look-at placement turns into its direction
// of travel. Swim cycles loop from their last frame back to the first.
#pragma once

#include <functional>

#include "tools/Mesh.h"

namespace reef::tools {

enum class TailKind { Forked, Rounded, Lunate, Shark };

// The outline of a fish body and its fins. Body positions run from the tail base
// (0) to the snout (1); lengths are model units.
struct FishShape {
    float length = 16.0f;      // tail base to snout
    float depth = 8.0f;        // largest body height
    float width = 3.0f;        // largest body width
    float deepestAt = 0.55f;   // body position of the largest height
    float peduncle = 0.14f;    // height of the tail stalk relative to the largest
    float snout = 0.7f;        // below 1: a blunter head
    float hump = 0.0f;         // forehead bump (napoleon), share of the depth
    float flatHead = 0.0f;     // head wider than deep (whale shark), 0..1
    TailKind tail = TailKind::Forked;
    float tailLength = 4.0f;
    float tailSpan = 6.0f;     // fin height at its trailing edge
    float dorsalFrom = 0.3f, dorsalTo = 0.75f, dorsalHeight = 2.0f;
    bool sharkDorsal = false;  // one swept-back triangle instead of a long soft fin
    float analFrom = 0.25f, analTo = 0.5f, analHeight = 1.5f;
    float pectoral = 2.0f;     // pectoral fin length (0: none)
    float beat = 0.12f;        // tail swing, share of the length
    float eyeSize = 1.0f;      // big fish have small eyes for their size
    // Body height (half) and the height of the body's centre line at body position p.
    float halfDepth(float p) const;
    float halfWidth(float p) const;
    float centre(float p) const;
};

// Where a texel of a fish's side-projected texture lies on the fish: s from tail
// (0) to snout (1), t from top (0) to bottom (1) of the whole rest model. body is
// the body position there (negative in the tail fin) and across runs from -1 at
// the body's top edge to +1 at its bottom edge (beyond: a fin).
struct FishTexel {
    float s, t;
    float body, across;
    bool pectoral;  // the pectoral fins' own corner of the picture
    float y, z;     // the point in model units (y forward, z up)
};

// The side projection of a fish: maps texture coordinates onto the fish.
class FishLayout {
public:
    FishLayout(const FishShape& shape, float minY, float maxY, float minZ, float maxZ)
        : m_shape(shape), m_minY(minY), m_maxY(maxY), m_minZ(minZ), m_maxZ(maxZ) {}
    FishTexel at(float s, float t) const;
    const FishShape& shape() const { return m_shape; }
    // The eye's centre (model y, z) and radius.
    P3 eye() const;
    static constexpr float kPectoralS = 0.93f, kPectoralT = 0.9f;  // the fins' corner starts here

private:
    FishShape m_shape;
    float m_minY, m_maxY, m_minZ, m_maxZ;
};

struct FishModel {
    AnimatedMesh model;
    FishLayout layout;
};

// A fish with a swim cycle of `frames` frames (one tail beat).
FishModel buildFish(const FishShape& shape, int frames);

// Manta ray about 20 units across, wings beating once over `frames` frames;
// texture: top view in the upper half, belly in the lower half.
AnimatedMesh buildManta(int frames);

// The resting turtle's 231 frames: settling in (0-100), breathing (100-125),
// lifting off and swimming away (127-230). About 16 units long, resting on z = 0.
AnimatedMesh buildRestingTurtle();
// The swimming turtle, nose along +y, one flipper stroke over `frames` frames.
AnimatedMesh buildSwimmingTurtle(int frames);
// Number of frames of the resting turtle's model.
inline constexpr int kTurtleFrames = 231;

// The moray: hidden in its hole at frame 0, comes out, looks about with a gaping
// mouth and withdraws again by the last frame. Faces -y (toward the viewer).
AnimatedMesh buildMoray(int frames);
// The rock with the moray's hole, facing -y; its base rests on z = 0.
AnimatedMesh buildMorayRock();
// The giant clam: a little open at frame 0 (its mantle showing), opens wide and
// closes back again over the frames.
AnimatedMesh buildClam(int frames);

}  // namespace reef::tools
