#pragma once
#include "support/IMessageSink.h"

// Shows each failure in the "Error" box: the message, an OK button only,
// modal for the whole program, over the window that is active.
class CMessageBoxSink : public IMessageSink {
public:
    void ShowError(const std::string& text) override;
};
