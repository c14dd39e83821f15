#include "ui/UiClasses.h"

#include "engine/ClassFactory.h"
#include "ui/GameVideo.h"
#include "ui/UIButton.h"
#include "ui/UIInput.h"
#include "ui/UILabel.h"
#include "ui/UISlider.h"
#include "ui/UISoundWidgets.h"
#include "ui/UIStatic.h"
#include "ui/UITriggers.h"

void RegisterUiClasses() {
    // Registrars live for the whole run; being statics, they are made once.
    static const Registerer<UIButton> button;
    static const Registerer<UIBitmapButton> bitmapButton;
    static const Registerer<UITextButton> textButton;
    static const Registerer<UISkipButton> skipButton;
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
}
