#include "engine/ModelObject.h"

#include "engine/QModel.h"

namespace reef {

void ModelObject::beginDraw() {
    if (m_model) m_model->update();
    SceneObject::beginDraw();
}

void ModelObject::draw() {
    if (m_model) m_model->draw(this);
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
