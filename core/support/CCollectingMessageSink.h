#pragma once
#include <string>
#include <vector>

#include "IMessageSink.h"

// Keeps every message in order; used by tests and by the command line, which
// prints them after the operation that produced them.
class CCollectingMessageSink : public IMessageSink {
public:
    void ShowError(const std::string& text) override { m_messages.push_back(text); }
    void Clear() { m_messages.clear(); }
    std::vector<std::string> m_messages;
};
