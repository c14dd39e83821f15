#include "ui/UiClasses.h"

#include "engine/ClassFactory.h"
#include "ui/UIButton.h"
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
}
