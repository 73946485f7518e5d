// A scene object that draws a shared, animated QModel. Copyable member by member;
// the model is never owned.
#pragma once

#include "engine/SceneObject.h"

namespace reef {

class QModel;

class ModelObject : public SceneObject {
public:
    ModelObject() = default;
    ~ModelObject() override = default;
    ModelObject(const ModelObject&) = default;
    ModelObject& operator=(const ModelObject&) = default;

    void setModel(QModel* model) { m_model = model; }
    QModel* model() const { return m_model; }

    // The model's update, then the base placement and material.
    void beginDraw() override;
    void draw() override;
    // The model's finish, then the base clean-up.
    void endDraw() override;
    // Frees the model's data, then empties the texture lists.
    void reset() override;

private:
    QModel* m_model = nullptr;
};

}  // namespace reef
