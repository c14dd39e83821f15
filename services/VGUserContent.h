#pragma once

#include "services/AutomationObject.h"
#include "services/ContentInterfaces.h"
#include "services/ContentList.h"

// A view of a service's content list handed to a host: copies of the chosen items as they were
// when the view was asked for.
class VGUserContent final : public AutomationObject<IVGUserContent> {
public:
    // A new collection holding a copy of the list, with one reference; null when memory runs out.
    static VGUserContent* Create(const ContentList& list = {}) noexcept;

    HRESULT get_Item(int32_t index, IVGUserContentItem** item) override;
    HRESULT get_count(int32_t* count) override;

private:
    HRESULT QueryOwnInterface(const Guid& iid, void** object) override;

    explicit VGUserContent(const ContentList& list);

    const ContentList list;
};
