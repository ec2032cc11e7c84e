#pragma once

#include <utility>

#include <QString>

#include "platform/invalid_argument_error.h"
#include "platform/prompter.h"

namespace vantelo {

inline const QString kInvalidArgumentMessage = QStringLiteral("An invalid argument was encountered.");
inline const QString kProductName = QStringLiteral("Vantelo");

// Runs one event handler. A bad list position abandons the handler at that point
// and is reported once; whatever the handler did before stays done, and the
// program goes on. Returns false when the handler was abandoned.
template <typename Handler>
bool RunGuarded(Prompter& prompter, Handler&& handler)
{
    try {
        std::forward<Handler>(handler)();
        return true;
    } catch (const InvalidArgumentError&) {
        prompter.ShowMessage(kProductName, kInvalidArgumentMessage, PromptIcon::Warning);
        return false;
    }
}

}  // namespace vantelo
