#pragma once

#include "services/AutomationObject.h"
#include "services/HighScoreInterfaces.h"
#include "services/ScoreList.h"

// One score handed to a host: a copy, which later downloads do not change.
class VGHighScore final : public AutomationObject<IVGHighScoreItem> {
public:
    // A new object holding a copy of the entry, with one reference; null when memory runs out.
    static VGHighScore* Create(const ScoreItem& item = {}) noexcept;

    HRESULT get_name(BSTR* value) override;
    HRESULT get_score(int64_t* value) override;
    HRESULT get_Mode(int32_t* value) override;
    HRESULT get_Description(BSTR* value) override;

private:
    HRESULT QueryOwnInterface(const Guid& iid, void** object) override;

    explicit VGHighScore(const ScoreItem& item);

    const ScoreItem item;
};
