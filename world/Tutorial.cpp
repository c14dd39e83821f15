#include "world/Tutorial.h"

#include "engine/FourCC.h"
#include "engine/Parcon.h"
#include "world/WorldServices.h"

#include <ostream>

namespace {

// A text as a definition reader reads it back: quoted when it would not be one plain word.
void WriteText(std::ostream& out, const std::string& text) {
    if (!text.empty() && text.find_first_of(" \t\r\n()\"#;") == std::string::npos) {
        out << text;
        return;
    }
    out << '"';
    for (const char c : text) {
        if (c == '"') {
            out << '\\';
        }
        out << c;
    }
    out << '"';
}

} // namespace

Tutorial::Tutorial(ObjectsManager* owner) : Object(owner) {
    SetCreator(static_cast<OCreator<Tutorial>*>(this), 0, 0);
}

void Tutorial::SetProperty(const ParconCursor& cursor) {
    ForEachParconKey(cursor, [&](const std::string& k, ParconCursor& key) {
        if (k == "file") {
            file = key.NextString(true, "");
        } else if (k == "number") {
            number = key.NextInt(true, 0);
        } else if (k == "next") {
            next = key.NextInt(true, 0);
        } else if (k == "event") {
            event = key.NextString(true, "");
            eventCode = FourCC(event);
        } else if (k == "stop") {
            stop = key.NextInt(true, 0) != 0;
        } else if (k == "oevent") {
            oeventNames.push_back(key.NextString(true, ""));
            oeventCodes.push_back(FourCC(oeventNames.back()));
        } else if (k == "arrow") {
            Arrow arrow;
            arrow.x = key.NextFloat(true, 0.0f);
            arrow.y = key.NextFloat(true, 0.0f);
            arrows.push_back(arrow);
        } else if (k == "trueTutorial") {
            trueTutorial = key.NextInt(true, 1) != 0;
        }
    });
    arrowPlayer.Load("gfx/interface/ui_arrows.ani");
    arrowPlayer.Play("tutorial", true, false, true, 0.0f);
}

bool Tutorial::WriteDefinition(std::ostream& out) const {
    out << "(file ";
    WriteText(out, file);
    out << ")\n(number " << number << ")\n";
    if (next != 0) {
        out << "(next " << next << ")\n";
    }
    if (eventCode != 0) {
        out << "(event ";
        WriteText(out, event);
        out << ")\n";
    }
    for (const std::string& name : oeventNames) {
        out << "(oevent ";
        WriteText(out, name);
        out << ")\n";
    }
    if (stop) {
        out << "(stop 1)\n";
    }
    for (const Arrow& arrow : arrows) {
        out << "(arrow " << arrow.x << " " << arrow.y << ")\n";
    }
    return true;
}

bool Tutorial::Update(float dt) {
    arrowPlayer.Update(dt);
    return true;
}

void Tutorial::Draw() {
    if (!shown) {
        return;
    }
    for (const Arrow& arrow : arrows) {
        arrowPlayer.Draw(arrow.x, arrow.y, kArrowDepth, 0.0f, 1.0f, 1.0f, 1.0f, 0.0f, 0xFFFFFFFFu);
    }
}

void Tutorial::Hide() {
    shown = false;
    World().SetOverlayResult(1);
}
