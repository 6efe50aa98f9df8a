#pragma once
#include <QDialog>
#include <cstdint>

#include "CFilterParams.h"

class CDataExchange;
class IMessageSink;
class ISettings;
class QCheckBox;
class QLineEdit;
class QPushButton;

// "Set Parameters" for a colour image: Intensity, Length and Width for each
// plane, a check box per plane that enables its edits, and the Mirror option
// (shared with the monochrome dialog). The members hold the stored values from
// construction on, and the confirmed ones once exec() returns Accepted.
class CColorParamsDlg : public QDialog {
    Q_OBJECT
public:
    CColorParamsDlg(ISettings& settings, IMessageSink& messages, QWidget* parent = nullptr);
    ~CColorParamsDlg() override;

    CColorParams Params() const;

    uint32_t m_nRedIntensity = 60000;
    uint32_t m_nGreenIntensity = 60000;
    uint32_t m_nBlueIntensity = 60000;
    uint32_t m_nRedLength = 5;
    uint32_t m_nGreenLength = 5;
    uint32_t m_nBlueLength = 5;
    uint32_t m_nRedWidth = 2;
    uint32_t m_nGreenWidth = 2;
    uint32_t m_nBlueWidth = 2;
    bool m_bRedPlane = true;
    bool m_bGreenPlane = true;
    bool m_bBluePlane = true;
    bool m_bMirror = false;

    // Per plane (red, green, blue): Intensity, Length, Width edits.
    QLineEdit* m_pEdits[3][3] = {};
    QCheckBox* m_pPlaneBoxes[3] = {};
    QCheckBox* m_pMirrorBox = nullptr;
    QPushButton* m_pOkButton = nullptr;
    QPushButton* m_pCancelButton = nullptr;

public slots:
    void accept() override;

private:
    void BuildControls();
    bool UpdateData(bool saveAndValidate);
    void DoDataExchange(CDataExchange& exchange);
    void OnRedPlaneClicked();
    void OnGreenPlaneClicked();
    void OnBluePlaneClicked();
    void EnablePlaneEdits(int plane, bool enable);

    IMessageSink& m_messages;
};
