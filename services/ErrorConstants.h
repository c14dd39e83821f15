#pragma once

#include <cstdint>
#include <string>
#include <utility>

// The error numbers of the type library, stored in a service object's `Error`.
enum ErrorConstants : int32_t {
    ErrNone = 0,
    Err_SOAPCLIENT_INITIALIZE_ERROR = 1,
    Err_SOAPCLIENT_OUTOFMEMORY = 2,
    Err_SOAPCLIENT_GENERATE_ERROR = 3,
    Err_SOAPCLIENT_CONNECT_ERROR = 4,
    Err_SOAPCLIENT_SEND_ERROR = 5,
    Err_SOAPCLIENT_SERVER_ERROR = 6,
    Err_SOAPCLIENT_SOAPFAULT = 7,
    Err_SOAPCLIENT_PARSEFAULT_ERROR = 8,
    Err_SOAPCLIENT_READ_ERROR = 9,
    Err_SOAPCLIENT_PARSE_ERROR = 10,
    ErrBadCertificate = 11,
    ErrBadGame = 12,
    ErrCompanyNotSet = 13,
    ErrGameNotSet = 14,
    ErrBadScore = 15,
    ErrNoResponse = 16,
    ErrUnknown = 17,
    ErrBadNumber = 18,
    ErrNumberNotFound = 19,
    ErrUnableToDownload = 20,
    ErrUnableToCreateFolders = 21,
    ErrUnableToCopyFiles = 22,
    ErrListNotLoaded = 23,
    ErrListEmpty = 24,
    ErrParseError = 25,
    ErrDownloadNotCompletedError = 26,
    ErrBadScoreName = 27,
    ErrGameNotFound = 50,
    ErrBadCredentials = 51,
    ErrBadXml = 52,
};

// The description stored with the error number of a failed client call, 1 to 10; null for any
// other number (the service then keeps the error it stored before the call).
const char* SoapClientErrorText(int32_t number);

// The descriptions the services store with their own error numbers; a number with two checks has
// one text for each.
constexpr const char* kTextBlankCertificate = "certificate cannot be blank";
constexpr const char* kTextCertificateLength = "certificate needs to be sixteen bytes";
constexpr const char* kTextBadGame = "game needs to be greater than zero";
constexpr const char* kTextBadCount = "count cannot be less than one";
constexpr const char* kTextCompanyNotSet = "company name needs to be set";
constexpr const char* kTextGameNotSet = "game folder needs to be set";
constexpr const char* kTextBadScore = "score needs to be greater than zero";
constexpr const char* kTextNoResponse = "no response";
constexpr const char* kTextUnknown = "unknown error";
constexpr const char* kTextBadNumber = "number cannot be less than one";
constexpr const char* kTextNumberNotFound = "number was not found in the user content list";
constexpr const char* kTextUnableToDownload = "unable to download content";
constexpr const char* kTextUnableToCreateFolders = "unable to create folders";
constexpr const char* kTextUnableToCopyFiles = "unable to copy content";
constexpr const char* kTextListNotLoaded = "user content list has not been loaded/downloaded";
constexpr const char* kTextListEmpty = "the user content list is empty";
constexpr const char* kTextDownloadNotCompleted = "download not complete (size to small)";
constexpr const char* kTextBadScoreName = "score name cannot be blank";

// The `Error` and `ErrorDescription` of a service object: always stored and cleared together.
struct ServiceError {
    int32_t number = ErrNone;
    std::string description;

    void Store(int32_t newNumber, std::string text) {
        number = newNumber;
        description = std::move(text);
    }
    void Clear() { Store(ErrNone, std::string()); }
};
