#include "CColorParamsDlg.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

#include "CDataExchange.h"
#include "CDialogUnits.h"
#include "CFilterSettings.h"
#include "CParamsDlgControls.h"

namespace {
// Column positions of the three planes, in dialog units.
const int kLabelX[3] = {7, 101, 194};
const int kEditX[3] = {45, 139, 232};
const int kRowY[3] = {33, 52, 71};
}  // namespace

CColorParamsDlg::CColorParamsDlg(ISettings& settings, IMessageSink& messages, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      m_messages(messages)
{
    const CColorParams stored = CFilterSettings::ReadColor(settings);
    m_nRedIntensity = stored.m_planes[0].m_nIntensity;
    m_nGreenIntensity = stored.m_planes[1].m_nIntensity;
    m_nBlueIntensity = stored.m_planes[2].m_nIntensity;
    m_nRedLength = stored.m_planes[0].m_nLength;
    m_nGreenLength = stored.m_planes[1].m_nLength;
    m_nBlueLength = stored.m_planes[2].m_nLength;
    m_nRedWidth = stored.m_planes[0].m_nWidth;
    m_nGreenWidth = stored.m_planes[1].m_nWidth;
    m_nBlueWidth = stored.m_planes[2].m_nWidth;
    m_bMirror = stored.m_bMirror;

    setWindowTitle(QStringLiteral("Set Parameters"));
    BuildControls();
    UpdateData(false);
    m_pOkButton->setFocus(Qt::OtherFocusReason);
}

CColorParamsDlg::~CColorParamsDlg() = default;

void CColorParamsDlg::BuildControls()
{
    const CDialogUnits units(*this);
    setFixedSize(units.X(349), units.Y(119));

    m_pOkButton = CParamsDlgControls::Button(*this, units, "OK", 292, 7, 50, 14);
    m_pOkButton->setDefault(true);
    m_pCancelButton = CParamsDlgControls::Button(*this, units, "Cancel", 292, 24, 50, 14);
    m_pPlaneBoxes[0] = CParamsDlgControls::CheckBox(*this, units, "Red Plane", 39, 18, 68, 10);
    m_pPlaneBoxes[1] = CParamsDlgControls::CheckBox(*this, units, "Green Plane", 129, 18, 56, 10);
    m_pPlaneBoxes[2] = CParamsDlgControls::CheckBox(*this, units, "Blue Plane", 226, 18, 51, 10);
    const char* const labels[3] = {"Intensity:", "Length:", "Width:"};
    for (int plane = 0; plane < 3; ++plane) {
        for (int row = 0; row < 3; ++row) {
            CParamsDlgControls::Label(*this, units, labels[row], kLabelX[plane], kRowY[row], 34, 13);
            m_pEdits[plane][row] = CParamsDlgControls::Edit(*this, units, kEditX[plane], kRowY[row], 45, 14);
        }
    }
    m_pMirrorBox = CParamsDlgControls::CheckBox(*this, units, "Mirror Image before processing.", 25, 92, 132, 10);
    CParamsDlgControls::Label(*this, units, "v1.8", 7, 104, 15, 8, Qt::AlignLeft | Qt::AlignTop);

    // OK, Cancel, the nine edits plane by plane, the plane boxes, Mirror.
    QWidget* order[] = {m_pOkButton,       m_pCancelButton,   m_pEdits[0][0],    m_pEdits[0][1],
                        m_pEdits[0][2],    m_pEdits[1][0],    m_pEdits[1][1],    m_pEdits[1][2],
                        m_pEdits[2][0],    m_pEdits[2][1],    m_pEdits[2][2],    m_pPlaneBoxes[0],
                        m_pPlaneBoxes[1],  m_pPlaneBoxes[2],  m_pMirrorBox};
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);

    connect(m_pOkButton, &QPushButton::clicked, this, &CColorParamsDlg::accept);
    connect(m_pCancelButton, &QPushButton::clicked, this, &CColorParamsDlg::reject);
    connect(m_pPlaneBoxes[0], &QCheckBox::clicked, this, &CColorParamsDlg::OnRedPlaneClicked);
    connect(m_pPlaneBoxes[1], &QCheckBox::clicked, this, &CColorParamsDlg::OnGreenPlaneClicked);
    connect(m_pPlaneBoxes[2], &QCheckBox::clicked, this, &CColorParamsDlg::OnBluePlaneClicked);
}

void CColorParamsDlg::DoDataExchange(CDataExchange& exchange)
{
    exchange.UIntField(*m_pEdits[0][0], m_nRedIntensity, 1, kMaxIntensity);
    exchange.UIntField(*m_pEdits[1][0], m_nGreenIntensity, 1, kMaxIntensity);
    exchange.UIntField(*m_pEdits[2][0], m_nBlueIntensity, 1, kMaxIntensity);
    exchange.UIntField(*m_pEdits[0][1], m_nRedLength, 1, kMaxLength);
    exchange.UIntField(*m_pEdits[1][1], m_nGreenLength, 1, kMaxLength);
    exchange.UIntField(*m_pEdits[2][1], m_nBlueLength, 1, kMaxLength);
    exchange.UIntField(*m_pEdits[0][2], m_nRedWidth, 1, kMaxWidth);
    exchange.UIntField(*m_pEdits[1][2], m_nGreenWidth, 1, kMaxWidth);
    exchange.UIntField(*m_pEdits[2][2], m_nBlueWidth, 1, kMaxWidth);
    exchange.Check(*m_pPlaneBoxes[0], m_bRedPlane);
    exchange.Check(*m_pPlaneBoxes[1], m_bGreenPlane);
    exchange.Check(*m_pPlaneBoxes[2], m_bBluePlane);
    exchange.Check(*m_pMirrorBox, m_bMirror);
}

bool CColorParamsDlg::UpdateData(bool saveAndValidate)
{
    CDataExchange exchange(saveAndValidate, m_messages);
    DoDataExchange(exchange);
    return !exchange.Failed();
}

void CColorParamsDlg::accept()
{
    if (UpdateData(true))
        QDialog::accept();
}

CColorParams CColorParamsDlg::Params() const
{
    CColorParams params;
    params.m_planes[0] = {m_nRedIntensity, m_nRedLength, m_nRedWidth};
    params.m_planes[1] = {m_nGreenIntensity, m_nGreenLength, m_nGreenWidth};
    params.m_planes[2] = {m_nBlueIntensity, m_nBlueLength, m_nBlueWidth};
    params.m_bPlaneOn[0] = m_bRedPlane;
    params.m_bPlaneOn[1] = m_bGreenPlane;
    params.m_bPlaneOn[2] = m_bBluePlane;
    params.m_bMirror = m_bMirror;
    return params;
}

void CColorParamsDlg::OnRedPlaneClicked()
{
    m_bRedPlane = !m_bRedPlane;
    EnablePlaneEdits(0, m_bRedPlane);
}

void CColorParamsDlg::OnGreenPlaneClicked()
{
    m_bGreenPlane = !m_bGreenPlane;
    EnablePlaneEdits(1, m_bGreenPlane);
}

void CColorParamsDlg::OnBluePlaneClicked()
{
    m_bBluePlane = !m_bBluePlane;
    EnablePlaneEdits(2, m_bBluePlane);
}

void CColorParamsDlg::EnablePlaneEdits(int plane, bool enable)
{
    for (QLineEdit* edit : m_pEdits[plane])
        edit->setEnabled(enable);
}
