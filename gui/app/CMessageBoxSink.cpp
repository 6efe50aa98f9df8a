#include "CMessageBoxSink.h"

#include <QApplication>
#include <QMessageBox>

#include "CWaitCursor.h"

void CMessageBoxSink::ShowError(const std::string& text)
{
    CWaitCursor::Suspend normalCursor;
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Error"), QString::fromStdString(text),
                    QMessageBox::Ok, QApplication::activeWindow());
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}
