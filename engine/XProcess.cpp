#include "engine/XProcess.h"

XProcess* CurrentProcess = nullptr;
XProcess* RunningProcess = nullptr;

XProcess::XProcess() : covered(CurrentProcess) {
    CurrentProcess = this;
    if (covered != nullptr) {
        try {
            covered->Suspend();
        } catch (...) {
            // Not built after all: the stack stays as it was.
            CurrentProcess = covered;
            throw;
        }
    }
}

// Always makes the covered process current, whatever is on top: the stack is unwound in order.
XProcess::~XProcess() noexcept(false) {
    CurrentProcess = covered;
    if (covered != nullptr) {
        covered->Resume();
    }
}

void XProcess::Begin() {}
void XProcess::End() {}
void XProcess::DeviceRestored() {}
void XProcess::Update(float) {}
void XProcess::AfterUpdate() {}
void XProcess::Render() {}
void XProcess::DeviceLost() {}
void XProcess::PreRender() {}
void XProcess::PostRender() {}
void XProcess::Suspend() {}
void XProcess::Resume() {}
