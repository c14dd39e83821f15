#include "ui/GameFlow.h"

#include "engine/XProcess.h"
#include "mainloop/MainLoop.h"

namespace {

class NoGameFlow final : public GameFlow {
public:
    std::unique_ptr<XProcess> CreateGameProcess() override { return nullptr; }
    int32_t Run(std::unique_ptr<XProcess> process, bool renderEveryPass) override {
        return RunProcess(std::move(process), renderEveryPass);
    }
};

NoGameFlow fallback;
GameFlow* installed = &fallback;

} // namespace

void InstallGameFlow(GameFlow* flow) {
    installed = flow != nullptr ? flow : &fallback;
}

GameFlow& Flow() {
    return *installed;
}
