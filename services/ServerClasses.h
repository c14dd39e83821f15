#pragma once

#include "platform/com/Guid.h"
#include "services/VostrelGamesServicesLib.h"

// The module's application id and the table of its six classes, in the order the module
// registers them.

constexpr Guid kAppIdVostrelGamesServices = GuidLiteral("{2652C0DC-BA3A-4DD9-8D81-75CAF631B70E}");
constexpr const char* kAppIdDescription = "Vostrel Games Services Control";
// The key that names the module under "AppID". Its odd extension has always been registered so.
constexpr const char* kAppIdModuleKey = "vglsvs.sll";

struct ServerClass {
    Guid clsid;
    Guid iid;                  // the default interface
    const char* interfaceName; // its name in the type library
    const char* progId;        // versioned
    const char* independentProgId;
    const char* description;
    bool appId;         // the class key carries the module's application id
    bool toolboxBitmap; // the class key names the toolbox picture
};

// The versioned ProgID of the content item is one letter short; hosts have always created it
// under that name, so it stays.
constexpr ServerClass kServerClasses[] = {
    {kClsidVGHighScoreService, kIidVGHighScoreService, "IVGHighScoreService",
     "VostrelGamesServices.HighScoreService.1", "VostrelGamesServices.HighScoreService",
     "Vostrel Scores Service Object", true, true},
    {kClsidVGHighScores, kIidVGHighScores, "IVGHighScores", "VostrelGamesServices.HighScores.1",
     "VostrelGamesServices.HighScores", "Vostrel Scores Collection Object", false, true},
    {kClsidVGHighScore, kIidVGHighScoreItem, "IVGHighScoreItem",
     "VostrelGamesServices.HighScoreItem.1", "VostrelGamesServices.HighScoreItem",
     "Vostrel Scores Object", false, true},
    {kClsidVGUserContentService, kIidVGUserContentService, "IVGUserContentService",
     "VostrelGamesServices.UserContentService.1", "VostrelGamesServices.UserContentService",
     "Vostrel Content Object", false, true},
    {kClsidVGUserContent, kIidVGUserContent, "IVGUserContent",
     "VostrelGamesServices.VGUserContent.1", "VostrelGamesServices.VGUserContent",
     "Vostrel Content Collection Object", false, false},
    {kClsidVGUserContentItem, kIidVGUserContentItem, "IVGUserContentItem",
     "VostrelGamesServices.VGUserContentIte.1", "VostrelGamesServices.VGUserContentItem",
     "VGUserContentItem Class", false, false},
};

// The bitmap resource hosts' toolboxes show for the classes.
constexpr int kToolboxBitmapResource = 204;
