#include "CHelpWindow.h"

#include <QGuiApplication>
#include <QIcon>
#include <QScreen>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "Resource.h"

using namespace DorvaneIds;

namespace {

const char* const kHelpPage = "qrc:/help/dorvane.html";

}  // namespace

CHelpWindow::CHelpWindow(QWidget* pParent) : QWidget(pParent, Qt::Window)
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Dorvane Help"));
    setWindowIcon(QIcon(QStringLiteral(DORVANE_ICON_MAIN)));
    m_pBrowser = new QTextBrowser(this);
    m_pBrowser->setOpenExternalLinks(true);
    auto* pLayout = new QVBoxLayout(this);
    pLayout->setContentsMargins(0, 0, 0, 0);
    pLayout->addWidget(m_pBrowser);
    resize(640, 560);
}

QString CHelpWindow::AnchorForContext(uint32_t contextId)
{
    switch (contextId) {
    case HIDD_MONO_PARAMS:
        return QStringLiteral("remove-blooming");
    case HIDC_INTENSITY:
        return QStringLiteral("intensity");
    case HIDC_LENGTH:
        return QStringLiteral("length");
    case HIDC_WIDTH:
        return QStringLiteral("width");
    case HIDC_MIRROR:
        return QStringLiteral("mirror");
    case HIDC_PROCESS_ALL:
        return QStringLiteral("process-all");
    default:
        return QStringLiteral("contents");
    }
}

void CHelpWindow::ShowContext(uint32_t contextId)
{
    QUrl url(QString::fromLatin1(kHelpPage));
    url.setFragment(AnchorForContext(contextId));
    // Setting the same page again only scrolls to the new section.
    m_pBrowser->setSource(url);
    m_pBrowser->scrollToAnchor(url.fragment());
    if (!m_bPlaced) {
        // First showing: in the middle of the screen, beside nothing.
        m_bPlaced = true;
        if (QScreen* pScreen = QGuiApplication::primaryScreen()) {
            QRect frame = geometry();
            frame.moveCenter(pScreen->availableGeometry().center());
            move(frame.topLeft());
        }
    }
    show();
    raise();
    activateWindow();
}
