#pragma once

#include "services/AutomationObject.h"
#include "services/HighScoreInterfaces.h"
#include "services/ScoreList.h"

#include <cstdint>
#include <mutex>
#include <vector>

// A list of scores handed to a host: a copy of the service's list at the moment it was asked
// for. The collection is its own enumerator, with one cursor (counting from 1) shared by every
// enumerator taken from it.
class VGHighScores final : public AutomationObject<IVGHighScores, IEnumVARIANT> {
public:
    // A new collection holding a copy of the entries, with one reference; null when memory runs
    // out.
    static VGHighScores* Create(const std::vector<ScoreItem>& items = {}) noexcept;

    HRESULT get__NewEnum(IUnknown** enumerator) override;
    HRESULT get_Item(int32_t index, IVGHighScoreItem** item) override;
    HRESULT get_count(int32_t* count) override;

    // Hands out up to `count` entries from the cursor on, each a new score object; S_FALSE when
    // fewer were left. `fetched`, when given, always receives the number handed out.
    HRESULT Next(uint32_t count, VARIANT* items, uint32_t* fetched) override;
    // Moves the cursor on; past the end it stops at the last entry and answers S_FALSE.
    HRESULT Skip(uint32_t count) override;
    HRESULT Reset() override;
    HRESULT Clone(IEnumVARIANT** copy) override;

private:
    HRESULT QueryOwnInterface(const Guid& iid, void** object) override;

    explicit VGHighScores(const std::vector<ScoreItem>& items);

    const std::vector<ScoreItem> items;
    std::mutex cursorLock;
    int64_t cursor = 1;
};
