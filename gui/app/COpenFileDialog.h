#pragma once
#include <QFileDialog>
#include <QStringList>

// Qt's file dialog for File > Open. Several names typed in quotes all count,
// also those the selected type does not list (Qt keeps only the names it
// can select in the list then, and drops the others without a word).
class COpenFileDialog : public QFileDialog {
    Q_OBJECT

public:
    COpenFileDialog(QWidget* pParent, const QString& startDir);

    // The files chosen, once the dialog was accepted.
    QStringList ChosenFiles() const { return m_chosen; }

public slots:
    void accept() override;

private:
    QStringList m_chosen;
};
