#include "world/WorldClasses.h"

#include "engine/ClassFactory.h"
#include "world/BaseGameObject.h"
#include "world/FxBlend.h"
#include "world/FxParticles.h"
#include "world/FxPath.h"
#include "world/GameButtonX.h"
#include "world/GameHiddenObject.h"
#include "world/GameModalDialog.h"
#include "world/GamePermanentObject.h"
#include "world/MapPiece.h"
#include "world/SmartUI.h"
#include "world/fx/FxBackpack.h"
#include "world/fx/FxContainerOpenClose.h"
#include "world/fx/FxField.h"

void RegisterWorldClasses() {
    // Registrars live for the whole run; being statics, they are made once.
    static const Registerer<BaseGameObject> baseGameObject;
    static const Registerer<FxBlendIn> fxBlendIn;
    static const Registerer<FxBlendOut> fxBlendOut;
    static const Registerer<FxParticles> fxParticles;
    static const Registerer<FxPath> fxPath;
    static const Registerer<GameHiddenObject> hiddenObject;
    static const Registerer<GameModalDialog> gameModalDialog;
    static const Registerer<GameButtonX> gameButtonX;
    static const Registerer<MapPiece> mapPiece;
    static const Registerer<GamePermanentObject> permanentObject;
    static const Registerer<MagicWand> magicWand;
    static const Registerer<SmartUI> smartUI;
    static const Registerer<SmartUISlot> smartUISlot;
    static const Registerer<FxContainerOpenClose> containerOpenClose;
    static const Registerer<FxSlotOpenClose> slotOpenClose;
    static const Registerer<FxBackpack> backpack;
    static const Registerer<FxField> fxField;
}
