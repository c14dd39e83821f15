#include "engine/Config.h"

#include "engine/Log.h"
#include "engine/Parcon.h"

namespace {

// Calls read(name, cursor) for every top-level list of the file, the cursor on the list's name.
// Top-level values are not settings; an unnamed or empty list has an empty name and matches
// nothing.
template <typename ReadSetting>
void ReadSettings(const std::string& fileName, ReadSetting read) {
    Parcon parser;
    parser.OpenFile(fileName, true);
    ParconCursor top = parser.RootCursor();
    while (top.Next()) {
        if (const std::optional<ParconList> list = top.GetList()) {
            ParconCursor setting(list, 0);
            read(setting.GetListName(), setting);
        }
    }
}

bool NextBool(ParconCursor& setting) {
    return setting.NextInt(true, 0) != 0;
}

} // namespace

void ReadVersionFile(Application& app, const std::string& fileName) {
    ReadSettings(fileName, [&app](const std::string& name, ParconCursor& setting) {
        if (name == "version_info") {
            app.versionInfo[0] = setting.NextString(true, "");
            app.versionInfo[1] = setting.NextString(true, "");
        } else if (name == "main_number") {
            app.mainNumber = setting.NextString(true, "");
        }
    });
}

void ReadConfigFile(Application& app, const std::string& fileName, PriorityClass& priority) {
    ReadSettings(fileName, [&](const std::string& name, ParconCursor& setting) {
        if (name == "full_screen") {
            app.fullScreen = NextBool(setting);
        } else if (name == "show_fps") {
            app.showFps = NextBool(setting);
        } else if (name == "priority") {
            // Without a value the cursor stays on the name, which is neither class.
            setting.Next();
            const std::string value = setting.GetString("");
            if (value == "normal") {
                priority = PriorityClass::Normal;
            } else if (value == "idle") {
                priority = PriorityClass::Idle;
            }
        } else if (name == "texture_filtering") {
            app.textureFiltering = NextBool(setting);
        } else if (name == "dev_mode") {
            DevMode = NextBool(setting);
        } else if (name == "create_log") {
            LogEnabled = NextBool(setting);
        } else if (name == "tutorials") {
            app.tutorials = NextBool(setting);
        } else if (name == "auto_min_fps_up") {
            app.autoMinFpsUp = setting.NextFloat(true, 0.0f);
        } else if (name == "auto_min_fps_down") {
            app.autoMinFpsDown = setting.NextFloat(true, 0.0f);
        } else if (name == "auto_fps_time_switch") {
            app.autoFpsTimeSwitch = setting.NextFloat(true, 0.0f);
        } else if (name == "bit16") {
            app.bit16 = NextBool(setting);
        } else if (name == "maxfps") {
            app.maxFps = NextBool(setting);
        } else if (name == "triple_buffering") {
            app.tripleBuffering = setting.NextFloat(true, 0.0f) != 0.0f;
        } else if (name == "render_fonts") {
            app.renderFonts = NextBool(setting);
        } else if (name == "local_data_dir") {
            app.localDataDir = NextBool(setting);
        } else if (name == "start_from_level") {
            app.startFromLevel = setting.NextString(true, "");
        }
    });
}
