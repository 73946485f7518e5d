#include "world/TimedProp.h"

#include "core/Clock.h"
#include "engine/QModel.h"

namespace reef {

void TimedProp::update() {
    if (!delaysSet() || idle()) return;
    QModel* model = m_body.model();
    // A body without a model has nothing to play: it counts as stopped.
    const bool animating = model && model->animating();
    if (!animating && m_startTime >= 0) {
        if (static_cast<int64_t>(getTicks()) >= m_startTime) {
            if (model) model->playLoops(1);
            for (ModelObject& part : m_parts) {
                if (QModel* partModel = part.model()) partModel->playLoops(1);
            }
            m_playing = true;
            m_startTime = -1;
        }
        return;
    }
    if (m_playing && !animating) {
        m_playing = false;
        finish();
    }
}

}  // namespace reef
