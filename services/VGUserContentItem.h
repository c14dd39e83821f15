#pragma once

#include "services/AutomationObject.h"
#include "services/ContentInterfaces.h"
#include "services/ContentItem.h"

#include <mutex>

// One content item handed to a host: a copy of the service's record. `Remove` deletes its
// files and changes only this object's flags; the service finds the change at its next view.
class VGUserContentItem final : public AutomationObject<IVGUserContentItem> {
public:
    // A new object holding a copy of the record, with one reference; null when memory runs out.
    static VGUserContentItem* Create(const ContentItem& item = {}) noexcept;

    HRESULT get_name(BSTR* value) override;
    HRESULT get_Logo(BSTR* value) override;
    HRESULT get_File(BSTR* value) override;
    HRESULT get_Description(BSTR* value) override;
    // Deletes the data and logo files (a missing one is no error). Any other failure gives
    // E_FAIL and leaves the flags as they were.
    HRESULT Remove() override;
    HRESULT get_isDownloaded(VARIANT_BOOL* value) override;
    HRESULT get_isAvailable(VARIANT_BOOL* value) override;
    HRESULT get_Number(int32_t* value) override;

private:
    HRESULT QueryOwnInterface(const Guid& iid, void** object) override;

    explicit VGUserContentItem(const ContentItem& item);

    std::mutex flagsLock;
    ContentItem item;
};
