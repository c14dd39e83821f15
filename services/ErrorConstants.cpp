#include "services/ErrorConstants.h"

const char* SoapClientErrorText(int32_t number) {
    switch (number) {
    case Err_SOAPCLIENT_INITIALIZE_ERROR:
        return "Initialization failed. Possibly caused by an MSXML installation problem.";
    case Err_SOAPCLIENT_OUTOFMEMORY:
        return "Out of memory.";
    case Err_SOAPCLIENT_GENERATE_ERROR:
        return "Failed to generate the response.";
    case Err_SOAPCLIENT_CONNECT_ERROR:
        return "Failed to connect to the server.";
    case Err_SOAPCLIENT_SEND_ERROR:
        return "Failed to send the message.";
    case Err_SOAPCLIENT_SERVER_ERROR:
        return "Server error.";
    case Err_SOAPCLIENT_SOAPFAULT:
        return "The server returned a SOAP fault.";
    case Err_SOAPCLIENT_PARSEFAULT_ERROR:
        return "Failed to parse a SOAP fault.";
    case Err_SOAPCLIENT_READ_ERROR:
        return "Failed while reading the response.";
    case Err_SOAPCLIENT_PARSE_ERROR:
        return "Failed while parsing the response.";
    default:
        return nullptr;
    }
}
