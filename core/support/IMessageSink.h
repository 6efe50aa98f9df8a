#pragma once
#include <string>

// Where the core reports a failure the user must be told about. The desktop
// program shows it in the "Error" box, the command line prints it, tests
// record it. The operation that meets the failure reports it once and then
// returns false or 0; its callers report nothing more.
class IMessageSink {
public:
    virtual ~IMessageSink() = default;
    virtual void ShowError(const std::string& text) = 0;
};
