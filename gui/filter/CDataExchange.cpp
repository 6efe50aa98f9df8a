#include "CDataExchange.h"

#include <QCheckBox>
#include <QLineEdit>
#include <string>

#include "support/IMessageSink.h"

namespace {

enum class ParseResult { Ok, NotANumber, TooLarge };

// Digits only, no sign; a value too long for 64 bits is plainly out of range.
ParseResult ParseUnsigned(const QString& text, uint64_t& value)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return ParseResult::NotANumber;
    value = 0;
    for (const QChar c : trimmed) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return ParseResult::NotANumber;
        if (value > (UINT64_MAX - 9) / 10)
            return ParseResult::TooLarge;
        value = value * 10 + static_cast<uint64_t>(c.unicode() - '0');
    }
    return ParseResult::Ok;
}

}  // namespace

void CDataExchange::UIntField(QLineEdit& edit, uint32_t& value, uint32_t minimum, uint32_t maximum)
{
    if (m_bFailed)
        return;
    if (!m_bSaveAndValidate) {
        edit.setText(QString::number(value));
        return;
    }
    uint64_t parsed = 0;
    const ParseResult result = ParseUnsigned(edit.text(), parsed);
    if (result == ParseResult::NotANumber) {
        Fail(edit, "Please enter a positive integer.");
        return;
    }
    if (result == ParseResult::TooLarge || parsed < minimum || parsed > maximum) {
        const std::string text = "Please enter an integer between " + std::to_string(minimum) +
                                 " and " + std::to_string(maximum) + ".";
        Fail(edit, text.c_str());
        return;
    }
    value = static_cast<uint32_t>(parsed);
}

void CDataExchange::Check(QCheckBox& box, bool& value)
{
    if (m_bFailed)
        return;
    if (m_bSaveAndValidate)
        value = box.isChecked();
    else
        box.setChecked(value);
}

void CDataExchange::Fail(QLineEdit& edit, const char* text)
{
    m_bFailed = true;
    m_messages.ShowError(text);
    edit.setFocus(Qt::OtherFocusReason);
    edit.selectAll();
}
