#pragma once

#include "platform/com/Bstr.h"
#include "platform/com/Interfaces.h"

#include <cstdint>

// The download component that fetches a content item's files: a class outside the services
// library, found through the registry. It is given definitions (the folder, the progress
// display, one entry per file) and then run; the files arrive in the folder under the names
// given.
constexpr Guid kClsidOutsideDownloader = GuidLiteral("{205FF73B-CA67-11D5-99DD-444553540011}");
constexpr Guid kIidOutsideDownloader = GuidLiteral("{205FF73A-CA67-11D5-99DD-444553540011}");

// The definition types the services pass.
constexpr const char* kDefineApp = "APP";
constexpr const char* kDefineProgress = "PROGRESS_DIALOG";
constexpr const char* kDefineFile = "FILE";

// Its dual interface: `DefineItem` first and `Run` eighth after IDispatch's operations. Of the
// six between them only `Cancel` does anything; the others answer E_NOTIMPL.
class IOutsideDownloader : public IDispatch {
public:
    virtual HRESULT DefineItem(BSTR name, BSTR type, BSTR definition) = 0;
    // Ends a run in progress from another thread: the run then fails.
    virtual HRESULT Cancel() = 0;
    virtual HRESULT Reserved3() = 0;
    virtual HRESULT Reserved4() = 0;
    virtual HRESULT Reserved5() = 0;
    virtual HRESULT Reserved6() = 0;
    virtual HRESULT Reserved7() = 0;
    // Fetches every defined file; `result` is 0 when all of them arrived whole.
    virtual HRESULT Run(int32_t* result) = 0;

protected:
    ~IOutsideDownloader() = default;
};
