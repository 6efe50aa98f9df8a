#pragma once
#include <QDialog>
#include <cstdint>
#include <functional>
#include <map>

#include "CFilterParams.h"

class CDataExchange;
class IMessageSink;
class ISettings;
class QCheckBox;
class QLineEdit;
class QPushButton;

// "Set Parameters" for a monochrome image: Intensity, Length, Width, the
// Mirror option and "Process all open images.". The members hold the stored
// values from construction on, and the confirmed ones once exec() returns
// Accepted.
class CMonoParamsDlg : public QDialog {
    Q_OBJECT
public:
    using HelpRequest = std::function<void(uint32_t context)>;

    // Control ids; the help contexts are derived from them.
    enum : int {
        kIdIntensity = 1000,
        kIdLength = 1001,
        kIdWidth = 1002,
        kIdMirror = 1003,
        kIdDefaults = 1004,
        kIdProcessAll = 212,
        kIdDialog = 201,
    };

    CMonoParamsDlg(ISettings& settings, IMessageSink& messages, HelpRequest help,
                   QWidget* parent = nullptr);
    ~CMonoParamsDlg() override;

    CMonoParams Params() const;

    // The help context for a control id (0x20000 plus the id for the five
    // documented controls, the dialog's own context otherwise).
    static uint32_t HelpContextFor(int controlId);

    uint32_t m_nIntensity = 60000;
    uint32_t m_nLength = 5;
    uint32_t m_nWidth = 2;
    bool m_bMirror = false;
    bool m_bProcessAll = false;

    QLineEdit* m_pIntensityEdit = nullptr;
    QLineEdit* m_pLengthEdit = nullptr;
    QLineEdit* m_pWidthEdit = nullptr;
    QCheckBox* m_pMirrorBox = nullptr;
    QCheckBox* m_pProcessAllBox = nullptr;
    QPushButton* m_pOkButton = nullptr;
    QPushButton* m_pCancelButton = nullptr;
    QPushButton* m_pDefaultsButton = nullptr;

public slots:
    void accept() override;

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    bool UpdateData(bool saveAndValidate);
    void DoDataExchange(CDataExchange& exchange);
    void OnMirrorClicked();
    void OnProcessAllClicked();
    void OnDefaults();
    void OnHelpInfo(const QWidget* control);

    IMessageSink& m_messages;
    HelpRequest m_help;
    std::map<const QWidget*, int> m_controlIds;
};
