#include "puzzles/Background.h"

Background* SceneBackground = nullptr;

Background::Background(ObjectsManager* owner) : BaseGameObject(owner) {
    Object::SetCreator(static_cast<OCreator<Background>*>(this), 0, 0);
    SceneBackground = this;
}

Background::~Background() {
    if (SceneBackground == this) {
        SceneBackground = nullptr;
    }
}
