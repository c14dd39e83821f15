#include "services/HighScoreServiceCore.h"

#include "services/Guarded.h"
#include "services/LocalFile.h"
#include "services/ScoresParser.h"
#include "services/ServiceClients.h"

#include <optional>

namespace {

std::string StatusText(int32_t status) {
    return "error number: " + std::to_string(status);
}

// The lists of a scores document kept in a payload: only when the payload decrypts with the
// certificate to a document of the game asked for. The game id is taken from that document
// alone, so a payload that does not decrypt can never pass for an empty list of the game.
std::optional<std::array<ScoreList, kScoreListCount>> ListsOfPayload(const RequestCodec& codec,
                                                                     const std::string& certificate,
                                                                     int32_t game,
                                                                     const std::string& payload) {
    std::string plain;
    if (payload.empty() || codec.DecryptPayload(certificate, payload, plain) != S_OK ||
        plain.empty()) {
        return std::nullopt;
    }
    ScoresParser document;
    if (!document.Parse(plain) || document.GameId() != game) {
        return std::nullopt;
    }
    return document.Lists();
}

} // namespace

HighScoreServiceCore::HighScoreServiceCore() : lists(NamedScoreLists()) {}

void HighScoreServiceCore::ClearResults() {
    for (std::size_t i = 0; i < kReportedList; ++i) {
        lists[i].items.clear();
    }
}

void HighScoreServiceCore::StopWorkerOperations() {
    StopWorker({&pendingGet, &pendingReport});
}

HRESULT HighScoreServiceCore::CheckGet(const GetScoresArguments& arguments) {
    if (const HRESULT refused = CheckCertificate(arguments.certificate, arguments.game);
        refused != S_OK) {
        return refused;
    }
    if (arguments.count <= 0) {
        return Refuse(ErrBadGame, kTextBadCount, E_INVALIDARG);
    }
    return CheckProperties();
}

HRESULT HighScoreServiceCore::CheckReport(const ReportScoreArguments& arguments) {
    if (const HRESULT refused = CheckCertificate(arguments.certificate, arguments.game);
        refused != S_OK) {
        return refused;
    }
    if (arguments.score <= 0) {
        return Refuse(ErrBadScore, kTextBadScore, E_INVALIDARG);
    }
    if (const HRESULT missing = CheckProperties(); missing != S_OK) {
        return missing;
    }
    if (arguments.name.empty()) {
        return Refuse(ErrBadScoreName, kTextBadScoreName, E_INVALIDARG);
    }
    return S_OK;
}

HRESULT HighScoreServiceCore::GetHighScores(const GetScoresArguments& arguments, Caller caller) {
    return Guarded(E_FAIL, [&] {
        Exchange exchange;
        if (const HRESULT refused = OpenExchange(
                caller, true, kScoreServiceUrl, [&] { return CheckGet(arguments); },
                [&] {
                    return codec.BuildGetListRequest(arguments.certificate, arguments.game,
                                                     arguments.count, arguments.login,
                                                     arguments.password);
                },
                exchange);
            refused != S_OK) {
            return refused;
        }

        const Exchange::Answer call = exchange.Call(&ScoreServiceClient::func1);
        // The answer is read before the lock is taken again.
        ScoresParser answer;
        std::optional<std::array<ScoreList, kScoreListCount>> found;
        if (Succeeded(call.result) && !call.text.empty()) {
            answer.Parse(call.text);
            if (answer.Status() == 0) {
                found = ListsOfPayload(codec, arguments.certificate, arguments.game, answer.Data());
            }
        }

        std::string company;
        std::string folder;
        {
            const std::lock_guard guard(lock);
            if (const HRESULT failed = CheckCall(caller, call); failed != S_OK) {
                return failed;
            }
            error.Store(ErrNoResponse, kTextNoResponse);
            lastCertificate = arguments.certificate;
            lastGame = arguments.game;
            lastAnswer = call.text;
            if (call.text.empty()) {
                return E_FAIL;
            }
            error.Store(answer.Status(), StatusText(answer.Status()));
            lastData = answer.Data();
            if (!found) {
                return E_FAIL;
            }
            for (std::size_t i = 0; i < kReportedList; ++i) {
                lists[i].items = (*found)[i].items;
            }
            company = companyName;
            folder = gameFolder;
        }
        // The payload is kept as it came, still encrypted; a failed write changes nothing.
        LocalFile(kScoresFileName, company, folder).Write(answer.Data());
        return S_OK;
    });
}

