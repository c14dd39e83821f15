#pragma once

#include "platform/os/Seams.h"

#include <string>

class Window;

enum class MessageBoxButtons { Ok, YesNo };
enum class MessageBoxIcon { None, Information, Warning, Error };

// Shows a modal box over the window (or alone when it is null) and returns the button chosen.
// With an answer in the seams the box is not shown: it is recorded there and answered. When no
// box can be shown (no display) the text goes to standard error and the answer is Ok, or No for
// a question, so that nothing is agreed to unseen.
MessageBoxAnswer ShowMessageBox(Window* owner, const std::string& text, const std::string& caption,
                                MessageBoxButtons buttons, MessageBoxIcon icon);
