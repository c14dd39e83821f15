#pragma once

#include "services/SoapClient.h"

#include <string>
#include <string_view>

// The maker's web host carries both services; the host name is rewritten per game before every
// call (RewriteEndpointHost).
constexpr const char* kScoreServiceUrl = "http://www.vostrelgames.example/hs/hssv1.asmx";
constexpr const char* kScoreServiceNamespace = "http://vostrelgames.example/hs/";
constexpr const char* kContentServiceUrl = "http://www.vostrelgames.example/uc/ucsv1.asmx";
constexpr const char* kContentServiceNamespace = "http://vostrelgames.example/uc/";

// The score service: func1 gets the score lists, func2 reports a score.
class ScoreServiceClient : public SoapClient {
public:
    ScoreServiceClient() : SoapClient(kScoreServiceUrl, kScoreServiceNamespace) {}

    HRESULT func1(BSTR xml, BSTR* result) { return Call("func1", xml, result); }
    HRESULT func2(BSTR xml, BSTR* result) { return Call("func2", xml, result); }
};

// The content service: func1 gets the content list, func2 one item's download data.
class ContentServiceClient : public SoapClient {
public:
    ContentServiceClient() : SoapClient(kContentServiceUrl, kContentServiceNamespace) {}

    HRESULT func1(BSTR xml, BSTR* result) { return Call("func1", xml, result); }
    HRESULT func2(BSTR xml, BSTR* result) { return Call("func2", xml, result); }
};

// Turns the ASCII letters of a game folder into lower case.
void LowerCaseGameFolder(std::string& gameFolder);

// The endpoint of a game: lower-cases the game folder in place (LowerCaseGameFolder; the
// property reads back so afterwards), and puts "http://" + the folder without its blanks + "." in
// place of every "http://www." of the URL. Neither text is cut, whatever its length.
std::string RewriteEndpointHost(std::string& gameFolder, std::string_view url);
