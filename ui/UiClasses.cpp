#include "ui/UiClasses.h"

#include "engine/ClassFactory.h"
#include "ui/GameVideo.h"
#include "ui/GameTutorial.h"
#include "ui/UIButton.h"
#include "ui/UICutsceneMngr.h"
#include "ui/UIDecoredLabel.h"
#include "ui/UIInput.h"
#include "ui/UILabel.h"
#include "ui/UISlider.h"
#include "ui/UISoundWidgets.h"
#include "ui/UIStatic.h"
#include "ui/UIStoneSymbol.h"
#include "ui/UITriggers.h"
#include "ui/hud/UIFxFlyTo.h"
#include "ui/hud/UIHudTweens.h"
#include "ui/hud/UIInventory.h"
#include "ui/hud/UIMapPieceFx.h"
#include "ui/hud/UIPartFx.h"
#include "ui/hud/UIPermanentSlots.h"
#include "ui/fx/UIAmbientFX.h"
#include "ui/fx/UIBonusFX.h"
#include "ui/fx/UIFireworksFX.h"
#include "ui/fx/UIFlyInFX.h"
#include "ui/fx/UIMapZoomFX.h"
#include "ui/fx/UIMenuFX.h"
#include "ui/fx/UIShiftBkgFX.h"

void RegisterUiClasses() {
    // Registrars live for the whole run; being statics, they are made once.
    static const Registerer<UIButton> button;
    static const Registerer<UIBitmapButton> bitmapButton;
    static const Registerer<UITextButton> textButton;
    static const Registerer<UISkipButton> skipButton;
    static const Registerer<UIStoneSymbol> stoneSymbol;
    static const Registerer<UIStoneSymbolMngr> stoneSymbolManager;
    static const Registerer<UIStatic> picture;
    static const Registerer<UIAnimObject> animObject;
    static const Registerer<UILabel> label;
    static const Registerer<UIFrame> frame;
    static const Registerer<UISlider> slider;
    static const Registerer<UIInput> input;
    static const Registerer<UISound> sound;
    static const Registerer<UIMusic> music;
    static const Registerer<UITimeTrigger> timeTrigger;
    static const Registerer<GameVideoEvent> videoEvent;
    static const Registerer<GameVideo> video;
    static const Registerer<UIPartFx> partFx;
    static const Registerer<UIFxShift> fxShift;
    static const Registerer<UIFxShiftObject> fxShiftObject;
    static const Registerer<UIFxScale> fxScale;
    static const Registerer<UIFxScaleObject> fxScaleObject;
    static const Registerer<UIFxRotate> fxRotate;
    static const Registerer<UIFxFlyTo> fxFlyTo;
    static const Registerer<UIAddMapPiece> addMapPiece;
    static const Registerer<UIFxMapPieceFly> mapPieceFly;
    static const Registerer<UIInventorySlot> inventorySlot;
    static const Registerer<UIInventoryMngr> inventoryMngr;
    static const Registerer<UIPermanentSlot> permanentSlot;
    static const Registerer<UIPermanentSlotMngr> permanentSlotMngr;
    static const Registerer<UIDecoredLabel> decoredLabel;
    static const Registerer<GameTutorial> gameTutorial;
    static const Registerer<UICutsceneMngr> cutsceneManager;
    static const Registerer<UIMenuFX> menuFx;
    static const Registerer<UIShadowsFX> shadowsFx;
    static const Registerer<UITablesFX> tablesFx;
    static const Registerer<UICardsFX> cardsFx;
    static const Registerer<UILightsFX> lightsFx;
    static const Registerer<UIFogFX> fogFx;
    static const Registerer<UICloudsFX> cloudsFx;
    static const Registerer<UIShiftBkgFX> shiftBkgFx;
    static const Registerer<UIFlyInFX> flyInFx;
    static const Registerer<UIBonusFX> bonusFx;
    static const Registerer<UIFireworksFX> fireworksFx;
    static const Registerer<UIMapZoomFX> mapZoomFx;
}
