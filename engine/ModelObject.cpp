#include "engine/ModelObject.h"

#include "engine/QModel.h"
#include "engine/ViewCulling.h"

namespace reef {

void ModelObject::beginDraw() {
    if (m_model) m_model->update();
    SceneObject::beginDraw();
}

void ModelObject::draw() {
    if (!m_model) return;
    // The placement is on the matrix by now; a model wholly out of view is not sent.
    if (m_model->loaded() && sphereOutsideView(m_model->boundsCentre(), m_model->boundsRadius())) return;
    m_model->draw(this);
}

void ModelObject::endDraw() {
    if (m_model) m_model->finish();
    SceneObject::endDraw();
}

void ModelObject::reset() {
    if (m_model) m_model->free();
    SceneObject::reset();
}

}  // namespace reef
