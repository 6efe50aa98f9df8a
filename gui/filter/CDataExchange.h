#pragma once
#include <cstdint>

class IMessageSink;
class QCheckBox;
class QLineEdit;

// Moves values between a dialog's members and its controls, in the order the
// dialog calls the exchange functions. When saving, each unsigned field is
// parsed and checked against its bounds; the first failure is reported
// through the message sink, puts the focus back on the failing edit with its
// text selected, and stops every later exchange of the same pass.
class CDataExchange {
public:
    CDataExchange(bool saveAndValidate, IMessageSink& messages)
        : m_bSaveAndValidate(saveAndValidate), m_messages(messages) {}

    void UIntField(QLineEdit& edit, uint32_t& value, uint32_t minimum, uint32_t maximum);
    void Check(QCheckBox& box, bool& value);

    bool Failed() const { return m_bFailed; }
    bool SavingAndValidating() const { return m_bSaveAndValidate; }

private:
    void Fail(QLineEdit& edit, const char* text);

    bool m_bSaveAndValidate;
    bool m_bFailed = false;
    IMessageSink& m_messages;
};
