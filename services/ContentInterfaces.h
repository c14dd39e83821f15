#pragma once

#include "platform/com/Bstr.h"
#include "platform/com/Interfaces.h"
#include "platform/com/Variant.h"

#include <cstdint>

// The user-content classes as hosts see them: dual interfaces whose operations stand in this
// order after IDispatch's, every one returning an HRESULT.

constexpr Guid kClsidVGUserContentService = GuidLiteral("{8DF468E3-9F7F-452C-A6AA-9E55C819B41C}");
constexpr Guid kClsidVGUserContent = GuidLiteral("{BAA91576-8B80-406B-B594-A1B6D887DAD8}");
constexpr Guid kClsidVGUserContentItem = GuidLiteral("{0F20A9E7-1AC7-4B3A-A1F8-A84171B0CE30}");

constexpr Guid kIidVGUserContentService = GuidLiteral("{E29CB5AA-EC11-4F1E-8297-715877EBF4A4}");
constexpr Guid kIidVGUserContent = GuidLiteral("{6A810748-EA8D-4AFF-9643-14AE385D200C}");
constexpr Guid kIidVGUserContentItem = GuidLiteral("{B0534954-CBD4-4319-93AF-D5F847317AF3}");

// One item of the content list. Out places are written without being read first.
class IVGUserContentItem : public IDispatch {
public:
    virtual HRESULT get_name(BSTR* value) = 0;
    virtual HRESULT get_Logo(BSTR* value) = 0;
    virtual HRESULT get_File(BSTR* value) = 0;
    virtual HRESULT get_Description(BSTR* value) = 0;
    virtual HRESULT Remove() = 0;
    virtual HRESULT get_isDownloaded(VARIANT_BOOL* value) = 0;
    virtual HRESULT get_isAvailable(VARIANT_BOOL* value) = 0;
    virtual HRESULT get_Number(int32_t* value) = 0;

protected:
    ~IVGUserContentItem() = default;
};

// A view of the content list, counted from 1.
class IVGUserContent : public IDispatch {
public:
    virtual HRESULT get_Item(int32_t index, IVGUserContentItem** item) = 0;
    virtual HRESULT get_count(int32_t* count) = 0;

protected:
    ~IVGUserContent() = default;
};

// The user-content service of one game. `window` carries the window in its low 32 bits.
class IVGUserContentService : public IDispatch {
public:
    virtual HRESULT GetUserContent(BSTR certificate, int32_t game, int32_t count, BSTR login,
                                   BSTR password) = 0;
    virtual HRESULT BeginGetUserContent(BSTR certificate, int32_t game, int32_t count, BSTR login,
                                        BSTR password, int64_t window, int32_t message) = 0;
    virtual HRESULT LoadUserContent(BSTR certificate, int32_t game) = 0;
    virtual HRESULT get_Error(int32_t* value) = 0;
    virtual HRESULT get_ErrorDescription(BSTR* value) = 0;
    virtual HRESULT get_Version(BSTR* value) = 0;
    virtual HRESULT get_CompanyName(BSTR* value) = 0;
    virtual HRESULT put_CompanyName(BSTR value) = 0;
    virtual HRESULT get_GameFolder(BSTR* value) = 0;
    virtual HRESULT put_GameFolder(BSTR value) = 0;
    virtual HRESULT UserContent(IVGUserContent** item) = 0;
    virtual HRESULT DownloadedContent(IVGUserContent** item) = 0;
    virtual HRESULT AvailableContent(IVGUserContent** item) = 0;
    virtual HRESULT DownloadUserContent(BSTR certificate, int32_t game, int32_t Number, BSTR login,
                                        BSTR password) = 0;
    virtual HRESULT BeginDownloadUserContent(BSTR certificate, int32_t game, int32_t Number,
                                             BSTR login, BSTR password, int64_t window,
                                             int32_t message) = 0;

protected:
    ~IVGUserContentService() = default;
};