HRESULT HighScoreServiceCore::ReportHighScore(const ReportScoreArguments& arguments,
                                              Caller caller) {
    return Guarded(E_FAIL, [&] {
        Exchange exchange;
        if (const HRESULT refused = OpenExchange(
                caller, false, kScoreServiceUrl, [&] { return CheckReport(arguments); },
                [&] {
                    return codec.BuildReportRequest(arguments.certificate, arguments.game,
                                                    arguments.gameMode, arguments.name,
                                                    arguments.score, arguments.scoreDescription,
                                                    arguments.login, arguments.password);
                },
                exchange);
            refused != S_OK) {
            return refused;
        }

        const Exchange::Answer call = exchange.Call(&ScoreServiceClient::func2);
        ScoresParser answer;
        if (Succeeded(call.result)) {
            answer.Parse(call.text);
        }

        const std::lock_guard guard(lock);
        if (const HRESULT failed = CheckCall(caller, call); failed != S_OK) {
            return failed;
        }
        lastCertificate = arguments.certificate;
        lastGame = arguments.game;
        lastAnswer = call.text;
        if (call.text.empty()) {
            return Refuse(ErrNoResponse, kTextNoResponse, E_FAIL);
        }
        error.Clear();
        if (!answer.HasStatus()) {
            // Text that is no answer document says nothing of the score: the call keeps its
            // S_OK, as callers read the error, but the error tells that no answer came.
            error.Store(ErrNoResponse, kTextNoResponse);
            return S_OK;
        }
        if (answer.Status() > 0) {
            error.Store(answer.Status(), StatusText(answer.Status()));
        }
        return S_OK;
    });
}

HRESULT HighScoreServiceCore::LoadHighScores(const std::string& certificate, int32_t game) {
    return Guarded(E_FAIL, [&] {
        std::string company;
        std::string folder;
        {
            const std::lock_guard guard(lock);
            error.Clear();
            for (std::size_t i = 0; i < kReportedList; ++i) {
                lists[i].items.clear();
            }
            lastCertificate = certificate;
            lastGame = game;
            if (certificate.empty()) {
                return Refuse(ErrBadCertificate, kTextBlankCertificate, E_INVALIDARG);
            }
            if (game <= 0) {
                return Refuse(ErrBadGame, kTextBadGame, E_INVALIDARG);
            }
            if (const HRESULT missing = CheckProperties(); missing != S_OK) {
                return missing;
            }
            company = companyName;
            folder = gameFolder;
        }
        // A missing, unreadable or foreign file leaves the lists empty; that is no error.
        std::string payload;
        if (!LocalFile(kScoresFileName, company, folder).Read(payload)) {
            return S_OK;
        }
        const std::optional<std::array<ScoreList, kScoreListCount>> found =
            ListsOfPayload(codec, certificate, game, payload);
        if (found) {
            const std::lock_guard guard(lock);
            for (std::size_t i = 0; i < kReportedList; ++i) {
                lists[i].items = (*found)[i].items;
            }
        }
        return S_OK;
    });
}

HRESULT HighScoreServiceCore::BeginGet(const GetScoresArguments& arguments,
                                       const Completion& completion) {
    return Begin<HighScoreServiceCore>(arguments, getArguments, pendingGet, completion, true,
                                       &HighScoreServiceCore::CheckGet);
}

HRESULT HighScoreServiceCore::BeginReport(const ReportScoreArguments& arguments,
                                          const Completion& completion) {
    return Begin<HighScoreServiceCore>(arguments, reportArguments, pendingReport, completion, false,
                                       &HighScoreServiceCore::CheckReport);
}

void HighScoreServiceCore::RunGet() {
    Run<HighScoreServiceCore>(getArguments, pendingGet, &HighScoreServiceCore::GetHighScores);
}

void HighScoreServiceCore::RunReport() {
    Run<HighScoreServiceCore>(reportArguments, pendingReport,
                              &HighScoreServiceCore::ReportHighScore);
}

std::vector<ScoreItem> HighScoreServiceCore::ListItems(ScoreListIndex list) const {
    const std::lock_guard guard(lock);
    return lists[list].items;
}
