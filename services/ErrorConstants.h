#pragma once

#include <cstdint>

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
