#include "world/WorldClasses.h"

#include "engine/ClassFactory.h"
#include "world/BaseGameObject.h"
#include "world/FxBlend.h"
#include "world/FxParticles.h"
#include "world/FxPath.h"
#include "world/GameAnim.h"
#include "world/GameButtonX.h"
#include "world/GameHiddenObject.h"
#include "world/GameModalDialog.h"
#include "world/GamePermanentObject.h"
#include "world/MapPiece.h"
#include "world/MapPositionMngr.h"
#include "world/SmartUI.h"
#include "world/fx/FxAnim.h"
#include "world/fx/FxBackpack.h"
#include "world/fx/FxContainerOpenClose.h"
#include "world/fx/FxField.h"
#include "world/fx/FxFlyTo.h"
#include "world/fx/FxLockRotate.h"
#include "world/fx/FxPillar.h"
#include "world/fx/FxPulseAlpha.h"
#include "world/fx/FxPulseScale.h"
#include "world/fx/FxReplace.h"
#include "world/fx/FxRotate.h"
#include "world/fx/FxZoom.h"
#include "world/fx/WaterBlend.h"
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
    static const Registerer<FxRotate> fxRotate;
    static const Registerer<FxPipeRotate> fxPipeRotate;
    static const Registerer<GameAnim> gameAnim;
    static const Registerer<SequenceAnimObject> sequenceAnimObject;
    static const Registerer<MapPositionMngr> mapPositionMngr;
    static const Registerer<FxPulseScale> fxPulseScale;
    static const Registerer<FxFlyTo> fxFlyTo;
    static const Registerer<FxZoom> fxZoom;
    static const Registerer<FxReplace> fxReplace;
    static const Registerer<FxReplaceAngle> fxReplaceAngle;
    static const Registerer<FxLockRotate> fxLockRotate;
    static const Registerer<FxAnim> fxAnim;
    static const Registerer<FxPulseAlpha> fxPulseAlpha;
    static const Registerer<FxPulseAlpha2> fxPulseAlpha2;
    static const Registerer<WaterBlend> waterBlend;
    static const Registerer<WaterfallBlend> waterfallBlend;
    static const Registerer<FxPillar> fxPillar;
    static const Registerer<FxBook> fxBook;
    static const Registerer<Tutorial> tutorial;
    static const Registerer<glyphstoneTutorial> glyphstone;
}
