#include "world/WorldClasses.h"

#include "engine/ClassFactory.h"
#include "world/BaseGameObject.h"
#include "world/FxBlend.h"
#include "world/FxParticles.h"
#include "world/FxPath.h"
#include "world/GameHiddenObject.h"
#include "world/GameModalDialog.h"
#include "world/GlyphstoneTutorial.h"
#include "world/Tutorial.h"

void RegisterWorldClasses() {
    // Registrars live for the whole run; being statics, they are made once.
    static const Registerer<BaseGameObject> baseGameObject;
    static const Registerer<FxBlendIn> fxBlendIn;
    static const Registerer<FxBlendOut> fxBlendOut;
    static const Registerer<FxParticles> fxParticles;
    static const Registerer<FxPath> fxPath;
    static const Registerer<GameHiddenObject> hiddenObject;
    static const Registerer<GameModalDialog> gameModalDialog;
    static const Registerer<Tutorial> tutorial;
    static const Registerer<glyphstoneTutorial> glyphstone;
}
